// Unicode services of the system: normalisation and case mapping of wide (UTF-16) text.
#pragma once

#include <string>

namespace platform {

// Canonical composition (NFC): a letter followed by a combining accent becomes the accented
// letter, so names typed on different systems compare equal. Malformed text comes back as given.
std::u16string unicodeNormalizeComposed(const std::u16string& text);

// Full, locale-independent upper-casing ("straße" becomes "STRASSE").
std::u16string unicodeUpperCase(const std::u16string& text);

}  // namespace platform
