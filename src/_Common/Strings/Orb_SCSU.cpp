#include "Orb_SCSU.h"

#include "Orb_String.h"

#include <cstdint>

namespace {

// Tags of single-byte mode.
constexpr uint8_t SQ0 = 0x01;  // SQ0..SQ7: quote one character from window n
constexpr uint8_t SDX = 0x0B;  // define an extended window (two bytes follow)
constexpr uint8_t SQU = 0x0E;  // quote one UTF-16 unit (two bytes follow)
constexpr uint8_t SCU = 0x0F;  // change to Unicode mode
constexpr uint8_t SC0 = 0x10;  // SC0..SC7: change to dynamic window n
constexpr uint8_t SD0 = 0x18;  // SD0..SD7: define dynamic window n (one byte follows) and use it
// Tags of Unicode mode.
constexpr uint8_t UC0 = 0xE0;  // UC0..UC7: change to window n and to single-byte mode
constexpr uint8_t UD0 = 0xE8;  // UD0..UD7: define window n and change to single-byte mode
constexpr uint8_t UQU = 0xF0;  // quote one UTF-16 unit whose high byte would read as a tag
constexpr uint8_t UDX = 0xF1;  // define an extended window and change to single-byte mode
constexpr uint8_t UR = 0xF2;   // reserved

constexpr uint32_t kStaticWindows[8] = {0x0000, 0x0080, 0x0100, 0x0300, 0x2000, 0x2080, 0x2100, 0x3000};
constexpr uint32_t kInitialDynamicWindows[8] = {0x0080, 0x00C0, 0x0400, 0x0600, 0x0900, 0x3040, 0x30A0, 0xFF00};

// The window position a define tag's offset byte names; 0 for the reserved bytes.
uint32_t windowOffset(uint8_t x) {
    if (x >= 0x01 && x <= 0x67) return uint32_t(x) * 0x80;
    if (x >= 0x68 && x <= 0xA7) return uint32_t(x) * 0x80 + 0xAC00;
    switch (x) {
        case 0xF9: return 0x00C0;
        case 0xFA: return 0x0250;
        case 0xFB: return 0x0370;
        case 0xFC: return 0x0530;
        case 0xFD: return 0x3040;
        case 0xFE: return 0x30A0;
        case 0xFF: return 0xFF60;
        default: return 0;  // 0x00 and 0xA8..0xF8 are reserved
    }
}

uint32_t extendedWindowOffset(uint8_t high, uint8_t low) { return 0x10000 + ((uint32_t(high & 0x1F) << 8 | low) << 7); }

void appendCodePoint(ucstring& out, uint32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

bool passesThrough(uint32_t cp) { return cp == 0 || cp == 9 || cp == 10 || cp == 13 || (cp >= 0x20 && cp < 0x80); }

ucstring hexByte(uint8_t b) {
    const char digits[] = "0123456789ABCDEF";
    return ucstring{u'0', u'x', char16_t(digits[b >> 4]), char16_t(digits[b & 0xF])};
}

ucstring atOffset(size_t offset) {
    ucstring n;
    return u" at byte " + stringFromInteger(n, static_cast<int64_t>(offset)) + u".";
}

// ---- Encoder -------------------------------------------------------------------------------

class Encoder {
public:
    Encoder(std::string& out, std::u16string_view text) : mOut(out), mText(text) {
        for (int n = 0; n < 8; ++n) mWindows[n] = kInitialDynamicWindows[n];
    }

    void run() {
        size_t i = 0;
        while (i < mText.size()) {
            size_t length = 0;
            const uint32_t cp = codePointAt(i, length);
            if (mUnicodeMode) {
                if (!leaveUnicodeMode(cp)) {
                    for (size_t k = 0; k < length; ++k) emitUnit(mText[i + k]);
                    i += length;
                    continue;
                }
            }
            encodeSingleByte(cp, i + length);
            i += length;
        }
    }

private:
    // A surrogate pair is one code point; a lone surrogate stays a unit of its own.
    uint32_t codePointAt(size_t i, size_t& length) const {
        const char16_t u = mText[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < mText.size() && mText[i + 1] >= 0xDC00 && mText[i + 1] <= 0xDFFF) {
            length = 2;
            return 0x10000 + ((uint32_t(u) - 0xD800) << 10) + (mText[i + 1] - 0xDC00);
        }
        length = 1;
        return u;
    }

    void put(uint8_t b) { mOut.push_back(static_cast<char>(b)); }

    int dynamicWindowOf(uint32_t cp) const {
        if (cp >= mWindows[mActive] && cp < mWindows[mActive] + 0x80) return mActive;
        for (int n = 0; n < 8; ++n)
            if (cp >= mWindows[n] && cp < mWindows[n] + 0x80) return n;
        return -1;
    }

    static int staticWindowOf(uint32_t cp) {
        for (int n = 1; n < 8; ++n)
            if (cp >= kStaticWindows[n] && cp < kStaticWindows[n] + 0x80) return n;
        return -1;
    }

    // The offset byte of a window holding cp, or -1 where no window can be placed (the CJK and
    // Hangul ranges, the surrogates) and for ASCII, which needs none.
    static int offsetByteFor(uint32_t cp) {
        if (cp >= 0x80 && cp < 0x3400) return static_cast<int>(cp >> 7);
        if (cp >= 0xE000 && cp <= 0xFFFF) return static_cast<int>((cp - 0xAC00) >> 7);
        return -1;
    }

    // Characters that single-byte mode can only quote one at a time.
    bool needsUnicodeMode(uint32_t cp) const {
        return cp >= 0x80 && cp < 0x10000 && dynamicWindowOf(cp) < 0 && staticWindowOf(cp) < 0 && offsetByteFor(cp) < 0;
    }

    int leastRecentlyUsedWindow() const {
        int best = 0;
        for (int n = 1; n < 8; ++n)
            if (mLastUse[n] < mLastUse[best]) best = n;
        return best;
    }

    void use(int n) { mLastUse[n] = ++mClock; }

    void emitUnit(char16_t u) {
        const auto high = static_cast<uint8_t>(u >> 8);
        if (high >= UC0 && high <= UR) put(UQU);
        put(high);
        put(static_cast<uint8_t>(u & 0xFF));
    }

    // In Unicode mode: switch back for characters that single-byte mode writes in one byte.
    bool leaveUnicodeMode(uint32_t cp) {
        if (passesThrough(cp)) {
            put(UC0 + mActive);
        } else if (const int n = dynamicWindowOf(cp); n >= 0) {
            put(UC0 + n);
            mActive = n;
        } else {
            return false;
        }
        mUnicodeMode = false;
        return true;
    }

    void encodeSingleByte(uint32_t cp, size_t next) {
        if (cp < 0x80) {
            if (!passesThrough(cp)) put(SQ0);  // C0 controls share their bytes with the tags
            put(static_cast<uint8_t>(cp));
            return;
        }
        if (const int n = dynamicWindowOf(cp); n >= 0) {
            if (n != mActive) {
                // Lock onto the window when the next character lives there too, else quote.
                size_t length = 0;
                const bool stay = next < mText.size() && dynamicWindowOf(codePointAt(next, length)) == n;
                if (stay) {
                    put(SC0 + n);
                    mActive = n;
                } else {
                    put(SQ0 + n);
                }
            }
            put(static_cast<uint8_t>(0x80 + cp - mWindows[n]));
            use(n);
            return;
        }
        if (const int s = staticWindowOf(cp); s >= 0) {
            put(SQ0 + s);
            put(static_cast<uint8_t>(cp - kStaticWindows[s]));
            return;
        }
        if (cp >= 0x10000) {
            const int n = leastRecentlyUsedWindow();
            const uint32_t block = (cp - 0x10000) >> 7;
            put(SDX);
            put(static_cast<uint8_t>(n << 5 | block >> 8));
            put(static_cast<uint8_t>(block & 0xFF));
            mWindows[n] = 0x10000 + (block << 7);
            mActive = n;
            put(static_cast<uint8_t>(0x80 + cp - mWindows[n]));
            use(n);
            return;
        }
        if (const int x = offsetByteFor(cp); x >= 0) {
            const int n = leastRecentlyUsedWindow();
            put(SD0 + n);
            put(static_cast<uint8_t>(x));
            mWindows[n] = windowOffset(static_cast<uint8_t>(x));
            mActive = n;
            put(static_cast<uint8_t>(0x80 + cp - mWindows[n]));
            use(n);
            return;
        }
        // CJK, Hangul or a lone surrogate: a run goes to Unicode mode, a single one is quoted.
        size_t length = 0;
        if (next < mText.size() && needsUnicodeMode(codePointAt(next, length))) {
            put(SCU);
            mUnicodeMode = true;
            emitUnit(static_cast<char16_t>(cp));
        } else {
            put(SQU);
            put(static_cast<uint8_t>(cp >> 8));
            put(static_cast<uint8_t>(cp & 0xFF));
        }
    }

    std::string& mOut;
    std::u16string_view mText;
    uint32_t mWindows[8];
    uint64_t mLastUse[8] = {};
    uint64_t mClock = 0;
    int mActive = 0;
    bool mUnicodeMode = false;
};

}  // namespace

ucstring decodeFMUnicode(ucstring& out, std::string_view bytes) {
    out.clear();
    out.reserve(bytes.size());
    uint32_t windows[8];
    for (int n = 0; n < 8; ++n) windows[n] = kInitialDynamicWindows[n];
    int active = 0;
    bool unicodeMode = false;

    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t size = bytes.size();
    size_t i = 0;
    const auto truncated = [&](size_t tagAt) {
        return u"The encoded text ends inside the command " + hexByte(data[tagAt]) + atOffset(tagAt);
    };
    const auto reservedOffset = [&](size_t at) {
        return u"The encoded text places a window at the reserved position " + hexByte(data[at]) + atOffset(at);
    };

    while (i < size) {
        const size_t at = i;
        const uint8_t b = data[i++];
        if (!unicodeMode) {
            if (b >= 0x80) {
                appendCodePoint(out, windows[active] + (b - 0x80));
            } else if (passesThrough(b)) {
                out.push_back(b);
            } else if (b >= SQ0 && b <= SQ0 + 7) {
                if (i + 1 > size) return truncated(at);
                const uint8_t c = data[i++];
                const int n = b - SQ0;
                appendCodePoint(out, c < 0x80 ? kStaticWindows[n] + c : windows[n] + (c - 0x80));
            } else if (b == SDX) {
                if (i + 2 > size) return truncated(at);
                const uint8_t high = data[i], low = data[i + 1];
                i += 2;
                active = high >> 5;
                windows[active] = extendedWindowOffset(high, low);
            } else if (b == SQU) {
                if (i + 2 > size) return truncated(at);
                out.push_back(static_cast<char16_t>(data[i] << 8 | data[i + 1]));
                i += 2;
            } else if (b == SCU) {
                unicodeMode = true;
            } else if (b >= SC0 && b <= SC0 + 7) {
                active = b - SC0;
            } else if (b >= SD0 && b <= SD0 + 7) {
                if (i + 1 > size) return truncated(at);
                const uint32_t offset = windowOffset(data[i]);
                if (!offset) return reservedOffset(i);
                ++i;
                active = b - SD0;
                windows[active] = offset;
            } else {
                return u"The encoded text uses the reserved command " + hexByte(b) + atOffset(at);
            }
        } else {
            if (b >= UC0 && b <= UC0 + 7) {
                active = b - UC0;
                unicodeMode = false;
            } else if (b >= UD0 && b <= UD0 + 7) {
                if (i + 1 > size) return truncated(at);
                const uint32_t offset = windowOffset(data[i]);
                if (!offset) return reservedOffset(i);
                ++i;
                active = b - UD0;
                windows[active] = offset;
                unicodeMode = false;
            } else if (b == UQU) {
                if (i + 2 > size) return truncated(at);
                out.push_back(static_cast<char16_t>(data[i] << 8 | data[i + 1]));
                i += 2;
            } else if (b == UDX) {
                if (i + 2 > size) return truncated(at);
                const uint8_t high = data[i], low = data[i + 1];
                i += 2;
                active = high >> 5;
                windows[active] = extendedWindowOffset(high, low);
                unicodeMode = false;
            } else if (b == UR) {
                return u"The encoded text uses the reserved command " + hexByte(b) + atOffset(at);
            } else {
                if (i + 1 > size) return u"The encoded text ends inside a character" + atOffset(at);
                out.push_back(static_cast<char16_t>(b << 8 | data[i++]));
            }
        }
    }
    return {};
}

void encodeFMUnicode(std::string& out, std::u16string_view text) {
    out.clear();
    out.reserve(text.size() + 8);
    Encoder(out, text).run();
}
