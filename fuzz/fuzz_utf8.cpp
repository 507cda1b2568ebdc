// The UTF-8 decoder on arbitrary bytes. Checks: valid input round-trips byte for byte; the
// decoded text never holds a lone surrogate, so encoding it back needs no substitution; and the
// character-set layer gives the same text.
#include "_Common/Strings/Orb_CharSets.h"
#include "_Common/Strings/Orb_String.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    size_t replaced = 0;
    const ucstring text = ucstringFromUTF8String(bytes, &replaced);

    size_t replacedBack = 0;
    const std::string back = ucstringToUTF8String(text, &replacedBack);
    if (replacedBack != 0) std::abort();               // no lone surrogates come out of decoding
    if (replaced == 0 && back != bytes) std::abort();  // valid UTF-8 round-trips
    if (ucstringFromUTF8String(back) != text) std::abort();

    ucstring viaCharSet;
    if (!charSetDecode(viaCharSet, bytes, kCharSetUTF8).empty() || viaCharSet != text) std::abort();
    return 0;
}
