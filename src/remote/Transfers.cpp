#include "Transfers.h"

#include "Connection.h"
#include "Orb_Debug.h"
#include "TransferDigest.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/FileAndStream/Orb_FileStream.h"
#include "_Common/FileAndStream/Orb_StringListStream.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <platform/Files.h>

#include <algorithm>
#include <memory>
#include <string>

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

// libcurl hands a download over in pieces of up to its receive buffer, and SFTP's arrive a packet
// at a time: a large buffer makes fewer, larger writes of a large file; a small file gets a small
// one, which is quicker to set up for each file of a folder.
int64_t downloadBufferSize(int64_t listedSize) {
    constexpr int64_t kLargeFileBuffer = int64_t{1} << 20;
    return listedSize >= 0 && listedSize < kLargeFileBuffer ? OrbFileStream::kDefaultBufferSize : kLargeFileBuffer;
}

ucstring numberText(int64_t n) { return ucstringFromString(std::to_string(n)); }

// FTP's FEAT, read once for the transfer options that depend on it.
const stringlist& ftpFeatures(Connection& connection) {
    if (connection.settings().security != kRemoteSFTP && connection.features().empty()) (void)connection.readFeatures();
    return connection.features();
}

// The check of the account's Verify option: the digest of the bytes that moved, when the server
// offers one (FTP), or nothing; the sizes are checked in any case.
struct Verification {
    DigestRequest request;
    std::unique_ptr<TransferDigest> digest;

    Verification(Connection& connection, bool asked) {
        if (!asked || connection.settings().security == kRemoteSFTP) return;
        request = transferDigestRequest(ftpFeatures(connection));
        if (!request.command.empty()) digest = TransferDigest::make(request.algorithm);
    }
};

// After a complete transfer: the file on the server must have as many bytes as the local one and,
// when a digest was made, the server's digest must be the same. The error text, or empty.
ucstring checkTransferred(Connection& connection, const std::string& remotePath, bool upload, int64_t localSize,
                          Verification& verification) {
    int64_t remoteSize = -1;
    const RemoteResult sized = connection.fileSize(remotePath, remoteSize);
    if (!sized.ok() || remoteSize != localSize) {
        const ucstring what = upload ? u"Error uploading file; " : u"Error downloading file; ";
        if (!sized.ok() || remoteSize < 0)
            return what + u"the size of the remote file could not be checked. Server response: " +
                   ucstringFromUTF8String(connection.responseText());
        return what + u"the remote file has " + numberText(remoteSize) + u" bytes, the local file " +
               numberText(localSize) + u".";
    }
    if (!verification.digest) return u"";
    const ucstring name = fileNamePart(remotePath);
    const std::string local = verification.digest->hex();
    const RemoteResult asked =
        connection.fileDigest(remotePath, verification.request.command, verification.request.select);
    const std::string remote =
        asked.ok() ? transferDigestFromReplies(verification.request, connection.replies()) : std::string();
    connection.showStatus(u"Idle.", 0);
    if (remote.empty())
        return u"Error verifying '" + name + u"'; Server response: " +
               ucstringFromUTF8String(connection.responseText());
    if (remote != local)
        return u"Error verifying '" + name + u"': the server's " +
               ucstringFromUTF8String(verification.request.algorithm) + u" digest differs from the local file's.";
    return u"";
}

// The account's PreserveTimestamps option for an upload: the server's copy gets the local file's
// modification time (FTP: MFMT where FEAT lists it, else the "MDTM time name" of servers such as
// vsftpd, which may not take it). The error text, or empty.
ucstring setRemoteTime(Connection& connection, const OrbFileRef& localFile, const std::string& remotePath) {
    bool mfmt = false, mdtm = false;
    if (connection.settings().security != kRemoteSFTP) {
        for (const std::string& feature : ftpFeatures(connection)) {
            mfmt = mfmt || feature.rfind("MFMT", 0) == 0;
            mdtm = mdtm || feature.rfind("MDTM", 0) == 0;
        }
        if (!mfmt && !mdtm) return u"";  // the server cannot: the transfer stands as it is
    }
    platform::FileInfo info;
    std::string systemError;
    if (!platform::fileInfo(OrbFileRef(localFile).pathAsString(), info, systemError)) return u"";
    const bool mdtmForm = connection.settings().security != kRemoteSFTP && !mfmt;
    const RemoteResult set = connection.setFileTime(remotePath, info.modificationSeconds, mdtmForm);
    connection.showStatus(u"Idle.", 0);
    if (set.ok()) return u"";
    if (mdtmForm) {
        // Only a try: many servers read MDTM's argument as a name and refuse it.
        DEBUG_OUT(u"The server did not set the modification time of '" + fileNamePart(remotePath) + u"' with MDTM.");
        return u"";
    }
    return u"Error setting the modification time of '" + fileNamePart(remotePath) + u"'; Server response: " +
           ucstringFromUTF8String(connection.responseText());
}

// Feeds the first `size` bytes of `file` to `digest`: what an earlier attempt downloaded.
bool digestPrefix(platform::FileHandle& file, int64_t size, TransferDigest& digest) {
    std::string systemError;
    std::string buffer(size_t{1} << 16, '\0');
    if (!file.seek(0, systemError)) return false;
    for (int64_t done = 0; done < size;) {
        int64_t actual = 0;
        const int64_t want = std::min<int64_t>(static_cast<int64_t>(buffer.size()), size - done);
        if (!file.read(buffer.data(), want, actual, systemError) || actual <= 0) return false;
        digest.update(buffer.data(), static_cast<size_t>(actual));
        done += actual;
    }
    return true;
}

// With the account's Resume option a replacing download continues the ".NAME.part" an interrupted
// one left, when the remote file is as it was then: the .part carries the remote file's
// modification time (set when the attempt failed) and is shorter than the remote file. The number
// of bytes to continue from, or 0 to start over.
int64_t resumableBytes(Connection& connection, const std::string& remotePath, platform::FileHandle& part) {
    std::string systemError;
    int64_t partSize = 0, partTime = -1, remoteSize = -1, remoteTime = -1;
    if (!part.size(partSize, systemError) || partSize <= 0) return 0;
    if (!part.modificationTime(partTime, systemError)) return 0;
    if (!connection.fileSizeAndTime(remotePath, remoteSize, remoteTime).ok()) return 0;
    return remoteTime >= 0 && partTime == remoteTime && partSize < remoteSize ? partSize : 0;
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
    if (!connection.isOpen()) return u"Not connected.";
    const ConnectionSettings& settings = connection.settings();
    // The options apply to a file replaced as it is: an appended or ASCII-mode copy is not the same bytes.
    const bool exact = !append && !asciiMode;
    // With the account's Resume option a shorter file of that name on the server is continued;
    // anything else there is replaced.
    int64_t resumeFrom = 0;
    if (settings.resume && exact && remoteCheckSendable(remotePath).empty()) {
        int64_t remoteSize = -1;
        if (connection.fileSize(remotePath, remoteSize).ok() && remoteSize > 0 && remoteSize < size)
            resumeFrom = remoteSize;
    }
    Verification verification(connection, settings.verify && exact);
    DigestingStream digesting(*stream, verification.digest.get());
    OrbStream& source = verification.digest ? static_cast<OrbStream&>(digesting) : *stream;
    ucstring error = transfer(connection, remotePath, true, [&] {
        return connection.upload(source, size, remotePath, append, asciiMode, resumeFrom);
    });
    if (error.empty() && (settings.resume || settings.verify) && exact)
        error = checkTransferred(connection, remotePath, true, size, verification);
    if (error.empty() && settings.preserveTimestamps) error = setRemoteTime(connection, file, remotePath);
    return error;
}

ucstring downloadFile(Connection& connection, const std::string& remotePath, const OrbFileRef& localFile, bool append,
                      bool asciiMode, int64_t listedSize) {
    OrbFileRef target(localFile);
    bool isDir = false, isFile = false;
    if (!target.isValid(isDir, isFile)) return u"Local path is invalid: " + target.errorString();
    if (!connection.isOpen()) return u"Not connected.";

    // A replacing download goes to a file beside the target (".NAME.part") and takes its place
    // only when complete, so a failed or cancelled download never costs the user the old file,
    // and the replaced file keeps what the user set on it. An appending one is cut back to the
    // old size when it fails.
    const ConnectionSettings& settings = connection.settings();
    const bool exact = !append && !asciiMode;
    const bool resume = settings.resume && exact;
    platform::FileReplacement replacement;
    std::string systemError;
    if (!append && !replacement.begin(target.pathAsString(), ".part", systemError, {false, false, resume}))
        return u"Could not open file for writing: " + ucstringFromUTF8String(systemError);
    Verification verification(connection, settings.verify && exact);
    int64_t resumeFrom = resume ? resumableBytes(connection, remotePath, replacement.contents()) : 0;
    if (resumeFrom > 0 && verification.digest &&
        !digestPrefix(replacement.contents(), resumeFrom, *verification.digest)) {
        verification.digest = TransferDigest::make(verification.request.algorithm);
        resumeFrom = 0;
    }
    auto stream = std::make_unique<OrbFileStream>(downloadBufferSize(listedSize));
    if (append ? !stream->attachToFile(target, kFileStreamReadWrite)
               : !stream->attachToHandle(replacement.contents(), kFileStreamWrite))
        return u"Could not open file for writing: " + stream->errorString();
    int64_t originalSize = 0;
    if (append) {
        stream->fileSize(originalSize);
        stream->reposition(originalSize);
    } else {
        stream->resize(resumeFrom);
        stream->reposition(resumeFrom);
    }
    DigestingStream digesting(*stream, verification.digest.get());
    OrbStream& sink = verification.digest ? static_cast<OrbStream&>(digesting) : *stream;
    int64_t remoteTime = -1;
    const bool askTime = resume || settings.preserveTimestamps;
    // Only a replacing binary download from the start trusts the listing's size.
    const int64_t knownSize = exact && resumeFrom == 0 ? listedSize : -1;
    RemoteErrorKind kind = RemoteErrorKind::kNone;
    ucstring error = transfer(
        connection, remotePath, false,
        [&] {
            return connection.download(sink, remotePath, asciiMode, resumeFrom, askTime ? &remoteTime : nullptr,
                                       knownSize);
        },
        &kind);
    // When the local side failed (a full disk, say), that is the news, not the server's replies.
    if (!error.empty() && kind != RemoteErrorKind::kCancelled && !stream->errorString().empty())
        error = u"Error downloading file; Could not write the local file: " + stream->errorString();
    // What the stream still held is written here: a full disk may only show now.
    if (!stream->detachFromFile() && error.empty())
        error = u"Error downloading file; Could not write the local file: " + stream->errorString();
    stream.reset();

    if (append) {
        if (!error.empty()) {
            OrbFileStream restore(0);
            if (restore.attachToFile(target, kFileStreamReadWrite)) restore.resize(originalSize);
        }
        if (error.empty() && settings.preserveTimestamps && remoteTime >= 0)
            platform::fileSetModificationTime(target.pathAsString(), remoteTime, systemError);
        return error;
    }
    int64_t received = 0;
    if (!error.empty()) {
        // Kept for the next attempt, dated as the remote file was, so that attempt can tell whether
        // the remote file changed meanwhile. Without that date it could not: it is dropped.
        int64_t kept = 0;
        if (resume && remoteTime >= 0 && replacement.contents().size(kept, systemError) && kept > 0 &&
            replacement.contents().setModificationTime(remoteTime, systemError))
            replacement.keep();
        return error;  // otherwise the replacement is dropped: the old file stays
    }
    if (!replacement.contents().size(received, systemError))
        return u"Could not write file: " + ucstringFromUTF8String(systemError);
    // Without the server's size a download cut short would pass for complete: one that differs
    // from the listing asks the server (the file may have changed since it was listed).
    if (resume || (settings.verify && exact) || (knownSize >= 0 && received != knownSize)) {
        error = checkTransferred(connection, remotePath, false, received, verification);
        if (!error.empty()) return error;  // dropped: the old file stays
    }
    if (!replacement.commit(systemError)) return u"Could not write file: " + ucstringFromUTF8String(systemError);
    if (settings.preserveTimestamps && remoteTime >= 0 &&
        !platform::fileSetModificationTime(target.pathAsString(), remoteTime, systemError))
        return u"Could not set the modification time of the file: " + ucstringFromUTF8String(systemError);
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
