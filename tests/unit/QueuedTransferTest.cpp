// A queued transfer as it leaves the queue: its Volan_GetQueueList line and its last-transfer record
// (the keys Volan_GetLastResult reads), for each kind.
#include "Support/QueuedTransfer.h"

#include <gtest/gtest.h>

namespace {

enum class Blank { None, Local, Remote };

struct Case {
    QueuedKind kind;
    uint64_t folder;
    Blank blank;
    const char16_t* line;
    const char16_t* record;
};

const Case kCases[] = {
    {QueuedKind::DownloadFile, 0, Blank::None, u"DownloadFile: l.txt",
     u"{Type=DownloadFile; RemotePath=/in/; RemoteFile=r.txt; LocalPath=/l/; LocalFile=l.txt; AppendToFile=1; "
     u"UseASCIIMode=0; CompletedScript=Db::S; CSParameter=p}"},
    {QueuedKind::DownloadFile, 7, Blank::Local, u"DownloadFile: r.txt",
     u"{Type=DownloadFile; RemotePath=/in/; RemoteFile=r.txt; LocalPath=/l/; LocalFile=; AppendToFile=1; "
     u"UseASCIIMode=0; CompletedScript=Db::S; CSParameter=p; Folder=7; FilesBefore=2}"},
    {QueuedKind::UploadFile, 0, Blank::None, u"UploadFile: r.txt",
     u"{Type=UploadFile; LocalPath=/l/; LocalFile=l.txt; RemotePath=/in/; RemoteFile=r.txt; AppendToFile=1; "
     u"UseASCIIMode=0; CompletedScript=Db::S; CSParameter=p}"},
    {QueuedKind::UploadFile, 0, Blank::Remote, u"UploadFile: l.txt",
     u"{Type=UploadFile; LocalPath=/l/; LocalFile=l.txt; RemotePath=/in/; RemoteFile=; AppendToFile=1; "
     u"UseASCIIMode=0; CompletedScript=Db::S; CSParameter=p}"},
    {QueuedKind::UploadText, 7, Blank::None, u"UploadText: r.txt",
     u"{Type=UploadText; Text=x; RemotePath=/in/; RemoteFile=r.txt; AppendToFile=1; LineEndingType=2; CharSet=3; "
     u"IncludeUnicodeBOM=1; CompletedScript=Db::S; CSParameter=p; Folder=7}"},
    {QueuedKind::DownloadText, 0, Blank::None, u"DownloadText: r.txt",
     u"{Type=DownloadText; RemotePath=/in/; RemoteFile=r.txt; CompletedScript=Db::S; CSParameter=p}"},
    // Folder entries are not listed.
    {QueuedKind::UploadFolder, 7, Blank::None, u"",
     u"{Type=UploadDir; LocalDir=d; CompletedScript=Db::S; CSParameter=p; Folder=7}"},
    {QueuedKind::DownloadFolder, 0, Blank::None, u"",
     u"{Type=DownloadDir; RemoteDir=d; CompletedScript=Db::S; CSParameter=p}"},
};

}  // namespace

TEST(QueuedTransfer, EachKindKeepsItsListLineAndRecord) {
    for (const Case& c : kCases) {
        QueuedTransfer t;
        t.kind = c.kind;
        t.id = u"T1";
        t.remotePath = u"/in/";
        t.remoteFile = c.blank == Blank::Remote ? u"" : u"r.txt";
        t.localPath = u"/l/";
        t.localFile = c.blank == Blank::Local ? u"" : u"l.txt";
        t.dir = u"d";
        t.append = true;
        t.lines = {u"x"};
        t.lineEnding = 2;
        t.charSet = 3;
        t.includeBOM = true;
        t.completedScript = u"Db::S";
        t.parameter = u"p";
        t.folder = c.folder;
        t.filesBefore = 2;
        SCOPED_TRACE(::testing::PrintToString(queuedKindName(c.kind)));
        EXPECT_EQ(queuedListLine(t), c.line);
        const OrbVariable record = queuedRecord(t);
        EXPECT_EQ(record.name(), u"T1");
        ucstring text;
        record.arrayValue().toText(text, 1);
        EXPECT_EQ(text, c.record);
    }
}
