// File references at work on a private drive table: existence, creation and removal with their
// exact texts, copy and move that never overwrite, unique names, listings, recursive removal, and
// names that are not valid UTF-8.
#include "../support/TestDrives.h"
#include "_CommonEx/FileAndStream/Orb_FileRefEx.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

namespace {

class FileRefOps : public ::testing::Test {
protected:
    TestDrives drives;

    static const OrbVariable* item(const OrbVariableArray& list, const ucstring& name) {
        const OrbVariable* v = nullptr;
        return list.variableWithName(name, v) ? v : nullptr;
    }
    static ucstringlist names(const OrbVariableArray& list) {
        ucstringlist out;
        for (const OrbVariable& v : list) out.push_back(v.name());
        return out;
    }
    static ucstring field(const OrbVariable* entry, const ucstring& name) {
        const OrbVariable* v = nullptr;
        return entry && entry->arrayValue().variableWithName(name, v) ? v->variableAsString(1) : u"<none>";
    }
};

}  // namespace

TEST_F(FileRefOps, ExistenceAndItsTexts) {
    TestDrives::writeFile(drives.c("/f.txt"), "x");
    TestDrives::makeFolder(drives.c("/dir"));
    OrbFileRef file(u"C:\\f.txt"), dir(u"C:\\dir"), missing(u"C:\\nothing");
    EXPECT_TRUE(file.fileExists());
    EXPECT_FALSE(dir.fileExists());
    EXPECT_EQ(dir.errorString(), u"File is not a File (it's a Folder): C:\\dir");
    EXPECT_TRUE(dir.dirExists());
    EXPECT_FALSE(file.dirExists());
    EXPECT_EQ(file.errorString(), u"Folder is not a Folder (it's a File): C:\\f.txt");
    EXPECT_FALSE(missing.fileExists());
    EXPECT_EQ(missing.errorString(), u"File does not exist: C:\\nothing");
    EXPECT_FALSE(missing.dirExists());
    EXPECT_EQ(missing.errorString(), u"Folder does not exist: C:\\nothing");
    OrbFileRef undefined;
    EXPECT_FALSE(undefined.fileExists());
}

TEST_F(FileRefOps, Validity) {
    TestDrives::writeFile(drives.c("/f.txt"), "x");
    bool isDir = true, isFile = true;
    OrbFileRef file(u"C:\\f.txt");
    EXPECT_TRUE(file.isValid(isDir, isFile));
    EXPECT_FALSE(isDir);
    EXPECT_TRUE(isFile);
    OrbFileRef root(u"D:\\");
    EXPECT_TRUE(root.isValid(isDir, isFile));
    EXPECT_TRUE(isDir);
    OrbFileRef fresh(u"C:\\new.txt");  // can be made there
    EXPECT_TRUE(fresh.isValid(isDir, isFile));
    EXPECT_FALSE(isDir || isFile);
    OrbFileRef orphan(u"C:\\no\\new.txt");
    EXPECT_FALSE(orphan.isValid(isDir, isFile));
    EXPECT_EQ(orphan.errorString(), u"Parent Folder does not exist: C:\\no\\new.txt");
    OrbFileRef underFile(u"C:\\f.txt\\new.txt");
    EXPECT_FALSE(underFile.isValid(isDir, isFile));
    EXPECT_EQ(underFile.errorString(), u"Parent Folder is not a Folder (it's a File): C:\\f.txt\\new.txt");
    OrbFileRef noDrive(u"Q:\\x");
    EXPECT_FALSE(noDrive.isValid(isDir, isFile));
}

TEST_F(FileRefOps, NetworkSharesExistWhenTheirFolderDoes) {
    TestDrives::makeFolder(drives.net("/srv"));
    TestDrives::makeFolder(drives.net("/srv/share"));
    TestDrives::writeFile(drives.net("/srv/share/a.txt"), "shared");
    bool isDir = false, isFile = false;
    OrbFileRef file(u"\\\\srv\\share\\a.txt");
    EXPECT_TRUE(file.isValid(isDir, isFile));
    EXPECT_TRUE(isFile);
    OrbFileRef fresh(u"//srv/share/b.txt");
    EXPECT_TRUE(fresh.isValid(isDir, isFile));
    EXPECT_TRUE(fresh.createFile());
    EXPECT_TRUE(TestDrives::exists(drives.net("/srv/share/b.txt")));
    OrbFileRef noShare(u"\\\\srv\\other\\b.txt");
    EXPECT_FALSE(noShare.isValid(isDir, isFile));
    EXPECT_EQ(noShare.errorString(),
              u"Could not connect to the network share of: \\\\srv\\other\\b.txt; WinError: No such file or directory");
}

TEST_F(FileRefOps, CreateAndRemove) {
    OrbFileRef file(u"C:\\new.txt");
    EXPECT_TRUE(file.createFile());
    EXPECT_TRUE(TestDrives::exists(drives.c("/new.txt")));
    EXPECT_FALSE(file.createFile());
    EXPECT_EQ(file.errorString(), u"File already exists: C:\\new.txt");
    EXPECT_FALSE(file.createDir());
    EXPECT_EQ(file.errorString(), u"A File with that name already exists: C:\\new.txt");
    EXPECT_FALSE(file.removeDir());
    EXPECT_EQ(file.errorString(), u"Folder is not a Folder (it's a File): C:\\new.txt");
    EXPECT_TRUE(file.removeFile());
    EXPECT_FALSE(file.removeFile());
    EXPECT_EQ(file.errorString(), u"File does not exist: C:\\new.txt");

    OrbFileRef dir(u"/Volumes/OS/a/b");
    EXPECT_TRUE(dir.createDir());  // with the level above it
    EXPECT_FALSE(dir.createDir());
    EXPECT_EQ(dir.errorString(), u"Folder already exists: C:\\a\\b");
    EXPECT_FALSE(dir.createFile());
    EXPECT_EQ(dir.errorString(), u"A Folder with that name already exists: C:\\a\\b");
    EXPECT_FALSE(dir.removeFile());
    EXPECT_EQ(dir.errorString(), u"File is not a File (it's a Folder): C:\\a\\b");
    OrbFileRef parent(u"C:\\a");
    EXPECT_FALSE(parent.removeDir());
    EXPECT_EQ(parent.errorString(), u"Could not delete Folder: C:\\a; WinError: Directory not empty");
    EXPECT_TRUE(dir.removeDir());
    EXPECT_TRUE(parent.removeDir());
    EXPECT_FALSE(parent.removeDir());
    EXPECT_EQ(parent.errorString(), u"Folder does not exist: C:\\a");

    OrbFileRef orphan(u"C:\\missing\\x.txt");
    EXPECT_FALSE(orphan.createFile());
    EXPECT_EQ(orphan.errorString(), u"Could not create File: C:\\missing\\x.txt; WinError: No such file or directory");
}

TEST_F(FileRefOps, DatesAreLocalTime) {
    TestDrives::writeFile(drives.c("/f.txt"), "x");
    const time_t when = 1700000000;  // 2023-11-14 22:13:20 UTC
    const struct timespec times[2] = {{when, 0}, {when, 250000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, drives.c("/f.txt").c_str(), times, 0), 0);
    struct tm local {};
    localtime_r(&when, &local);

    OrbFileRef file(u"C:\\f.txt");
    OrbDateTime modified;
    ASSERT_TRUE(file.modificationDate(modified));
    OrbDateTimeComponents c;
    modified.decodeDateTime(c);
    EXPECT_EQ(c.year, local.tm_year + 1900);
    EXPECT_EQ(c.month, local.tm_mon + 1);
    EXPECT_EQ(c.day, local.tm_mday);
    EXPECT_EQ(c.hour, local.tm_hour);
    EXPECT_EQ(c.minute, local.tm_min);
    EXPECT_EQ(c.second, local.tm_sec);
    EXPECT_EQ(c.millisecond, 250);
    OrbDateTime created;
    EXPECT_TRUE(file.creationDate(created));  // when the file system keeps it; else the modification
    EXPECT_GT(created.seconds(), 0);

    OrbFileRef missing(u"C:\\none");
    EXPECT_FALSE(missing.modificationDate(modified));
    EXPECT_EQ(missing.errorString(), u"File or Directory does not exist: C:\\none");
}

TEST_F(FileRefOps, CopyNeverOverwrites) {
    TestDrives::writeFile(drives.c("/a.txt"), "alpha");
    TestDrives::writeFile(drives.c("/b.txt"), "beta");
    TestDrives::makeFolder(drives.d("/in"));
    OrbFileRefEx a(u"C:\\a.txt");
    EXPECT_FALSE(a.copyFile(OrbFileRef(u"C:\\b.txt")));
    EXPECT_EQ(a.errorString(), u"Destination File already exists: C:\\b.txt");
    EXPECT_EQ(TestDrives::readFile(drives.c("/a.txt")), "alpha");
    EXPECT_EQ(TestDrives::readFile(drives.c("/b.txt")), "beta");

    // Into a folder (keeping the name), then as a new file name.
    EXPECT_TRUE(a.copyFile(OrbFileRef(u"D:\\in"))) << ucstringToUTF8String(a.errorString());
    EXPECT_EQ(TestDrives::readFile(drives.d("/in/a.txt")), "alpha");
    EXPECT_FALSE(a.copyFile(OrbFileRef(u"D:\\in")));
    EXPECT_EQ(a.errorString(), u"Destination File already exists: D:\\in\\a.txt");
    EXPECT_TRUE(a.copyFile(OrbFileRef(u"D:\\in\\c.txt")));
    EXPECT_EQ(TestDrives::readFile(drives.d("/in/c.txt")), "alpha");
    // Names completing the source and the destination.
    OrbFileRefEx folder(u"C:\\");
    EXPECT_TRUE(folder.copyFile(OrbFileRef(u"D:\\in"), u"b.txt", u"renamed.txt"));
    EXPECT_EQ(TestDrives::readFile(drives.d("/in/renamed.txt")), "beta");

    // A destination name that is a folder takes the file inside it.
    TestDrives::makeFolder(drives.d("/in/d.txt"));
    EXPECT_TRUE(a.copyFile(OrbFileRef(u"D:\\in"), u"", u"d.txt"));
    EXPECT_EQ(TestDrives::readFile(drives.d("/in/d.txt/a.txt")), "alpha");
    EXPECT_FALSE(a.copyFile(OrbFileRef(u"D:\\in"), u"", u"d.txt"));
    EXPECT_EQ(a.errorString(), u"Destination File already exists: D:\\in\\d.txt\\a.txt");
    TestDrives::makeFolder(drives.d("/in2"));
    TestDrives::makeFolder(drives.d("/in2/a.txt"));
    EXPECT_FALSE(a.copyFile(OrbFileRef(u"D:\\in2")));
    EXPECT_EQ(a.errorString(), u"Destination File Name conflicts with an existing Folder Name: D:\\in2\\a.txt");
    EXPECT_FALSE(a.copyFile(OrbFileRef(u"D:\\nowhere\\x.txt")));
    EXPECT_EQ(a.errorString(), u"File Destination is invalid: D:\\nowhere\\x.txt");
    OrbFileRefEx missing(u"C:\\none.txt");
    EXPECT_FALSE(missing.copyFile(OrbFileRef(u"D:\\in")));
    EXPECT_EQ(missing.errorString(), u"Source File does not exist: C:\\none.txt");
    OrbFileRefEx orphan(u"C:\\no\\none.txt");
    EXPECT_FALSE(orphan.copyFile(OrbFileRef(u"D:\\in")));
    EXPECT_EQ(orphan.errorString(), u"Source Parent Folder does not exist: C:\\no\\none.txt");
    OrbFileRefEx dir(u"D:\\in");
    EXPECT_FALSE(dir.copyFile(OrbFileRef(u"C:\\")));
    EXPECT_EQ(dir.errorString(), u"Source File is not a File (it's a Folder): D:\\in");
}

TEST_F(FileRefOps, MoveNeverOverwrites) {
    TestDrives::writeFile(drives.c("/a.txt"), "alpha");
    TestDrives::writeFile(drives.c("/b.txt"), "beta");
    OrbFileRefEx a(u"C:\\a.txt");
    EXPECT_FALSE(a.moveFile(OrbFileRef(u"C:\\b.txt")));
    EXPECT_EQ(a.errorString(), u"Destination File already exists: C:\\b.txt");
    EXPECT_TRUE(TestDrives::exists(drives.c("/a.txt")));
    EXPECT_TRUE(a.moveFile(OrbFileRef(u"D:\\")));
    EXPECT_FALSE(TestDrives::exists(drives.c("/a.txt")));
    EXPECT_EQ(TestDrives::readFile(drives.d("/a.txt")), "alpha");
}

TEST_F(FileRefOps, SizeAndRenaming) {
    TestDrives::writeFile(drives.c("/a.txt"), "12345");
    TestDrives::writeFile(drives.c("/b.txt"), "");
    TestDrives::makeFolder(drives.c("/dir"));
    OrbFileRefEx a(u"C:\\a.txt");
    int64_t size = 0;
    EXPECT_TRUE(a.fileSize(size));
    EXPECT_EQ(size, 5);
    OrbFileRefEx dir(u"C:\\dir");
    EXPECT_FALSE(dir.fileSize(size));
    EXPECT_EQ(dir.errorString(), u"File is not a File (it's a Folder): C:\\dir");

    EXPECT_FALSE(a.renameFile(u""));
    EXPECT_EQ(a.errorString(), u"You must specify a New Name for the File.");
    EXPECT_FALSE(a.renameFile(u"b.txt"));
    EXPECT_EQ(a.errorString(), u"A File with that name already exists: C:\\b.txt");
    EXPECT_FALSE(a.renameFile(u"dir"));
    EXPECT_EQ(a.errorString(), u"A Folder with that name already exists: C:\\dir");
    EXPECT_TRUE(a.renameFile(u"c.txt"));
    EXPECT_EQ(a.pathAsString(kPathStyleWindows), u"C:\\c.txt");  // it names the renamed file
    EXPECT_EQ(TestDrives::readFile(drives.c("/c.txt")), "12345");
    EXPECT_FALSE(dir.renameFile(u"x"));
    EXPECT_EQ(dir.errorString(), u"File is not a File (it's a Folder): C:\\dir");

    EXPECT_FALSE(dir.renameDir(u""));
    EXPECT_EQ(dir.errorString(), u"You must specify a New Name for the Folder.");
    EXPECT_FALSE(a.renameDir(u"x"));
    EXPECT_EQ(a.errorString(), u"Folder is not a Folder (it's a File): C:\\c.txt");
    EXPECT_FALSE(dir.renameDir(u"c.txt"));
    EXPECT_EQ(dir.errorString(), u"A File with that name already exists: C:\\c.txt");
    EXPECT_TRUE(dir.renameDir(u"folder"));
    EXPECT_TRUE(TestDrives::exists(drives.c("/folder")));
    OrbFileRefEx gone(u"C:\\dir");
    EXPECT_FALSE(gone.renameDir(u"y"));
    EXPECT_EQ(gone.errorString(), u"Folder does not exist: C:\\dir");
}

TEST_F(FileRefOps, UniqueNames) {
    OrbFileRef folder(u"C:\\");
    ucstring name;
    EXPECT_TRUE(folder.findUniqueFileName(name, u"a.txt", 0));
    EXPECT_EQ(name, u"a.txt");
    TestDrives::writeFile(drives.c("/a.txt"), "");
    TestDrives::makeFolder(drives.c("/a1.txt"));  // a folder of that name counts too
    EXPECT_TRUE(folder.findUniqueFileName(name, u"a.txt", 0));
    EXPECT_EQ(name, u"a2.txt");
    EXPECT_TRUE(folder.findUniqueFileName(name, u"a.txt", 3));
    EXPECT_EQ(name, u"a001.txt");
    TestDrives::writeFile(drives.c("/README"), "");
    EXPECT_TRUE(folder.findUniqueFileName(name, u"README", 0));
    EXPECT_EQ(name, u"README1");

    // Two digits run out after 99.
    for (int i = 1; i <= 99; ++i) {
        char file[16];
        std::snprintf(file, sizeof file, "/a%02d.txt", i);
        TestDrives::writeFile(drives.c(file), "");
    }
    EXPECT_FALSE(folder.findUniqueFileName(name, u"a.txt", 2));
    EXPECT_EQ(name, u"");
    EXPECT_TRUE(folder.findUniqueFileName(name, u"a.txt", 3));
    EXPECT_EQ(name, u"a001.txt");
    EXPECT_TRUE(folder.findUniqueFileName(name, u"a.txt", 0));
    EXPECT_EQ(name, u"a2.txt");  // a1.txt is taken, a01.txt is another name

    OrbFileRef notAFolder(u"C:\\nowhere\\deeper");
    EXPECT_TRUE(notAFolder.findUniqueFileName(name, u"a.txt", 0));
    EXPECT_EQ(name, u"a.txt");
}

TEST_F(FileRefOps, ListingsFlatAndRecursive) {
    TestDrives::makeFolder(drives.c("/top"));
    TestDrives::makeFolder(drives.c("/top/sub"));
    TestDrives::makeFolder(drives.c("/top/sub/deeper"));
    TestDrives::writeFile(drives.c("/top/b.txt"), "bb");
    TestDrives::writeFile(drives.c("/top/ a;b{c} "), "odd name");
    TestDrives::writeFile(drives.c("/top/sub/c.bin"), "ccc");
    TestDrives::writeFile(drives.c("/top/sub/deeper/d"), "");

    OrbFileRefEx top(u"C:\\top");
    ucstringlist list{u"kept"};
    ASSERT_TRUE(top.listItems(&list, kPathStyleWindows));
    EXPECT_EQ(list, (ucstringlist{u"kept", u" a;b{c} ", u"b.txt", u"sub"}));

    OrbVariableArray flat;
    ASSERT_TRUE(top.listItems(&flat, kListItemsAllAttributes));
    EXPECT_EQ(names(flat), (ucstringlist{u" a;b{c} ", u"b.txt", u"sub"}));
    EXPECT_EQ(field(item(flat, u"b.txt"), u"Type"), u"file");
    EXPECT_EQ(field(item(flat, u"b.txt"), u"Size"), u"2");
    EXPECT_EQ(field(item(flat, u"sub"), u"Type"), u"dir");
    EXPECT_EQ(field(item(flat, u"sub"), u"Size"), u"<none>");
    EXPECT_EQ(field(item(flat, u"sub"), u"Items"), u"<none>");
    const OrbVariable* modDate = nullptr;
    ASSERT_TRUE(item(flat, u"b.txt")->arrayValue().variableWithName(u"ModDate", modDate));
    EXPECT_EQ(modDate->type(), OrbVariable::kTimestamp);
    EXPECT_NEAR(static_cast<double>(modDate->timestampValue().seconds()), static_cast<double>(OrbDateTime().seconds()),
                120.0);

    OrbVariableArray tree;
    ASSERT_TRUE(top.listItems(&tree, kListItemsType | kListItemsRecursive));
    const OrbVariable* sub = item(tree, u"sub");
    ASSERT_NE(sub, nullptr);
    const OrbVariable* subItems = nullptr;
    ASSERT_TRUE(sub->arrayValue().variableWithName(u"Items", subItems));
    EXPECT_EQ(names(subItems->arrayValue()), (ucstringlist{u"c.bin", u"deeper"}));
    EXPECT_EQ(field(item(subItems->arrayValue(), u"c.bin"), u"Size"), u"<none>");  // not asked for
    const OrbVariable* deeperItems = nullptr;
    ASSERT_TRUE(item(subItems->arrayValue(), u"deeper")->arrayValue().variableWithName(u"Items", deeperItems));
    EXPECT_EQ(names(deeperItems->arrayValue()), (ucstringlist{u"d"}));

    OrbFileRefEx file(u"C:\\top\\b.txt");
    EXPECT_FALSE(file.listItems(&flat, kListItemsType));
    EXPECT_EQ(file.errorString(), u"Folder is not a Folder (it's a File): C:\\top\\b.txt");
    EXPECT_FALSE(top.listItems(static_cast<OrbVariableArray*>(nullptr), 0));
    EXPECT_EQ(top.errorString(), u"Output Item List is NULL.");
    EXPECT_FALSE(top.listItems(static_cast<ucstringlist*>(nullptr), 0));
    EXPECT_EQ(top.errorString(), u"Ouput Item Name List is NULL.");
    OrbFileRefEx missing(u"C:\\none");
    EXPECT_FALSE(missing.listItems(&list, 0));
    EXPECT_EQ(missing.errorString(), u"Folder does not exist: C:\\none");
    OrbFileRefEx invalid(u"C:\\none\\deeper");
    EXPECT_FALSE(invalid.listItems(&list, 0));
    EXPECT_EQ(invalid.errorString(), u"Path is Invalid: C:\\none\\deeper");
}

// Listings tell links and devices, FIFOs and sockets from what they lead to, so that a folder
// transfer can leave them out; linked folders are not entered.
TEST_F(FileRefOps, ListingsMarkLinksAndSpecialFiles) {
    TestDrives::makeFolder(drives.c("/m"));
    TestDrives::writeFile(drives.c("/m/plain"), "x");
    ASSERT_EQ(symlink(drives.d().c_str(), drives.c("/m/to-d").c_str()), 0);
    ASSERT_EQ(symlink(drives.c("/m/plain").c_str(), drives.c("/m/to-plain").c_str()), 0);
    ASSERT_EQ(mkfifo(drives.c("/m/fifo").c_str(), 0600), 0);
    OrbFileRefEx folder(u"C:\\m");
    OrbVariableArray items;
    ASSERT_TRUE(folder.listItems(&items, kListItemsType | kListItemsRecursive));
    const char16_t* const rows[][4] = {{u"fifo", u"file", u"<none>", u"1"},
                                       {u"plain", u"file", u"<none>", u"<none>"},
                                       {u"to-d", u"dir", u"1", u"<none>"},
                                       {u"to-plain", u"file", u"1", u"<none>"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(ucstringToUTF8String(row[0]));
        EXPECT_EQ(field(item(items, row[0]), u"Type"), row[1]);
        EXPECT_EQ(field(item(items, row[0]), u"Link"), row[2]);
        EXPECT_EQ(field(item(items, row[0]), u"Special"), row[3]);
    }
    EXPECT_EQ(field(item(items, u"to-d"), u"Items"), u"<none>");
}

TEST_F(FileRefOps, RemovingATree) {
    TestDrives::makeFolder(drives.c("/tree"));
    TestDrives::makeFolder(drives.c("/tree/a"));
    TestDrives::makeFolder(drives.c("/tree/a/b"));
    TestDrives::writeFile(drives.c("/tree/a/b/f1"), "1");
    TestDrives::writeFile(drives.c("/tree/a/f2"), "2");
    TestDrives::writeFile(drives.c("/tree/f3"), "3");
    // A link to a folder outside the tree: the link goes, the folder and its file stay.
    TestDrives::makeFolder(drives.d("/keep"));
    TestDrives::writeFile(drives.d("/keep/precious"), "p");
    ASSERT_EQ(symlink(drives.d("/keep").c_str(), drives.c("/tree/link").c_str()), 0);

    OrbFileRefEx tree(u"C:\\tree");
    EXPECT_TRUE(tree.removeDirAndFiles()) << ucstringToUTF8String(tree.errorString());
    EXPECT_FALSE(TestDrives::exists(drives.c("/tree")));
    EXPECT_EQ(TestDrives::readFile(drives.d("/keep/precious")), "p");

    // A link given as the folder is itself removed, with or without contents; where it leads stays.
    OrbFileRefEx linked(u"C:\\linked");
    for (bool withContents : {true, false}) {
        ASSERT_EQ(symlink(drives.d("/keep").c_str(), drives.c("/linked").c_str()), 0);
        EXPECT_TRUE(withContents ? linked.removeDirAndFiles() : linked.removeDir())
            << ucstringToUTF8String(linked.errorString());
        EXPECT_FALSE(TestDrives::exists(drives.c("/linked")));
        EXPECT_EQ(TestDrives::readFile(drives.d("/keep/precious")), "p");
    }

    EXPECT_FALSE(tree.removeDirAndFiles());
    EXPECT_EQ(tree.errorString(), u"Folder does not exist: C:\\tree");
    TestDrives::writeFile(drives.c("/file"), "");
    OrbFileRefEx file(u"C:\\file");
    EXPECT_FALSE(file.removeDirAndFiles());
    EXPECT_EQ(file.errorString(), u"Folder is not a Folder (it's a File): C:\\file");
    OrbFileRefEx invalid(u"C:\\none\\deeper");
    EXPECT_FALSE(invalid.removeDirAndFiles());
    EXPECT_EQ(invalid.errorString(), u"Path is invalid.");
}

TEST_F(FileRefOps, RemovingATreeStopsAtTheFirstFailure) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
    TestDrives::makeFolder(drives.c("/tree"));
    TestDrives::makeFolder(drives.c("/tree/locked"));
    TestDrives::writeFile(drives.c("/tree/locked/f"), "");
    chmod(drives.c("/tree/locked").c_str(), 0555);
    OrbFileRefEx tree(u"C:\\tree");
    EXPECT_FALSE(tree.removeDirAndFiles());
    EXPECT_EQ(tree.errorString(),
              u"Could not remove subdirectory: Could not remove file from directory: C:\\tree\\locked\\f; WinError: "
              u"Permission denied");
    chmod(drives.c("/tree/locked").c_str(), 0755);
}

TEST_F(FileRefOps, NamesThatAreNotUtf8) {
    TestDrives::makeFolder(drives.c("/raw"));
    TestDrives::writeFile(drives.c("/raw/caf\xE9.txt"), "latin-1 name");  // ISO-8859-1 bytes
    TestDrives::writeFile(drives.c("/raw/back\\slash"), "b");
    TestDrives::writeFile(drives.c("/raw/co:lon"), "c");

    OrbFileRefEx folder(u"C:\\raw");
    ucstringlist list;
    ASSERT_TRUE(folder.listItems(&list, kPathStyleWindows));
    EXPECT_EQ(list, (ucstringlist{u"back\uF05Cslash", u"caf\uF7E9.txt", u"co:lon"}));

    // Each listed name leads back to its file, in the Windows and the slash spelling.
    for (const ucstring& name : list) {
        OrbFileRefEx byWindowsPath(u"C:\\raw\\" + name);
        EXPECT_TRUE(byWindowsPath.fileExists()) << ucstringToUTF8String(name);
        OrbFileRefEx bySlashPath(u"/Volumes/OS/raw/" + OrbFileRef::decodeSlashes(OrbFileRef::encodeSlashes(name), 0));
        EXPECT_TRUE(bySlashPath.fileExists()) << ucstringToUTF8String(name);
        OrbFileRefEx added(u"C:\\raw");
        added.addItem(OrbFileRef::encodeSlashes(name));
        int64_t size = 0;
        EXPECT_TRUE(added.fileSize(size));
        EXPECT_GT(size, 0);
    }
    OrbFileRefEx latin(u"C:\\raw\\caf\uF7E9.txt");
    EXPECT_TRUE(latin.copyFile(OrbFileRef(u"D:\\")));
    EXPECT_EQ(TestDrives::readFile(drives.d("/caf\xE9.txt")), "latin-1 name");
    EXPECT_TRUE(latin.renameFile(u"caf\u00E9.txt"));  // now UTF-8 on disk
    EXPECT_TRUE(TestDrives::exists(drives.c("/raw/caf\xC3\xA9.txt")));
}
