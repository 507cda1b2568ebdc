#include "Orb_StringList.h"

#include "Orb_String.h"

#include <algorithm>

namespace {

template <class L, class S, class C>
L splitString(const S& text, C separator) {
    L out;
    size_t start = 0;
    for (;;) {
        const size_t pos = text.find(separator, start);
        if (pos == S::npos) break;
        out.emplace_back(text, start, pos - start);
        start = pos + 1;
    }
    out.emplace_back(text, start, S::npos);
    return out;
}

template <class S>
S trimLine(S line, int trimMode) {
    switch (trimMode) {
        case kTrimBoth: return stringTrim(line);
        case kTrimLeft: return stringTrimLeft(line);
        case kTrimRight: return stringTrimRight(line);
        default: return line;
    }
}

// Calls f(begin, end) for each line of text (see stringlistSplitStringByLines).
template <class View, class F>
void forEachLine(View text, F&& f) {
    size_t start = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            f(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    f(text.substr(start));
}

template <class L, class S>
L splitByLines(const S& text, int trimMode) {
    using View = std::basic_string_view<typename S::value_type>;
    L out;
    forEachLine(View(text), [&](View line) { out.push_back(trimLine(typename L::value_type(line), trimMode)); });
    return out;
}

template <class L, class View>
void appendLines(L& lines, View data) {
    bool first = !lines.empty();
    forEachLine(data, [&](View line) {
        if (first) {
            lines.back().append(line);
            first = false;
        } else {
            lines.emplace_back(line);
        }
    });
}

template <class L, class S>
S joinWith(const L& lines, const S& separator) {
    S out;
    size_t total = 0;
    for (const S& line : lines) total += line.size() + separator.size();
    out.reserve(total);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += separator;
        out += lines[i];
    }
    return out;
}

template <class S>
S lineEndingText(int kind) {
    switch (kind) {
        case kLineEndingCR: return S(1, '\r');
        case kLineEndingLF: return S(1, '\n');
        case kLineEndingCRLF: {
            S s;
            s.push_back('\r');
            s.push_back('\n');
            return s;
        }
        default: return S();
    }
}

template <class L>
bool isBlank(const L& lines) {
    return std::all_of(lines.begin(), lines.end(), [](const auto& line) {
        return std::all_of(line.begin(), line.end(), [](auto c) { return charIsSpace(c); });
    });
}

template <class L, class S>
typename L::const_iterator iterOfString(const L& lines, const S& text) {
    return std::find_if(lines.begin(), lines.end(), [&](const S& line) {
        return line.size() == text.size() && stringStartsWith(line, text, true);
    });
}

template <class L, class S, class C>
typename L::const_iterator iterOfName(const L& lines, const S& name, C separator, bool caseSensitive) {
    const S wanted = caseSensitive ? name : stringUpperCase(name);
    return std::find_if(lines.begin(), lines.end(), [&](const S& line) {
        const S lineName = stringName(line, separator);
        return (caseSensitive ? lineName : stringUpperCase(lineName)) == wanted;
    });
}

template <class L>
int64_t indexOf(const L& lines, typename L::const_iterator it) {
    return it == lines.end() ? -1 : static_cast<int64_t>(it - lines.begin());
}

template <class L, class C>
typename L::value_type nameAtIndex(const L& lines, int64_t index, C separator) {
    if (index < 0 || static_cast<uint64_t>(index) >= lines.size()) return {};
    return stringName(lines[static_cast<size_t>(index)], separator);
}

template <class L, class S, class C>
S valueForName(const L& lines, const S& name, C separator, bool caseSensitive) {
    const auto it = iterOfName(lines, name, separator, caseSensitive);
    return it == lines.end() ? S() : stringValue(*it, separator);
}

template <class L, class S, class C>
void setValueForName(L& lines, const S& name, const S& value, C separator, bool caseSensitive) {
    S line = name;
    line.push_back(separator);
    line += value;
    const auto it = iterOfName(lines, name, separator, caseSensitive);
    if (it == lines.end()) {
        lines.push_back(std::move(line));
    } else {
        lines[static_cast<size_t>(it - lines.begin())] = std::move(line);
    }
}

}  // namespace

stringlist stringlistSplitString(const std::string& text, char separator) {
    return splitString<stringlist>(text, separator);
}
ucstringlist stringlistSplitString(const ucstring& text, char16_t separator) {
    return splitString<ucstringlist>(text, separator);
}

stringlist stringlistSplitStringByLines(const std::string& text, int trimMode) {
    return splitByLines<stringlist>(text, trimMode);
}
ucstringlist stringlistSplitStringByLines(const ucstring& text, int trimMode) {
    return splitByLines<ucstringlist>(text, trimMode);
}

void stringlistAppendLines(stringlist& lines, std::string_view data) { appendLines(lines, data); }
void stringlistAppendLines(ucstringlist& lines, std::u16string_view data) { appendLines(lines, data); }

std::string stringlistJoinWithString(const stringlist& lines, const std::string& separator) {
    return joinWith(lines, separator);
}
ucstring stringlistJoinWithString(const ucstringlist& lines, const ucstring& separator) {
    return joinWith(lines, separator);
}
std::string stringlistJoinWithLineEnding(const stringlist& lines, int lineEnding) {
    return joinWith(lines, lineEndingText<std::string>(lineEnding));
}
ucstring stringlistJoinWithLineEnding(const ucstringlist& lines, int lineEnding) {
    return joinWith(lines, lineEndingText<ucstring>(lineEnding));
}

bool stringlistIsBlank(const stringlist& lines) { return isBlank(lines); }
bool stringlistIsBlank(const ucstringlist& lines) { return isBlank(lines); }

int64_t stringlistIndexOfString(const stringlist& lines, const std::string& text) {
    return indexOf(lines, iterOfString(lines, text));
}
int64_t stringlistIndexOfString(const ucstringlist& lines, const ucstring& text) {
    return indexOf(lines, iterOfString(lines, text));
}
stringlist::const_iterator stringlistIterOfString(const stringlist& lines, const std::string& text) {
    return iterOfString(lines, text);
}
ucstringlist::const_iterator stringlistIterOfString(const ucstringlist& lines, const ucstring& text) {
    return iterOfString(lines, text);
}

int64_t stringlistIndexOfName(const stringlist& lines, const std::string& name, char separator, bool caseSensitive) {
    return indexOf(lines, iterOfName(lines, name, separator, caseSensitive));
}
int64_t stringlistIndexOfName(const ucstringlist& lines, const ucstring& name, char16_t separator, bool caseSensitive) {
    return indexOf(lines, iterOfName(lines, name, separator, caseSensitive));
}
stringlist::const_iterator stringlistIterOfName(const stringlist& lines, const std::string& name, char separator,
                                                bool caseSensitive) {
    return iterOfName(lines, name, separator, caseSensitive);
}
ucstringlist::const_iterator stringlistIterOfName(const ucstringlist& lines, const ucstring& name, char16_t separator,
                                                  bool caseSensitive) {
    return iterOfName(lines, name, separator, caseSensitive);
}
std::string stringlistNameAtIndex(const stringlist& lines, int64_t index, char separator) {
    return nameAtIndex(lines, index, separator);
}
ucstring stringlistNameAtIndex(const ucstringlist& lines, int64_t index, char16_t separator) {
    return nameAtIndex(lines, index, separator);
}

std::string stringlistValueForName(const stringlist& lines, const std::string& name, char separator,
                                   bool caseSensitive) {
    return valueForName(lines, name, separator, caseSensitive);
}
ucstring stringlistValueForName(const ucstringlist& lines, const ucstring& name, char16_t separator,
                                bool caseSensitive) {
    return valueForName(lines, name, separator, caseSensitive);
}
void stringlistSetValueForName(stringlist& lines, const std::string& name, const std::string& value, char separator,
                               bool caseSensitive) {
    setValueForName(lines, name, value, separator, caseSensitive);
}
void stringlistSetValueForName(ucstringlist& lines, const ucstring& name, const ucstring& value, char16_t separator,
                               bool caseSensitive) {
    setValueForName(lines, name, value, separator, caseSensitive);
}
