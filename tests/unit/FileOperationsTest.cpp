// The file and folder operations on real files in a private drive.
#include "../support/TestDrives.h"
#include "_Common/Strings/Orb_CharSets.h"
#include "_CommonEx/FMPlugin/Plugin_Container.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"
#include "_CommonEx/FileAndStream/Orb_FileRefEx.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

namespace {

std::string u8(const ucstring& s) { return ucstringToUTF8String(s); }

ucstring run(ucstring (*operation)(const OrbVariableArray&, OrbVariable&),
             std::initializer_list<std::pair<const char16_t*, ucstring>> parameters, ucstring* error = nullptr) {
    OrbVariable result;
    const ucstring e = operation(fileOperationParameters(parameters), result);
    if (error) *error = e;
    return e.empty() ? result.variableAsString(1) : u"ERROR " + e;
}

size_t entryCount(const std::string& folder) {
    size_t n = 0;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d)) n += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
        closedir(d);
    }
    return n;
}

class FileOperations : public ::testing::Test {
protected:
    TestDrives drives;
};

TEST_F(FileOperations, WriteActionsKeepOrReplaceExistingFiles) {
    TestDrives::writeFile(drives.c("/f.txt"), "old");
    EXPECT_EQ(u8(run(File_WriteCallback, {{u"Data", u"new"}, {u"File", u"C:\\f.txt"}})),
              "ERROR Could not write file because there is an existing file with the name f.txt");
    EXPECT_EQ(TestDrives::readFile(drives.c("/f.txt")), "old");

    EXPECT_EQ(
        u8(run(File_WriteCallback, {{u"Data", u"one"}, {u"File", u"C:\\f.txt"}, {u"FileExistsAction", u"backup"}})),
        "Wrote to file: C:\\f.txt");
    EXPECT_EQ(
        u8(run(File_WriteCallback, {{u"Data", u"two"}, {u"File", u"C:\\f.txt"}, {u"FileExistsAction", u"Backup"}})),
        "Wrote to file: C:\\f.txt");
    EXPECT_EQ(TestDrives::readFile(drives.c("/f Backup.txt")), "old");
    EXPECT_EQ(TestDrives::readFile(drives.c("/f Backup1.txt")), "one");
    EXPECT_EQ(TestDrives::readFile(drives.c("/f.txt")), "two");

    EXPECT_EQ(u8(run(File_WriteCallback, {{u"Data", u"u"}, {u"File", u"C:\\f.txt"}, {u"FileExistsAction", u"UNIQUE"}})),
              "Wrote to file: C:\\f1.txt");
    EXPECT_EQ(u8(run(File_WriteCallback, {{u"Data", u"+"},
                                          {u"File", u"C:\\f.txt"},
                                          {u"FileExistsAction", u"append"},
                                          {u"IncludeUnicodeBOM", u"1"}})),
              "Wrote to file: C:\\f.txt");
    EXPECT_EQ(TestDrives::readFile(drives.c("/f.txt")), "two+");  // no mark in the middle of a file

    const size_t before = entryCount(drives.c());
    EXPECT_EQ(
        u8(run(File_WriteCallback, {{u"Data", u"a\nb"}, {u"File", u"C:\\f.txt"}, {u"FileExistsAction", u"Overwrite"}})),
        "Wrote to file: C:\\f.txt");
    EXPECT_EQ(TestDrives::readFile(drives.c("/f.txt")), "a\r\nb");
    EXPECT_EQ(entryCount(drives.c()), before);  // the temporary file took the old one's place

    TestDrives::makeFolder(drives.c("/dir"));
    EXPECT_EQ(
        u8(run(File_WriteCallback, {{u"Data", u"x"}, {u"File", u"C:\\dir"}, {u"FileExistsAction", u"overwrite"}})),
        "ERROR Could not write file because there is an existing folder with the name dir");
    EXPECT_EQ(u8(run(File_WriteCallback, {{u"Data", u"x"}, {u"File", u"C:\\dir"}, {u"FileExistsAction", u"backup"}})),
              "ERROR Could not backup existing file (dir) because it's not a file, it's a folder.");
    EXPECT_EQ(
        u8(run(File_WriteCallback, {{u"Data", u"x"}, {u"File", u"C:\\g.txt"}, {u"FileExistsAction", u"maybe"}})),
        "ERROR Invalid FileExistsAction; specify \"Abort\", \"Overwrite\", \"Backup\", \"Append\", or \"Unique\".");
    EXPECT_EQ(u8(run(File_WriteCallback, {{u"Data", u"x"}, {u"File", u"C:\\g.txt"}, {u"CharacterSet", u"EBCDIC"}})),
              "ERROR Unknown character set: EBCDIC");
    EXPECT_FALSE(TestDrives::exists(drives.c("/g.txt")));
}

TEST_F(FileOperations, OverwriteOfAReadOnlyFileKeepsTheOldFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes to any file";
    TestDrives::makeFolder(drives.c("/locked"));
    TestDrives::writeFile(drives.c("/locked/keep.txt"), "precious");
    chmod(drives.c("/locked/keep.txt").c_str(), 0444);
    chmod(drives.c("/locked").c_str(), 0555);
    ucstring error;
    run(File_WriteCallback,
        {{u"Data", u"new"}, {u"File", u"C:\\locked\\keep.txt"}, {u"FileExistsAction", u"overwrite"}}, &error);
    chmod(drives.c("/locked").c_str(), 0755);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(TestDrives::readFile(drives.c("/locked/keep.txt")), "precious");
}

TEST_F(FileOperations, EveryCharacterSetRoundTripsThroughTheFile) {
    const ucstring text = u"Caf\u00e9 \u00c5 line\rnext 42";
    for (int16_t set = 0; set < kCharSetCount; ++set) {
        SCOPED_TRACE(set);
        // The text each set can hold: what survives its own conversion.
        std::string expectedBytes;
        ASSERT_EQ(charSetEncode(expectedBytes, stringReplaceAll(text, u"\r", u"\n"), set, false), u"");
        ucstring expected;
        ASSERT_EQ(charSetDecode(expected, expectedBytes, set, false), u"");

        const ucstring name = u"C:\\cs" + ucstringFromString(std::to_string(set)) + u".txt";
        ucstring charSetName;
        static const char16_t* const kNames[] = {
            u"UCS-2",          u"UTF-8",        u"ISO-8859-1",   u"MacRoman",     u"ISO-8859-2",   u"MacCentEurope",
            u"ShiftJIS",       u"ISO-8859-3",   u"ISO-8859-4",   u"ISO-8859-5",   u"ISO-8859-6",   u"ISO-8859-9",
            u"ISO-8859-15",    u"Windows-1250", u"Windows-1251", u"Windows-1252", u"Windows-1253", u"Windows-1254",
            u"Windows-1255",   u"Windows-1256", u"Windows-1257", u"Big5",         u"GB2312",       u"KOI8-R",
            u"KS-C-5601-1987", u"ISO-2022-JP",  u"ISO-8859-10"};
        ASSERT_EQ(stringToCharSet(ucstring(kNames[set])), set) << u8(kNames[set]);
        ASSERT_EQ(
            u8(run(File_WriteCallback,
                   {{u"Data", text}, {u"File", name}, {u"CharacterSet", kNames[set]}, {u"LineEndingType", u"LF"}})),
            "Wrote to file: " + u8(name));
        const std::string bytes = TestDrives::readFile(drives.c("/cs" + std::to_string(set) + ".txt"));
        EXPECT_EQ(bytes, expectedBytes);
        ucstring back;
        ASSERT_EQ(charSetDecode(back, bytes, set, false), u"");
        EXPECT_EQ(u8(back), u8(expected));
    }
    // UTF-8 and UCS-2 marks.
    run(File_WriteCallback, {{u"Data", u"A"}, {u"File", u"C:\\m8.txt"}, {u"IncludeUnicodeBOM", u"true"}});
    run(File_WriteCallback,
        {{u"Data", u"A"}, {u"File", u"C:\\m16.txt"}, {u"CharacterSet", u"UCS-2"}, {u"IncludeUnicodeBOM", u"1"}});
    EXPECT_EQ(TestDrives::readFile(drives.c("/m8.txt")),
              "\xEF\xBB\xBF"
              "A");
    EXPECT_EQ(TestDrives::readFile(drives.c("/m16.txt")), std::string("\xFE\xFF\0A", 4));
}

TEST_F(FileOperations, ReadByBytesAndLinesFromEitherEnd) {
    TestDrives::writeFile(drives.c("/r.txt"), "one\r\ntwo\nthree\rfour");
    auto read = [&](const char16_t* start, const char16_t* amount, const char16_t* lines) {
        return u8(run(File_ReadCallback,
                      {{u"File", u"C:\\r.txt"}, {u"Start", start}, {u"Amount", amount}, {u"ReadLines", lines}}));
    };
    EXPECT_EQ(read(u"0", u"0", u"0"), "one\r\ntwo\nthree\rfour");
    EXPECT_EQ(read(u"5", u"3", u"0"), "two");
    EXPECT_EQ(read(u"-4", u"0", u"0"), "four");
    EXPECT_EQ(read(u"-4", u"100", u"0"), "four");
    EXPECT_EQ(read(u"99", u"0", u"0"), "");
    EXPECT_EQ(read(u"15", u"9223372036854775000", u"0"), "four");  // an amount beyond any file
    EXPECT_EQ(read(u"0", u"0", u"1"), "one\rtwo\rthree\rfour");
    EXPECT_EQ(read(u"1", u"2", u"1"), "two\rthree\r");
    EXPECT_EQ(read(u"-1", u"0", u"1"), "four");
    EXPECT_EQ(read(u"-2", u"1", u"1"), "three\r");
    TestDrives::makeFolder(drives.c("/rd"));
    EXPECT_EQ(u8(run(File_ReadCallback, {{u"File", u"C:\\rd"}})),
              "ERROR The specified path is a folder; you must specify a file.");
    EXPECT_EQ(u8(run(File_ReadCallback, {{u"File", u"C:\\none.txt"}})), "ERROR File does not exist.");
}

TEST_F(FileOperations, CopyMoveRenameDeleteAndFolders) {
    TestDrives::writeFile(drives.c("/a.txt"), "A");
    TestDrives::makeFolder(drives.c("/to"));
    EXPECT_EQ(u8(run(File_CopyCallback, {{u"Source", u"C:\\a.txt"}, {u"Destination", u"C:\\to\\"}})),
              "Copied: C:\\a.txt to: C:\\to\\a.txt");
    EXPECT_EQ(u8(run(File_CopyCallback, {{u"Source", u"C:\\a.txt"}, {u"Destination", u"C:\\to"}}))
                  .rfind("ERROR File copy failed: Destination File already exists: ", 0),
              0u);
    EXPECT_EQ(u8(run(File_CopyCallback, {{u"Source", u"C:\\a.txt"}, {u"Destination", u"C:\\nowhere\\"}})),
              "ERROR File destination does not exist.");
    EXPECT_EQ(u8(run(File_MoveCallback, {{u"Source", u"C:\\to\\a.txt"}, {u"Destination", u"C:\\b.txt"}})),
              "Moved: C:\\to\\a.txt to: C:\\b.txt");
    EXPECT_EQ(u8(run(File_MoveCallback, {{u"Source", u"C:\\to"}, {u"Destination", u"C:\\x"}})),
              "ERROR You cannot move folders with this function; you must specify a file.");
    EXPECT_EQ(u8(run(File_RenameCallback, {{u"File", u"C:\\b.txt"}, {u"NewName", u"c.txt"}})),
              "Renamed: C:\\b.txt to: C:\\c.txt");
    EXPECT_EQ(u8(run(File_SizeCallback, {{u"File", u"C:\\c.txt"}})), "1");
    EXPECT_EQ(u8(run(File_ExistsCallback, {{u"File", u"C:\\to"}})), "0");
    EXPECT_EQ(u8(run(Folder_ExistsCallback, {{u"Folder", u"C:\\c.txt"}})), "0");
    EXPECT_EQ(u8(run(File_DeleteCallback, {{u"File", u"C:\\c.txt"}})), "Deleted: C:\\c.txt");
    EXPECT_EQ(u8(run(File_DeleteCallback, {{u"File", u"C:\\c.txt"}})), "ERROR File does not exist.");

    EXPECT_EQ(u8(run(Folder_CreateCallback, {{u"Folder", u"C:\\new"}})), "Created: C:\\new");
    EXPECT_EQ(u8(run(Folder_CreateCallback, {{u"Folder", u"C:\\new"}})), "ERROR Folder already exists.");
    EXPECT_EQ(u8(run(Folder_RenameCallback, {{u"Folder", u"C:\\new"}, {u"NewName", u"newer"}})),
              "Renamed: C:\\new to: C:\\newer");
    TestDrives::writeFile(drives.c("/newer/inside.txt"), "i");
    EXPECT_EQ(u8(run(Folder_DeleteCallback, {{u"Folder", u"C:\\newer"}})).rfind("ERROR Folder deletion failed: ", 0),
              0u);
    EXPECT_EQ(u8(run(Folder_DeleteCallback, {{u"Folder", u"C:\\newer"}, {u"DeleteContents", u"1"}})),
              "Deleted: C:\\newer");
    EXPECT_FALSE(TestDrives::exists(drives.c("/newer")));
}

TEST_F(FileOperations, ListingWithWildcardAndNamedPaths) {
    TestDrives::makeFolder(drives.c("/l"));
    TestDrives::writeFile(drives.c("/l/a.txt"), "12345");
    TestDrives::writeFile(drives.c("/l/b.TXT"), "");
    TestDrives::writeFile(drives.c("/l/atxt"), "");
    TestDrives::makeFolder(drives.c("/l/sub"));
    const std::string all =
        u8(run(Folder_ListCallback, {{u"Path", u"C:\\l"}, {u"FieldSeperator", u";"}, {u"RowSeperator", u"\n"}}));
    EXPECT_NE(all.find("a.txt;file;5;"), std::string::npos) << all;
    EXPECT_NE(all.find("sub;dir;0;"), std::string::npos) << all;
    EXPECT_EQ(all.find("\n.;"), std::string::npos);
    const std::string txt = u8(run(Folder_ListCallback, {{u"Path", u"C:\\l"}, {u"Wildcard", u"*.txt"}}));
    EXPECT_NE(txt.find("a.txt||file||5||"), std::string::npos);
    EXPECT_NE(txt.find("b.TXT||file||0||"), std::string::npos);
    EXPECT_EQ(txt.find("atxt"), std::string::npos);
    EXPECT_EQ(u8(run(Folder_ListCallback, {{u"Path", u"C:\\none"}})).rfind("ERROR Path is not valid: ", 0), 0u);

    EXPECT_EQ(u8(run(Folder_GetPathCallback, {{u"Type", u"root"}})), "OS");
    EXPECT_EQ(u8(run(Folder_GetPathCallback, {{u"Type", u" Temp "}})), "C:\\tmp");
    EXPECT_EQ(u8(run(Folder_GetPathCallback, {{u"Type", u"nonsense"}})).rfind("ERROR Unknown path type. Specify", 0),
              0u);
}

TEST(FileTypes, TableKeywordsAndDialogFilter) {
    EXPECT_EQ(OrbFileRefEx::builtInFileTypeCount(), 95u);
    OrbFileType type;
    for (const char16_t* key : {u"JPG", u"jpeg", u"JPE", u"PJPEG", u"jfif", u"JPEG image"}) {
        ASSERT_TRUE(OrbFileRefEx::lookUpFileType(key, type)) << u8(key);
        EXPECT_EQ(u8(type.description), "JPEG Image");
    }
    ASSERT_TRUE(OrbFileRefEx::lookUpFileType(u"graphics interchange format", type));
    EXPECT_EQ(u8(type.typeCode), "GIFf");
    const auto types = OrbFileRefEx::generateFileTypeList({u" jpg", u"", u"txt", u"Mine|.ab/ .cd|AB|", u"xyz"});
    ASSERT_EQ(types.size(), 4u);
    EXPECT_EQ(u8(types[2].typeCode), "AB  ");
    EXPECT_EQ(u8(OrbFileRefEx::fileTypeFilter({types[0], types[1]})),
              "All Readable Files|*.jpg;*.jpeg;*.jpe;*.pjpeg;*.jfif;*.txt|-||"
              "JPEG Image (*.jpg;*.jpeg;*.jpe;*.pjpeg;*.jfif)|*.jpg;*.jpeg;*.jpe;*.pjpeg;*.jfif|"
              "Text File (*.txt)|*.txt");
    EXPECT_EQ(u8(OrbFileRefEx::fileTypeFilter({types[3]})), "All Readable Files|*.xyz|-||Unknown Type (*.xyz)|*.xyz");
    EXPECT_EQ(u8(OrbFileRefEx::fileTypeFilter({})), "All Files (*.*)|*.*");
}

TEST(ContainerNames, FileNameStreamRoundTripsNonAsciiNames) {
    FNAMParser out;
    out.mutableProtocol() = u"imagewin";
    out.mutablePath() = u"/C:/Fotos/\u65e5\u672c/";
    out.mutableFileName() = u"K\u00f6ln \u0416\u0443\u043a \u4e2d\u6587 \U0001F600.jpg";
    std::string bytes;
    ASSERT_TRUE(out.compile(bytes));
    FNAMParser in;
    ASSERT_TRUE(in.parse(bytes)) << u8(in.error());
    EXPECT_EQ(in.protocol(), out.protocol());
    EXPECT_EQ(in.path(), out.path());
    EXPECT_EQ(u8(in.fileName()), u8(out.fileName()));
    EXPECT_EQ(bytes.find('/'), std::string::npos);  // path slashes travel as U+E000

    std::string none("\0\0\0\0", 4);
    EXPECT_FALSE(in.parse(none));
    EXPECT_EQ(u8(in.error()), "The File Name Stream did not contain any File References.");
    EXPECT_FALSE(in.parse(bytes.substr(0, bytes.size() - 3)));
}

}  // namespace

namespace {

fmx::QuadCharUniquePtr code(const char* c) { return fmx::QuadCharUniquePtr(c[0], c[1], c[2], c[3]); }

TEST_F(FileOperations, ContainerFileInfoWrittenAndReadBack) {
    fmx::BinaryDataUniquePtr binary;
    const ucstring name = u"\u00c4rger %2F \u65e5\u672c.txt";  // a "/" inside the name, escaped
    ASSERT_EQ(u8(setContainerFileInfo_BinaryData(*binary, u"", u"", name)), "");
    ucstring protocol, path, fileName;
    ASSERT_EQ(u8(getContainerFileInfo_BinaryData(*binary, protocol, path, fileName)), "");
    EXPECT_EQ(u8(protocol), "filewin");
    EXPECT_EQ(u8(path), "/");
    EXPECT_EQ(u8(fileName), u8(name));
    // Setting again replaces the stream rather than adding a second one.
    ASSERT_EQ(u8(setContainerFileInfo_BinaryData(*binary, u"imagewin", u"/C:/x", u"b.png")), "");
    EXPECT_EQ(binary->GetCount(), 1);
    EXPECT_EQ(u8(setContainerFileInfo_BinaryData(*binary, u"", u"", u"")),
              "A File Name was not supplied for the container.");
}

TEST_F(FileOperations, ExportedNamesNeverLeaveTheChosenFolder) {
    TestDrives::makeFolder(drives.c("/out"));
    for (const char16_t* stored : {u"../escaped.bin", u"..", u"..\\up.bin", u"/abs/x.bin"}) {
        SCOPED_TRACE(u8(stored));
        fmx::BinaryDataUniquePtr binary;
        char bytes[] = "payload";
        ASSERT_EQ(binary->Add(*code("FILE"), 7, bytes), 0);
        FNAMParser fnam;
        fnam.mutableProtocol() = u"filewin";
        fnam.mutablePath() = u"/";
        fnam.mutableFileName() = stored;
        std::string stream;
        ASSERT_TRUE(fnam.compile(stream));
        ASSERT_EQ(binary->Add(*code("FNAM"), static_cast<fmx::uint32>(stream.size()), stream.data()), 0);
        fmx::DataUniquePtr data;
        data->SetBinaryData(*binary, true);
        OrbFileRef folder(u"C:\\out");
        ucstring used, error;
        ASSERT_TRUE(exportContainer(error, *data, folder, used, false)) << u8(error);
        if (ucstring(stored) == u"..") {
            EXPECT_EQ(u8(used), "Untitled");
        }
    }
    EXPECT_EQ(entryCount(drives.c("/out")), 4u);
    EXPECT_EQ(entryCount(drives.c()), 3u);  // "home", "tmp" and "out" only: nothing escaped
    EXPECT_EQ(entryCount(drives.root()), 3u);
}

TEST_F(FileOperations, ExportNeverReplacesAnExistingFile) {
    TestDrives::makeFolder(drives.c("/out"));
    TestDrives::writeFile(drives.c("/out/pic.jpg"), "older");
    fmx::BinaryDataUniquePtr binary;
    char bytes[] = "\xFF\xD8jpeg";
    ASSERT_EQ(binary->Add(*code("JPEG"), 6, bytes), 0);
    ASSERT_EQ(u8(setContainerFileInfo_BinaryData(*binary, u"imagewin", u"/", u"pic.jpg")), "");
    fmx::DataUniquePtr data;
    data->SetBinaryData(*binary, true);
    ucstring used, error;
    EXPECT_FALSE(exportContainer(error, *data, OrbFileRef(u"C:\\out"), used, false));
    EXPECT_EQ(u8(error), "A File with the specified File Name already exists in the Folder: C:\\out\\pic.jpg");
    EXPECT_EQ(TestDrives::readFile(drives.c("/out/pic.jpg")), "older");
    used = u"picture";
    ASSERT_TRUE(exportContainer(error, *data, OrbFileRef(u"C:\\out"), used, false)) << u8(error);
    EXPECT_EQ(u8(used), "picture.jpg");
    EXPECT_EQ(TestDrives::readFile(drives.c("/out/picture.jpg")), std::string(bytes, 6));
    EXPECT_EQ(entryCount(drives.c("/out")), 2u);  // no temporary file left behind
}

}  // namespace

namespace {

std::string streamOf(const fmx::BinaryData& binary, const char* type) {
    const fmx::int32 index = binary.GetIndex(*code(type));
    if (index < 0) return "<none>";
    std::string bytes(binary.GetSize(index), '\0');
    if (!bytes.empty()) binary.GetData(index, 0, static_cast<fmx::uint32>(bytes.size()), bytes.data());
    return bytes;
}

// With a forced type the plug-in builds the streams itself, whatever the host.
TEST_F(FileOperations, ImportBuildsImageStreamsWithSizes) {
    const std::string jpeg = std::string("\xFF\xD8\xFF\xE0\x00\x04\x4A\x46\xFF\xC0\x00\x0B\x08\x01\x2C\x02\x58", 17) +
                             std::string(20, '\x33');
    TestDrives::writeFile(drives.c("/photo.jpg"), jpeg);
    TestDrives::writeFile(drives.c("/flat.jpg"), "\xFF\xD8\xFF\xD9");
    TestDrives::writeFile(drives.c("/tiny.gif"), std::string("GIF89a\x10\x01\x00", 9));
    struct Case {
        const char* file;
        const char* type;
        std::string size;
    } cases[] = {
        {"/photo.jpg", "JPEG", std::string("\x02\x58\x01\x2C", 4)},  // 600 wide, 300 high
        {"/flat.jpg", "JPEG", std::string("\x00\x32\x00\x32", 4)},   // no SOF0: 50 x 50
        {"/tiny.gif", "GIFf", std::string("\x01\x10\x00\x32", 4)},   // width 272, height unreadable
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        OrbFileRef ref(ucstringFromUTF8String("C:" + std::string(c.file)));
        fmx::DataUniquePtr data;
        ASSERT_EQ(u8(importContainer(*data, ref, false, ucstringFromString(c.type))), "");
        const fmx::BinaryData& binary = data->GetBinaryData();
        EXPECT_EQ(streamOf(binary, c.type), TestDrives::readFile(drives.c(c.file)));
        EXPECT_EQ(streamOf(binary, "MAIN"), c.type);
        EXPECT_EQ(streamOf(binary, "SIZE"), c.size);
        ucstring protocol, path, name;
        ASSERT_EQ(u8(getContainerFileInfo(*data, protocol, path, name)), "");
        EXPECT_EQ(u8(protocol), "imagewin");
        EXPECT_EQ(u8(name), std::string(c.file).substr(1));
    }
    fmx::DataUniquePtr reference;
    OrbFileRef photo(u"C:\\photo.jpg");
    ASSERT_EQ(u8(importContainer(*reference, photo, true)), "");
    ucstring protocol, path, name;
    ASSERT_EQ(u8(getContainerFileInfo(*reference, protocol, path, name)), "");
    EXPECT_EQ(u8(protocol), "imagewin");
    EXPECT_EQ(u8(path), "/C:");
    EXPECT_EQ(u8(name), "photo.jpg");
}

}  // namespace

namespace {

fmx::DataUniquePtr containerWith(std::initializer_list<std::pair<const char*, std::string>> streams,
                                 const char16_t* name) {
    fmx::BinaryDataUniquePtr binary;
    for (const auto& [type, bytes] : streams) {
        std::string copy = bytes;
        binary->Add(*code(type), static_cast<fmx::uint32>(copy.size()), copy.data());
    }
    if (name) {
        EXPECT_EQ(setContainerFileInfo_BinaryData(*binary, u"filewin", u"/", name), u"");
    }
    fmx::DataUniquePtr data;
    data->SetBinaryData(*binary, true);
    return data;
}

TEST_F(FileOperations, EveryStreamKindExportsWithItsExtension) {
    TestDrives::makeFolder(drives.c("/kinds"));
    const OrbFileRef folder(u"C:\\kinds");
    struct Kind {
        const char* type;
        const char* written;
    } kinds[] = {{"JPEG", "k.jpg"}, {"GIFf", "k.gif"}, {"PNG ", "k.png"}, {"PNGf", "k.png"},
                 {"EPS ", "k.eps"}, {"PICT", "k.pct"}, {"BMP ", "k.bmp"}, {"PDF ", "k.pdf"},
                 {"snd ", "k.snd"}, {"XMLO", "k.xml"}, {"FILE", "k"}};
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.type);
        auto data = containerWith({{k.type, std::string("bytes of ") + k.type}}, u"ignored.bin");
        ucstring name = u"k", error;
        ASSERT_TRUE(exportContainer(error, *data, folder, name, false)) << u8(error);
        EXPECT_EQ(u8(name), k.written);
        EXPECT_EQ(TestDrives::readFile(drives.c("/kinds/") + k.written), std::string("bytes of ") + k.type);
        std::remove(drives.c(std::string("/kinds/") + k.written).c_str());
    }
    // Known extensions stay; the first known stream wins; a requested stream must exist.
    auto mixed = containerWith({{"FILE", "file"}, {"PICT", "pict"}, {"GIFf", "gif"}}, u"shot.PICT");
    ucstring name, error;
    ASSERT_TRUE(exportContainer(error, *mixed, folder, name, false)) << u8(error);
    EXPECT_EQ(u8(name), "shot.PICT.gif");
    name = u"req.pict";
    ASSERT_TRUE(exportContainer(error, *mixed, folder, name, false, u"PICT")) << u8(error);
    EXPECT_EQ(u8(name), "req.pict");
    EXPECT_EQ(TestDrives::readFile(drives.c("/kinds/req.pict")), "pict");
    EXPECT_FALSE(exportContainer(error, *mixed, folder, name, false, u"JPEG"));
    EXPECT_EQ(u8(error), "The Requested Container Type was not found in the container.");
    auto unknown = containerWith({{"ZZZZ", "?"}}, u"u.bin");
    EXPECT_FALSE(exportContainer(error, *unknown, folder, name, false));
    EXPECT_EQ(u8(error), "No known Container Type existed in the container.");
    name.clear();
    ASSERT_TRUE(exportContainer(error, *containerWith({{"FILE", "1"}}, u"same.bin"), folder, name, true));
    name.clear();
    ASSERT_TRUE(exportContainer(error, *containerWith({{"FILE", "2"}}, u"same.bin"), folder, name, true));
    EXPECT_EQ(u8(name), "same1.bin");
}

TEST_F(FileOperations, ImportAndExportOperationsOfTheScriptSteps) {
    TestDrives::writeFile(drives.c("/in.dat"), "content");
    TestDrives::makeFolder(drives.c("/exp"));
    fmx::DataUniquePtr container;
    EXPECT_EQ(u8(File_ImportCallback(fileOperationParameters({{u"File", u""}}), *container)),
              "You must specify the File to Import.");
    ASSERT_EQ(u8(File_ImportCallback(fileOperationParameters({{u"File", u"C:\\in.dat"}}), *container)), "");
    OrbVariable result;
    EXPECT_EQ(u8(File_ExportCallback(*container, fileOperationParameters({{u"Path", u""}}), result)),
              "You must specify the path to export the file to ('Path' parameter).");
    EXPECT_EQ(u8(File_ExportCallback(*container, fileOperationParameters({{u"Path", u"C:\\nope"}}), result)),
              "Folder does not exist: C:\\nope");
    ASSERT_EQ(u8(File_ExportCallback(
                  *container, fileOperationParameters({{u"Path", u"C:\\exp"}, {u"SaveAs", u"out.dat"}}), result)),
              "");
    EXPECT_EQ(u8(result.variableAsString(1)), "Exported file to: C:\\exp\\out.dat");
    EXPECT_EQ(TestDrives::readFile(drives.c("/exp/out.dat")), "content");
    fmx::DataUniquePtr empty;
    EXPECT_EQ(u8(File_ExportCallback(*empty, fileOperationParameters({{u"Path", u"C:\\exp"}}), result)),
              "Container is empty.");
}

}  // namespace

namespace {

// Readers of a file being overwritten see the whole old contents or the whole new ones, never a
// shortened or mixed file.
TEST_F(FileOperations, OverwriteIsSeenWholeByReaders) {
    const std::string path = drives.c("/shared.txt");
    const size_t size = 1 << 20;
    TestDrives::writeFile(path, std::string(size, 'A'));
    std::atomic<bool> done{false};
    std::atomic<int> bad{0}, reads{0};
    std::thread reader([&] {
        while (!done) {
            const std::string seen = TestDrives::readFile(path);
            ++reads;
            if (seen.size() != size || seen.find_first_not_of(seen.empty() ? 'A' : seen[0]) != std::string::npos) ++bad;
        }
    });
    for (int i = 0; i < 12; ++i) {
        const ucstring data(size, i % 2 ? u'A' : u'B');
        EXPECT_EQ(u8(run(File_WriteCallback,
                         {{u"Data", data}, {u"File", u"C:\\shared.txt"}, {u"FileExistsAction", u"overwrite"}})),
                  "Wrote to file: C:\\shared.txt");
    }
    done = true;
    reader.join();
    EXPECT_EQ(bad.load(), 0) << "of " << reads.load() << " reads";
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(TestDrives::readFile(path), std::string(size, 'A'));
}

}  // namespace

namespace {

// Overwriting changes the contents and nothing else the user set: permissions, group, a link (its
// target is written) and other names of the file.
TEST_F(FileOperations, OverwriteKeepsWhatTheUserSet) {
    TestDrives::makeFolder(drives.c("/w"));
    TestDrives::makeFolder(drives.d("/elsewhere"));
    const std::string secret = drives.c("/w/secret.txt"), shared = drives.c("/w/shared.txt"),
                      target = drives.d("/elsewhere/target.txt"), first = drives.c("/w/first.txt");
    for (const std::string& path : {secret, shared, target, first}) TestDrives::writeFile(path, "old");
    chmod(secret.c_str(), 0600);
    chmod(shared.c_str(), 0640);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(shared.c_str(), 0, 65534), 0);  // a group the new file must keep
    }
    ASSERT_EQ(symlink(target.c_str(), drives.c("/w/link.txt").c_str()), 0);
    ASSERT_EQ(link(first.c_str(), drives.c("/w/second.txt").c_str()), 0);
    struct stat before {};
    ASSERT_EQ(stat(shared.c_str(), &before), 0);

    for (const char16_t* name : {u"secret.txt", u"shared.txt", u"link.txt", u"first.txt"}) {
        const ucstring path = u"C:\\w\\" + ucstring(name);
        EXPECT_EQ(
            u8(run(File_WriteCallback, {{u"Data", u"new"}, {u"File", path}, {u"FileExistsAction", u"Overwrite"}})),
            "Wrote to file: " + u8(path));
    }
    struct stat after {};
    ASSERT_EQ(stat(secret.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 0777, 0600u);
    ASSERT_EQ(stat(shared.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 0777, 0640u);
    EXPECT_EQ(after.st_gid, before.st_gid);
    ASSERT_EQ(lstat(drives.c("/w/link.txt").c_str(), &after), 0);
    EXPECT_TRUE(S_ISLNK(after.st_mode));
    EXPECT_EQ(TestDrives::readFile(target), "new");
    EXPECT_EQ(TestDrives::readFile(drives.c("/w/second.txt")), "new");
    EXPECT_EQ(entryCount(drives.c("/w")), 5u);  // no temporary file left
    EXPECT_EQ(entryCount(drives.d("/elsewhere")), 1u);
}

// Devices and FIFOs are no files: nothing is read from, copied from, moved or written to them.
TEST_F(FileOperations, DevicesAndFifosAreNotFiles) {
    ASSERT_EQ(symlink("/dev/null", drives.c("/null").c_str()), 0);
    ASSERT_EQ(mkfifo(drives.c("/fifo").c_str(), 0600), 0);
    const std::string notAFile = "File is not a File (it's a device, FIFO or socket)";
    struct Case {
        ucstring (*operation)(const OrbVariableArray&, OrbVariable&);
        OrbVariableArray parameters;
        std::string expected;
    };
    const Case cases[] = {
        {File_ExistsCallback, fileOperationParameters({{u"File", u"C:\\null"}}), "0"},
        {File_ExistsCallback, fileOperationParameters({{u"File", u"C:\\fifo"}}), "0"},
        {File_CopyCallback, fileOperationParameters({{u"Source", u"C:\\null"}, {u"Destination", u"C:\\copy"}}),
         "You cannot copy devices, FIFOs or sockets with this function; you must specify a file."},
        {File_MoveCallback, fileOperationParameters({{u"Source", u"C:\\fifo"}, {u"Destination", u"C:\\moved"}}),
         "You cannot move devices, FIFOs or sockets with this function; you must specify a file."},
        {File_ReadCallback, fileOperationParameters({{u"File", u"C:\\null"}}), notAFile + "."},
        {File_WriteCallback,
         fileOperationParameters({{u"Data", u"x"}, {u"File", u"C:\\null"}, {u"FileExistsAction", u"Append"}}),
         "File is invalid: " + notAFile + ": C:\\null"},
        {File_WriteCallback,
         fileOperationParameters({{u"Data", u"x"}, {u"File", u"C:\\null"}, {u"FileExistsAction", u"Overwrite"}}),
         "File is invalid: " + notAFile + ": C:\\null"},
    };
    for (const Case& c : cases) {
        OrbVariable result;
        const ucstring error = c.operation(c.parameters, result);
        EXPECT_EQ(u8(error.empty() ? result.variableAsString(1) : error), c.expected);
    }
    EXPECT_FALSE(TestDrives::exists(drives.c("/copy")));
    EXPECT_FALSE(TestDrives::exists(drives.c("/moved")));
    struct stat st {};
    ASSERT_EQ(lstat(drives.c("/null").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

}  // namespace
