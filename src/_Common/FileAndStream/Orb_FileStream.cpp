#include "Orb_FileStream.h"

#include "_Common/Strings/Orb_String.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

OrbFileStream::OrbFileStream(int64_t bufferSize) : mBufferSize(std::max<int64_t>(bufferSize, 0)) {}

OrbFileStream::~OrbFileStream() { detachFromFile(); }

void OrbFileStream::setFileStream(platform::FileHandle* fileStream) { mFileStream = fileStream; }
platform::FileHandle* OrbFileStream::fileStream() const { return mFileStream; }
OrbFileRef& OrbFileStream::mutablePath() { return mPath; }
const OrbFileRef& OrbFileStream::path() const { return mPath; }
void OrbFileStream::setBufferIsDirty(bool dirty) { mBufferIsDirty = dirty; }
bool OrbFileStream::bufferIsDirty() const { return mBufferIsDirty; }
void OrbFileStream::setBufferPosition(int64_t position) { mBufferPosition = position; }
int64_t OrbFileStream::bufferPosition() const { return mBufferPosition; }
void OrbFileStream::setBufferActualDataSize(int64_t size) { mBufferActualDataSize = size; }
int64_t OrbFileStream::bufferActualDataSize() const { return mBufferActualDataSize; }
void OrbFileStream::setBufferStartFilePosition(int64_t position) { mBufferStartFilePosition = position; }
int64_t OrbFileStream::bufferStartFilePosition() const { return mBufferStartFilePosition; }
void OrbFileStream::setBufferEndFilePosition(int64_t position) { mBufferEndFilePosition = position; }
int64_t OrbFileStream::bufferEndFilePosition() const { return mBufferEndFilePosition; }
void OrbFileStream::setMode(int mode) { mMode = mode; }
int OrbFileStream::mode() const { return mMode; }
void OrbFileStream::setAttached(bool attached) { mAttached = attached; }
bool OrbFileStream::attached() const { return mAttached; }
void OrbFileStream::setBufferSize(int64_t size) { mBufferSize = std::max<int64_t>(size, 0); }
int64_t OrbFileStream::bufferSize() const { return mBufferSize; }
void OrbFileStream::setBuffer(std::vector<char> buffer) { mBuffer = std::move(buffer); }
const std::vector<char>& OrbFileStream::buffer() const { return mBuffer; }

bool OrbFileStream::platformFailure(const char16_t* prefix, const std::string& message) {
    return fail(prefix + (message.empty() ? ucstring(u"Unknown error") : ucstringFromUTF8String(message)));
}

// ---- Attaching ------------------------------------------------------------------------------------

bool OrbFileStream::attachToFile(const OrbFileRef& fileRef, int mode) {
    detachFromFile();
    clearMessages();
    mPath = fileRef;
    if (mode < kFileStreamRead || mode > kFileStreamReadWrite) return fail(u"Unknown File Mode.");
    if (!mPath.fileExists()) {
        // A device, FIFO or socket is no file to stream: it may never end, or never open.
        if (platform::fileKind(mPath.pathAsString(kPathStyleWindows)) == platform::FileKind::Other)
            return fail(mPath.errorString());
        if (mode == kFileStreamRead) return fail(u"File does not exist.");
        if (!mPath.createFile()) return fail(u"Could not create file: " + mPath.errorString());
    }
    ucstring windowsPath;
    if (!mPath.pathAsString(windowsPath, kPathStyleWindows, true))
        return fail(u"Could not convert path to System::String");
    const auto platformMode = mode == kFileStreamRead    ? platform::FileHandle::Mode::Read
                              : mode == kFileStreamWrite ? platform::FileHandle::Mode::Write
                                                         : platform::FileHandle::Mode::ReadWrite;
    std::string error;
    if (!mFile.open(windowsPath, platformMode, error))
        return platformFailure(u"Could not open file; WinError: ", error);
    if (attachOpened(mFile, mode)) return true;
    mFile.close();
    return false;
}

bool OrbFileStream::attachToHandle(platform::FileHandle& handle, int mode) {
    detachFromFile();
    clearMessages();
    mPath.clear();
    if (mode < kFileStreamRead || mode > kFileStreamReadWrite) return fail(u"Unknown File Mode.");
    return attachOpened(handle, mode);
}

bool OrbFileStream::attachOpened(platform::FileHandle& handle, int mode) {
    std::string error;
    int64_t length = 0;
    if (!handle.size(length, error)) return platformFailure(u"Could not open file; WinError: ", error);
    if (mBufferSize > 0) {
        try {
            mBuffer.assign(static_cast<size_t>(mBufferSize), 0);
        } catch (const std::bad_alloc&) {
            return fail(u"Could not allocate the File Buffer.");
        }
    }
    mFileStream = &handle;
    mMode = mode;
    mAttached = true;
    setSize(length);
    setPosition(0);
    forgetWindow();
    return true;
}

bool OrbFileStream::detachFromFile() {
    bool ok = true;
    if (mAttached && mBufferIsDirty) ok = flushWriteBuffer();
    mFile.close();  // a handle lent by attachToHandle stays open: its owner closes it
    mFileStream = nullptr;
    mAttached = false;
    mBuffer.clear();
    mBuffer.shrink_to_fit();
    forgetWindow();
    return ok;
}

bool OrbFileStream::checkAttached() {
    if (!mAttached) return fail(u"Not attached to any file.");
    if (!mFileStream || !mFileStream->isOpen()) return fail(u"File Handle is Invalid.");
    return true;
}

bool OrbFileStream::fileStreamIsNull() const { return !mFileStream || !mFileStream->isOpen(); }

// ---- Unbuffered file access -----------------------------------------------------------------------

bool OrbFileStream::fileSize(int64_t& size) {
    size = 0;
    if (!checkAttached()) return false;
    std::string error;
    return mFileStream->size(size, error) ? true : platformFailure(u"Could not get File Size; WinError: ", error);
}

int64_t OrbFileStream::filePosition() const { return mFileStream ? mFileStream->offset() : 0; }

bool OrbFileStream::repositionFile(int64_t position) {
    if (!checkAttached()) return false;
    std::string error;
    return mFileStream->seek(position, error) ? true : platformFailure(u"Could not set File Pos; WinError: ", error);
}

bool OrbFileStream::readFileBytes(void* destination, int64_t count, int64_t& actual) {
    actual = 0;
    if (!checkAttached()) return false;
    std::string error;
    if (!mFileStream->read(destination, count, actual, error))
        return platformFailure(u"Could not read from File; WinError: ", error);
    return true;
}

bool OrbFileStream::writeFileBytes(const void* source, int64_t count) {
    if (!checkAttached()) return false;
    std::string error;
    if (!mFileStream->write(source, count, error))
        return platformFailure(u"Could not write to File; WinError: ", error);
    return true;
}

// ---- The window -----------------------------------------------------------------------------------

void OrbFileStream::forgetWindow() {
    mBufferIsDirty = false;
    mBufferPosition = 0;
    mBufferActualDataSize = 0;
    mBufferStartFilePosition = 0;
    mBufferEndFilePosition = 0;
}

bool OrbFileStream::flushWriteBuffer() {
    if (!mBufferIsDirty) return true;
    if (!checkAttached()) return false;
    if (!repositionFile(mBufferStartFilePosition) || !writeFileBytes(mBuffer.data(), mBufferActualDataSize))
        return false;
    mBufferIsDirty = false;
    return true;
}

bool OrbFileStream::loadWindow(int64_t filePosition) {
    if (!flushWriteBuffer()) return false;
    forgetWindow();
    mBufferStartFilePosition = mBufferEndFilePosition = filePosition;
    // A write-only file cannot be read: its window holds only what is written into it.
    if (mMode == kFileStreamWrite) return true;
    int64_t got = 0;
    if (!repositionFile(filePosition) || !readFileBytes(mBuffer.data(), mBufferSize, got)) return false;
    mBufferActualDataSize = got;
    mBufferEndFilePosition = filePosition + got;
    return true;
}

// ---- Reading --------------------------------------------------------------------------------------

bool OrbFileStream::readOrPeek(void* destination, int64_t count, int64_t& actual, bool advance) {
    actual = 0;
    if (!destination) return fail(u"Output Buffer is NULL.");
    if (!checkAttached()) return false;
    if (mMode == kFileStreamWrite) return fail(u"File is not in Read or Read/Write Mode.");
    const int64_t wanted = std::min(count, size() - position());
    if (wanted <= 0) {
        if (count > 0) mutableWarningString() = u"No bytes left to read.";
        return true;
    }
    auto* out = static_cast<char*>(destination);
    int64_t at = position();
    int64_t delivered = 0;

    // What the window already holds.
    const int64_t windowEnd = mBufferStartFilePosition + mBufferActualDataSize;
    if (at >= mBufferStartFilePosition && at < windowEnd) {
        const int64_t n = std::min(wanted, windowEnd - at);
        std::memcpy(out, mBuffer.data() + (at - mBufferStartFilePosition), static_cast<size_t>(n));
        delivered += n;
        at += n;
    }
    if (delivered < wanted) {
        if (!flushWriteBuffer()) return false;
        // Whole buffers straight from the file into the caller's memory.
        const int64_t remaining = wanted - delivered;
        const int64_t direct = mBufferSize > 0 ? remaining - remaining % mBufferSize : remaining;
        if (direct > 0) {
            int64_t got = 0;
            if (!repositionFile(at) || !readFileBytes(out + delivered, direct, got)) return false;
            delivered += got;
            at += got;
            if (got < direct) {
                // The file is shorter than it was: someone else cut it.
                if (advance) setPosition(at);
                actual = delivered;
                return fail(u"Already at end of file.");
            }
        }
        if (delivered < wanted) {
            if (!loadWindow(at)) return false;
            const int64_t n = std::min(wanted - delivered, mBufferActualDataSize);
            std::memcpy(out + delivered, mBuffer.data(), static_cast<size_t>(n));
            delivered += n;
            at += n;
        }
    }
    actual = delivered;
    if (advance) setPosition(at);
    mBufferPosition = at - mBufferStartFilePosition;
    if (delivered < count) mutableWarningString() = u"No bytes left to read.";
    return true;
}

bool OrbFileStream::readBytes(void* destination, int64_t count, int64_t& actual) {
    return readOrPeek(destination, count, actual, true);
}

bool OrbFileStream::peekBytes(void* destination, int64_t count, int64_t& actual) {
    return readOrPeek(destination, count, actual, false);
}

// ---- Writing --------------------------------------------------------------------------------------

bool OrbFileStream::writeBytes(const void* source, int64_t count) {
    if (!source) return fail(u"Input Buffer is NULL.");
    if (!checkAttached()) return false;
    if (mMode == kFileStreamRead) return fail(u"File is not in Write or Read/Write Mode.");
    const auto* in = static_cast<const char*>(source);
    int64_t at = position();
    int64_t remaining = std::max<int64_t>(count, 0);
    while (remaining > 0) {
        const int64_t start = mBufferStartFilePosition;
        const bool inWindow =
            mBufferSize > 0 && at >= start && at <= start + mBufferActualDataSize && at < start + mBufferSize;
        if (!inWindow) {
            if (!flushWriteBuffer()) return false;
            const int64_t direct = mBufferSize > 0 ? remaining - remaining % mBufferSize : remaining;
            if (direct > 0) {
                if (!repositionFile(at) || !writeFileBytes(in, direct)) return false;
                in += direct;
                at += direct;
                remaining -= direct;
                forgetWindow();  // the file under the window may have changed
                setPosition(at);
                if (at > size()) setSize(at);
                continue;
            }
            if (!loadWindow(at)) return false;
        }
        const int64_t offset = at - mBufferStartFilePosition;
        const int64_t n = std::min(remaining, mBufferSize - offset);
        std::memcpy(mBuffer.data() + offset, in, static_cast<size_t>(n));
        mBufferActualDataSize = std::max(mBufferActualDataSize, offset + n);
        mBufferEndFilePosition = mBufferStartFilePosition + mBufferActualDataSize;
        mBufferIsDirty = true;
        in += n;
        at += n;
        remaining -= n;
        mBufferPosition = at - mBufferStartFilePosition;
        setPosition(at);
        if (at > size()) setSize(at);
    }
    return true;
}

// ---- Size and position ----------------------------------------------------------------------------

bool OrbFileStream::resize(int64_t newSize) {
    if (!checkAttached()) return false;
    if (mMode == kFileStreamRead) return fail(u"Can only set the File size in Write or Read/Write Mode.");
    if (!flushWriteBuffer()) return false;
    forgetWindow();
    // A file already of that length is left alone: cutting an empty file to 0 makes some file
    // systems (ext4) flush the whole file to disk when it is closed.
    std::string error;
    int64_t current = -1;
    if ((!mFileStream->size(current, error) || current != newSize) && !mFileStream->setSize(newSize, error))
        return platformFailure(u"Could not set File Size; WinError: ", error);
    setSize(newSize);
    if (position() > newSize) setPosition(newSize);
    return true;
}

bool OrbFileStream::reposition(int64_t newPosition) {
    if (!checkAttached()) return false;
    if (newPosition < 0)
        return platformFailure(u"Could not set File Pos; WinError: ", platform::fileErrorMessage(EINVAL));
    setPosition(newPosition);
    return true;
}
