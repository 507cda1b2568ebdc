// Wide text to and from the host's text objects. Lines in host text are separated by carriage
// returns (the host's paragraph separator).
#pragma once

#include "Orb_StringTypes.h"

#include <FMWrapper/FMXText.h>

ucstring ucstringFromFMXText(const fmx::Text& text);
// The text split at carriage returns; an empty text gives an empty list.
ucstringlist ucstringlistFromFMXText(const fmx::Text& text);
// Replaces the host text by the lines joined with carriage returns.
void ucstringlistToFMXText(const ucstringlist& lines, fmx::Text& text);
