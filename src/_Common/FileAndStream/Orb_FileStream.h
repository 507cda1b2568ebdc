// A buffered stream over one local file, read (0), written (1) or both (2), with 64-bit sizes and
// positions. The buffer holds one window of the file; requests of a buffer's size or more go
// straight to the file, so large reads and writes cost no copying.
#pragma once

#include "Orb_FileRef.h"
#include "Orb_Stream.h"

#include <platform/Files.h>

enum OrbFileStreamMode : int { kFileStreamRead = 0, kFileStreamWrite = 1, kFileStreamReadWrite = 2 };

class OrbFileStream : public OrbStream {
public:
    // Callers use 16384 bytes; 0 makes every read and write go to the file.
    static constexpr int64_t kDefaultBufferSize = 16384;

    explicit OrbFileStream(int64_t bufferSize = kDefaultBufferSize);
    ~OrbFileStream() override;  // flushes and closes

    bool resize(int64_t newSize) override;
    bool reposition(int64_t newPosition) override;
    bool readBytes(void* destination, int64_t count, int64_t& actual) override;
    bool peekBytes(void* destination, int64_t count, int64_t& actual) override;
    bool writeBytes(const void* source, int64_t count) override;

    virtual void setFileStream(platform::FileHandle* fileStream);
    virtual platform::FileHandle* fileStream() const;
    virtual OrbFileRef& mutablePath();
    virtual const OrbFileRef& path() const;
    virtual void setBufferIsDirty(bool dirty);
    virtual bool bufferIsDirty() const;
    virtual void setBufferPosition(int64_t position);
    virtual int64_t bufferPosition() const;
    virtual void setBufferActualDataSize(int64_t size);
    virtual int64_t bufferActualDataSize() const;
    virtual void setBufferStartFilePosition(int64_t position);
    virtual int64_t bufferStartFilePosition() const;
    virtual void setBufferEndFilePosition(int64_t position);
    virtual int64_t bufferEndFilePosition() const;
    virtual void setMode(int mode);
    virtual int mode() const;
    virtual void setAttached(bool attached);
    virtual bool attached() const;
    virtual void setBufferSize(int64_t size);
    virtual int64_t bufferSize() const;
    virtual void setBuffer(std::vector<char> buffer);
    virtual const std::vector<char>& buffer() const;

    // Opens the file (created first in modes 1 and 2 when missing); size is its length, position 0.
    bool attachToFile(const OrbFileRef& fileRef, int mode);
    // Streams an open file that stays its owner's (closed by the owner, not by detaching).
    bool attachToHandle(platform::FileHandle& handle, int mode);
    // Writes a dirty buffer back and closes the file.
    bool detachFromFile();
    bool flushWriteBuffer();

    // Unbuffered access to the file, used by the buffer logic.
    bool fileSize(int64_t& size);
    int64_t filePosition() const;
    bool repositionFile(int64_t position);
    bool readFileBytes(void* destination, int64_t count, int64_t& actual);
    bool writeFileBytes(const void* source, int64_t count);
    bool fileStreamIsNull() const;

private:
    bool readOrPeek(void* destination, int64_t count, int64_t& actual, bool advance);
    bool checkAttached();
    // Streams an open file: the common end of attachToFile and attachToHandle.
    bool attachOpened(platform::FileHandle& handle, int mode);
    // Makes the window start at `filePosition` (read modes fill it from the file).
    bool loadWindow(int64_t filePosition);
    void forgetWindow();
    bool platformFailure(const char16_t* prefix, const std::string& message);

    platform::FileHandle* mFileStream = nullptr;
    OrbFileRef mPath;
    int mMode = kFileStreamRead;
    bool mAttached = false;
    int64_t mBufferSize = 0;
    std::vector<char> mBuffer;
    bool mBufferIsDirty = false;
    int64_t mBufferPosition = 0;
    int64_t mBufferActualDataSize = 0;
    int64_t mBufferStartFilePosition = 0;
    int64_t mBufferEndFilePosition = 0;
    platform::FileHandle mFile;  // what fileStream points at while attached
};
