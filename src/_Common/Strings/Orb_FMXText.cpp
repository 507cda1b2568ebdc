#include "Orb_FMXText.h"

#include "Orb_StringList.h"

ucstring ucstringFromFMXText(const fmx::Text& text) {
    ucstring out(text.GetSize(), u'\0');
    if (!out.empty()) text.GetUnicode(out.data(), 0, static_cast<fmx::uint32>(out.size()));
    return out;
}

ucstringlist ucstringlistFromFMXText(const fmx::Text& text) {
    const ucstring whole = ucstringFromFMXText(text);
    if (whole.empty()) return {};
    return stringlistSplitString(whole, u'\r');
}

void ucstringlistToFMXText(const ucstringlist& lines, fmx::Text& text) {
    const ucstring joined = stringlistJoinWithLineEnding(lines, kLineEndingCR);
    text.AssignUnicodeWithLength(joined.data(), static_cast<fmx::uint32>(joined.size()));
}
