// Conversion between every character set and wide text on arbitrary input: the first byte picks
// the set and the byte order. Decoding and encoding must never fail for a known set, whatever the
// bytes or units (lone surrogates included).
#include "_Common/Strings/Orb_CharSets.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int16_t charSet = static_cast<int16_t>(data[0] % kCharSetCount);
    const bool littleEndian = data[0] & 0x80;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    ucstring text;
    size_t replaced = 0;
    if (!charSetDecode(text, bytes, charSet, littleEndian, &replaced).empty()) std::abort();
    std::string encoded;
    if (!charSetEncode(encoded, text, charSet, littleEndian).empty()) std::abort();

    // The bytes as UTF-16 units, written in the set.
    ucstring units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[1 + 2 * i] << 8 | data[2 + 2 * i]);
    if (!charSetEncode(encoded, units, charSet, littleEndian).empty()) std::abort();
    return 0;
}
