// Byte streams with a position and a size, line reading and writing in any of the character sets
// of the strings layer, and a growable in-memory stream. Failures return false and leave their
// reason in errorString(); warningString() tells of conditions that do not fail (the end reached).
#pragma once

#include "_Common/Strings/Orb_StringTypes.h"

#include <cstdint>
#include <string>
#include <vector>

class OrbStream {
public:
    OrbStream();
    OrbStream(const OrbStream&) = delete;
    OrbStream& operator=(const OrbStream&) = delete;

    virtual std::string& mutableWriteLineBuffer();
    virtual const std::string& writeLineBuffer() const;
    virtual void setSize(int64_t size);
    virtual int64_t size() const;
    virtual void setPosition(int64_t position);
    virtual int64_t position() const;
    virtual ucstring& mutableErrorString();
    virtual const ucstring& errorString() const;
    virtual ucstring& mutableWarningString();
    virtual const ucstring& warningString() const;
    virtual void setStreamEndedWithLineEnding(bool ended);
    virtual bool streamEndedWithLineEnding() const;
    virtual void setReadLineBuffer(std::vector<char> buffer);
    virtual std::vector<char>& readLineBuffer();
    virtual ~OrbStream();

    // Changes the length (the position stays within it) / moves the position (not below 0).
    virtual bool resize(int64_t newSize);
    virtual bool reposition(int64_t newPosition);
    // Up to `count` bytes from the position; fewer at the end (with a warning). peekBytes leaves
    // the position where it was.
    virtual bool readBytes(void* destination, int64_t count, int64_t& actual);
    virtual bool peekBytes(void* destination, int64_t count, int64_t& actual);
    // Writes at the position and moves it on; the size grows when the position passes it.
    virtual bool writeBytes(const void* source, int64_t count);
    // Copies `count` bytes from / to another stream, each at its own position.
    virtual bool readFromStream(OrbStream* other, int64_t count);
    virtual bool writeToStream(OrbStream* other, int64_t count);

    bool atEnd() const { return position() >= size(); }

    // The next line without its ending (StringLineEnding: 0 accepts CR, LF and CR LF; the others
    // only their own ending), decoded from the character set (UCS-2 little-endian when asked).
    // At the end: false with the warning "No lines left to read".
    bool readLine(ucstring* line, int lineEndingType, int16_t charSet, bool littleEndian = false);
    // The same as bytes, for 8-bit text.
    bool readLine(std::string* line, int lineEndingType);
    // The line in the character set (UCS-2 big-endian unless asked otherwise), then its ending.
    bool writeLine(const ucstring& line, int lineEndingType, int16_t charSet, bool littleEndian = false);
    bool writeLine(const std::string& bytes, int lineEndingType);
    // Places the position at the start of line `lineNumber` (0 is the first line).
    bool repositionToLine(int64_t lineNumber, int16_t charSet, bool littleEndian = false);

protected:
    bool fail(const ucstring& error);
    void clearMessages();

private:
    // The raw bytes of the next line in code units of `unitSize` bytes (1, or 2 for UCS-2).
    bool readRawLine(std::string& raw, int lineEndingType, int unitSize, bool littleEndian);

    std::string mWriteLineBuffer;
    int64_t mSize = 0;
    int64_t mPosition = 0;
    ucstring mErrorString;
    ucstring mWarningString;
    bool mStreamEndedWithLineEnding = false;
    std::vector<char> mReadLineBuffer;
};

// A stream over bytes in memory, growing as it is written; at most 4 GiB - 1 bytes.
class OrbMemoryStream : public OrbStream {
public:
    OrbMemoryStream();
    ~OrbMemoryStream() override;

    bool resize(int64_t newSize) override;
    bool readBytes(void* destination, int64_t count, int64_t& actual) override;
    bool peekBytes(void* destination, int64_t count, int64_t& actual) override;
    bool writeBytes(const void* source, int64_t count) override;
    bool readFromStream(OrbStream* other, int64_t count) override;
    bool writeToStream(OrbStream* other, int64_t count) override;

    // The allocated bytes (at least size()).
    virtual void setBufferSize(uint32_t bufferSize);
    virtual uint32_t bufferSize() const;
    virtual void setBuffer(std::vector<char> buffer);
    virtual const std::vector<char>& buffer() const;

    // The stream's bytes (size() of them).
    const char* data() const { return mBuffer.data(); }

private:
    bool resizeBuffer(int64_t needed);
    bool readOrPeek(void* destination, int64_t count, int64_t& actual, bool advance);

    std::vector<char> mBuffer;
};
