// The variable text reader on arbitrary input: the first byte picks the options, the rest is
// UTF-8 text (invalid bytes become U+FFFD), read as lines or as one text. Whatever is read must
// print to lines and read back without trouble. And a preference as the preferences file keeps it
// (a name of one line, a text value) must read back exactly.
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

    const ucstringlist parts = stringlistSplitString(text, u'\n');
    const ucstring name = stringTrim(parts.empty() ? ucstring() : parts[0]);
    const ucstring value = parts.size() > 1 ? parts[1] : ucstring();
    const bool oneLine =
        name.find_first_of(u"\r\n") == ucstring::npos && value.find_first_of(u"\r\n") == ucstring::npos;
    if (!name.empty() && oneLine && value.find(u"<CR>") == ucstring::npos) {  // "<CR>" stands for a line break
        OrbVariable preference(name);
        preference.setStringValue(value);
        OrbVariableArray one;
        one.addVariable(error, preference, true);
        ucstringlist stored;
        one.copyVariablesToList(stored, true, false);
        OrbVariableArray read;
        const OrbVariable* back = nullptr;
        if (stored.size() != 1 || !read.parseVariables(error, stored[0], true, false, true) ||
            !read.variableAtIndex(0, back) || read.size() != 1 || back->name() != name ||
            back->variableAsString(1) != value)
            __builtin_trap();
    }
    return 0;
}
