// The SCSU decoder on arbitrary bytes. Whatever decodes must encode and decode back to the same
// text, and where ICU's SCSU converter also accepts the bytes, both must read the same text.
#include "_Common/Strings/Orb_SCSU.h"

#include <unicode/ucnv.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

bool icuDecode(std::string_view bytes, ucstring& out) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* c = ucnv_open("SCSU", &status);
    if (U_FAILURE(status)) return false;
    ucnv_setToUCallBack(c, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    out.assign(bytes.size() * 2 + 8, u'\0');
    const int32_t n = ucnv_toUChars(c, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                                    bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    ucnv_close(c);
    if (U_FAILURE(status)) return false;
    out.resize(static_cast<size_t>(n));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ucstring text;
    const bool ok = decodeFMUnicode(text, bytes).empty();

    // Whatever came out (the whole text or the part before an error) must survive our encoder.
    std::string encoded;
    encodeFMUnicode(encoded, text);
    ucstring back;
    if (!decodeFMUnicode(back, encoded).empty() || back != text) std::abort();

    ucstring theirs;
    if (ok && icuDecode(bytes, theirs) && theirs != text) std::abort();
    return 0;
}
