#include "Transfers.h"

#include "Connection.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/FileAndStream/Orb_FileStream.h"
#include "_Common/FileAndStream/Orb_StringListStream.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <platform/Files.h>

#include <memory>

namespace {

ucstring fileNamePart(const std::string& remotePath) {
    const size_t slash = remotePath.rfind('/');
    return ucstringFromUTF8String(slash == std::string::npos ? remotePath : remotePath.substr(slash + 1));
}

// Every transfer passes here, also those of folders and of the queue: nothing with a line break
// or NUL goes on the wire. Runs `request` with the status window's text; the error text of a
// failure, and its kind in `kind` when given.
template <class Request>
ucstring transfer(Connection& connection, const std::string& remotePath, bool upload, Request&& request,
                  RemoteErrorKind* kind = nullptr) {
    if (kind) *kind = RemoteErrorKind::kOther;
    if (const ucstring refused = remoteCheckSendable(remotePath); !refused.empty()) return refused;
    const ucstring label = (upload ? u"Uploading '" : u"Downloading '") + fileNamePart(remotePath) + u"'";
    connection.showStatus(label + u"...");
    connection.startTransferMeter(label);
    const RemoteResult result = request();
    connection.stopTransferMeter();
    if (kind) *kind = result.kind;
    connection.showStatus(u"Idle.", 0);
    switch (result.kind) {
        case RemoteErrorKind::kNone: return u"";
        case RemoteErrorKind::kCancelled: return u"User cancelled.";
        case RemoteErrorKind::kStopped: return result.text;
        default: break;
    }
    return ucstring(upload ? u"Error uploading file; Server response: "
                           : u"Error downloading file; Server response: ") +
           ucstringFromUTF8String(connection.responseText());
}

ucstring uploadStream(Connection& connection, OrbStream& stream, int64_t size, const std::string& remotePath,
                      bool append, bool asciiMode) {
    if (!connection.isOpen()) return u"Not connected.";
    return transfer(connection, remotePath, true,
                    [&] { return connection.upload(stream, size, remotePath, append, asciiMode); });
}

}  // namespace

ucstring uploadFile(Connection& connection, const OrbFileRef& localFile, const std::string& remotePath, bool append,
                    bool asciiMode) {
    OrbFileRef file(localFile);
    if (!file.fileExists()) return u"Local file does not exist: " + file.errorString();
    auto stream = std::make_unique<OrbFileStream>(OrbFileStream::kDefaultBufferSize);
    if (!stream->attachToFile(file, kFileStreamRead))
        return u"Could not open file for reading: " + stream->errorString();
    int64_t size = 0;
    if (!stream->fileSize(size)) return u"Could not open file for reading: " + stream->errorString();
    return uploadStream(connection, *stream, size, remotePath, append, asciiMode);
}

ucstring downloadFile(Connection& connection, const std::string& remotePath, const OrbFileRef& localFile, bool append,
                      bool asciiMode) {
    OrbFileRef target(localFile);
    bool isDir = false, isFile = false;
    if (!target.isValid(isDir, isFile)) return u"Local path is invalid: " + target.errorString();
    if (!connection.isOpen()) return u"Not connected.";

    // A replacing download goes to a file beside the target (".NAME.part") and takes its place
    // only when complete, so a failed or cancelled download never costs the user the old file,
    // and the replaced file keeps what the user set on it. An appending one is cut back to the
    // old size when it fails.
    platform::FileReplacement replacement;
    std::string systemError;
    if (!append && !replacement.begin(target.pathAsString(), ".part", systemError))
        return u"Could not open file for writing: " + ucstringFromUTF8String(systemError);
    auto stream = std::make_unique<OrbFileStream>(OrbFileStream::kDefaultBufferSize);
    if (append ? !stream->attachToFile(target, kFileStreamReadWrite)
               : !stream->attachToHandle(replacement.contents(), kFileStreamWrite))
        return u"Could not open file for writing: " + stream->errorString();
    int64_t originalSize = 0;
    if (append) {
        stream->fileSize(originalSize);
        stream->reposition(originalSize);
    } else {
        stream->resize(0);
    }
    RemoteErrorKind kind = RemoteErrorKind::kNone;
    ucstring error = transfer(
        connection, remotePath, false, [&] { return connection.download(*stream, remotePath, asciiMode); }, &kind);
    // When the local side failed (a full disk, say), that is the news, not the server's replies.
    if (!error.empty() && kind != RemoteErrorKind::kCancelled && !stream->errorString().empty())
        error = u"Error downloading file; Could not write the local file: " + stream->errorString();
    if (!stream->detachFromFile() && error.empty()) error = u"Could not write file: " + stream->errorString();
    stream.reset();

    if (append) {
        if (!error.empty()) {
            OrbFileStream restore(0);
            if (restore.attachToFile(target, kFileStreamReadWrite)) restore.resize(originalSize);
        }
        return error;
    }
    if (!error.empty()) return error;  // the replacement is dropped: the old file stays
    if (!replacement.commit(systemError)) return u"Could not write file: " + ucstringFromUTF8String(systemError);
    return u"";
}

ucstring uploadText(Connection& connection, const ucstringlist& lines, const std::string& remotePath, bool append,
                    int32_t lineEnding, int16_t charSet, bool includeBOM) {
    auto stream = std::make_unique<OrbMemoryStream>();
    ucstring error;
    // "ASCII" leaves the line ends to the server: lines go in this system's form (LF), which FTP's
    // ASCII mode sends as CR LF and the server stores as its own. Joining them with nothing
    // would run the lines together.
    const int ending = lineEnding == kLineEndingNone ? kLineEndingLF : lineEnding;
    if (!stringlistSaveToStream(error, &lines, stream.get(), ending, charSet, includeBOM)) return error;
    const int64_t size = stream->size();
    stream->setPosition(0);
    return uploadStream(connection, *stream, size, remotePath, append, true);
}

ucstring downloadText(Connection& connection, const std::string& remotePath, ucstringlist& lines) {
    if (!connection.isOpen()) return u"Not connected.";
    stringlist received;
    const ucstring error =
        transfer(connection, remotePath, false, [&] { return connection.downloadLines(remotePath, received); });
    if (error.empty()) lines = ucstringlistFromStringlist(received);
    return error;
}
