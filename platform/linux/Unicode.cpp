#include <platform/Unicode.h>

#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace platform {

namespace {

icu::UnicodeString toICU(const std::u16string& text) {
    return icu::UnicodeString(text.data(), static_cast<int32_t>(text.size()));
}

std::u16string fromICU(const icu::UnicodeString& text) {
    return std::u16string(text.getBuffer(), static_cast<size_t>(text.length()));
}

}  // namespace

std::u16string unicodeNormalizeComposed(const std::u16string& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status) || !nfc) return text;
    const icu::UnicodeString source = toICU(text);
    // Most names are already composed; that check is much cheaper than normalising.
    if (nfc->isNormalized(source, status) && U_SUCCESS(status)) return text;
    status = U_ZERO_ERROR;
    const icu::UnicodeString composed = nfc->normalize(source, status);
    return U_SUCCESS(status) ? fromICU(composed) : text;
}

std::u16string unicodeUpperCase(const std::u16string& text) {
    icu::UnicodeString s = toICU(text);
    s.toUpper(icu::Locale::getRoot());
    return fromICU(s);
}

}  // namespace platform
