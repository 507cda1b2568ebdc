// File references: every accepted spelling, the component encoding, the four output styles, the
// volume list and its cache, and system folders, on a private drive table (C "OS", D "Data").
#include "../support/TestDrives.h"
#include "Plugin_Glue.h"
#include "Plugin_Thread.h"
#include "_Common/CoreCode/Orb_Config.h"
#include "_Common/FMPlugin/Plugin_FMXExtensions.h"
#include "_Common/FMPlugin/Plugin_Scripts.h"
#include "_Common/FMPlugin/Plugin_Utilities.h"
#include "_Common/FileAndStream/Orb_FileRef.h"

#include <fmhost/Host.h>
#include <gtest/gtest.h>
#include <platform/Module.h>

namespace {

class FileRefPaths : public ::testing::Test {
protected:
    TestDrives drives;

    static ucstringlist parsed(const ucstring& path) {
        OrbFileRef ref;
        EXPECT_TRUE(ref.set(path)) << ucstringToUTF8String(path) << ": " << ucstringToUTF8String(ref.errorString());
        return ref.pathList();
    }
    static ucstring style(const ucstring& path, int style) { return OrbFileRef(path).pathAsString(style); }
    static ucstring parseError(const ucstring& path) {
        OrbFileRef ref;
        EXPECT_FALSE(ref.set(path));
        EXPECT_FALSE(ref.defined());
        EXPECT_TRUE(ref.pathList().empty());
        return ref.errorString();
    }
};

}  // namespace

TEST_F(FileRefPaths, FileMakerReferencesRoundTrip) {
    OrbFileRef ref(u"filewin:/C:/Data/a.txt");
    EXPECT_TRUE(ref.defined());
    EXPECT_EQ(ref.pathList(), (ucstringlist{u"Volumes", u"OS", u"Data", u"a.txt"}));
    EXPECT_EQ(ref.protocol(), u"filewin");
    EXPECT_EQ(ref.pathAsString(kPathStyleFileMaker), u"filewin:/C:/Data/a.txt");
    EXPECT_EQ(ref.pathAsString(kPathStyleWindows), u"C:\\Data\\a.txt");
    EXPECT_EQ(ref.pathAsString(kPathStyleSlash), u"/Volumes/OS/Data/a.txt");
    EXPECT_EQ(ref.pathAsString(kPathStyleWindows, false), u"C:\\Data");

    // Every prefix is known, in any case; the protocol keeps the list's spelling.
    for (const char16_t* prefix :
         {u"file:", u"image:", u"movie:", u"filemac:", u"imagemac:", u"moviemac:", u"imagewin:", u"MOVIEWIN:"}) {
        OrbFileRef r(ucstring(prefix) + u"/D:/x.png");
        EXPECT_EQ(r.pathList(), (ucstringlist{u"Volumes", u"Data", u"x.png"})) << ucstringToUTF8String(prefix);
        EXPECT_EQ(r.protocol() + u":", stringLowerCase(ucstring(prefix)));
    }
    EXPECT_EQ(OrbFileRef(u"imagewin:/D:/x.png").pathAsString(kPathStyleFileMaker), u"imagewin:/D:/x.png");
}

TEST_F(FileRefPaths, WindowsAndSlashSpellingsOfVolumes) {
    EXPECT_EQ(parsed(u"C:\\Data\\a.txt"), (ucstringlist{u"Volumes", u"OS", u"Data", u"a.txt"}));
    EXPECT_EQ(parsed(u"d:\\x"), (ucstringlist{u"Volumes", u"Data", u"x"}));
    EXPECT_EQ(parsed(u"/Data/x"), (ucstringlist{u"Volumes", u"Data", u"x"}));  // by label
    EXPECT_EQ(parsed(u"/os/x"), (ucstringlist{u"Volumes", u"OS", u"x"}));      // any case
    EXPECT_EQ(parsed(u"/VOLUMES/data/x"), (ucstringlist{u"Volumes", u"Data", u"x"}));
    EXPECT_EQ(parsed(u"/Users/x"), (ucstringlist{u"Volumes", u"OS", u"Users", u"x"}));  // unknown: default
    EXPECT_EQ(style(u"/Users/x", kPathStyleWindows), u"C:\\Users\\x");
    EXPECT_EQ(style(u"D:\\x", kPathStyleFileMaker), u"/D:/x");
    EXPECT_EQ(parsed(u"Disk:folder:file"), (ucstringlist{u"Volumes", u"OS", u"Disk", u"folder", u"file"}));
}

TEST_F(FileRefPaths, TheRootOfTheDefaultVolume) {
    EXPECT_EQ(parsed(u"/"), (ucstringlist{u"Volumes", u"OS"}));
    EXPECT_EQ(parsed(u"/Volumes"), (ucstringlist{u"Volumes", u"OS"}));
    EXPECT_EQ(style(u"/", kPathStyleWindows), u"C:\\");
    EXPECT_EQ(style(u"C:\\", kPathStyleWindows), u"C:\\");
    EXPECT_EQ(style(u"D:", kPathStyleWindows), u"D:\\");
    EXPECT_EQ(style(u"/", kPathStyleSlash), u"/Volumes/OS");
    EXPECT_EQ(style(u"/", kPathStyleFileMaker), u"/C:");
}

TEST_F(FileRefPaths, UncPaths) {
    EXPECT_EQ(parseError(u"//"), u"UNC Path does not appear to be complete (missing server name and share name).");
    EXPECT_EQ(parseError(u"\\\\"), u"UNC Path does not appear to be complete (missing server name and share name).");
    EXPECT_EQ(parseError(u"////"), u"UNC Path does not appear to be complete (missing server name and share name).");
    EXPECT_EQ(parseError(u"//srv/.."),
              u"UNC Path does not appear to be complete (missing server name and share name).");
    EXPECT_EQ(parsed(u"//srv/share/dir"), (ucstringlist{u"Network", u"srv", u"share", u"dir"}));
    EXPECT_EQ(parsed(u"\\\\srv\\share\\dir"), (ucstringlist{u"Network", u"srv", u"share", u"dir"}));
    EXPECT_EQ(parsed(u"/Network/srv/share"), (ucstringlist{u"Network", u"srv", u"share"}));
    EXPECT_EQ(style(u"//srv/share/dir", kPathStyleWindows), u"\\\\srv\\share\\dir");
    EXPECT_EQ(style(u"//srv/share/dir", kPathStyleFileMaker), u"//srv/share/dir");
    EXPECT_EQ(style(u"//srv/share/dir", kPathStyleSlash), u"/Network/srv/share/dir");
    EXPECT_EQ(style(u"file://srv/share/a.txt", kPathStyleFileMaker), u"file://srv/share/a.txt");
}

TEST_F(FileRefPaths, DotsAndEmptyItems) {
    EXPECT_EQ(parsed(u"a/./b/../c"), (ucstringlist{u"Volumes", u"OS", u"a", u"c"}));
    EXPECT_EQ(parsed(u"/x//y/"), (ucstringlist{u"Volumes", u"OS", u"x", u"y"}));
    EXPECT_EQ(parsed(u"/../../x"), (ucstringlist{u"Volumes", u"OS", u"x"}));
    EXPECT_EQ(parsed(u"C:\\a\\..\\..\\b"), (ucstringlist{u"Volumes", u"OS", u"b"}));
}

TEST_F(FileRefPaths, HomePaths) {
    EXPECT_EQ(parsed(u"~"), (ucstringlist{u"~"}));
    EXPECT_EQ(parsed(u"~/"), (ucstringlist{u"~"}));
    EXPECT_EQ(parsed(u"~/x/y"), (ucstringlist{u"~", u"x", u"y"}));
    EXPECT_EQ(parsed(u"~x"), (ucstringlist{u"~", u"x"}));
    EXPECT_EQ(parsed(u"~\\x"), (ucstringlist{u"~", u"x"}));
    EXPECT_EQ(parsed(u"~/.."), (ucstringlist{u"~"}));
    EXPECT_EQ(style(u"~/x", kPathStyleSlash), u"~/x");
    EXPECT_EQ(style(u"~", kPathStyleSlash), u"~");
    EXPECT_EQ(style(u"~/x", kPathStyleWindows), u"C:\\home\\me\\x");
    EXPECT_EQ(style(u"~", kPathStyleFileMaker), u"/C:/home/me");
    OrbFileRef ref;
    ucstringlist home;
    EXPECT_TRUE(ref.getUserPath(home));
    EXPECT_EQ(home, (ucstringlist{u"Volumes", u"OS", u"home", u"me"}));
}

TEST_F(FileRefPaths, RefusedPaths) {
    EXPECT_EQ(parseError(u""), u"No path or file name was specified.");
    EXPECT_EQ(parseError(u"filewin:"), u"No path or file name was specified.");
    OrbFileRef ref(u"/x");
    EXPECT_EQ(ref.pathAsString(kPathStyleMac), u"");
    ucstring out = u"stale";
    EXPECT_FALSE(ref.pathAsString(out, kPathStyleMac));
    EXPECT_EQ(out, u"");
}

TEST_F(FileRefPaths, FullOrRelative) {
    EXPECT_FALSE(isFullPath(u"~"));
    EXPECT_TRUE(isFullPath(u"~/x"));
    EXPECT_TRUE(isFullPath(u"~\\x"));
    EXPECT_TRUE(isFullPath(u"~:x"));
    EXPECT_TRUE(isFullPath(u"Disk:folder:file"));
    EXPECT_FALSE(isFullPath(u"dir\\\\file"));
    EXPECT_FALSE(isFullPath(u"dir/file"));
    EXPECT_FALSE(isFullPath(u"a.txt"));
    EXPECT_FALSE(isFullPath(u""));
    EXPECT_TRUE(isFullPath(u"/x"));
    EXPECT_TRUE(isFullPath(u"\\\\srv\\share"));
    EXPECT_TRUE(isFullPath(u"c:\\x"));
    EXPECT_TRUE(isFullPath(u"C:/x"));
    EXPECT_FALSE(isFullPath(u"C:x/y"));
    EXPECT_TRUE(isFullPath(u"filewin:/C:/x"));
    EXPECT_FALSE(isFullPath(u"image:photo.jpg"));
    EXPECT_FALSE(isFullPath(u"file:"));
}

TEST(FileRefTexts, NormalizingDelimiters) {
    EXPECT_EQ(OrbFileRef::normalizePathDelimiters(u"C:\\Data\\a.txt"), u"C/Data/a.txt");
    EXPECT_EQ(OrbFileRef::normalizePathDelimiters(u"/C:/x"), u"/C/x");
    EXPECT_EQ(OrbFileRef::normalizePathDelimiters(u"C:/x"), u"C/x");
    EXPECT_EQ(OrbFileRef::normalizePathDelimiters(u"Disk:folder:file"), u"Disk/folder/file");
    EXPECT_EQ(OrbFileRef::normalizePathDelimiters(u"a.txt"), u"a.txt");
    // Slash paths: a backslash is a name character, a colon stands for a slash inside a name.
    EXPECT_EQ(OrbFileRef::normalizePathDelimiters(u"/a\\b/c:d"), u"/a%5Cb/c%2Fd");
    // Windows paths and relative ones: both delimiters separate, as on Windows.
    EXPECT_EQ(OrbFileRef::normalizePathDelimiters(u"C:\\a/b\\c"), u"C/a/b/c");
    EXPECT_EQ(OrbFileRef::normalizePathDelimiters(u"C:/a\\b"), u"C/a/b");
    EXPECT_EQ(OrbFileRef::normalizePathDelimiters(u"sub/a\\b.txt"), u"sub/a/b.txt");
    EXPECT_EQ(OrbFileRef::normalizePathDelimiters(u"~/a\\b"), u"~/a%5Cb");
    // Colon paths keep slashes and backslashes inside names.
    EXPECT_EQ(OrbFileRef::normalizePathDelimiters(u"Disk:a/b:c\\d"), u"Disk/a%2Fb/c%5Cd");
    // Escapes already present are kept (upper-cased), any other "%" is escaped.
    EXPECT_EQ(OrbFileRef::normalizePathDelimiters(u"/a%2fb/50%/%5c%25"), u"/a%2Fb/50%25/%5C%25");
    EXPECT_EQ(OrbFileRef::normalizePathDelimiters(u"100%"), u"100%25");
    EXPECT_EQ(OrbFileRef::normalizePathDelimiters(u"%2F:x"), u"%2F/x");  // the escape is skipped when looking
}

TEST(FileRefTexts, NamesAndComponents) {
    EXPECT_EQ(OrbFileRef::encodeSlashes(u"a/b\\c%d"), u"a%2Fb%5Cc%25d");
    EXPECT_EQ(OrbFileRef::encodeSlashes(u"a\uF05Cb"), u"a%5Cb");
    EXPECT_EQ(OrbFileRef::decodeSlashes(u"a%2Fb%5Cc%25d", kPathStyleSlash), u"a:b\\c%d");
    EXPECT_EQ(OrbFileRef::decodeSlashes(u"a%2fb%5cc%25d", kPathStyleFileMaker), u"a:b\\c%d");
    EXPECT_EQ(OrbFileRef::decodeSlashes(u"a%2Fb%5Cc%25d", kPathStyleWindows), u"a/b\uF05Cc%d");
    EXPECT_EQ(OrbFileRef::decodeSlashes(u"%252F", kPathStyleSlash), u"%2F");  // decoded once only
    EXPECT_EQ(OrbFileRef::stripSpecialFileNameChars(u"a:b*c?d\"e<f>g|h%i/j\\k"), u"a-b-c-d-e-f-g-h%25i%2Fj%5Ck");
    EXPECT_EQ(OrbFileRef::extractFileExtension(u"archive.tar.gz"), u".gz");
    EXPECT_EQ(OrbFileRef::extractFileExtension(u"README"), u"");
    EXPECT_EQ(OrbFileRef::extractFileExtension(u".profile"), u".profile");
    EXPECT_EQ(OrbFileRef::extractFileName(u"C:\\Data\\a.txt"), u"a.txt");
    EXPECT_EQ(OrbFileRef::extractFileName(u"/x/y"), u"y");
    EXPECT_EQ(OrbFileRef::extractFileName(u"plain"), u"plain");
    EXPECT_EQ(OrbFileRef::addEndingPathDelimiter(u"/x"), u"/x/");
    EXPECT_EQ(OrbFileRef::addEndingPathDelimiter(u"/x/"), u"/x/");
}

TEST_F(FileRefPaths, NamesWithDelimitersRoundTrip) {
    // Raw names with "/", "\" and "%" survive every style and a new parse of it.
    for (const ucstring& name : {ucstring(u"a/b"), ucstring(u"a\\b"), ucstring(u"a\uF05Cb"), ucstring(u"50%")}) {
        OrbFileRef ref(u"/Volumes/Data/dir");
        ref.addItem(OrbFileRef::encodeSlashes(name));
        for (int s : {kPathStyleSlash, kPathStyleWindows, kPathStyleFileMaker}) {
            if (s == kPathStyleWindows && name == u"a/b") continue;  // a Windows path splits at "/"
            OrbFileRef again(ref.pathAsString(s));
            EXPECT_EQ(again.pathList(), ref.pathList())
                << ucstringToUTF8String(name) << " in style " << s << ": " << ucstringToUTF8String(ref.pathAsString(s));
        }
    }
}

TEST_F(FileRefPaths, EscapesTypedInAPathAreEscapes) {
    // "%2F" typed in a path is a slash inside a name, not the three characters.
    EXPECT_EQ(parsed(u"/x/a%2fb"), (ucstringlist{u"Volumes", u"OS", u"x", u"a%2Fb"}));
    EXPECT_EQ(style(u"/x/a%2fb", kPathStyleWindows), u"C:\\x\\a/b");
    EXPECT_EQ(style(u"/x/a%2fb", kPathStyleSlash), u"/Volumes/OS/x/a:b");
    // A backslash inside a name, typed as U+F05C in a Windows path, is the same component.
    EXPECT_EQ(parsed(u"C:\\x\\a\uF05Cb"), parsed(u"/x/a\\b"));
    EXPECT_EQ(style(u"/x/a\\b", kPathStyleWindows), u"C:\\x\\a\uF05Cb");
}

TEST_F(FileRefPaths, ItemsComeAndGoAboveTheRoot) {
    OrbFileRef volume(u"/Volumes/OS");
    volume.removeLastItem();
    EXPECT_EQ(volume.pathList(), (ucstringlist{u"Volumes", u"OS"}));
    EXPECT_EQ(volume.getLastItem(), u"");
    OrbFileRef server(u"//srv/share");
    server.removeLastItem();
    EXPECT_EQ(server.pathList(), (ucstringlist{u"Network", u"srv"}));
    server.removeLastItem();
    EXPECT_EQ(server.pathList(), (ucstringlist{u"Network", u"srv"}));
    OrbFileRef home(u"~/x");
    EXPECT_EQ(home.getLastItem(), u"x");
    home.removeLastItem();
    EXPECT_EQ(home.pathList(), (ucstringlist{u"~"}));
    home.removeLastItem();
    EXPECT_EQ(home.pathList(), (ucstringlist{u"~"}));

    OrbFileRef dir(u"C:\\a");
    dir.addItem(u"b");
    EXPECT_EQ(dir.pathAsString(kPathStyleWindows), u"C:\\a\\b");
    EXPECT_TRUE(dir.append(u"../c/./d"));
    EXPECT_EQ(dir.pathAsString(kPathStyleWindows), u"C:\\a\\c\\d");
    EXPECT_TRUE(dir.append(u"x\\y"));
    EXPECT_EQ(dir.pathList(), (ucstringlist{u"Volumes", u"OS", u"a", u"c", u"d", u"x", u"y"}));
    OrbFileRef copy;
    copy.assign(dir);
    EXPECT_TRUE(copy.defined());
    EXPECT_EQ(copy.pathList(), dir.pathList());
    copy.clear();
    EXPECT_FALSE(copy.defined());
    EXPECT_TRUE(copy.pathList().empty());
}

TEST_F(FileRefPaths, RelativeFileMakerPathsWithoutAHost) {
    // No front database and a host application outside every drive: the root is used.
    EXPECT_EQ(parsed(u"image:photo.jpg"), (ucstringlist{u"Volumes", u"OS", u"photo.jpg"}));
}

TEST(FileRefHost, RelativeFileMakerPathsUseTheFrontDatabase) {
    TestDrives drives;
    startupPluginThread(57, 1, u"Pro 16.0.1");
    loadFMXAPIExtensions();
    fmhost::HostState& host = fmhost::HostState::get();
    host.settings.filePath = u"file:/C:/dbs/Invoices.fmp12";
    FMX_ExternCallStruct call{};
    call.cCurrentEnv = [](fmx::ExprEnv*) -> fmx::errcode { return 0; };
    gFMX_ExternCallPtr = &call;

    OrbFileRef location;
    EXPECT_EQ(frontDatabaseLocation(location), u"");
    EXPECT_EQ(location.pathAsString(kPathStyleWindows), u"C:\\dbs\\Invoices.fmp12");
    OrbFileRef image(u"image:photos/a.jpg");
    EXPECT_EQ(image.pathAsString(kPathStyleWindows), u"C:\\dbs\\photos\\a.jpg");
    EXPECT_EQ(image.pathAsString(kPathStyleFileMaker), u"image:/C:/dbs/photos/a.jpg");
    // A plain relative path is not the database's business.
    EXPECT_EQ(OrbFileRef(u"photos/a.jpg").pathAsString(kPathStyleWindows), u"C:\\photos\\a.jpg");

    gFMX_ExternCallPtr = nullptr;
    shutdownPluginThread();
    host.settings = fmhost::HostSettings{};
}

TEST(FileRefHost, RelativeFileMakerPathsFallBackToTheApplication) {
    // The test program plays the host application: a drive holding it resolves the path there.
    std::string exe = platform::executablePath();
    exe.resize(exe.rfind('/'));
    TestDrives drives(";E=" + exe);
    EXPECT_EQ(OrbFileRef(u"movie:clip.mov").pathAsString(kPathStyleWindows), u"E:\\clip.mov");
    OrbFileRef app;
    ASSERT_TRUE(fmAppLocation(app));
    EXPECT_EQ(app.pathList().size(), 3u);
    EXPECT_EQ(app.pathList()[1], u"E");  // no label: named by its letter
}

TEST(FileRefVolumes, ListOrderLabelsAndSkippedDrives) {
    TestDrives drives(";A=@/d;B=@/d:Floppy;E=@/d:Data;F=@/gone:USB:removable;G=@/d:Disc:cdrom;H=@/nothing");
    ucstringlist names;
    EXPECT_EQ(OrbFileRef::volumeNames(names), u"");
    EXPECT_EQ(names, (ucstringlist{u"OS=C", u"A=A", u"Data=D", u"Data (2)=E", u"Disc=G"}));
    EXPECT_EQ(OrbFileRef::rootVolumeName(), u"OS");
    // The second "Data" is reached by its numbered name and by its letter.
    EXPECT_EQ(OrbFileRef(u"/Data (2)/x").pathAsString(kPathStyleWindows), u"E:\\x");
    EXPECT_EQ(OrbFileRef(u"E:\\x").pathList(), (ucstringlist{u"Volumes", u"Data (2)", u"x"}));
}

TEST(FileRefVolumes, UnlabelledDriveCIsCalledC) {
    TestDrives drives;
    drives.set("VOLAN_DRIVES", "C=" + drives.c() + ";D=" + drives.d());
    EXPECT_EQ(OrbFileRef::rootVolumeName(), u"C");
    ucstringlist names;
    ASSERT_EQ(OrbFileRef::volumeNames(names), u"");
    EXPECT_EQ(names, (ucstringlist{u"C=C", u"D=D"}));
    EXPECT_EQ(OrbFileRef(u"/").pathList(), (ucstringlist{u"Volumes", u"C"}));
}

TEST(FileRefVolumes, CachedInTheOrbConfigFor15Seconds) {
    TestDrives drives;
    setORBMultiThreaded(true);
    orbConfigInit();
    ucstringlist names;
    ASSERT_EQ(OrbFileRef::volumeNames(names), u"");
    EXPECT_EQ(names, (ucstringlist{u"OS=C", u"Data=D"}));
    EXPECT_EQ(OrbFileRef::rootVolumeName(), u"OS");

    // The system's answer changes, the cached one is kept until it times out.
    setenv("VOLAN_DRIVES", ("C=" + drives.c() + ":System").c_str(), 1);
    platform::fileResetTables();
    ASSERT_EQ(OrbFileRef::volumeNames(names), u"");
    EXPECT_EQ(names, (ucstringlist{u"OS=C", u"Data=D"}));
    EXPECT_EQ(OrbFileRef::rootVolumeName(), u"OS");
    const OrbVariable* timeout = nullptr;
    ASSERT_EQ(getORBConfigVar(u"VolNamesTimeout", timeout), u"");
    EXPECT_GT(timeout->integerValue(), 0);
    OrbVariable* mutableTimeout = nullptr;
    ASSERT_EQ(getMutableORBConfigVar(u"VolNamesTimeout", mutableTimeout), u"");
    mutableTimeout->setIntegerValue(mutableTimeout->integerValue() - 16);  // as if 16 seconds had passed
    ASSERT_EQ(OrbFileRef::volumeNames(names), u"");
    EXPECT_EQ(names, (ucstringlist{u"System=C"}));
    ASSERT_EQ(getMutableORBConfigVar(u"RootVolNameTimeout", mutableTimeout), u"");
    mutableTimeout->setIntegerValue(0);
    EXPECT_EQ(OrbFileRef::rootVolumeName(), u"System");

    orbConfigShutdown();
    setORBMultiThreaded(false);
}

TEST(FileRefSystemFolders, Kinds) {
    TestDrives drives;
    OrbFileRef ref;
    ASSERT_TRUE(ref.setToSystemFolder(kSystemFolderDesktop));
    EXPECT_EQ(ref.pathAsString(kPathStyleWindows), u"C:\\home\\me\\Desktop");
    ASSERT_TRUE(ref.setToSystemFolder(kSystemFolderPreferences));
    EXPECT_EQ(ref.pathAsString(kPathStyleWindows), u"C:\\home\\me\\.local\\share");
    drives.set("XDG_DATA_HOME", drives.d("/appdata"));
    ASSERT_TRUE(ref.setToSystemFolder(kSystemFolderLocalAppData));
    EXPECT_EQ(ref.pathAsString(kPathStyleWindows), u"D:\\appdata");
    ASSERT_TRUE(ref.setToSystemFolder(kSystemFolderChewable));
    EXPECT_EQ(ref.pathAsString(kPathStyleWindows), u"C:\\tmp");
    ASSERT_TRUE(ref.setToSystemFolder(kSystemFolderDocuments));
    EXPECT_EQ(ref.pathAsString(kPathStyleWindows), u"C:\\home\\me\\Documents");

    EXPECT_FALSE(ref.setToSystemFolder(42));
    EXPECT_EQ(ref.errorString(), u"SHGetFolderPath didn't succeed.");
    EXPECT_FALSE(ref.setToSystemFolder(kSystemFolderProgramFiles));  // /opt is not on these drives
    EXPECT_EQ(ref.errorString(), u"Error getting System Folder; WinError: The folder /opt lies outside every drive.");
}
