// Directory uploads and downloads against the real test servers: whole trees compared file by
// file and byte by byte, wildcards, depth, the queue with its one completed script, failures part
// way through, and a hostile server whose listing names lead out of the download folder.
#include "PtyTerminal.h"
#include "RemoteFixture.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using testing_support::kKinds;
using testing_support::randomBytes;
using testing_support::readFile;
using testing_support::RemoteTest;
using testing_support::ServerKind;
using testing_support::writeFile;

namespace {

// Every folder and file under `root` by relative path: folders as "<dir>", files as their size
// and a digest of their bytes (so a difference shows without dumping the data).
using Tree = std::map<std::string, std::string>;
Tree snapshot(const fs::path& root) {
    Tree tree;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string rel = fs::relative(e.path(), root).string();
        if (e.is_directory()) {
            tree[rel] = "<dir>";
        } else {
            const std::string data = readFile(e.path());
            tree[rel] = std::to_string(data.size()) + " bytes #" + std::to_string(std::hash<std::string>()(data));
        }
    }
    return tree;
}

// Only the entries of `tree` whose path passes `keep`.
template <class Keep>
Tree filtered(const Tree& tree, Keep keep) {
    Tree out;
    for (const auto& [path, value] : tree)
        if (keep(path, value)) out[path] = value;
    return out;
}

bool topLevel(const std::string& path) { return path.find('/') == std::string::npos; }
bool isFile(const std::string& value) { return value != "<dir>"; }
bool endsTxt(const std::string& path) {
    std::string tail = path.size() >= 4 ? path.substr(path.size() - 4) : path;
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".txt";
}

// The tree every test starts from: nested folders (one empty), empty files, sizes from a few
// bytes to some hundred kilobytes, spaces and non-ASCII letters, ".txt" in three letter cases.
void makeTree(const fs::path& root) {
    writeFile(root / "a.txt", "alpha\n");
    writeFile(root / "empty.bin", "");
    writeFile(root / "Grüße ü.TXT", randomBytes(65537, 1));
    writeFile(root / "big.dat", randomBytes(300000, 2));
    writeFile(root / "sub dir" / "inner.txt", "inner\r\nlines\r\n");
    writeFile(root / "sub dir" / "empty.txt", "");
    writeFile(root / "sub dir" / "deep ö" / "deeper.TxT", randomBytes(1000, 3));
    writeFile(root / "sub dir" / "deep ö" / "x.bin", randomBytes(10, 4));
    fs::create_directories(root / "emptydir");
}

class DirTransferTest : public RemoteTest, public ::testing::WithParamInterface<ServerKind> {
protected:
    void SetUp() override {
        RemoteTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        const ServerKind& kind = GetParam();
        account = std::string("dirs ") + kind.name;
        addAccount(account, kind, servers["VOLAN_TEST_PASSWORD"]);
        ASSERT_EQ(call("Volan_Connect", {account}).rfind("Connected to Account: ", 0), 0u);
        work = "dirs " + std::string(kind.name) + " " + std::to_string(getpid());
        workDir = home / work;
        ASSERT_EQ(call("Volan_MakeRemoteDir", {work}).rfind("Created: ", 0), 0u);
        ASSERT_EQ(call("Volan_ChangeRemoteDir", {work}).rfind("Remote directory set to: ", 0), 0u);
        base = fs::temp_directory_path() / ("volan-dirs-" + std::to_string(getpid()) + "-" + kind.name);
        fs::remove_all(base);
        source = base / "source tree";
        down = base / "down";
        makeTree(source);
        fs::create_directories(down);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(base, ignored);
        fs::remove_all(workDir, ignored);
        RemoteTest::TearDown();
    }

    // Makes `folder` the current local folder; returns the path as this system shows it.
    std::string useLocal(const fs::path& folder) {
        const std::string answer = call("Volan_ChangeLocalDir", {folder.string()});
        const std::string prefix = "Local directory set to: ";
        EXPECT_EQ(answer.rfind(prefix, 0), 0u) << answer;
        return answer.substr(std::min(answer.size(), prefix.size()));
    }
    void clearRemote() {
        for (const auto& e : fs::directory_iterator(workDir)) fs::remove_all(e.path());
    }
    // Drives the host's idle calls until the queue is empty; true when it emptied in time.
    bool drainQueue() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (call("Volan_GetQueueList") != "" && std::chrono::steady_clock::now() < deadline) {
            host->idle(0, 1);
            host->runPendingScripts(1);
            usleep(5000);
        }
        host->idle(0, 1);
        host->runPendingScripts(1);
        return call("Volan_GetQueueList").empty();
    }

    std::string account, work;
    fs::path workDir, base, source, down;
};

}  // namespace

TEST_P(DirTransferTest, ATreeGoesUpAndComesBackWholeAtOnce) {
    const std::string shown = useLocal(base);
    const std::string shownSource = useLocal(source);
    EXPECT_EQ(run("Volan_UploadDir(" + testing_support::quoted(source.string()) + "; 1)"),
              "Uploaded '" + shownSource + "'.");
    const Tree tree = snapshot(source);
    ASSERT_EQ(tree.size(), 11u);
    EXPECT_EQ(snapshot(workDir), tree);

    // Uploading again reuses the folders that are there now and replaces the files.
    writeFile(source / "sub dir" / "inner.txt", "changed");
    EXPECT_EQ(run("Volan_UploadDir(\"\"; 1)"), "Uploaded '" + shownSource + "'.");
    EXPECT_EQ(snapshot(workDir), snapshot(source));

    useLocal(down);
    EXPECT_EQ(run("Volan_DownloadDir(" + testing_support::quoted(workDir.string()) + "; 1)"),
              "Downloaded '" + workDir.string() + "'.");
    EXPECT_EQ(snapshot(down), snapshot(source));
    (void)shown;
}

TEST_P(DirTransferTest, WithoutRecursiveOnlyTheTopFilesMove) {
    useLocal(source);
    // No arguments: the current local folder into the current remote directory.
    EXPECT_EQ(run("Volan_UploadDir").rfind("Uploaded '", 0), 0u);
    const Tree top =
        filtered(snapshot(source), [](const std::string& p, const std::string& v) { return topLevel(p) && isFile(v); });
    ASSERT_EQ(top.size(), 4u);
    EXPECT_EQ(snapshot(workDir), top);

    // The whole tree on the server, then only its top files come down.
    // A relative LocalDir is taken from the current local folder.
    clearRemote();
    EXPECT_EQ(run("Volan_UploadDir(\"sub dir\"; 1)").rfind("Uploaded '", 0), 0u);
    const Tree subTree = snapshot(source / "sub dir");
    ASSERT_EQ(subTree.size(), 5u);
    EXPECT_EQ(snapshot(workDir), subTree);

    clearRemote();
    EXPECT_EQ(run("Volan_UploadDir(\"\"; 1)").rfind("Uploaded '", 0), 0u);
    useLocal(down);
    EXPECT_EQ(call("Volan_DownloadDir", {workDir.string()}), "Downloaded '" + workDir.string() + "'.");
    EXPECT_EQ(snapshot(down), top);
}

TEST_P(DirTransferTest, AWildcardSelectsFilesInEitherLetterCase) {
    const Tree all = snapshot(source);
    const Tree txtTop = filtered(
        all, [](const std::string& p, const std::string& v) { return topLevel(p) && isFile(v) && endsTxt(p); });
    ASSERT_EQ(txtTop.size(), 2u);
    for (const char* pattern : {"*.txt", "*.TXT", "*.tXt"}) {
        clearRemote();
        EXPECT_EQ(run("Volan_UploadDir(" + testing_support::quoted(source.string()) + "; 0; " +
                      testing_support::quoted(pattern) + ")")
                      .rfind("Uploaded '", 0),
                  0u);
        EXPECT_EQ(snapshot(workDir), txtTop) << pattern;
    }
    // Recursive with a wildcard: every folder, only the matching files.
    clearRemote();
    EXPECT_EQ(
        run("Volan_UploadDir(" + testing_support::quoted(source.string()) + "; 1; \"*.TXT\")").rfind("Uploaded '", 0),
        0u);
    const Tree txtAll =
        filtered(all, [](const std::string& p, const std::string& v) { return !isFile(v) || endsTxt(p); });
    EXPECT_EQ(snapshot(workDir), txtAll);
    // "?" is one letter.
    clearRemote();
    EXPECT_EQ(
        run("Volan_UploadDir(" + testing_support::quoted(source.string()) + "; 0; \"?.TXT\")").rfind("Uploaded '", 0),
        0u);
    EXPECT_EQ(snapshot(workDir), (Tree{{"a.txt", all.at("a.txt")}}));

    // Down again from the whole tree: the same files, every folder made.
    clearRemote();
    ASSERT_EQ(run("Volan_UploadDir(" + testing_support::quoted(source.string()) + "; 1)").rfind("Uploaded '", 0), 0u);
    useLocal(down);
    EXPECT_EQ(run("Volan_DownloadDir(" + testing_support::quoted(workDir.string()) + "; 1; \"*.Txt\")")
                  .rfind("Downloaded '", 0),
              0u);
    EXPECT_EQ(snapshot(down), txtAll);
}

TEST_P(DirTransferTest, QueuedTreesRunTheCompletedScriptOnceAfterTheirFiles) {
    fmhost::HostState& state = fmhost::HostState::get();
    state.scripts.push_back({u"Volan", u"Done", u""});
    state.startedScripts.clear();
    const std::string shownSource = useLocal(source);

    EXPECT_EQ(run("Volan_UploadDir(" + testing_support::quoted(source.string()) + "; 1; \"\"; \"Done\"; 0; \"up\")"),
              "'" + shownSource + "' queued for upload.");
    // One transfer per file; the folder's own entry (not listed) carries the script.
    const std::vector<std::string> queued = testing_support::split(call("Volan_GetQueueList"), "\r");
    ASSERT_EQ(queued.size(), 8u) << call("Volan_GetQueueList");
    for (const std::string& line : queued) EXPECT_EQ(line.rfind("UploadFile: ", 0), 0u) << line;
    ASSERT_TRUE(drainQueue());
    EXPECT_EQ(snapshot(workDir), snapshot(source));
    ASSERT_EQ(state.startedScripts.size(), 1u);
    EXPECT_EQ(state.startedScripts[0].script, u"Done");
    EXPECT_EQ(state.startedScripts[0].parameter, u"up");

    useLocal(down);
    EXPECT_EQ(run("Volan_DownloadDir(" + testing_support::quoted(workDir.string()) + "; 1; \"\"; \"Done\")"),
              "'" + workDir.string() + "' queued for download.");
    ASSERT_TRUE(drainQueue());
    EXPECT_EQ(snapshot(down), snapshot(source));
    ASSERT_EQ(state.startedScripts.size(), 2u);
    // Without a parameter of its own the script gets the directory's result.
    EXPECT_EQ(state.startedScripts[1].parameter, fmhost::utf16("Downloaded '" + workDir.string() + "'."));
}

TEST_P(DirTransferTest, AFailurePartWayNamesTheFileAndCountsWhatWentBefore) {
    // A folder on the server where the last file of the deepest folder must go.
    for (const char* folder : {"sub dir", "sub dir/deep ö", "sub dir/deep ö/x.bin"})
        ASSERT_EQ(call("Volan_MakeRemoteDir", {folder}).rfind("Created: ", 0), 0u) << folder;
    const std::string shownSource = useLocal(source);
    const std::string result = run("Volan_UploadDir(" + testing_support::quoted(source.string()) + "; 1)");
    // Sorted local order: four top files, then "deep ö"/deeper.TxT before x.bin.
    EXPECT_EQ(result.rfind("ERROR: UploadDir: Error uploading directory contents: Error uploading '", 0), 0u) << result;
    EXPECT_NE(result.find("x.bin': "), std::string::npos) << result;
    EXPECT_EQ(result.substr(result.size() - std::min(result.size(), size_t{33})), " (5 files transferred before it.)")
        << result;
    const Tree sent = snapshot(workDir);
    for (const auto& [path, value] : sent) {
        if (path.rfind("sub dir/deep ö/x.bin", 0) == 0 || !isFile(value)) continue;
        EXPECT_EQ(value, snapshot(source).at(path)) << path;
    }
    EXPECT_EQ(filtered(sent, [](const std::string&, const std::string& v) { return isFile(v); }).size(), 5u);

    // A file the server may not read stops a download; what came before is whole.
    fs::remove_all(workDir / "sub dir" / "deep ö" / "x.bin");
    // The same connection goes on: a refused upload leaves it usable.
    fs::copy(source, workDir, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    chmod((workDir / "sub dir" / "inner.txt").c_str(), 0);
    useLocal(down);
    const std::string failed = run("Volan_DownloadDir(" + testing_support::quoted(workDir.string()) + "; 1)");
    const std::string head = "ERROR: DownloadDir: Error downloading directory contents: Error downloading '" +
                             workDir.string() + "/sub dir/inner.txt': ";
    EXPECT_EQ(failed.rfind(head, 0), 0u) << failed;
    // The count closes the text: " (N file(s) transferred before it.)".
    const size_t open = failed.rfind(" (");
    ASSERT_NE(open, std::string::npos) << failed;
    const std::string count = failed.substr(open + 2, failed.find(' ', open + 2) - open - 2);
    const std::string noun = count == "1" ? " file" : " files";
    EXPECT_EQ(failed.substr(open), " (" + count + noun + " transferred before it.)") << failed;
    const Tree got = snapshot(down);
    const Tree want = snapshot(source);
    size_t files = 0;
    for (const auto& [path, value] : got) {
        EXPECT_EQ(value, want.at(path)) << path;
        files += isFile(value);
    }
    EXPECT_EQ(std::to_string(files), count);
    EXPECT_EQ(got.count("sub dir/inner.txt"), 0u);
    (void)shownSource;
}

// MaxConnections 4 moves a tree of 30 files in 3 folders as exactly as one connection does, with
// the same result texts. A file the server refuses in the middle (a folder stands where it goes,
// or it may not be read) stops the transfer with the error one connection gives: every file one
// connection moved before it came whole, and the count is what arrived.
TEST_P(DirTransferTest, SeveralConnectionsMoveTheSameTreeAndStopAtTheSameFailure) {
    const fs::path tree = base / "many";
    std::vector<std::string> names;
    for (int folder = 0; folder < 3; ++folder)
        for (int file = 0; file < 10; ++file) {
            names.push_back("p" + std::to_string(folder) + "/f" + std::to_string(file) + ".bin");
            writeFile(tree / names.back(), randomBytes(static_cast<size_t>(100 + 997 * file * folder),
                                                       static_cast<unsigned>(50 + names.size())));
        }
    const std::string failing = "p1/f4.bin";
    const Tree want = snapshot(tree);
    const std::string shown = useLocal(tree);
    const std::string quotedTree = testing_support::quoted(tree.string());
    const std::string quotedWork = testing_support::quoted(workDir.string());
    // What one connection gave: the error (up to the server's reply, whose data port differs) and
    // the files it moved, for a failing download and upload.
    struct Reference {
        std::string text;
        std::set<std::string> moved;
    } withOne[2];
    for (const int connections : {1, 4}) {
        SCOPED_TRACE(connections);
        call("Volan_Disconnect");
        call("Volan_SetAccountOption", {account, "MaxConnections", std::to_string(connections)});
        ASSERT_EQ(call("Volan_Connect", {account}).rfind("Connected to Account: ", 0), 0u);
        ASSERT_EQ(call("Volan_ChangeRemoteDir", {work}).rfind("Remote directory set to: ", 0), 0u);
        clearRemote();
        useLocal(tree);
        EXPECT_EQ(run("Volan_UploadDir(" + quotedTree + "; 1)"), "Uploaded '" + shown + "'.");
        EXPECT_EQ(snapshot(workDir), want);
        const fs::path into = down / std::to_string(connections);
        fs::create_directories(into);
        useLocal(into);
        EXPECT_EQ(run("Volan_DownloadDir(" + quotedWork + "; 1)"), "Downloaded '" + workDir.string() + "'.");
        EXPECT_EQ(snapshot(into), want);

        // Down: the middle file may not be read.
        chmod((workDir / failing).c_str(), 0);
        fs::remove_all(into);
        fs::create_directories(into);
        const std::string failedDown = run("Volan_DownloadDir(" + quotedWork + "; 1)");
        // Up: a folder stands where the middle file goes.
        clearRemote();
        for (const std::string& folder : {std::string("p1"), failing})
            ASSERT_EQ(call("Volan_MakeRemoteDir", {folder}).rfind("Created: ", 0), 0u) << folder;
        useLocal(tree);
        const std::string failedUp = run("Volan_UploadDir(" + quotedTree + "; 1)");

        const struct {
            std::string result;
            fs::path root;
            std::string head;
        } failures[] = {
            {failedDown, into,
             "ERROR: DownloadDir: Error downloading directory contents: Error downloading '" +
                 (workDir / failing).string() + "': "},
            {failedUp, workDir,
             "ERROR: UploadDir: Error uploading directory contents: Error uploading '" + shown + "\\p1\\f4.bin': "}};
        for (size_t c = 0; c < 2; ++c) {
            const std::string& result = failures[c].result;
            SCOPED_TRACE(result);
            EXPECT_EQ(result.rfind(failures[c].head, 0), 0u);
            const size_t open = result.rfind(" (");
            ASSERT_NE(open, std::string::npos);
            std::set<std::string> moved;
            for (const std::string& name : names) {
                if (!fs::is_regular_file(failures[c].root / name)) continue;
                EXPECT_EQ(readFile(failures[c].root / name), readFile(tree / name)) << name;
                moved.insert(name);
            }
            EXPECT_EQ(result.substr(open), " (" + std::to_string(moved.size()) + " files transferred before it.)");
            const std::string text = result.substr(0, std::min(result.find("Server response: "), open));
            if (connections == 1) {
                withOne[c] = {text, moved};
                continue;
            }
            EXPECT_EQ(text, withOne[c].text);
            // Files taken while the failing one was under way may have moved too.
            for (const std::string& name : withOne[c].moved) EXPECT_EQ(moved.count(name), 1u) << name;
        }
    }
    call("Volan_SetAccountOption", {account, "MaxConnections", ""});  // the account serves later tests
}

// A file that fails in a queued folder transfer fails the folder: its result is what the same
// transfer at once answers (the file, and how many went before it), and its script does not run.
TEST_P(DirTransferTest, AQueuedTreeWithAFailingFileFailsAsAWholeAndRunsNoScript) {
    fmhost::HostState& state = fmhost::HostState::get();
    state.scripts.push_back({u"Volan", u"Done", u""});
    state.startedScripts.clear();
    // Up: a folder on the server where the last file of the deepest folder must go. Down: a
    // local folder where a file must go.
    for (const char* folder : {"sub dir", "sub dir/deep ö", "sub dir/deep ö/x.bin"})
        ASSERT_EQ(call("Volan_MakeRemoteDir", {folder}).rfind("Created: ", 0), 0u) << folder;
    fs::create_directories(down / "big.dat");
    const struct {
        fs::path local;
        std::string call;
    } cases[] = {{source, "Volan_UploadDir(\"\"; 1; \"\""},
                 {down, "Volan_DownloadDir(" + testing_support::quoted(workDir.string()) + "; 0; \"\""}};
    for (const auto& c : cases) {
        useLocal(c.local);
        const std::string queued = run(c.call + "; \"Done\")");
        ASSERT_NE(queued.find("' queued for "), std::string::npos) << queued;
        ASSERT_TRUE(drainQueue());
        // The data connection's replies differ from run to run (the port, a passive mode tried
        // again): the server's answer is compared by its last reply.
        const auto byLastReply = [](const std::string& text) {
            const size_t replies = text.find("Server response: "), last = text.rfind('\r');
            if (replies == std::string::npos || last == std::string::npos || last < replies) return text;
            return text.substr(0, replies) + "..." + text.substr(last);
        };
        const std::string last = byLastReply(call("Volan_GetLastResult"));
        const std::string atOnce = byLastReply(run(c.call + ")"));
        EXPECT_NE(atOnce.find(" transferred before it.)"), std::string::npos) << atOnce;
        EXPECT_EQ(last, atOnce);
    }
    EXPECT_TRUE(state.startedScripts.empty());
}

// Links and awkward names on the server come down as what they lead to: a link to a file as the
// file, a linked folder once, never one inside the tree, the tree itself or above it; links that
// lead nowhere are skipped and counted. Names keep their blanks, a Latin-1 name arrives in UTF-8,
// and without Recursive no linked folder is entered.
TEST_P(DirTransferTest, LinksAndAwkwardNamesComeDownAsWhatTheyLeadTo) {
    const ServerKind& kind = GetParam();
    SKIP_UNLESS_BLANK_ENDS_KEPT(kind);
    // The LIST-only server sends a name that is not UTF-8 with "?" for the byte: no one can fetch it.
    const bool latin1 = std::string(kind.name) != "ListOnlyFTP";
    const fs::path outside = servedFolder(std::string("links outside ") + kind.name);
    testing_support::makeLinkTree(workDir, outside, latin1);
    // MLSD leaves out the links that lead nowhere.
    const std::string nowhere = kind.machineListing ? "" : "3 links skipped that lead nowhere";
    const std::string again = "4 linked folders skipped that lead back into the download";
    const struct {
        bool recursive;
        std::string skipped;
    } cases[] = {
        {false, nowhere.empty() ? "" : " (" + nowhere + ".)"},
        {true, " (" + (nowhere.empty() ? again : nowhere + "; " + again) + ".)"},
    };
    for (const auto& c : cases) {
        const fs::path want = base / "want";
        fs::remove_all(want);
        testing_support::makeLinkTreeCopy(want, latin1, c.recursive);
        fs::remove_all(down);
        fs::create_directories(down);
        useLocal(down);
        EXPECT_EQ(run("Volan_DownloadDir(" + testing_support::quoted(workDir.string()) + "; " +
                      (c.recursive ? "1" : "0") + ")"),
                  "Downloaded '" + workDir.string() + "'." + c.skipped);
        EXPECT_EQ(snapshot(down), snapshot(want)) << "recursive " << c.recursive;
    }
}

// A local link may lead out of the tree or back up it: a folder upload leaves every link at home
// and sends the files and folders that are really there, blanks around their names included.
TEST_P(DirTransferTest, LocalLinksStayAtHome) {
    SKIP_UNLESS_BLANK_ENDS_KEPT(GetParam());
    const fs::path tree = base / "links";
    testing_support::makeLinkTree(tree, base / "outside", false);
    const std::string shown = useLocal(tree);
    EXPECT_EQ(run("Volan_UploadDir(" + testing_support::quoted(tree.string()) + "; 1)"), "Uploaded '" + shown + "'.");
    const fs::path want = base / "want";
    for (const char* name : {" lead.txt", "f.txt", "sub/in.txt", "trail.txt "}) {
        fs::create_directories((want / name).parent_path());
        fs::copy_file(tree / name, want / name);
    }
    EXPECT_EQ(snapshot(workDir), snapshot(want));
}

TEST_P(DirTransferTest, BadArgumentsAreRefusedWithTheirOwnMessages) {
    EXPECT_EQ(call("Volan_DownloadDir", {""}),
              "ERROR: DownloadDir: You must specify the remote directory to download ('RemoteDir' parameter).");
    EXPECT_EQ(call("Volan_DownloadDir", {"no such dir"}),
              "ERROR: DownloadDir: Remote dir '" + workDir.string() + "/no such dir' does not exist.");
    const std::string missing = call("Volan_UploadDir", {(base / "missing").string()});
    EXPECT_EQ(missing.rfind("ERROR: UploadDir: Directory does not exist: ", 0), 0u) << missing;
    const std::string bad = call("Volan_UploadDir", {source.string(), "0", "*[.txt"});
    EXPECT_EQ(bad.rfind("ERROR: UploadDir: Could not compile wildcard regular expression: ", 0), 0u) << bad;
    EXPECT_TRUE(fs::is_empty(workDir));
    call("Volan_Disconnect");
    EXPECT_EQ(call("Volan_UploadDir", {source.string()}), "ERROR: UploadDir: Not connected.");
    EXPECT_EQ(call("Volan_DownloadDir", {"x"}), "ERROR: DownloadDir: Not connected.");
}

// A server whose listing names items "..", "../x", "a/b", "a\\b" or an absolute path: nothing is
// written outside the folder the download goes into, and the sound files still arrive.
TEST_F(RemoteTest, ADownloadNeverWritesOutsideItsFolderWhateverTheServerNames) {
    const fs::path base = fs::temp_directory_path() / ("volan-hostile-" + std::to_string(getpid()));
    fs::remove_all(base);
    const fs::path served = base / "served", outside = base / "outside", into = outside / "into";
    const fs::path absolute = base / "absolute.txt";
    writeFile(served / "top" / "good.txt", "good\n");
    writeFile(served / "top" / "sub" / "inner.txt", "inner\n");
    fs::create_directories(into);

    {
        const testing_support::ScriptedServer server(
            "hostile_ftpd.py", {served.string(), servers["VOLAN_TEST_USER"], "hostile", absolute.string()});
        ASSERT_GT(server.port(), 0) << "the scripted server did not start";
        addAccount("hostile", testing_support::kKinds[0], "hostile", "127.0.0.1", server.port());
        EXPECT_EQ(call("Volan_Connect", {"hostile"}).rfind("Connected to Account: ", 0), 0u);
        EXPECT_EQ(call("Volan_ChangeLocalDir", {into.string()}).rfind("Local directory set to: ", 0), 0u);
        EXPECT_EQ(run("Volan_DownloadDir(\"/top\"; 1)"), "Downloaded '/top'.");
        call("Volan_Disconnect");
    }

    EXPECT_EQ(snapshot(outside), (Tree{{"into", "<dir>"},
                                       {"into/good.txt", snapshot(served / "top").at("good.txt")},
                                       {"into/sub", "<dir>"},
                                       {"into/sub/inner.txt", snapshot(served / "top").at("sub/inner.txt")}}));
    EXPECT_FALSE(fs::exists(absolute));
    EXPECT_FALSE(fs::exists(base / "escape.txt"));
    EXPECT_FALSE(fs::exists(base / "updir"));
    fs::remove_all(base);
}

// Cancel pressed in the status window (the terminal's, typed as a user would) while a folder
// download is on a large file: it stops within a second, names that file, counts the files
// that came before it (each whole), keeps the user's old copy of the file it was on, and the
// connection goes on working. The same over one connection and over several (MaxConnections 4).
class DirCancelTest : public RemoteTest, public ::testing::WithParamInterface<int> {};

TEST_P(DirCancelTest, CancelStopsAFolderDownloadAndKeepsWhatWasThere) {
    const int connections = GetParam();
    addSFTPAccountForChild("dircancel");
    const fs::path remote = servedFolder("dircancel");
    writeFile(remote / "a.txt", randomBytes(5000, 21));
    writeFile(remote / "c.txt", randomBytes(7000, 22));
    { std::ofstream big(remote / "big.bin", std::ios::binary); }
    fs::resize_file(remote / "big.bin", 1ull << 30);  // sparse: costs no disk
    const fs::path local = fs::temp_directory_path() / ("volan-dircancel-" + std::to_string(getpid()));
    fs::create_directories(local);
    const std::string old = "the user's old file";
    writeFile(local / "big.bin", old);

    testing_support::Terminal t(
        {"--ui", "terminal", "-e", "Volan_StatusWindow(\"Show\")", "-e",
         "Volan_SetAccountOption(\"dircancel\"; \"MaxConnections\"; " + std::to_string(connections) + ")", "-e",
         "Volan_Connect(\"dircancel\")", "-e", "Volan_ChangeLocalDir(" + testing_support::quoted(local.string()) + ")",
         "-e", "Volan_DownloadDir(" + testing_support::quoted(remote.string()) + "; 1)", "-e",
         "Volan_UploadText(\"after\"; " + testing_support::quoted((remote / "after.txt").string()) + ")"},
        false);
    ASSERT_TRUE(t.started());
    // Several connections show the total instead of each file.
    ASSERT_TRUE(t.waitFor(connections == 1 ? "Downloading 'big.bin'..." : "Downloading 3 files over ", 30))
        << t.output();
    ASSERT_TRUE(t.waitFor("%", 30)) << t.output();  // the large file is under way
    const auto pressed = std::chrono::steady_clock::now();
    t.type("Cancel\n");
    const std::string head = "ERROR: DownloadDir: Error downloading directory contents: Error downloading '" +
                             remote.string() + "/big.bin': User cancelled. (";
    ASSERT_TRUE(t.waitFor(head, 10)) << t.output();
    EXPECT_LT(std::chrono::steady_clock::now() - pressed, std::chrono::seconds(1));
    EXPECT_TRUE(t.waitFor("Uploaded 'after.txt'.", 30)) << t.output();
    t.finish();

    // The files that came before the large one are whole, and the message counts exactly them.
    size_t before = 0;
    for (const char* name : {"a.txt", "c.txt"}) {
        if (!fs::exists(local / name)) continue;
        EXPECT_TRUE(readFile(local / name) == readFile(remote / name)) << name;
        ++before;
    }
    EXPECT_EQ(readFile(local / "big.bin"), old);
    EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(local), fs::directory_iterator())), before + 1)
        << "no partial file is left";
    const std::string out = t.output();
    const size_t at = out.find(head);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(out.substr(at + head.size(), out.find(')', at + head.size()) - at - head.size()),
              std::to_string(before) + (before == 1 ? " file" : " files") + " transferred before it.");
    EXPECT_EQ(readFile(remote / "after.txt"), "after");
    fs::remove_all(local);
    fs::remove_all(remote);
}

INSTANTIATE_TEST_SUITE_P(MaxConnections, DirCancelTest, ::testing::Values(1, 4),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });
INSTANTIATE_TEST_SUITE_P(Servers, DirTransferTest, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<ServerKind>& info) { return std::string(info.param.name); });
