// The platform's Windows view of the native file system: the drive table, paths, names that are
// not UTF-8, and the known folders.
#include "../support/TestDrives.h"

#include <platform/Files.h>

#include <gtest/gtest.h>

#include <random>

using platform::fileNameFromNative;
using platform::fileNameToNative;

TEST(PlatformFileNames, Utf8NamesAreTheirText) {
    EXPECT_EQ(fileNameFromNative("caf\xC3\xA9 \xF0\x9F\x98\x80.txt"), u"caf\u00E9 \U0001F600.txt");
    EXPECT_EQ(fileNameToNative(u"caf\u00E9 \U0001F600.txt"), "caf\xC3\xA9 \xF0\x9F\x98\x80.txt");
}

TEST(PlatformFileNames, BytesThatAreNotUtf8KeepTheirValue) {
    // A lone Latin-1 byte, a truncated sequence, an overlong form and an encoded surrogate.
    EXPECT_EQ(fileNameFromNative("a\xFF"), u"a\uF7FF");
    EXPECT_EQ(fileNameFromNative("\xC3"), u"\uF7C3");
    EXPECT_EQ(fileNameFromNative("\xC0\xAF"), u"\uF7C0\uF7AF");
    EXPECT_EQ(fileNameFromNative("\xED\xA0\x80"), u"\uF7ED\uF7A0\uF780");
    EXPECT_EQ(fileNameToNative(u"a\uF7FF"), "a\xFF");
}

TEST(PlatformFileNames, SeparatorsInsideNames) {
    // A backslash in a native name cannot appear as such in a Windows path; "/" stands for ":".
    EXPECT_EQ(fileNameFromNative("a\\b"), u"a\uF05Cb");
    EXPECT_EQ(fileNameToNative(u"a\uF05Cb"), "a\\b");
    EXPECT_EQ(fileNameToNative(u"a/b"), "a:b");
    EXPECT_EQ(fileNameFromNative("a:b"), u"a:b");
    // Native names that hold the escape characters themselves are escaped byte by byte.
    EXPECT_EQ(fileNameFromNative("\xEF\x81\x9C"), u"\uF7EF\uF781\uF79C");  // U+F05C
    EXPECT_EQ(fileNameToNative(u"\uF7EF\uF781\uF79C"), "\xEF\x81\x9C");
}

TEST(PlatformFileNames, EveryNativeNameRoundTrips) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> byte(1, 255);
    std::uniform_int_distribution<int> length(1, 12);
    for (int i = 0; i < 20000; ++i) {
        std::string name;
        for (int n = length(random); n > 0; --n) {
            const int b = byte(random);
            name.push_back(static_cast<char>(b == '/' ? 'x' : b));
        }
        ASSERT_EQ(fileNameToNative(fileNameFromNative(name)), name) << i;
    }
}

TEST(PlatformDrives, TableFromTheEnvironment) {
    TestDrives drives(";E=@/missing:Gone;F=@/d:USB:removable;G=@/none:Disc:cdrom;h=/:Sys");
    const std::vector<platform::Drive> table = platform::fileDrives();
    ASSERT_EQ(table.size(), 6u);
    EXPECT_EQ(table[0].letter, u'C');
    EXPECT_EQ(table[0].root, drives.c());
    EXPECT_EQ(table[0].label, u"OS");
    EXPECT_EQ(table[1].letter, u'D');
    EXPECT_EQ(table[1].label, u"Data");
    EXPECT_EQ(table[2].kind, platform::DriveKind::NoRootFolder);  // E's folder does not exist
    EXPECT_EQ(table[3].kind, platform::DriveKind::Removable);
    EXPECT_TRUE(table[3].ready);
    EXPECT_EQ(table[4].kind, platform::DriveKind::CdRom);
    EXPECT_FALSE(table[4].ready);  // no medium: the folder is missing
    EXPECT_EQ(table[5].letter, u'H');
    EXPECT_EQ(table[5].root, "/");
    EXPECT_EQ(platform::fileNetworkRoot(), drives.net());
}

TEST(PlatformDrives, DriveCIsAlwaysThere) {
    TestDrives drives;
    drives.set("VOLAN_DRIVES", "D=/tmp");
    const std::vector<platform::Drive> table = platform::fileDrives();
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].letter, u'C');
    EXPECT_EQ(table[0].root, "/");
    drives.set("VOLAN_NETWORK_ROOT", std::nullopt);
    EXPECT_EQ(platform::fileNetworkRoot(), "/net");
}

TEST(PlatformPaths, WindowsPathsMapOntoDrives) {
    TestDrives drives;
    std::string native, error;
    ASSERT_TRUE(platform::fileNativePath(u"C:\\", native, error));
    EXPECT_EQ(native, drives.c());
    ASSERT_TRUE(platform::fileNativePath(u"d:\\x\\.\\y\\..\\z", native, error));
    EXPECT_EQ(native, drives.d("/x/z"));
    // ".." never leaves the drive or the share.
    ASSERT_TRUE(platform::fileNativePath(u"C:\\..\\..\\etc", native, error));
    EXPECT_EQ(native, drives.c("/etc"));
    ASSERT_TRUE(platform::fileNativePath(u"\\\\srv\\share\\..\\..\\a", native, error));
    EXPECT_EQ(native, drives.net("/srv/share/a"));
    EXPECT_FALSE(platform::fileNativePath(u"\\\\srv", native, error));
    EXPECT_FALSE(platform::fileNativePath(u"Q:\\x", native, error));
    EXPECT_EQ(error, platform::fileErrorMessage(ENOENT));
    EXPECT_FALSE(platform::fileNativePath(u"relative\\x", native, error));
    const std::u16string withNul(u"C:\\a\0b", 6);
    EXPECT_FALSE(platform::fileNativePath(withNul, native, error));
}

TEST(PlatformPaths, NativePathsFindTheirDrive) {
    TestDrives drives(";E=@/d/sub:Inner");
    std::u16string path;
    ASSERT_TRUE(platform::fileWindowsPath(drives.c("/x/y"), path));
    EXPECT_EQ(path, u"C:\\x\\y");
    ASSERT_TRUE(platform::fileWindowsPath(drives.d() + "//./a/", path));
    EXPECT_EQ(path, u"D:\\a");
    ASSERT_TRUE(platform::fileWindowsPath(drives.d("/sub/z"), path));  // the longest root wins
    EXPECT_EQ(path, u"E:\\z");
    ASSERT_TRUE(platform::fileWindowsPath(drives.net("/srv/share/f"), path));
    EXPECT_EQ(path, u"\\\\srv\\share\\f");
    ASSERT_TRUE(platform::fileWindowsPath(drives.c("/a\\b\xFF"), path));
    EXPECT_EQ(path, u"C:\\a\uF05Cb\uF7FF");
    EXPECT_FALSE(platform::fileWindowsPath("/usr/lib", path));  // outside every drive
    EXPECT_FALSE(platform::fileWindowsPath("relative", path));
}

TEST(PlatformKnownFolders, FromHomeAndXdg) {
    TestDrives drives;
    std::u16string path;
    std::string error;
    ASSERT_TRUE(platform::fileKnownFolder(platform::KnownFolder::Home, path, error));
    EXPECT_EQ(path, u"C:\\home\\me");
    ASSERT_TRUE(platform::fileKnownFolder(platform::KnownFolder::Desktop, path, error));
    EXPECT_EQ(path, u"C:\\home\\me\\Desktop");
    ASSERT_TRUE(platform::fileKnownFolder(platform::KnownFolder::LocalAppData, path, error));
    EXPECT_EQ(path, u"C:\\home\\me\\.local\\share");
    ASSERT_TRUE(platform::fileKnownFolder(platform::KnownFolder::RecycleBin, path, error));
    EXPECT_EQ(path, u"C:\\home\\me\\.local\\share\\Trash");
    ASSERT_TRUE(platform::fileKnownFolder(platform::KnownFolder::Startup, path, error));
    EXPECT_EQ(path, u"C:\\home\\me\\.config\\autostart");
    ASSERT_TRUE(platform::fileKnownFolder(platform::KnownFolder::Temporary, path, error));
    EXPECT_EQ(path, u"C:\\tmp");

    // The user-dirs file names the Documents folder; an environment variable wins over it.
    TestDrives::makeFolder(drives.c("/home/me/.config"));
    TestDrives::writeFile(drives.c("/home/me/.config/user-dirs.dirs"),
                          "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n");
    ASSERT_TRUE(platform::fileKnownFolder(platform::KnownFolder::Documents, path, error));
    EXPECT_EQ(path, u"C:\\home\\me\\Papiere");
    drives.set("XDG_DOCUMENTS_DIR", drives.d("/docs"));
    ASSERT_TRUE(platform::fileKnownFolder(platform::KnownFolder::Documents, path, error));
    EXPECT_EQ(path, u"D:\\docs");

    drives.set("TMPDIR", "/var/tmp");
    EXPECT_FALSE(platform::fileKnownFolder(platform::KnownFolder::Temporary, path, error));
    EXPECT_EQ(error, "The folder /var/tmp lies outside every drive.");
}

TEST(PlatformFiles, CopyAndMoveNeverReplace) {
    TestDrives drives;
    TestDrives::writeFile(drives.c("/a.txt"), "alpha");
    TestDrives::writeFile(drives.c("/b.txt"), "beta");
    std::string error;
    EXPECT_FALSE(platform::fileCopy(u"C:\\a.txt", u"C:\\b.txt", error));
    EXPECT_EQ(error, platform::fileErrorMessage(EEXIST));
    EXPECT_FALSE(platform::fileMove(u"C:\\a.txt", u"C:\\b.txt", error));
    EXPECT_EQ(TestDrives::readFile(drives.c("/b.txt")), "beta");
    // Across drives (same file system here) and into a new name.
    ASSERT_TRUE(platform::fileCopy(u"C:\\a.txt", u"D:\\a.txt", error)) << error;
    EXPECT_EQ(TestDrives::readFile(drives.d("/a.txt")), "alpha");
    ASSERT_TRUE(platform::fileMove(u"C:\\a.txt", u"D:\\moved.txt", error)) << error;
    EXPECT_FALSE(TestDrives::exists(drives.c("/a.txt")));
    EXPECT_EQ(TestDrives::readFile(drives.d("/moved.txt")), "alpha");
}

TEST(PlatformFiles, FolderCreationMakesEveryLevel) {
    TestDrives drives;
    std::string error;
    ASSERT_TRUE(platform::fileCreateFolder(u"C:\\x\\y\\z", error)) << error;
    EXPECT_EQ(platform::fileKind(u"C:\\x\\y\\z"), platform::FileKind::Folder);
    EXPECT_FALSE(platform::fileCreateFolder(u"C:\\x\\y", error));
    EXPECT_EQ(error, platform::fileErrorMessage(EEXIST));
}
