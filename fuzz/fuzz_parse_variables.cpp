// The variable text reader on arbitrary input: the first byte picks the options, the rest is
// UTF-8 text (invalid bytes become U+FFFD), read as lines or as one text. Whatever is read must
// print to lines and read back without trouble.
#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t flags = data[0];
    const ucstring text = ucstringFromUTF8String(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    const bool checkDuplicates = flags & 1, comma = flags & 2, lineEnd = flags & 4, asLines = flags & 8;

    OrbVariableArray array;
    ucstring error;
    if (asLines) {
        array.parseVariables(error, stringlistSplitString(text, u'\n'), checkDuplicates, comma, lineEnd);
    } else {
        array.parseVariables(error, text, checkDuplicates, comma, lineEnd);
    }

    ucstringlist lines;
    array.copyVariablesToList(lines, flags & 16, flags & 32);
    OrbVariableArray again;
    again.parseVariables(error, lines, false, false, true);
    ucstring printed;
    array.toText(printed, kLineEndingCRLF);
    for (const OrbVariable& v : array) {
        v.variableAsInteger();
        v.variableAsBoolean();
        ucstringlist items;
        v.copyVariableToList(items);
    }
    return 0;
}
