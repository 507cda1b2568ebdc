#include "Orb_Stream.h"

#include "_Common/Strings/Orb_CharSets.h"
#include "_Common/Strings/Orb_StringList.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

// Lines are looked for in pieces of this size.
constexpr int64_t kReadLineChunk = 4096;
constexpr unsigned kCR = 0x0D;
constexpr unsigned kLF = 0x0A;

unsigned unitAt(const char* bytes, int64_t i, int unitSize, bool littleEndian) {
    const auto b = [&](int64_t k) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[k])); };
    if (unitSize == 1) return b(i);
    return littleEndian ? b(i) | b(i + 1) << 8 : b(i) << 8 | b(i + 1);
}

// A character as the bytes of one code unit.
std::string unitBytes(unsigned c, int unitSize, bool littleEndian) {
    if (unitSize == 1) return std::string(1, static_cast<char>(c));
    const char hi = static_cast<char>(c >> 8);
    const char lo = static_cast<char>(c & 0xFF);
    return littleEndian ? std::string{lo, hi} : std::string{hi, lo};
}

std::string lineEndingBytes(int lineEndingType, int unitSize, bool littleEndian) {
    switch (lineEndingType) {
        case kLineEndingCR: return unitBytes(kCR, unitSize, littleEndian);
        case kLineEndingLF: return unitBytes(kLF, unitSize, littleEndian);
        case kLineEndingCRLF: return unitBytes(kCR, unitSize, littleEndian) + unitBytes(kLF, unitSize, littleEndian);
        default: return {};
    }
}

bool validCharSet(int16_t charSet) { return charSet >= 0 && charSet < kCharSetCount; }

}  // namespace

// ---- OrbStream ------------------------------------------------------------------------------------

OrbStream::OrbStream() = default;
OrbStream::~OrbStream() = default;

std::string& OrbStream::mutableWriteLineBuffer() { return mWriteLineBuffer; }
const std::string& OrbStream::writeLineBuffer() const { return mWriteLineBuffer; }
void OrbStream::setSize(int64_t size) { mSize = size; }
int64_t OrbStream::size() const { return mSize; }
void OrbStream::setPosition(int64_t position) { mPosition = position; }
int64_t OrbStream::position() const { return mPosition; }
ucstring& OrbStream::mutableErrorString() { return mErrorString; }
const ucstring& OrbStream::errorString() const { return mErrorString; }
ucstring& OrbStream::mutableWarningString() { return mWarningString; }
const ucstring& OrbStream::warningString() const { return mWarningString; }
void OrbStream::setStreamEndedWithLineEnding(bool ended) { mStreamEndedWithLineEnding = ended; }
bool OrbStream::streamEndedWithLineEnding() const { return mStreamEndedWithLineEnding; }
void OrbStream::setReadLineBuffer(std::vector<char> buffer) { mReadLineBuffer = std::move(buffer); }
std::vector<char>& OrbStream::readLineBuffer() { return mReadLineBuffer; }

bool OrbStream::fail(const ucstring& error) {
    mErrorString = error;
    return false;
}

void OrbStream::clearMessages() {
    mErrorString.clear();
    mWarningString.clear();
}

bool OrbStream::resize(int64_t newSize) {
    if (newSize < 0) return fail(u"Can't have a negative size.");
    setSize(newSize);
    if (position() > newSize) setPosition(newSize);
    return true;
}

bool OrbStream::reposition(int64_t newPosition) {
    if (newPosition < 0) return fail(u"Can't move to a negative position.");
    setPosition(newPosition);
    return true;
}

bool OrbStream::readBytes(void*, int64_t, int64_t& actual) {
    actual = 0;
    return fail(u"readBytes() Base Function is not overridden");
}

bool OrbStream::peekBytes(void*, int64_t, int64_t& actual) {
    actual = 0;
    return fail(u"peekBytes() Base Function is not overridden");
}

bool OrbStream::writeBytes(const void*, int64_t) { return fail(u"writeBytes() Base Function is not overridden"); }

bool OrbStream::readFromStream(OrbStream*, int64_t) {
    return fail(u"readFromStream() Base Function is not overridden");
}

bool OrbStream::writeToStream(OrbStream*, int64_t) { return fail(u"writeToStream() Base Function is not overridden"); }

// Looks at the stream a piece at a time and takes the bytes up to the next line ending.
bool OrbStream::readRawLine(std::string& raw, int lineEndingType, int unitSize, bool littleEndian) {
    raw.clear();
    mStreamEndedWithLineEnding = false;
    if (atEnd()) {
        mWarningString = u"No lines left to read";
        return false;
    }
    if (mReadLineBuffer.size() < static_cast<size_t>(kReadLineChunk)) {
        try {
            mReadLineBuffer.resize(kReadLineChunk);
        } catch (const std::bad_alloc&) {
            return fail(u"Read Line Buffer is NULL.");
        }
    }
    const bool anyEnding = lineEndingType == kLineEndingNone;
    const bool crEndsAlone = lineEndingType == kLineEndingCR;
    const bool lfEnds = anyEnding || lineEndingType == kLineEndingLF;
    const bool crMayPair = anyEnding || lineEndingType == kLineEndingCRLF;
    const char* buffer = mReadLineBuffer.data();
    bool pendingCR = false;  // a CR was taken and the next unit decides what it was

    for (;;) {
        const int64_t start = position();
        int64_t got = 0;
        if (!peekBytes(mReadLineBuffer.data(), kReadLineChunk, got)) return false;
        const int64_t usable = got - got % unitSize;
        int64_t run = 0;   // start of the bytes not yet added to the line
        int64_t end = -1;  // where the line's ending stops, once found
        for (int64_t i = 0; i < usable; i += unitSize) {
            const unsigned c = unitAt(buffer, i, unitSize, littleEndian);
            if (pendingCR) {
                pendingCR = false;
                if (c == kLF) {
                    end = i + unitSize;
                    break;
                }
                if (anyEnding) {
                    end = i;
                    break;
                }
                raw += unitBytes(kCR, unitSize, littleEndian);  // CR LF only: a lone CR is text
                run = i;
            }
            if (c == kCR && crEndsAlone) {
                raw.append(buffer + run, static_cast<size_t>(i - run));
                end = i + unitSize;
                break;
            }
            if (c == kCR && crMayPair) {
                raw.append(buffer + run, static_cast<size_t>(i - run));
                pendingCR = true;
                run = i + unitSize;
            } else if (c == kLF && lfEnds) {
                raw.append(buffer + run, static_cast<size_t>(i - run));
                end = i + unitSize;
                break;
            }
        }
        if (end >= 0) {
            mStreamEndedWithLineEnding = true;
            mWarningString.clear();  // the peek may have met the end; the line is whole
            return reposition(start + end);
        }
        raw.append(buffer + run, static_cast<size_t>(usable - run));
        if (got < kReadLineChunk) {
            // The stream ends here; half a code unit left over stays with the line.
            raw.append(buffer + usable, static_cast<size_t>(got - usable));
            if (pendingCR) {
                if (anyEnding)
                    mStreamEndedWithLineEnding = true;
                else
                    raw += unitBytes(kCR, unitSize, littleEndian);
            }
            mWarningString.clear();
            return reposition(start + got);
        }
        if (!reposition(start + usable)) return false;
    }
}

bool OrbStream::readLine(ucstring* line, int lineEndingType, int16_t charSet, bool littleEndian) {
    clearMessages();
    if (!line) return fail(u"Output Line is NULL.");
    if (!validCharSet(charSet)) return fail(u"Unsupported Character Set.");
    std::string raw;
    if (!readRawLine(raw, lineEndingType, charSet == kCharSetUCS2 ? 2 : 1, littleEndian)) return false;
    const ucstring error = charSetDecode(*line, raw, charSet, littleEndian);
    return error.empty() ? true : fail(error);
}

bool OrbStream::readLine(std::string* line, int lineEndingType) {
    clearMessages();
    if (!line) return fail(u"Output Line is NULL.");
    return readRawLine(*line, lineEndingType, 1, false);
}

bool OrbStream::writeLine(const ucstring& line, int lineEndingType, int16_t charSet, bool littleEndian) {
    clearMessages();
    if (!validCharSet(charSet)) return fail(u"Unsupported Character Set.");
    size_t substitutions = 0;
    const ucstring error = charSetEncode(mWriteLineBuffer, line, charSet, littleEndian, &substitutions);
    if (!error.empty()) return fail(error);
    mWriteLineBuffer += lineEndingBytes(lineEndingType, charSet == kCharSetUCS2 ? 2 : 1, littleEndian);
    if (!mWriteLineBuffer.empty() &&
        !writeBytes(mWriteLineBuffer.data(), static_cast<int64_t>(mWriteLineBuffer.size())))
        return false;
    if (substitutions) mWarningString = u"Some characters could not be converted to the Character Set.";
    return true;
}

bool OrbStream::writeLine(const std::string& bytes, int lineEndingType) {
    clearMessages();
    mWriteLineBuffer = bytes + lineEndingBytes(lineEndingType, 1, false);
    return mWriteLineBuffer.empty() ||
           writeBytes(mWriteLineBuffer.data(), static_cast<int64_t>(mWriteLineBuffer.size()));
}

bool OrbStream::repositionToLine(int64_t lineNumber, int16_t charSet, bool littleEndian) {
    clearMessages();
    if (!validCharSet(charSet)) return fail(u"Unsupported Character Set.");
    if (!reposition(0)) return false;
    std::string raw;
    for (int64_t i = 0; i < lineNumber; ++i) {
        if (!readRawLine(raw, kLineEndingNone, charSet == kCharSetUCS2 ? 2 : 1, littleEndian)) {
            if (mErrorString.empty()) mErrorString = mWarningString;
            return false;
        }
    }
    return true;
}

// ---- OrbMemoryStream ------------------------------------------------------------------------------

OrbMemoryStream::OrbMemoryStream() = default;
OrbMemoryStream::~OrbMemoryStream() = default;

void OrbMemoryStream::setBufferSize(uint32_t bufferSize) { mBuffer.resize(bufferSize); }
uint32_t OrbMemoryStream::bufferSize() const { return static_cast<uint32_t>(mBuffer.size()); }
void OrbMemoryStream::setBuffer(std::vector<char> buffer) { mBuffer = std::move(buffer); }
const std::vector<char>& OrbMemoryStream::buffer() const { return mBuffer; }

bool OrbMemoryStream::resizeBuffer(int64_t needed) {
    constexpr int64_t kLimit = std::numeric_limits<uint32_t>::max();
    if (needed > kLimit) return fail(u"Could not Resize Memory Stream Buffer.");
    if (needed <= static_cast<int64_t>(mBuffer.size())) return true;
    try {
        // Grow by half again at least, so that many small writes stay cheap.
        const int64_t grown = std::min<int64_t>(kLimit, static_cast<int64_t>(mBuffer.size()) * 3 / 2);
        mBuffer.resize(static_cast<size_t>(std::max(needed, grown)));
    } catch (const std::bad_alloc&) {
        return fail(u"Could not Resize Memory Stream Buffer.");
    }
    return true;
}

bool OrbMemoryStream::resize(int64_t newSize) {
    clearMessages();
    if (newSize < 0) return fail(u"Can't have a negative buffer size.");
    if (newSize > std::numeric_limits<uint32_t>::max()) {
        mutableWarningString() = u"Memory Streams cannot be larger than 32-bit; truncating size.";
        newSize = static_cast<uint32_t>(newSize);
    }
    if (newSize == size()) {
        mutableWarningString() = u"New Size equals Old Size";
        return true;
    }
    if (!resizeBuffer(newSize)) return false;
    if (newSize > size()) std::memset(mBuffer.data() + size(), 0, static_cast<size_t>(newSize - size()));
    setSize(newSize);
    if (position() > newSize) setPosition(newSize);
    return true;
}

bool OrbMemoryStream::readOrPeek(void* destination, int64_t count, int64_t& actual, bool advance) {
    actual = 0;
    if (!destination) return fail(u"Output Buffer is NULL.");
    if (count <= 0) return fail(u"Nothing to Read");
    const int64_t available = size() - position();
    if (available <= 0) {
        mutableWarningString() = u"No bytes left to read.";
        return true;
    }
    if (mBuffer.empty()) return fail(u"No Buffer to Read");
    actual = std::min(count, available);
    std::memcpy(destination, mBuffer.data() + position(), static_cast<size_t>(actual));
    if (advance) setPosition(position() + actual);
    if (actual < count) mutableWarningString() = u"No bytes left to read.";
    return true;
}

bool OrbMemoryStream::readBytes(void* destination, int64_t count, int64_t& actual) {
    return readOrPeek(destination, count, actual, true);
}

bool OrbMemoryStream::peekBytes(void* destination, int64_t count, int64_t& actual) {
    return readOrPeek(destination, count, actual, false);
}

bool OrbMemoryStream::writeBytes(const void* source, int64_t count) {
    if (!source) return fail(u"Input Buffer is NULL.");
    if (count <= 0) return fail(u"Nothing to Write");
    const int64_t end = position() + count;
    if (!resizeBuffer(end)) return false;
    // Writing past the end leaves zeros in the gap.
    if (position() > size()) std::memset(mBuffer.data() + size(), 0, static_cast<size_t>(position() - size()));
    std::memcpy(mBuffer.data() + position(), source, static_cast<size_t>(count));
    setPosition(end);
    if (end > size()) setSize(end);
    return true;
}

bool OrbMemoryStream::readFromStream(OrbStream* other, int64_t count) {
    if (!other) return fail(u"Input Stream is NULL.");
    if (count <= 0) return fail(u"Nothing to Read");
    const int64_t end = position() + count;
    if (!resizeBuffer(end)) return false;
    if (position() > size()) std::memset(mBuffer.data() + size(), 0, static_cast<size_t>(position() - size()));
    int64_t actual = 0;
    if (!other->readBytes(mBuffer.data() + position(), count, actual)) return fail(other->errorString());
    setPosition(position() + actual);
    if (position() > size()) setSize(position());
    return true;
}

bool OrbMemoryStream::writeToStream(OrbStream* other, int64_t count) {
    if (!other) return fail(u"Output Stream is NULL.");
    if (mBuffer.empty() || position() >= size()) return fail(u"No Buffer to Write");
    const int64_t n = std::min(count, size() - position());
    if (n <= 0) return fail(u"Nothing to Write");
    if (!other->writeBytes(mBuffer.data() + position(), n)) return fail(other->errorString());
    setPosition(position() + n);
    return true;
}
