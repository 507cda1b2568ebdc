// The file and folder script steps: what the host is told about them, when they are registered,
// and each step run through the host inside a private drive C, as a FileMaker script runs it.
#include "PluginFixture.h"

#include <sys/time.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

using testing_support::loadPlugin;
using testing_support::runVolanHost;
using testing_support::u8;
namespace fs = std::filesystem;

namespace {

// The definitions as the host's script editor must read them, one per step id.
const std::map<int, std::string>& expectedDefinitions() {
    static const std::map<int, std::string> d = {
        {7010,
         R"(<PluginStep><Parameter ID="0" Label="Source" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="1" Label="Destination" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(</PluginStep>)"},
        {7020,
         R"(<PluginStep><Parameter ID="0" Label="File" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(</PluginStep>)"},
        {7030,
         R"(<PluginStep><Parameter Label="Target" Type="target" DataType="number" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="0" Label="File" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/></PluginStep>)"},
        {7040, R"(<PluginStep><Parameter ID="0" Label="Container" Type="calc" DataType="container" )"
               R"(ShowInline="kParam_ShowInline"/>)"
               R"(<Parameter ID="1" Label="Folder" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
               R"(<Parameter ID="2" Label="File Name" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
               R"(</PluginStep>)"},
        {7050,
         R"(<PluginStep><Parameter Label="Target" Type="target" DataType="container" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="0" Label="File" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="1" Label="By Reference" Type="bool" Default="kParam_Unchecked" )"
         R"(ShowInline="kParam_ShowInline"/></PluginStep>)"},
        {7060,
         R"(<PluginStep><Parameter ID="0" Label="Source" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="1" Label="Destination" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(</PluginStep>)"},
        {7070, R"(<PluginStep><Parameter Label="Target" Type="target" DataType="text" ShowInline="kParam_ShowInline"/>)"
               R"(<Parameter ID="0" Label="File" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
               R"(<Parameter ID="1" Label="Start" Type="calc" DataType="number" ShowInline="kParam_DontShowInline"/>)"
               R"(<Parameter ID="2" Label="Amount" Type="calc" DataType="number" ShowInline="kParam_DontShowInline"/>)"
               R"(<Parameter ID="3" Label="Read Lines" Type="bool" Default="kParam_Unchecked" )"
               R"(ShowInline="kParam_DontShowInline"/></PluginStep>)"},
        {7080,
         R"(<PluginStep><Parameter ID="0" Label="File" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="1" Label="New Name" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(</PluginStep>)"},
        {7090,
         R"(<PluginStep><Parameter Label="Target" Type="target" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="0" Label="Start Folder" Type="calc" DataType="text" ShowInline="kParam_DontShowInline"/>)"
         R"(<Parameter ID="1" Label="Prompt" Type="calc" DataType="text" ShowInline="kParam_DontShowInline"/>)"
         R"(<Parameter ID="2" Label="Dialog Type" Type="list" Default="0" ShowInline="kParam_DontShowInline">)"
         R"(<Value ID="0">Get File (Open)</Value><Value ID="1">Put File (Save As)</Value></Parameter>)"
         R"(<Parameter ID="3" Label="File Types" Type="calc" DataType="text" ShowInline="kParam_DontShowInline"/>)"
         R"(</PluginStep>)"},
        {7100,
         R"(<PluginStep><Parameter Label="Target" Type="target" DataType="number" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="0" Label="File" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/></PluginStep>)"},
        {7110,
         R"(<PluginStep><Parameter Label="Target" Type="target" DataType="timestamp" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="0" Label="File" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="1" Label="Creation Timestamp" Type="bool" Default="kParam_Unchecked" )"
         R"(ShowInline="kParam_DontShowInline"/></PluginStep>)"},
        {7120,
         R"(<PluginStep><Parameter ID="0" Label="Data" Type="calc" DataType="text" ShowInline="kParam_DontShowInline"/>)"
         R"(<Parameter ID="1" Label="File" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="2" Label="File Exists Action" Type="list" Default="0" ShowInline="kParam_DontShowInline">)"
         R"(<Value ID="0">Abort</Value><Value ID="1">Overwrite</Value><Value ID="2">Backup</Value>)"
         R"(<Value ID="3">Append</Value><Value ID="4">Unique</Value></Parameter>)"
         R"(<Parameter ID="3" Label="Charater Set" Type="list" Default="0" ShowInline="kParam_DontShowInline">)"
         R"(<Value ID="0">UCS-2</Value><Value ID="1">UTF-8</Value><Value ID="2">ISO-8859-1 (US-ASCII, Latin1)</Value>)"
         R"(<Value ID="3">ISO-8859-2</Value><Value ID="4">ISO-8859-3</Value><Value ID="5">ISO-8859-4</Value>)"
         R"(<Value ID="6">ISO-8859-5</Value><Value ID="7">ISO-8859-6</Value><Value ID="8">ISO-8859-9</Value>)"
         R"(<Value ID="9">ISO-8859-15</Value><Value ID="10">ISO-2022-JP (ShiftJIS)</Value>)"
         R"(<Value ID="11">MacRoman</Value><Value ID="12">MacCentEurope</Value>)"
         R"(<Value ID="13">Windows-1250 (WinEasternEurope)</Value><Value ID="14">Windows-1251 (WinCyrillic)</Value>)"
         R"(<Value ID="15">Windows-1252 (WinASCII)</Value><Value ID="16">Windows-1253 (WinGreek)</Value>)"
         R"(<Value ID="17">Windows-1254 (WinTurkish)</Value><Value ID="18">Windows-1255 (WinHebrew)</Value>)"
         R"(<Value ID="19">Windows-1256 (WinArabic)</Value><Value ID="20">Windows-1257 (WinBaltic)</Value>)"
         R"(<Value ID="21">Big5 (ChineseTrad)</Value><Value ID="22">GB2312 (ChineseSimp)</Value>)"
         R"(<Value ID="23">KOI8-R (Cyrillic)</Value><Value ID="24">KS-C-5601-1987 (Korean)</Value></Parameter>)"
         R"(<Parameter ID="4" Label="Line Ending Type" Type="list" Default="0" ShowInline="kParam_DontShowInline">)"
         R"(<Value ID="0">System</Value><Value ID="1">Mac (CR)</Value><Value ID="2">Windows (CRLF)</Value>)"
         R"(<Value ID="3">Linex (LF)</Value><Value ID="4">None</Value></Parameter>)"
         R"(<Parameter ID="5" Label="Include Unicode BOM" Type="bool" Default="kParam_Unchecked" )"
         R"(ShowInline="kParam_DontShowInline"/></PluginStep>)"},
        {7130,
         R"(<PluginStep><Parameter ID="0" Label="Folder" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(</PluginStep>)"},
        {7140,
         R"(<PluginStep><Parameter ID="0" Label="Folder" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="1" Label="Delete Contents" Type="bool" Default="kParam_Unchecked" )"
         R"(ShowInline="kParam_DontShowInline"/></PluginStep>)"},
        {7150,
         R"(<PluginStep><Parameter Label="Target" Type="target" DataType="number" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="0" Label="Folder" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(</PluginStep>)"},
        {7160, R"(<PluginStep><Parameter Label="Target" Type="target" DataType="text" ShowInline="kParam_ShowInline"/>)"
               R"(<Parameter ID="0" Label="Type" Type="list" Default="0" ShowInline="kParam_ShowInline">)"
               R"(<Value ID="0">Database</Value><Value ID="1">FileMaker</Value><Value ID="2">Root</Value>)"
               R"(<Value ID="3">System</Value><Value ID="4">Desktop</Value><Value ID="5">Preferences</Value>)"
               R"(<Value ID="6">Temporary</Value><Value ID="7">Applications</Value><Value ID="8">Documents</Value>)"
               R"(</Parameter></PluginStep>)"},
        {7170,
         R"(<PluginStep><Parameter Label="Target" Type="target" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="0" Label="Path" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="1" Label="Wildcard" Type="calc" DataType="text" ShowInline="kParam_DontShowInline"/>)"
         R"(<Parameter ID="2" Label="Field Separator" Type="calc" DataType="text" )"
         R"(ShowInline="kParam_DontShowInline"/>)"
         R"(<Parameter ID="3" Label="Row Separator" Type="calc" DataType="text" ShowInline="kParam_DontShowInline"/>)"
         R"(</PluginStep>)"},
        {7180,
         R"(<PluginStep><Parameter ID="0" Label="Folder" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="1" Label="New Name" Type="calc" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(</PluginStep>)"},
        {7190,
         R"(<PluginStep><Parameter Label="Target" Type="target" DataType="text" ShowInline="kParam_ShowInline"/>)"
         R"(<Parameter ID="0" Label="Start Folder" Type="calc" DataType="text" ShowInline="kParam_DontShowInline"/>)"
         R"(<Parameter ID="1" Label="Prompt" Type="calc" DataType="text" ShowInline="kParam_DontShowInline"/>)"
         R"(</PluginStep>)"},
    };
    return d;
}

struct NameAndDescription {
    const char* name;
    const char* description;
};

const std::map<int, NameAndDescription>& expectedNames() {
    static const std::map<int, NameAndDescription> n = {
        {7010, {"Volan File Copy", "File Copy Volan Volan Pro|Copies a file to a new location and/or a new name."}},
        {7020, {"Volan File Delete", "File Delete Volan Volan Pro|Deletes a file."}},
        {7030, {"Volan File Exists", "File Exists Volan Volan Pro|Checks for the existence of a file."}},
        {7040, {"Volan File Export", "File Export Container Volan Volan Pro|Exports a container to the drive."}},
        {7050,
         {"Volan File Import",
          "File Import container Volan Volan Pro|Imports a file from the drive into a container."}},
        {7060, {"Volan File Move", "File Move Volan Volan Pro|Moves a file to a new location and/or a new name."}},
        {7070, {"Volan File Read", "File Read Lines Volan Volan Pro|Reads in the characters or lines of a file."}},
        {7080, {"Volan File Rename", "File Rename Volan Volan Pro|Renames a file."}},
        {7090,
         {"Volan File Select With Dialog",
          "File Select Dialog Volan Volan Pro|Presents the user with a standard open file dialog and returns the path "
          "to the chosen file."}},
        {7100, {"Volan File Size", "File Size Volan Volan Pro|Returns the size of a file."}},
        {7110,
         {"Volan File Timestamp",
          "File Timestamp Date Creation Modification Volan Volan Pro|Returns the modification, or optionally the "
          "creation, timestamp of a file."}},
        {7120, {"Volan File Write", "File Write Volan Volan Pro|Writes data out to a file."}},
        {7130, {"Volan Folder Create", "Folder Create Volan Volan Pro|Creates a folder."}},
        {7140, {"Volan Folder Delete", "Folder Delete Volan Volan Pro|Deletes a folder."}},
        {7150, {"Volan Folder Exists", "Folder Exists Volan Volan Pro|Checks for the existence of a folder."}},
        {7160,
         {"Volan Folder Get Path",
          "Folder Get Path Database FileMaker Root System Desktop Preferences Temporary Applications Documents Volan "
          "Volan Pro|Returns the path to a specified location on the drive."}},
        {7170,
         {"Volan Folder List",
          "Folder List Volan Volan Pro|Returns a list of files and folders at the specified path."}},
        {7180, {"Volan Folder Rename", "Folder Rename Volan Volan Pro|Renames a folder."}},
        {7190,
         {"Volan Folder Select With Dialog",
          "Folder Select With Dialog Dialog Volan Volan Pro|Presents the user with a standard select folder dialog "
          "and returns the path to the chosen folder."}},
    };
    return n;
}

void removePreferences() { std::filesystem::remove_all(std::filesystem::path(std::getenv("XDG_DATA_HOME")) / "Orb"); }

// Sets "PluginInterface" through Volan_Configure (the functions are there while it is unset).
void setInterface(const char* value) {
    removePreferences();
    auto setup = loadPlugin();
    EXPECT_EQ(setup->init(), 57);
    EXPECT_EQ(
        u8(setup->evaluate(u"Volan_Configure(\"Set\";\"PluginInterface\";\"" + fmhost::utf16(value) + u"\")").text),
        "Preference set.");
    setup->unload();
}

std::unique_ptr<fmhost::PluginHost> hostAt(int16_t api) {
    fmhost::HostSettings s;
    s.apiVersion = api;
    if (api < 57) s.versionText = u"Pro 15.0.3";
    auto host = loadPlugin(s);
    EXPECT_EQ(host->init(), 57);
    return host;
}

std::vector<int> registeredStepIds() {
    std::vector<int> ids;
    for (const auto& s : fmhost::HostState::get().steps) ids.push_back(s.id);
    return ids;
}

// File steps first, by bit, then the plug-in's own.
std::vector<int> allStepIds() {
    std::vector<int> ids;
    for (int id = 7010; id <= 7190; id += 10) ids.push_back(id);
    for (int id : {6010, 6020, 6030, 6050}) ids.push_back(id);
    return ids;
}

}  // namespace

TEST(FileSteps, DefinitionsNamesAndDescriptionsAsTheHostReadsThem) {
    setInterface("2");
    auto host = hostAt(57);
    size_t checked = 0;
    for (const auto& s : fmhost::HostState::get().steps) {
        if (s.id < 7000) continue;
        ++checked;
        ASSERT_TRUE(expectedDefinitions().count(s.id)) << s.id;
        EXPECT_EQ(u8(s.definition), expectedDefinitions().at(s.id)) << s.id;
        EXPECT_EQ(u8(s.name), expectedNames().at(s.id).name) << s.id;
        EXPECT_EQ(u8(s.description), expectedNames().at(s.id).description) << s.id;
        EXPECT_EQ(s.flags, 0xFF007Eu) << s.id;
        EXPECT_EQ(s.pluginId, "Orb3") << s.id;
    }
    EXPECT_EQ(checked, 19u);
    host->unload();
    EXPECT_TRUE(fmhost::HostState::get().steps.empty());
    removePreferences();
}

TEST(FileSteps, RegisteredAsThePreferenceAndHostVersionAllow) {
    const std::vector<int> all = allStepIds();
    setInterface("1");
    for (int16_t api : {57, 60, 62}) {
        auto host = hostAt(api);
        EXPECT_EQ(registeredStepIds(), all) << api;
        EXPECT_TRUE(fmhost::HostState::get().functions.empty()) << api;
        host->unload();
        EXPECT_TRUE(fmhost::HostState::get().steps.empty()) << api;
    }
    {
        auto host = hostAt(56);  // a version-15 host has no script steps, file steps included
        EXPECT_TRUE(fmhost::HostState::get().steps.empty());
        host->unload();
    }

    setInterface("2");
    auto host = hostAt(57);
    EXPECT_EQ(registeredStepIds(), all);
    EXPECT_EQ(fmhost::HostState::get().functions.size(), 61u);
    host->unload();
    host = hostAt(55);
    EXPECT_TRUE(fmhost::HostState::get().steps.empty());
    EXPECT_EQ(fmhost::HostState::get().functions.size(), 61u);
    host->unload();

    setInterface("0");
    host = hostAt(57);
    EXPECT_TRUE(fmhost::HostState::get().steps.empty());
    EXPECT_EQ(fmhost::HostState::get().functions.size(), 61u);
    host->unload();
    removePreferences();
}

TEST(FileSteps, VolanHostListsFunctionsAndStepsAsTheInterfaceSays) {
    setInterface("2");
    std::string out;
    ASSERT_EQ(runVolanHost("--api 57 --list", out), 0) << out;
    std::istringstream lines(out);
    std::string line;
    size_t functions = 0;
    std::vector<std::string> steps;
    while (std::getline(lines, line)) {
        if (line.rfind("FUNCTION ", 0) == 0) ++functions;
        if (line.rfind("STEP ", 0) == 0) steps.push_back(line);
    }
    EXPECT_EQ(functions, 61u);
    ASSERT_EQ(steps.size(), 23u) << out;
    EXPECT_EQ(steps.front(), "STEP 7010 Volan File Copy");
    EXPECT_EQ(steps[18], "STEP 7190 Volan Folder Select With Dialog");
    EXPECT_EQ(steps.back(), "STEP 6050 Volan Version");

    setInterface("1");
    ASSERT_EQ(runVolanHost("--api 57 --list", out), 0) << out;
    EXPECT_EQ(out.find("FUNCTION "), std::string::npos) << out;
    size_t count = 0;
    for (size_t at = out.find("STEP "); at != std::string::npos; at = out.find("STEP ", at + 1)) ++count;
    EXPECT_EQ(count, 23u) << out;
    EXPECT_NE(out.find("STEP 7120 Volan File Write\n"), std::string::npos) << out;
    removePreferences();
}

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

// A private drive C ("OS") and D ("Data") for volan-host, which runs the steps as a script would.
// Times are in UTC, and the choosers take scripted answers.
class FileStepRuns : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/volan-steps-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        for (const char* folder : {"c/in", "c/out", "c/tmp", "c/home/me", "d", "net"})
            fs::create_directories(root / folder);
        set("VOLAN_DRIVES", "C=" + (root / "c").string() + ":OS;D=" + (root / "d").string() + ":Data");
        set("VOLAN_NETWORK_ROOT", (root / "net").string());
        set("TMPDIR", (root / "c/tmp").string());
        set("VOLAN_UI", "headless");
        set("TZ", "UTC");
        // The plug-in's own files must lie on a drive too.
        set("HOME", (root / "c/home/me").string());
        set("XDG_DATA_HOME", (root / "c/home/me/.local/share").string());
        // Set by a plug-in that sees these drives, so that the steps' runs find the preference.
        removePreferences();
        run(" -e 'Volan_Configure(\"Set\";\"PluginInterface\";\"2\")'", 0);
    }
    void TearDown() override {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
        fs::remove_all(root);
        removePreferences();
    }
    void set(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }
    static std::string quoted(const std::string& text) {
        std::string q = "'";
        for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    }
    // One step with its parameters, each a calculation.
    static std::string step(const std::string& name, std::initializer_list<std::string> parameters) {
        std::string args = " --step " + quoted(name);
        for (const std::string& p : parameters) args += " --param " + quoted(p);
        return args;
    }
    // Runs the steps in one volan-host session, `failures` of which must fail (exit status 1).
    std::string run(const std::string& arguments, int failures) {
        std::string out;
        EXPECT_EQ(runVolanHost(arguments, out), failures ? 1 : 0) << out;
        int failed = 0;
        for (size_t at = 0; at < out.size(); at = out.find('\n', at) + 1) {
            if (out.compare(at, 2, "? ") == 0) ++failed;
            if (out.find('\n', at) == std::string::npos) break;
        }
        EXPECT_EQ(failed, failures) << out;
        return out;
    }
    static std::string failed(const std::string& text) { return "? " + text + " (host error 1552)\n"; }

    fs::path root;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(FileStepRuns, FilesAreCopiedMovedRenamedAndDeleted) {
    writeFile(root / "c/in/a.txt", "hello\r\nworld\r\n");
    const std::string out = run(
        step("Volan File Copy", {R"("C:\in\a.txt")", R"("C:\out\\")"}) +
            step("Volan File Exists", {R"("C:\out\a.txt")"}) + step("Volan File Exists", {R"("C:\out")"}) +
            step("Volan File Size", {R"("C:\out\a.txt")"}) +
            step("Volan File Rename", {R"("C:\out\a.txt")", R"("b.txt")"}) +
            step("Volan File Move", {R"("C:\out\b.txt")", R"("D:\\")"}) + step("Volan File Delete", {R"("D:\b.txt")"}) +
            step("Volan File Copy", {R"("C:\in\none.txt")", R"("C:\out\\")"}) +
            step("Volan File Delete", {R"("C:\out")"}),
        2);
    EXPECT_EQ(out,
              "Copied: C:\\in\\a.txt to: C:\\out\\a.txt\n"
              "1\n"
              "0\n"
              "14\n"
              "Renamed: C:\\out\\a.txt to: C:\\out\\b.txt\n"
              "Moved: C:\\out\\b.txt to: D:\\b.txt\n"
              "Deleted: D:\\b.txt\n" +
                  failed("Volan Pro File Copy: Source file does not exist.") +
                  failed("Volan Pro File Delete: You cannot delete folders with this function; you must "
                         "specify a file."));
    EXPECT_TRUE(fs::is_empty(root / "c/out"));
    EXPECT_TRUE(fs::is_empty(root / "d"));
    EXPECT_EQ(readFile(root / "c/in/a.txt"), "hello\r\nworld\r\n");
}

TEST_F(FileStepRuns, WriteHandsEachListChoiceToTheOperation) {
    const std::string out = run(
        // Abort (0), UTF-8 (1), LF (3), with a byte order mark.
        step("Volan File Write", {"\"x¶y\"", R"("C:\w.txt")", "0", "1", "3", "True"}) +
            // Append (3) writes no second mark.
            step("Volan File Write", {"\"¶z\"", R"("C:\w.txt")", "3", "1", "3", "True"}) +
            step("Volan File Write", {"\"q\"", R"("C:\w.txt")", "0", "1", "3", "False"}) +
            // Backup (2): the old file is kept as "w Backup.txt".
            step("Volan File Write", {"\"new\"", R"("C:\w.txt")", "2", "1", "4", "False"}) +
            // UCS-2 (0) with CR LF (2) and a mark; a second time Unique (4).
            step("Volan File Write", {"\"a¶b\"", R"("C:\u.txt")", "0", "0", "2", "True"}) +
            step("Volan File Write", {"\"c\"", R"("C:\u.txt")", "4", "0", "1", "False"}) +
            // Choices given by their shown text; Overwrite (1) of an existing file.
            step("Volan File Write", {"\"\xC3\xA9¶x\"", R"("C:\u1.txt")", "\"Overwrite\"",
                                      "\"ISO-8859-1 (US-ASCII, Latin1)\"", "\"Mac (CR)\"", "False"}) +
            // A choice the list does not have reaches the operation, which names what it accepts.
            step("Volan File Write", {"\"x\"", R"("C:\v.txt")", "0", "25", "0", "False"}) +
            step("Volan File Write", {"\"x\"", R"("C:\v.txt")", "7", "1", "0", "False"}),
        3);
    EXPECT_EQ(out,
              "Wrote to file: C:\\w.txt\n"
              "Wrote to file: C:\\w.txt\n" +
                  failed("Volan Pro File Write: Could not write file because there is an existing file with "
                         "the name w.txt") +
                  "Wrote to file: C:\\w.txt\n"
                  "Wrote to file: C:\\u.txt\n"
                  "Wrote to file: C:\\u1.txt\n"
                  "Wrote to file: C:\\u1.txt\n" +
                  failed("Volan Pro File Write: Unknown character set: 25") +
                  failed("Volan Pro File Write: Invalid FileExistsAction; specify \"Abort\", \"Overwrite\", "
                         "\"Backup\", \"Append\", or \"Unique\"."));
    EXPECT_EQ(readFile(root / "c/w Backup.txt"), "\xEF\xBB\xBFx\ny\nz");
    EXPECT_EQ(readFile(root / "c/w.txt"), "new");
    EXPECT_EQ(readFile(root / "c/u.txt"), std::string("\xFE\xFF\0a\0\r\0\n\0b", 10));
    EXPECT_EQ(readFile(root / "c/u1.txt"), "\xE9\rx");
    EXPECT_FALSE(fs::exists(root / "c/v.txt"));
}

TEST_F(FileStepRuns, ReadGivesCharactersAndLines) {
    writeFile(root / "c/in/a.txt", "hello\r\nworld\nlast");
    const std::string out = run(step("Volan File Read", {R"("C:\in\a.txt")", "7", "5", "False"}) +
                                    step("Volan File Read", {R"("C:\in\a.txt")", "-4", "0", "False"}) +
                                    step("Volan File Read", {R"("C:\in\a.txt")", "0", "2", "True"}) +
                                    step("Volan File Read", {R"("C:\in\a.txt")", "-1", "0", "True"}) +
                                    step("Volan File Read", {R"("C:\in")", "0", "0", "False"}),
                                1);
    EXPECT_EQ(out, "world\nlast\nhello\nworld\n\nlast\n" +
                       failed("Volan Pro File Read: The specified path is a folder; you must specify a file."));
}

TEST_F(FileStepRuns, FoldersAreMadeListedRenamedAndDeleted) {
    fs::create_directories(root / "c/full");
    writeFile(root / "c/full/f.txt", "f");
    fs::create_directories(root / "c/list/sub.txt");
    writeFile(root / "c/list/a.txt", "abc");
    writeFile(root / "c/list/B.Txt", "");
    writeFile(root / "c/list/c.txt.bak", "c");
    // 2021-03-14 13:45:10 UTC
    const struct timeval times[2] = {{1615729510, 0}, {1615729510, 0}};
    ASSERT_EQ(utimes((root / "c/list/a.txt").c_str(), times), 0);
    ASSERT_EQ(utimes((root / "c/list/B.Txt").c_str(), times), 0);
    const std::string out =
        run(step("Volan Folder Create", {R"("C:\new")"}) + step("Volan Folder Create", {R"("C:\new")"}) +
                step("Volan Folder Exists", {R"("C:\new")"}) + step("Volan Folder Exists", {R"("C:\full\f.txt")"}) +
                step("Volan Folder Rename", {R"("C:\new")", R"("newer")"}) +
                step("Volan Folder Delete", {R"("C:\full")", "False"}) +
                step("Volan Folder Delete", {R"("C:\full")", "True"}) +
                step("Volan Folder Delete", {R"("C:\newer")", "False"}) +
                step("Volan Folder List", {R"("C:\list")", R"("*.TXT")", R"(";")", R"("|")"}) +
                step("Volan Folder Get Path", {"2"}) + step("Volan Folder Get Path", {"9"}) +
                step("Volan Folder Get Path", {"2.5"}),
            4);
    std::istringstream lines(out);
    std::string line;
    std::vector<std::string> got;
    while (std::getline(lines, line)) got.push_back(line);
    ASSERT_EQ(got.size(), 12u) << out;
    EXPECT_EQ(got[0], "Created: C:\\new");
    EXPECT_EQ(got[1], "? Volan Pro Folder Create: Folder already exists. (host error 1552)");
    EXPECT_EQ(got[2], "1");
    EXPECT_EQ(got[3], "0");
    EXPECT_EQ(got[4], "Renamed: C:\\new to: C:\\newer");
    EXPECT_EQ(got[5].rfind("? Volan Pro Folder Delete: Folder deletion failed: ", 0), 0u) << got[5];
    EXPECT_EQ(got[6], "Deleted: C:\\full");
    EXPECT_EQ(got[7], "Deleted: C:\\newer");
    // Only names the anchored wildcard accepts, whatever their case; folders too.
    std::vector<std::string> rows;
    std::istringstream listing(got[8]);
    for (std::string row; std::getline(listing, row, '|');) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    ASSERT_EQ(rows.size(), 3u) << got[8];
    EXPECT_EQ(rows[0], "B.Txt;file;0;03/14/2021 13:45:10");
    EXPECT_EQ(rows[1], "a.txt;file;3;03/14/2021 13:45:10");
    EXPECT_EQ(rows[2].rfind("sub.txt;dir;", 0), 0u) << rows[2];
    EXPECT_EQ(got[9], "OS");  // Root: the label of drive C, not a path
    EXPECT_EQ(got[10],
              "? Volan Pro Folder Get Path: Unknown path type. Specify \"Database\", \"FileMaker\", \"Root\", "
              "\"System\", \"Desktop\", \"Preferences\", \"Temporary\", \"Applications\", or \"Documents\". (host "
              "error 1552)");
    EXPECT_EQ(got[11], got[10]);  // no choice has a fractional id
    EXPECT_FALSE(fs::exists(root / "c/full"));
    EXPECT_FALSE(fs::exists(root / "c/newer"));
}

TEST_F(FileStepRuns, ContainersTimestampsAndChoosers) {
    const std::string jpeg("\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0\xFF\xD9", 22);
    writeFile(root / "c/in/photo.jpg", jpeg);
    writeFile(root / "c/in/t.txt", "t");
    const struct timeval times[2] = {{1615729510, 0}, {1615729510, 0}};
    ASSERT_EQ(utimes((root / "c/in/t.txt").c_str(), times), 0);
    const std::string out =
        run(" --answer 'OK:C:\\in\\t.txt' --answer 'OK:new' --answer 'OK:C:\\out'" +
                step("Volan File Export",
                     {"Container(\"" + (root / "c/in/photo.jpg").string() + "\")", R"("C:\out")", R"("pic")"}) +
                step("Volan File Export", {"\"\"", R"("C:\out")", R"("pic")"}) +
                step("Volan File Import", {R"("C:\in\photo.jpg")", "False"}) +
                step("Volan File Import", {R"("C:\in\photo.jpg")", "True"}) +
                step("Volan File Timestamp", {R"("C:\in\t.txt")", "False"}) +
                step("Volan File Select With Dialog", {R"("C:\in")", R"("Pick")", "0", R"("txt")"}) +
                step("Volan File Select With Dialog", {R"("C:\in")", R"("Save")", "1", R"("txt")"}) +
                step("Volan Folder Select With Dialog", {R"("C:\\")", R"("Where")"}) +
                step("Volan Folder Select With Dialog", {R"("C:\\")", R"("Where")"}),
            2);
    EXPECT_EQ(out, "Exported file to: C:\\out\\pic.jpg\n" + failed("Volan Pro File Export: Container is empty.") +
                       "photo.jpg\n"
                       "imagewin:/C:/in/photo.jpg\n"
                       "3/14/2021 13:45:10\n"
                       "C:\\in\\t.txt\n"
                       "C:\\in\\new.txt\n"
                       "C:\\out\n" +
                       failed("Volan Pro Folder Select With Dialog: Dialog cancelled."));
    EXPECT_EQ(readFile(root / "c/out/pic.jpg"), jpeg);
}

}  // namespace
