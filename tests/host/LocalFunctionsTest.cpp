// The local file functions and container import/export through volan-host, inside a private
// drive C (a temporary folder), as a FileMaker developer calls them.
#include "PluginFixture.h"

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

using testing_support::runVolanHost;
namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Drive C (labelled "OS") is a temporary folder for the plug-in run by volan-host.
class LocalFunctions : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/volan-local-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        fs::create_directories(root / "c/work");
        fs::create_directories(root / "c/tmp");
        set("VOLAN_DRIVES", "C=" + (root / "c").string() + ":OS");
        set("TMPDIR", (root / "c/tmp").string());
        set("VOLAN_UI", "headless");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        fs::remove_all(root);
    }
    void set(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }
    // Runs the expressions in one volan-host session; returns what it printed.
    std::string run(const std::string& arguments) {
        std::string out;
        EXPECT_EQ(runVolanHost(arguments, out), 0) << out;
        return out;
    }
    static std::string e(const std::string& expression) {
        std::string quoted = "'";
        for (char c : expression) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return " -e " + quoted + "'";
    }

    fs::path root;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(LocalFunctions, RelativePathsFollowTheCurrentLocalFolder) {
    const std::string out =
        run(e("Volan_GetCurrentLocalDir") + e("Volan_ChangeLocalDir(\" C:\\work \")") +
            e("Volan_WriteLocalFile(\"hello¶world\"; \"a.txt\")") + e("Volan_LocalFileExists(\" a.txt \")") +
            e("Volan_GetLocalFileSize(\"a.txt\")") + e("Volan_LocalDirExists(\"a.txt\")") +
            e("Volan_LocalFileExists(\"/Volumes/OS/work\")") + e("Volan_MakeLocalDir(\"sub\")") +
            e("Volan_CopyLocalFile(\"a.txt\"; \"sub\")") + e("Volan_CopyLocalFile(\"a.txt\"; \"sub\")") +
            e("Volan_ChangeLocalDir(\"sub\")") + e("Volan_ReadLocalFile(\"a.txt\"; 0; 0; True)") +
            e("Volan_ChangeLocalDir(\"..\")") + e("Volan_RenameLocalFile(\"a.txt\"; \"b.txt\")") +
            e("Volan_MoveLocalFile(\"b.txt\"; \"sub/c.txt\")") + e("Volan_DeleteLocalFile(\"sub/a.txt\")") +
            e("Volan_RenameLocalDir(\"sub\"; \"sub2\")") + e("Volan_RemoveLocalDir(\"sub2\")") +
            e("Volan_RemoveLocalDir(\"sub2\"; 1)") + e("Volan_ChangeLocalDirUp") + e("Volan_ChangeLocalDirUp") +
            e("Volan_ChangeLocalDir(\"missing\")") + e("Volan_GetLocalListCount") + e("Volan_DeleteLocalFile(\"\")"));
    EXPECT_EQ(out,
              "C:\\\n"
              "Local directory set to: C:\\work\n"
              "Wrote to file: C:\\work\\a.txt\n"
              "1\n"
              "12\n"
              "0\n"
              "0\n"
              "Created: C:\\work\\sub\n"
              "Copied: C:\\work\\a.txt to: C:\\work\\sub\\a.txt\n"
              "ERROR: CopyLocalFile: File copy failed: Destination File already exists: C:\\work\\sub\\a.txt\n"
              "Local directory set to: C:\\work\\sub\n"
              "hello\nworld\n"
              "Local directory set to: C:\\work\n"
              "Renamed: C:\\work\\a.txt to: C:\\work\\b.txt\n"
              "Moved: C:\\work\\b.txt to: C:\\work\\sub\\c.txt\n"
              "Deleted: C:\\work\\sub\\a.txt\n"
              "Renamed: C:\\work\\sub to: C:\\work\\sub2\n"
              "ERROR: RemoveLocalDir: Folder deletion failed: Could not delete Folder: C:\\work\\sub2; WinError: "
              "Directory not empty\n"
              "Deleted: C:\\work\\sub2\n"
              "Local directory set to: C:\\\n"
              "Local directory set to: C:\\\n"
              "ERROR: ChangeLocalDir: The specified local directory does not exist: C:\\missing; Error: Folder does "
              "not exist: C:\\missing\n"
              "ERROR: GetLocalListCount: Local directory is not valid, use ChangeLocalDir to set a valid directory.\n"
              "ERROR: DeleteLocalFile: You must specify the file to delete ('File' parameter).\n");
    EXPECT_EQ(readFile(root / "c/work/sub2/c.txt"), "");  // removed with its folder
    EXPECT_FALSE(fs::exists(root / "c/work/sub2"));
}

// Data, names, numbers and dates reach the file system as given; paths are read as on Windows.
TEST_F(LocalFunctions, ArgumentsAndNamesAsGiven) {
    set("TZ", "UTC");
    fs::create_directories(root / "c/work/sub");
    writeFile(root / "c/work/sub/a.txt", "A");
    writeFile(root / "c/work/  lead.txt", "");
    writeFile(root / "c/work/f.txt", "0123456789");
    writeFile(root / "c/work/old.txt", "");
    const timeval olden[2] = {{-305035200, 0}, {-305035200, 0}};  // 1960-05-02 12:00:00 UTC
    for (const char* name : {"c/work/old.txt", "c/work/  lead.txt"}) ASSERT_EQ(utimes((root / name).c_str(), olden), 0);
    const std::pair<std::string, std::string> calls[] = {
        {"Volan_ChangeLocalDir(\"C:\\work\")", "Local directory set to: C:\\work"},
        {"Volan_WriteLocalFile(\"  indented¶line2¶\"; \"none.txt\"; \"\"; \"\"; \"None\")",
         "Wrote to file: C:\\work\\none.txt"},
        {"Volan_WriteLocalFile(\"  indented¶\"; \"lf.txt\"; \"\"; \"\"; \"LF\")", "Wrote to file: C:\\work\\lf.txt"},
        {"Volan_ReadLocalFile(\"sub\\a.txt\")", "A"},
        {"Volan_ReadLocalFile(\"C:\\work\\sub/a.txt\")", "A"},
        {"Volan_WriteLocalFile(\"B\"; \"sub\\b.txt\")", "Wrote to file: C:\\work\\sub\\b.txt"},
        {"Volan_ReadLocalFile(\"f.txt\"; 2; 99999999999999)", "23456789"},
        {"Volan_GetLocalListItem(99999999999999999999)", ""},
        {"Volan_GetLocalListItem(\"All\"; \"*lead*\")", "Local||file||  lead.txt||0||05/02/1960||12:00:00\n"},
        {"Volan_GetLocalListCount(\"old*\")", "1"},
        {"Volan_GetLocalFileTimestamp(\"old.txt\")", "5/2/1960 12:00:00"},
        {"Volan_WriteLocalFile(Date(7;4;1200); \"d.txt\")", "Wrote to file: C:\\work\\d.txt"},
        {"Volan_ReadLocalFile(\"d.txt\")", "07/04/1200"},
        {"Volan_UploadFile(\"\")",
         "ERROR: UploadFile: You must specify the file to upload ('FileOrContainer' parameter)."},
        {"Volan_QuickUpload(\"\"; \"ftp://127.0.0.1/x\")",
         "ERROR: QuickUpload: You must specify the file to upload ('FileOrContainer' parameter)."},
        {"Volan_UploadFile(\"no.txt\")", "ERROR: UploadFile: File does not exist: C:\\work\\no.txt"},
        {"Volan_QuickUpload(\"no.txt\"; \"ftp://127.0.0.1/x\")",
         "ERROR: QuickUpload: File dos not exist: C:\\work\\no.txt"},
    };
    std::string arguments, expected;
    for (const auto& [call, result] : calls) {
        arguments += e(call);
        expected += result + "\n";
    }
    EXPECT_EQ(run(arguments), expected);
    EXPECT_EQ(readFile(root / "c/work/none.txt"), "  indented\rline2\r");
    EXPECT_EQ(readFile(root / "c/work/lf.txt"), "  indented\n");
    EXPECT_EQ(readFile(root / "c/work/sub/b.txt"), "B");
}

TEST_F(LocalFunctions, FileExistsActionsThroughTheFunction) {
    writeFile(root / "c/work/f.txt", "old");
    const std::string out = run(e("Volan_ChangeLocalDir(\"C:/work\")") + e("Volan_WriteLocalFile(\"x\"; \"f.txt\")") +
                                e("Volan_WriteLocalFile(\"o\"; \"f.txt\"; \"Overwrite\")") +
                                e("Volan_WriteLocalFile(\"+\"; \"f.txt\"; \"append\")") +
                                e("Volan_WriteLocalFile(\"b\"; \"f.txt\"; \"backup\")") +
                                e("Volan_WriteLocalFile(\"u\"; \"f.txt\"; \"unique\")") +
                                e("Volan_WriteLocalFile(\"1¶2\"; \"g.txt\"; \"\"; \"UTF-8\"; \"Unix\"; True)"));
    EXPECT_EQ(out,
              "Local directory set to: C:\\work\n"
              "ERROR: WriteLocalFile: Could not write file because there is an existing file with the name f.txt\n"
              "Wrote to file: C:\\work\\f.txt\n"
              "Wrote to file: C:\\work\\f.txt\n"
              "Wrote to file: C:\\work\\f.txt\n"
              "Wrote to file: C:\\work\\f1.txt\n"
              "Wrote to file: C:\\work\\g.txt\n");
    EXPECT_EQ(readFile(root / "c/work/f Backup.txt"), "o+");
    EXPECT_EQ(readFile(root / "c/work/f.txt"), "b");
    EXPECT_EQ(readFile(root / "c/work/f1.txt"), "u");
    EXPECT_EQ(readFile(root / "c/work/g.txt"),
              "\xEF\xBB\xBF"
              "1\n2");
}

TEST_F(LocalFunctions, ReadingByCharactersAndLines) {
    writeFile(root / "c/work/r.txt", "alpha\r\nbeta\ngamma\n");
    const std::string out =
        run(e("Volan_ChangeLocalDir(\"C:\\work\")") + e("Volan_ReadLocalFile(\"r.txt\"; -6)") +
            e("Volan_ReadLocalFile(\"r.txt\"; 2; 3)") + e("Volan_ReadLocalFile(\"r.txt\"; -1; 0; 1)") +
            e("Volan_ReadLocalFile(\"r.txt\"; 1; 1; 1)") + e("Volan_ReadLocalFile(\"nope.txt\")"));
    EXPECT_EQ(out,
              "Local directory set to: C:\\work\n"
              "gamma\n\n"
              "pha\n"
              "gamma\n\n"
              "beta\n\n"
              "ERROR: ReadLocalFile: File does not exist.\n");
}

TEST_F(LocalFunctions, ListingFirstNextNumberAllAndTheCache) {
    writeFile(root / "c/work/a.txt", "12345");
    fs::create_directories(root / "c/work/dir");
    const std::string out =
        run(e("Volan_ChangeLocalDir(\"C:\\work\")") + e("Volan_GetLocalListCount") +
            e("Volan_GetLocalListCount(\"*.TXT\")") + e("Volan_GetLocalListItem(\"First\")") +
            e("Volan_GetLocalListItem(\"3\"; \"\"; \"\"; \"\")") + e("Volan_GetLocalListItem(\"Next\"; \"*.txt\")") +
            e("Volan_GetLocalListItem(\"next\"; \"*.txt\")") + e("Volan_WriteLocalFile(\"n\"; \"new.txt\")") +
            e("Volan_GetLocalListCount") + e("Volan_MakeLocalDir(\"other\")") + e("Volan_GetLocalListCount") +
            e("Volan_GetLocalListItem(\"\")"));
    const std::string first =
        "Location=Local\nType=dir\nFileName=.\nFileSize=0\nFileDate=01/01/2000\nFileTime=00:00:00\n";
    EXPECT_EQ(out.rfind("Local directory set to: C:\\work\n4\n1\n" + first, 0), 0u) << out;
    EXPECT_NE(out.find("Type=file\nFileName=a.txt\nFileSize=5\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Wrote to file: C:\\work\\new.txt\n4\nCreated: C:\\work\\other\n6\n"), std::string::npos)
        << out;  // the cache hides the new file until a change resets it
    EXPECT_NE(out.find("ERROR: GetLocalListItem: You must specify which list item to retrieve. ('Which' parameter)."),
              std::string::npos);

    const std::string all =
        run(e("Volan_ChangeLocalDir(\"C:\\work\")") + e("Volan_GetLocalListItem(\"All\"; \"*\"; \";\"; \"|\")") +
            e("Volan_GetLocalListItem(\"6\")") + e("Volan_GetLocalListItem(\"Next\")") +
            e("Volan_GetLocalListItem(\"Next\")"));
    EXPECT_NE(all.find("Local;dir;.;0;01/01/2000;00:00:00|Local;dir;..;0;01/01/2000;00:00:00|"), std::string::npos)
        << all;
    EXPECT_NE(all.find("Local;file;a.txt;5;"), std::string::npos);
    EXPECT_NE(all.find("|\n"), std::string::npos);  // the last row ends with the row separator too
    // After the last item Next gives nothing, and then starts again at the first.
    EXPECT_NE(all.find("\n\nLocation=Local\nType=dir\nFileName=.\n"), std::string::npos) << all;
}

TEST_F(LocalFunctions, NamedPathsAndHeadlessChoosers) {
    writeFile(root / "c/work/pick.txt", "p");
    const std::string out =
        run("--answer 'OK:C:\\work\\pick.txt' --answer 'OK:missing.txt' --answer Cancel --answer 'OK:C:\\work' "
            "--answer 'OK:C:\\work\\new' --answer 'OK:pick' --answer Yes" +
            e("Volan_GetLocalNamedPath(\"Root\")") + e("Volan_GetLocalNamedPath(\"TEMP\")") +
            e("Volan_GetLocalNamedPath(\"\")") + e("Volan_SelectLocalFileWithDialog") +
            e("Volan_SelectLocalFileWithDialog(\"C:\\work\")") + e("Volan_SelectLocalDirWithDialog") +
            e("Volan_SelectLocalFileWithDialog(\"C:\\work\"; \"Save it\"; \"Save\"; \"txt\")") +
            e("Volan_SelectLocalFileWithDialog(\"C:\\work\"; \"\"; \"putfile\"; \"txt\")") +
            e("Volan_SelectLocalFileWithDialog(\"\"; \"\"; \"sideways\")"));
    EXPECT_EQ(out,
              "OS\n"
              "C:\\tmp\n"
              "ERROR: GetLocalNamedPath: You must specify the path type to get ('Type' parameter).  Specify "
              "\"Database\", \"FileMaker\", \"Root\", \"System\", \"Desktop\", \"Preferences\", \"Temporary\", "
              "\"Applications\", or \"Documents\".\n"
              "C:\\work\\pick.txt\n"
              "ERROR: SelectLocalFileWithDialog: Dialog cancelled.\n"
              "C:\\work\n"
              "C:\\work\\new.txt\n"
              "C:\\work\\pick.txt\n"
              "ERROR: SelectLocalFileWithDialog: Unknown dialog type: sideways\n");
}

// Minimal images with their sizes where the importer reads them.
std::string jpegBytes() {
    std::string j = "\xFF\xD8\xFF\xE0";
    j += std::string("\x00\x04\x4A\x46", 4);                                       // APP0, length 4
    j += std::string("\xFF\xC0\x00\x0B\x08\x01\x2C\x02\x58\x01\x01\x11\x00", 13);  // SOF0: 300 high, 600 wide
    j += std::string(200, '\x5A') + "\xFF\xD9";
    return j;
}
std::string pngBytes() {
    std::string p("\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR\x00\x00\x01\x90\x00\x00\x00\xC8\x08\x02\x00\x00\x00", 29);
    return p + std::string(300, '\x01');
}
std::string binaryBytes() {
    std::string b;
    for (uint32_t i = 0; i < 3 * 1048576 + 17; ++i) b += static_cast<char>((i * 7919u) >> 3);  // beyond one chunk
    return b;
}

TEST_F(LocalFunctions, ContainersRoundTripByCopyAndReference) {
    fs::create_directories(root / "c/in");
    fs::create_directories(root / "c/out");
    writeFile(root / "c/in/photo.JPG", jpegBytes());
    writeFile(root / "c/in/logo.png", pngBytes());
    writeFile(root / "c/in/data.bin", binaryBytes());
    for (const char* api : {"57", "54", "50"}) {  // chunked file containers, whole file containers, own streams
        SCOPED_TRACE(api);
        // File containers of newer hosts say only "FILE", which brings no extension of its own.
        const std::string renamed = std::string(api) == "50" ? ".png" : "";
        fs::remove_all(root / "c/out");
        fs::create_directories(root / "c/out");
        const std::string out =
            run(std::string("--api ") + api +
                e("Volan_ExportContainer(Volan_ImportContainer(\"C:\\in\\photo.JPG\"); \"C:\\out\")") +
                e("Volan_ExportContainer(Volan_ImportContainer(\"C:\\in\\logo.png\"); \"C:\\out\\renamed\")") +
                e("Volan_ExportContainer(Volan_ImportContainer(\"C:\\in\\data.bin\"); \"C:\\out\\\\\")") +
                e("Volan_ExportContainer(Volan_ImportContainer(\"C:\\in\\data.bin\"); \"C:\\out\\\\\")") +
                e("Volan_ImportContainer(\"C:\\in\\photo.JPG\"; True)") +
                e("Volan_ExportContainer(Volan_ImportContainer(\"C:\\in\\logo.png\"; 1); \"C:\\out\\ref.png\")") +
                e("Volan_ExportContainer(\"some text¶more\"; \"C:\\out\")") + e("Volan_ExportContainer(\"\")") +
                e("Volan_ImportContainer(\"C:\\in\")"));
        EXPECT_EQ(out,
                  "Exported container to: C:\\out\\photo.JPG\n"
                  "Exported container to: C:\\out\\renamed" +
                      renamed +
                      "\n"
                      "Exported container to: C:\\out\\data.bin\n"
                      "ERROR: ExportContainer: A File with the specified File Name already exists in the Folder: "
                      "C:\\out\\data.bin\n"
                      "imagewin:/C:/in/photo.JPG\n"
                      "Exported container to: C:\\out\\ref.png\n"
                      "Exported container to: C:\\out\\Untitled.txt\n"
                      "ERROR: ExportContainer: Container is empty.\n"
                      "ERROR: ImportContainer: You cannot specify a Folder to import; you must specify a File.\n");
        EXPECT_TRUE(readFile(root / "c/out/photo.JPG") == jpegBytes());
        EXPECT_TRUE(readFile(root / ("c/out/renamed" + renamed)) == pngBytes());
        EXPECT_TRUE(readFile(root / "c/out/data.bin") == binaryBytes());
        EXPECT_TRUE(readFile(root / "c/out/ref.png") == pngBytes());
        EXPECT_EQ(readFile(root / "c/out/Untitled.txt"), "some text\r\nmore");
    }
}

TEST_F(LocalFunctions, HostContainersExportAndImportedContainersSave) {
    fs::create_directories(root / "c/out");
    writeFile(root / "c/photo.jpeg", jpegBytes());
    writeFile(root / "c/blob.dat", "\x01\x02\x03");
    const std::string native = (root / "c").string();
    std::string out = run(e("Volan_ExportContainer(Container(\"" + native + "/photo.jpeg\"); \"C:\\out\\pic\")") +
                          e("Volan_ExportContainer(Container(\"" + native + "/blob.dat\"); \"C:\\out\")"));
    EXPECT_EQ(out, "Exported container to: C:\\out\\pic.jpg\nExported container to: C:\\out\\blob.dat\n");
    EXPECT_EQ(readFile(root / "c/out/pic.jpg"), jpegBytes());
    EXPECT_EQ(readFile(root / "c/out/blob.dat"), "\x01\x02\x03");

    // An image container built by the plug-in itself (older hosts) holds JPEG, MAIN, SIZE and FNAM.
    const fs::path saved = root / "saved.jpg";
    out = run("--api 50 --save-container " + saved.string() + e("Volan_ImportContainer(\"C:\\photo.jpeg\")"));
    EXPECT_EQ(out, "\n");  // the host shows no name for streams the plug-in built
    EXPECT_EQ(readFile(saved), jpegBytes());
}

}  // namespace

namespace {

TEST_F(LocalFunctions, TimestampsAreTheFilesOwn) {
    writeFile(root / "c/work/t.txt", "t");
    // A modification time in the past that the function must report, not the time of the call.
    const fs::file_time_type then = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    fs::last_write_time(root / "c/work/t.txt", then);
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::time_point_cast<std::chrono::system_clock::duration>(
            then - fs::file_time_type::clock::now() + std::chrono::system_clock::now()));
    std::tm local{};
    localtime_r(&seconds, &local);
    const std::string date = std::to_string(local.tm_mon + 1) + "/" + std::to_string(local.tm_mday) + "/" +
                             std::to_string(local.tm_year + 1900) + " ";
    const std::string out =
        run(e("Volan_ChangeLocalDir(\"C:\\work\")") + e("Volan_GetLocalFileTimestamp(\"t.txt\")") +
            e("Volan_GetLocalFileTimestamp(\"t.txt\"; True)") + e("Volan_GetLocalFileTimestamp(\"C:\\work\")") +
            e("Volan_GetLocalFileTimestamp(\"none.txt\")"));
    std::istringstream lines(out);
    std::string line;
    std::getline(lines, line);
    std::getline(lines, line);
    EXPECT_EQ(line.rfind(date, 0), 0u) << line << " / " << date;
    std::getline(lines, line);
    EXPECT_NE(line.rfind("ERROR", 0), 0u) << line;
    std::getline(lines, line);
    EXPECT_EQ(line,
              "ERROR: GetLocalFileTimestamp: You cannot get the timestamp of folders with this function; you must "
              "specify a file.");
    std::getline(lines, line);
    EXPECT_EQ(line, "ERROR: GetLocalFileTimestamp: File does not exist.");
}

}  // namespace

namespace {

// Removing a link removes the link, not what it leads to; and without a current folder a relative
// path is refused rather than taken on the root of the drive.
TEST_F(LocalFunctions, NothingIsReachedThroughALinkOrAMissingCurrentFolder) {
    fs::create_directories(root / "c/elsewhere");
    writeFile(root / "c/elsewhere/precious.txt", "p");
    fs::create_directory_symlink(root / "c/elsewhere", root / "c/work/link");
    writeFile(root / "c/victim.txt", "v");
    const std::string out =
        run(e("Volan_RemoveLocalDir(\"C:\\work\\link\"; 1)") + e("Volan_ChangeLocalDir(\"C:\\missing\")") +
            e("Volan_DeleteLocalFile(\"victim.txt\")") + e("Volan_WriteLocalFile(\"x\"; \"new.txt\")") +
            e("Volan_ChangeLocalDir(\"work\")") + e("Volan_ChangeLocalDir(\"C:\\work\")") +
            e("Volan_LocalDirExists(\"link\")"));
    const auto refused = [](const std::string& function, const std::string& path) {
        return "ERROR: " + function + ": Cannot complete the relative path '" + path +
               "': Local directory is not valid, use ChangeLocalDir to set a valid directory.\n";
    };
    EXPECT_EQ(out,
              "Deleted: C:\\work\\link\n"
              "ERROR: ChangeLocalDir: The specified local directory does not exist: C:\\missing; Error: Folder "
              "does not exist: C:\\missing\n" +
                  refused("DeleteLocalFile", "victim.txt") + refused("WriteLocalFile", "new.txt") +
                  refused("ChangeLocalDir", "work") + "Local directory set to: C:\\work\n0\n");
    EXPECT_EQ(readFile(root / "c/elsewhere/precious.txt"), "p");
    EXPECT_EQ(readFile(root / "c/victim.txt"), "v");
    EXPECT_FALSE(fs::exists(root / "c/new.txt"));
}

// Overwriting as an ordinary user (root passes every permission check): a file the user may not
// write to stays as it is, a file of another owner keeps its owner, and a writable file in a folder
// the user may not write to is written in place.
TEST_F(LocalFunctions, OverwritingHonoursThePermissionsOfAnOrdinaryUser) {
    constexpr unsigned kNobody = 65534;
    const std::string asNobody =
        "setpriv --reuid=" + std::to_string(kNobody) + " --regid=" + std::to_string(kNobody) + " --clear-groups ";
    if (geteuid() != 0 || access("/usr/bin/setpriv", X_OK) != 0 ||
        std::system((asNobody + "test -x " + VOLAN_HOST_PATH + " -a -r " + VOLAN_PLUGIN_PATH).c_str()) != 0)
        GTEST_SKIP() << "acting as another user needs root, setpriv and a build that user can reach";
    fs::create_directories(root / "c/shared");
    fs::create_directories(root / "c/locked");
    fs::create_directories(root / "home");
    writeFile(root / "c/shared/readonly.txt", "root's");
    writeFile(root / "c/shared/group.txt", "the group's");
    writeFile(root / "c/locked/open.txt", "open");
    ASSERT_EQ(chown((root / "c/shared/group.txt").c_str(), 0, kNobody), 0);
    ASSERT_EQ(chown((root / "home").c_str(), kNobody, kNobody), 0);
    const std::pair<const char*, mode_t> modes[] = {{"", 0755},
                                                    {"c", 0755},
                                                    {"c/shared", 0777},
                                                    {"c/shared/readonly.txt", 0444},
                                                    {"c/locked", 0555},
                                                    {"c/locked/open.txt", 0666},
                                                    {"c/shared/group.txt", 0664},
                                                    {"c/tmp", 01777}};
    for (const auto& [path, mode] : modes) ASSERT_EQ(chmod((root / path).c_str(), mode), 0) << path;
    set("HOME", (root / "home").string());
    set("XDG_DATA_HOME", (root / "home").string());

    std::string command = asNobody + VOLAN_HOST_PATH;
    for (const char* file : {"C:\\shared\\readonly.txt", "C:\\shared\\group.txt", "C:\\locked\\open.txt"})
        command += e("Volan_WriteLocalFile(\"new\"; \"" + std::string(file) + "\"; \"Overwrite\")");
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << out;
    EXPECT_EQ(out,
              "ERROR: WriteLocalFile: Could not replace file: C:\\shared\\readonly.txt; Permission denied\n"
              "Wrote to file: C:\\shared\\group.txt\n"
              "Wrote to file: C:\\locked\\open.txt\n");

    struct stat st {};
    EXPECT_EQ(readFile(root / "c/shared/readonly.txt"), "root's");
    ASSERT_EQ(stat((root / "c/shared/readonly.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u);
    EXPECT_EQ(readFile(root / "c/shared/group.txt"), "new");
    ASSERT_EQ(stat((root / "c/shared/group.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u);
    EXPECT_EQ(st.st_gid, kNobody);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
    EXPECT_EQ(readFile(root / "c/locked/open.txt"), "new");
    const auto entries = [](const fs::path& folder) {
        return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
    };
    EXPECT_EQ(entries(root / "c/shared"), 2);  // no temporary file left behind
    EXPECT_EQ(entries(root / "c/tmp"), 0);
}

}  // namespace
