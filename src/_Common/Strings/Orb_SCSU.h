// The Standard Compression Scheme for Unicode (SCSU, Unicode Technical Standard #6), in which
// the host stores the names inside container file references.
#pragma once

#include "Orb_StringTypes.h"

#include <string_view>

// Decodes SCSU bytes into wide text, replacing `out`. Every tag of both modes is understood,
// including extended windows (characters beyond the BMP arrive as surrogate pairs). Malformed
// input (a tag cut off by the end of the data, a reserved tag or window offset) stops decoding:
// `out` keeps the text decoded so far and the error text is returned (empty on success).
[[nodiscard]] ucstring decodeFMUnicode(ucstring& out, std::string_view bytes);

// Encodes wide text as SCSU bytes, replacing `out`. Starts in the standard's initial state, so
// ASCII and Latin-1 text comes out as its own bytes; other scripts switch or define windows, and
// runs of characters outside any window (CJK, Hangul) switch to Unicode mode. Lone surrogates
// are carried unchanged (quoted), so any wide text round-trips.
void encodeFMUnicode(std::string& out, std::u16string_view text);
