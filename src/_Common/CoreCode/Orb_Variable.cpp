#include "Orb_Variable.h"

#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <unordered_map>

namespace {

// The characters a variable name may not hold, and the message that lists them.
constexpr char16_t kInvalidNameChars[] = u"\"'${};";
constexpr char16_t kInvalidNameText[] = u"; Variable Names cannot contain the following: \",',$,{,},;";

// Arrays inside arrays are read recursively; deeper nesting than this is refused rather than
// allowed to exhaust the stack of a host thread.
constexpr int kMaxArrayDepth = 64;  // named in the error text below

// The marker that stands for a line break inside a one-line value.
constexpr char16_t kLineBreakMarker[] = u"<CR>";

bool isQuote(char16_t c) { return c == u'"' || c == u'\''; }

// One pair of matching quotes around the text is removed.
ucstring withoutQuotes(const ucstring& text) {
    if (text.size() >= 2 && isQuote(text.front()) && text.back() == text.front())
        return text.substr(1, text.size() - 2);
    return text;
}

// A digit, "-" or "." first, then digits and at most one "." in all, with at least one digit
// ("-" or "." alone stay text).
bool looksNumeric(const ucstring& value, bool& hasDot) {
    hasDot = false;
    bool digit = false;
    for (size_t i = 0; i < value.size(); ++i) {
        const char16_t c = value[i];
        if (c >= u'0' && c <= u'9') {
            digit = true;
        } else if (c == u'.' && !hasDot) {
            hasDot = true;
        } else if (!(c == u'-' && i == 0)) {
            return false;
        }
    }
    return digit;
}

// A double to a 64-bit integer, truncated; NaN gives 0 and the infinities saturate.
int64_t truncated(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
    if (value <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

ucstring decimal(uint64_t value) {
    ucstring out;
    return stringFromInteger(out, static_cast<int64_t>(value));
}

// Each CR LF, CR or LF becomes the line-break marker.
ucstring markLineBreaks(const ucstring& text) {
    if (text.find_first_of(u"\r\n") == ucstring::npos) return text;
    ucstring out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            out += kLineBreakMarker;
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// The stored form of a text: double-quoted, with backslashes and double quotes escaped so that
// the parser gives back exactly the same text.
ucstring quoted(const ucstring& text) {
    ucstring out;
    out.reserve(text.size() + 2);
    out.push_back(u'"');
    for (char16_t c : text) {
        if (c == u'"' || c == u'\\') out.push_back(u'\\');
        out.push_back(c);
    }
    out.push_back(u'"');
    return out;
}

// A name as the text form writes it: bare when the parser reads it back unchanged, else quoted
// (the parser takes a quoted text before "=" for a name).
ucstring storedName(const ucstring& name) {
    const bool bare = name.find_first_of(kInvalidNameChars) == ucstring::npos &&
                      name.find_first_of(u"=?,\r\n") == ucstring::npos && name == stringTrim(name);
    return bare ? name : quoted(name);
}

// Walks the trimmed lines as one stream of characters, with a line-end mark between lines.
class LineCursor {
public:
    static constexpr int32_t kEnd = -1;
    static constexpr int32_t kLineEnd = -2;

    LineCursor(const ucstring* lines, size_t count) : mLines(lines), mCount(count) { enterLine(0); }

    int32_t peek() const {
        if (mLine >= mCount) return kEnd;
        if (mPos < mLineEnd) return mLines[mLine][mPos];
        return mLine + 1 < mCount ? kLineEnd : kEnd;
    }

    void next() {
        if (mLine >= mCount) return;
        if (mPos < mLineEnd) {
            ++mPos;
        } else {
            enterLine(mLine + 1);
        }
    }

private:
    void enterLine(size_t line) {
        mLine = line;
        if (mLine >= mCount) return;
        const ucstring& s = mLines[mLine];
        size_t begin = 0, end = s.size();
        while (begin < end && charIsSpace(s[begin])) ++begin;
        while (end > begin && charIsSpace(s[end - 1])) --end;
        mPos = begin;
        mLineEnd = end;
    }

    const ucstring* mLines;
    size_t mCount;
    size_t mLine = 0;
    size_t mPos = 0;
    size_t mLineEnd = 0;
};

}  // namespace

// ---- OrbVariable ------------------------------------------------------------------------------

OrbVariable::OrbVariable() = default;
OrbVariable::OrbVariable(const ucstring& name) { setName(name); }
OrbVariable::~OrbVariable() = default;

ucstring& OrbVariable::mutableName() { return mName; }
const ucstring& OrbVariable::name() const { return mName; }
ucstring& OrbVariable::mutableNameUppercase() { return mNameUppercase; }
const ucstring& OrbVariable::nameUppercase() const { return mNameUppercase; }
ucstring& OrbVariable::mutableStringValue() { return mStringValue; }
const ucstring& OrbVariable::stringValue() const { return mStringValue; }
void OrbVariable::_setIntegerValue(int64_t value) { mIntegerValue = value; }
int64_t OrbVariable::integerValue() const { return mIntegerValue; }
void OrbVariable::_setFloatValue(double value) { mFloatValue = value; }
double OrbVariable::floatValue() const { return mFloatValue; }
ucstringlist& OrbVariable::mutableListValue() { return mListValue; }
const ucstringlist& OrbVariable::listValue() const { return mListValue; }
OrbDateTime& OrbVariable::mutableTimestampValue() { return mTimestampValue; }
const OrbDateTime& OrbVariable::timestampValue() const { return mTimestampValue; }
void OrbVariable::setType(int type) { mType = type; }
int OrbVariable::type() const { return mType; }
OrbVariableArray& OrbVariable::mutableArrayValue() { return mArrayValue; }
const OrbVariableArray& OrbVariable::arrayValue() const { return mArrayValue; }

void OrbVariable::setName(const ucstring& name) { setNameAsIs(stringTrim(name)); }

void OrbVariable::setNameAsIs(const ucstring& name) {
    mName = name;
    mNameUppercase = stringUpperCase(mName);
}

void OrbVariable::clear(bool clearName) {
    mType = kEmpty;
    if (clearName) setName(ucstring());
    mStringValue.clear();
    mIntegerValue = 0;
    mFloatValue = 0.0;
    mArrayValue.clear();
    mListValue.clear();
}

void OrbVariable::setStringValue(const ucstring& value) {
    clear(false);
    mType = kString;
    mStringValue = value;
}
void OrbVariable::setIntegerValue(int64_t value) {
    clear(false);
    mType = kInteger;
    mIntegerValue = value;
}
void OrbVariable::setFloatValue(double value) {
    clear(false);
    mType = kFloat;
    mFloatValue = value;
}
void OrbVariable::setFloatStringValue(const ucstring& value) {
    clear(false);
    mType = kFloatString;
    mStringValue = value;
}
void OrbVariable::setArrayValue(const OrbVariableArray& value) {
    // Copy first: the value may live inside this variable's own array.
    OrbVariableArray copy(value);
    clear(false);
    mType = kArray;
    mArrayValue = std::move(copy);
}
void OrbVariable::setListValue(const ucstringlist& value) {
    ucstringlist copy(value);
    clear(false);
    mType = kList;
    mListValue = std::move(copy);
}
void OrbVariable::setDateValue(const OrbDateTime& value) {
    clear(false);
    mType = kDate;
    mTimestampValue = value;
}
void OrbVariable::setTimeValue(const OrbDateTime& value) {
    clear(false);
    mType = kTime;
    mTimestampValue = value;
}
void OrbVariable::setTimestampValue(const OrbDateTime& value) {
    clear(false);
    mType = kTimestamp;
    mTimestampValue = value;
}
void OrbVariable::setPointerValue(void* value) {
    clear(false);
    mType = kPointer;
    mIntegerValue = static_cast<int64_t>(reinterpret_cast<intptr_t>(value));
}
void* OrbVariable::pointerValue() const { return reinterpret_cast<void*>(static_cast<intptr_t>(mIntegerValue)); }

void OrbVariable::variableAsString(ucstring& out, int lineEnding) const {
    switch (mType) {
        case kString:
        case kFloatString: out = mStringValue; break;
        case kInteger: stringFromInteger(out, mIntegerValue); break;
        case kFloat: stringFromDouble(out, mFloatValue, 6); break;
        case kArray: mArrayValue.toText(out, lineEnding); break;
        case kList: out = stringlistJoinWithLineEnding(mListValue, lineEnding); break;
        case kDate: mTimestampValue.dateString(out); break;
        case kTime: mTimestampValue.timeString(out, false); break;
        case kTimestamp: mTimestampValue.dateTimeString(out, false); break;
        case kPointer: out = mIntegerValue != 0 ? u"Pointer" : u"NULL"; break;
        default: out.clear(); break;
    }
}

ucstring OrbVariable::variableAsString(int lineEnding) const {
    ucstring out;
    variableAsString(out, lineEnding);
    return out;
}

int64_t OrbVariable::variableAsInteger() const {
    switch (mType) {
        case kString: return stringToInteger(mStringValue, 10);
        case kInteger:
        case kPointer: return mIntegerValue;
        case kFloat: return truncated(mFloatValue);
        case kFloatString: return truncated(stringToDouble(mStringValue));
        case kArray: return static_cast<int64_t>(mArrayValue.size());
        case kList: return static_cast<int64_t>(mListValue.size());
        case kDate:
        case kTime:
        case kTimestamp: return mTimestampValue.seconds();
        default: return 0;
    }
}

bool OrbVariable::variableAsBoolean() const {
    switch (mType) {
        case kString: return stringParseBoolean(mStringValue);
        case kInteger: return mIntegerValue > 0;
        case kFloat: return mFloatValue > 0.0;
        case kFloatString: return stringToDouble(mStringValue) > 0.0;
        case kArray: return !mArrayValue.empty();
        case kList: return !mListValue.empty();
        case kPointer: return mIntegerValue != 0;
        default: return false;  // empty, date, time, timestamp
    }
}

void OrbVariable::copyVariableToList(ucstringlist& out) const {
    out.clear();
    switch (mType) {
        case kEmpty: break;
        case kString: stringlistAppendLines(out, mStringValue); break;
        case kList: out = mListValue; break;
        default: out.push_back(variableAsString(kLineEndingCR)); break;
    }
}

// ---- OrbVariableArray -------------------------------------------------------------------------

OrbVariableArray::OrbVariableArray() = default;
OrbVariableArray::OrbVariableArray(const OrbVariableArray& other) = default;
OrbVariableArray& OrbVariableArray::operator=(const OrbVariableArray& other) = default;
OrbVariableArray::OrbVariableArray(OrbVariableArray&& other) noexcept = default;
OrbVariableArray& OrbVariableArray::operator=(OrbVariableArray&& other) noexcept = default;
OrbVariableArray::~OrbVariableArray() = default;

OrbVariableArray::Variables& OrbVariableArray::mutableVariableArray() { return mVariables; }
const OrbVariableArray::Variables& OrbVariableArray::variableArray() const { return mVariables; }

size_t OrbVariableArray::size() const { return mVariables.size(); }
bool OrbVariableArray::empty() const { return mVariables.empty(); }
void OrbVariableArray::clear() { mVariables.clear(); }
OrbVariableArray::Variables::iterator OrbVariableArray::begin() { return mVariables.begin(); }
OrbVariableArray::Variables::iterator OrbVariableArray::end() { return mVariables.end(); }
OrbVariableArray::Variables::const_iterator OrbVariableArray::begin() const { return mVariables.begin(); }
OrbVariableArray::Variables::const_iterator OrbVariableArray::end() const { return mVariables.end(); }
OrbVariableArray::Variables::reverse_iterator OrbVariableArray::rbegin() { return mVariables.rbegin(); }
OrbVariableArray::Variables::reverse_iterator OrbVariableArray::rend() { return mVariables.rend(); }
OrbVariableArray::Variables::const_reverse_iterator OrbVariableArray::rbegin() const { return mVariables.rbegin(); }
OrbVariableArray::Variables::const_reverse_iterator OrbVariableArray::rend() const { return mVariables.rend(); }

bool OrbVariableArray::variableWithName(const ucstring& name, const OrbVariable*& variable) const {
    const ucstring wanted = stringNormalize(name);
    for (const OrbVariable& v : mVariables) {
        if (v.nameUppercase() == wanted) {
            variable = &v;
            return true;
        }
    }
    variable = nullptr;
    return false;
}

bool OrbVariableArray::mutableVariableWithName(const ucstring& name, OrbVariable*& variable) {
    const OrbVariable* found = nullptr;
    const bool ok = variableWithName(name, found);
    variable = const_cast<OrbVariable*>(found);
    return ok;
}

bool OrbVariableArray::variableAtIndex(size_t index, const OrbVariable*& variable) const {
    variable = index < mVariables.size() ? &mVariables[index] : nullptr;
    return variable != nullptr;
}

bool OrbVariableArray::mutableVariableAtIndex(size_t index, OrbVariable*& variable) {
    variable = index < mVariables.size() ? &mVariables[index] : nullptr;
    return variable != nullptr;
}

bool OrbVariableArray::variableNameIsValid(ucstring& error, const ucstring& name, bool checkDuplicate) const {
    const ucstring normalized = stringNormalize(name);
    if (normalized.find_first_of(kInvalidNameChars) != ucstring::npos) {
        error = u"Invalid Variable Name: " + name + kInvalidNameText;
        return false;
    }
    const OrbVariable* existing = nullptr;
    if (checkDuplicate && !normalized.empty() && variableWithName(normalized, existing)) {
        error = u"Duplicate Variable Name: " + name;
        return false;
    }
    return true;
}

bool OrbVariableArray::append(ucstring& error, OrbVariable&& variable, bool skipValidation) {
    error.clear();
    if (!skipValidation && !variable.name().empty() && !variableNameIsValid(error, variable.name(), false))
        return false;
    mVariables.push_back(std::move(variable));
    return true;
}

bool OrbVariableArray::addStringVariable(ucstring& error, const ucstring& name, const ucstring& value,
                                         bool skipValidation) {
    OrbVariable v(name);
    v.setStringValue(stringTrim(value));
    return append(error, std::move(v), skipValidation);
}

bool OrbVariableArray::addStringVariableAsIs(ucstring& error, const ucstring& name, const ucstring& value,
                                             bool skipValidation) {
    OrbVariable v(name);
    v.setStringValue(value);
    return append(error, std::move(v), skipValidation);
}

bool OrbVariableArray::addIntegerVariable(ucstring& error, const ucstring& name, int64_t value, bool skipValidation) {
    OrbVariable v(name);
    v.setIntegerValue(value);
    return append(error, std::move(v), skipValidation);
}

bool OrbVariableArray::addFloatVariable(ucstring& error, const ucstring& name, double value, bool skipValidation) {
    OrbVariable v(name);
    v.setFloatValue(value);
    return append(error, std::move(v), skipValidation);
}

bool OrbVariableArray::addBooleanVariable(ucstring& error, const ucstring& name, bool value, bool skipValidation) {
    return addIntegerVariable(error, name, value ? 1 : 0, skipValidation);
}

bool OrbVariableArray::addDateVariable(ucstring& error, const ucstring& name, const OrbDateTime& value,
                                       bool skipValidation) {
    OrbVariable v(name);
    v.setDateValue(value);
    return append(error, std::move(v), skipValidation);
}

bool OrbVariableArray::addTimestampVariable(ucstring& error, const ucstring& name, const OrbDateTime& value,
                                            bool skipValidation) {
    OrbVariable v(name);
    v.setTimestampValue(value);
    return append(error, std::move(v), skipValidation);
}

bool OrbVariableArray::addListVariable(ucstring& error, const ucstring& name, const ucstringlist& value,
                                       bool skipValidation) {
    OrbVariable v(name);
    v.setListValue(value);
    return append(error, std::move(v), skipValidation);
}

bool OrbVariableArray::addArrayVariable(ucstring& error, const ucstring& name, const OrbVariableArray& value,
                                        bool skipValidation) {
    OrbVariable v(name);
    v.setArrayValue(value);
    return append(error, std::move(v), skipValidation);
}

bool OrbVariableArray::addArrayVariable(ucstring& error, const ucstring& name, const ucstring& text,
                                        bool skipValidation) {
    error.clear();
    OrbVariable v(name);
    if (!skipValidation && !v.name().empty() && !variableNameIsValid(error, v.name(), false)) return false;
    const ucstring t = stringTrim(text);
    if (t.size() < 2 || t.front() != u'{' || t.back() != u'}') {
        error = u"Start and End Curly Brackets not found for Array Variable named " + v.name() + u".";
        return false;
    }
    v.setType(OrbVariable::kArray);
    const ucstring inside = t.substr(1, t.size() - 2);
    if (!v.mutableArrayValue().parse(error, &inside, 1, false, false, false, true)) return false;
    mVariables.push_back(std::move(v));
    return true;
}

bool OrbVariableArray::addPointerVariable(ucstring& error, const ucstring& name, void* value, bool skipValidation) {
    OrbVariable v(name);
    v.setPointerValue(value);
    return append(error, std::move(v), skipValidation);
}

bool OrbVariableArray::addVariable(ucstring& error, const OrbVariable& variable, bool skipValidation) {
    OrbVariable v(variable);
    v.setName(variable.name());
    return append(error, std::move(v), skipValidation);
}

bool OrbVariableArray::inferVariable(ucstring& error, const ucstring& name, const ucstring& valueText,
                                     bool skipValidation, OrbVariable& variable, int depth) const {
    error.clear();
    variable.setName(name);
    const ucstring& n = variable.name();
    // The name is checked even when the value is empty: an empty value is no licence for a bad name.
    if (!skipValidation && !n.empty() && !variableNameIsValid(error, n, false)) return false;
    const ucstring value = stringTrim(valueText);
    if (value.empty()) {
        variable.setStringValue(ucstring());
        return true;
    }
    const char16_t first = value.front();
    if (isQuote(first)) {
        if (value.size() < 2 || value.back() != first) {
            error = u"Ending Quote Not Found or Not Matched for String Variable named " + n + u".";
            return false;
        }
        variable.setStringValue(value.substr(1, value.size() - 2));
        return true;
    }
    if (first == u'{') {
        if (value.size() < 2 || value.back() != u'}') {
            error = u"Closing Curly Bracket Not Found for Array Variable named " + n + u".";
            return false;
        }
        if (depth >= kMaxArrayDepth) {
            error = u"Array Variables are nested more than 64 levels deep.";
            return false;
        }
        variable.setArrayValue(OrbVariableArray());
        // The array text form separates elements with "; ", so inside braces ";" is a delimiter
        // too and what toText printed reads back element by element.
        const ucstring inside = value.substr(1, value.size() - 2);
        return variable.mutableArrayValue().parse(error, &inside, 1, false, false, false, true, depth + 1);
    }
    bool hasDot = false;
    if (looksNumeric(value, hasDot)) {
        if (hasDot) {
            variable.setFloatValue(stringToDouble(value));
        } else {
            variable.setIntegerValue(stringToInteger(value, 10));
        }
        return true;
    }
    if (value.find_first_of(u"\r\n") != ucstring::npos) {
        variable.setListValue(stringlistSplitStringByLines(value));
    } else {
        variable.setStringValue(value);
    }
    return true;
}

bool OrbVariableArray::addVariable(ucstring& error, const ucstring& name, const ucstring& valueText,
                                   bool skipValidation) {
    OrbVariable v;
    if (!inferVariable(error, name, valueText, skipValidation, v)) return false;
    mVariables.push_back(std::move(v));
    return true;
}

bool OrbVariableArray::setInPlace(ucstring& error, OrbVariable&& variable) {
    error.clear();
    if (variable.name().empty()) {
        error = u"Variable Name was blank.";
        return false;
    }
    OrbVariable* existing = nullptr;
    if (mutableVariableWithName(variable.name(), existing)) {
        *existing = std::move(variable);
    } else {
        mVariables.push_back(std::move(variable));
    }
    return true;
}

bool OrbVariableArray::setStringVariable(ucstring& error, const ucstring& name, const ucstring& value) {
    OrbVariable v(name);
    v.setStringValue(withoutQuotes(stringTrim(value)));
    return setInPlace(error, std::move(v));
}

bool OrbVariableArray::setIntegerVariable(ucstring& error, const ucstring& name, int64_t value) {
    OrbVariable v(name);
    v.setIntegerValue(value);
    return setInPlace(error, std::move(v));
}

bool OrbVariableArray::setFloatVariable(ucstring& error, const ucstring& name, double value) {
    OrbVariable v(name);
    v.setFloatValue(value);
    return setInPlace(error, std::move(v));
}

bool OrbVariableArray::setListVariable(ucstring& error, const ucstring& name, const ucstringlist& value) {
    OrbVariable v(name);
    v.setListValue(value);
    return setInPlace(error, std::move(v));
}

bool OrbVariableArray::setArrayVariable(ucstring& error, const ucstring& name, const OrbVariableArray& value) {
    OrbVariable v(name);
    v.setArrayValue(value);
    return setInPlace(error, std::move(v));
}

bool OrbVariableArray::setVariable(ucstring& error, const ucstring& name, const ucstring& valueText) {
    error.clear();
    if (stringTrim(name).empty()) {
        error = u"Variable Name was blank.";
        return false;
    }
    OrbVariable v;
    if (!inferVariable(error, name, valueText, false, v)) return false;
    return setInPlace(error, std::move(v));
}

bool OrbVariableArray::setNameOfVariableAtIndex(ucstring& error, const ucstring& name, size_t index,
                                                bool checkDuplicate) {
    error.clear();
    const ucstring n = stringTrim(name);
    if (checkDuplicate && !n.empty()) {
        const ucstring wanted = stringUpperCase(n);
        for (size_t i = 0; i < mVariables.size(); ++i) {
            if (i != index && mVariables[i].nameUppercase() == wanted) {
                error = u"There is already a variable named " + n + u".";
                return false;
            }
        }
    }
    if (index >= mVariables.size()) {
        error = u"A variable with index " + decimal(index) + u" was not found.";
        return false;
    }
    mVariables[index].setName(n);
    return true;
}

void OrbVariableArray::insertVariable(size_t index, const OrbVariable& variable) {
    const size_t at = std::min(index, mVariables.size());
    mVariables.insert(mVariables.begin() + static_cast<ptrdiff_t>(at), variable);
}

bool OrbVariableArray::removeVariable(const ucstring& name) {
    const ucstring wanted = stringNormalize(name);
    const auto it = std::find_if(mVariables.begin(), mVariables.end(),
                                 [&](const OrbVariable& v) { return v.nameUppercase() == wanted; });
    if (it == mVariables.end()) return false;
    mVariables.erase(it);
    return true;
}

bool OrbVariableArray::removeVariable(size_t index) {
    if (index >= mVariables.size()) return false;
    mVariables.erase(mVariables.begin() + static_cast<ptrdiff_t>(index));
    return true;
}

void OrbVariableArray::copyFromVariableArray(const OrbVariableArray& other) {
    if (&other != this) mVariables = other.mVariables;
}

void OrbVariableArray::toText(ucstring& out, int lineEnding) const {
    out.clear();
    if (mVariables.empty()) return;
    ucstring value;
    for (size_t i = 0; i < mVariables.size(); ++i) {
        out += i == 0 ? u"{" : u"; ";
        const OrbVariable& v = mVariables[i];
        if (!v.name().empty()) {
            out += v.name();
            out.push_back(u'=');
        }
        v.variableAsString(value, lineEnding);
        out += value;
    }
    out.push_back(u'}');
}

void OrbVariableArray::copyVariablesToList(ucstringlist& lines, bool quoteStrings, bool skipLists) const {
    lines.clear();
    lines.reserve(mVariables.size());
    ucstring value;
    for (const OrbVariable& v : mVariables) {
        if (v.type() == OrbVariable::kList && skipLists) continue;
        ucstring line;
        if (!v.name().empty()) line = storedName(v.name()) + u"=";
        switch (v.type()) {
            case OrbVariable::kString: line += quoteStrings ? quoted(v.stringValue()) : v.stringValue(); break;
            case OrbVariable::kList: {
                const ucstring joined = stringlistJoinWithString(v.listValue(), ucstring(kLineBreakMarker));
                line += quoteStrings ? quoted(joined) : joined;
                break;
            }
            default:
                v.variableAsString(value, kLineEndingCR);
                line += value;
                break;
        }
        // One line per variable, whatever the value holds.
        lines.push_back(markLineBreaks(line));
    }
}

bool OrbVariableArray::parseVariables(ucstring& error, const ucstringlist& lines, bool checkDuplicates,
                                      bool commaIsDelimiter, bool lineEndIsDelimiter) {
    try {
        return parse(error, lines.data(), lines.size(), checkDuplicates, commaIsDelimiter, lineEndIsDelimiter, false);
    } catch (const std::bad_alloc&) {
        error = u"Could not allocate memory for buffer.";
        return false;
    }
}

bool OrbVariableArray::parseVariables(ucstring& error, const ucstring& text, bool checkDuplicates,
                                      bool commaIsDelimiter, bool lineEndIsDelimiter) {
    try {
        return parse(error, &text, 1, checkDuplicates, commaIsDelimiter, lineEndIsDelimiter, false);
    } catch (const std::bad_alloc&) {
        error = u"Could not allocate memory for buffer.";
        return false;
    }
}

// The text form is read by a character state machine; see the states below. The end of a line
// is a blank, except inside a value, where it is a carriage return, and except where line ends
// are delimiters. Inside quotes "?", "," and ";" are ordinary characters, so a quoted value can
// hold them.
bool OrbVariableArray::parse(ucstring& error, const ucstring* lines, size_t count, bool checkDuplicates,
                             bool commaIsDelimiter, bool lineEndIsDelimiter, bool semicolonIsDelimiter, int depth) {
    constexpr int32_t kEnd = LineCursor::kEnd;
    constexpr int32_t kLineEnd = LineCursor::kLineEnd;
    enum class State { Start, Name, Equals, ValueStart, OpenQuote, Value, CloseQuote, Array, AfterValue, Store };

    error.clear();
    LineCursor in(lines, count);

    // First position of each normalised name, so that long texts are read in linear time.
    std::unordered_map<ucstring, size_t> positions;
    positions.reserve(mVariables.size() + count);
    for (size_t i = 0; i < mVariables.size(); ++i) positions.emplace(mVariables[i].nameUppercase(), i);

    const auto isDelimiter = [&](int32_t c) {
        return c == u'?' || (commaIsDelimiter && c == u',') || (semicolonIsDelimiter && c == u';') ||
               (lineEndIsDelimiter && c == kLineEnd);
    };
    const auto isBlank = [&](int32_t c) {
        return c == kLineEnd ? !lineEndIsDelimiter : c >= 0 && charIsSpace(static_cast<char16_t>(c));
    };
    const auto skipBlanks = [&] {
        while (isBlank(in.peek())) in.next();
    };
    const auto asChar = [](int32_t c) { return c == kLineEnd ? u'\r' : static_cast<char16_t>(c); };

    State state = State::Start;
    ucstring name, value;
    char16_t quote = 0;
    int brackets = 0;
    bool escaped = false;
    const auto failure = [&](const char16_t* named, const char16_t* unnamed) {
        error = name.empty() ? unnamed + value : named + name;
        return false;
    };

    for (;;) {
        const int32_t c = in.peek();
        switch (state) {
            case State::Start:  // a new variable
                if (c == kEnd) return true;
                name.clear();
                value.clear();
                quote = 0;
                brackets = 0;
                escaped = false;
                state = c == u'{' ? State::Array : isQuote(static_cast<char16_t>(c)) ? State::OpenQuote : State::Name;
                break;

            case State::Name:  // collecting a name, or an unnamed value
                if (c == kEnd || isDelimiter(c)) {
                    value = name;
                    name.clear();
                    state = State::AfterValue;
                } else if (c == u'=') {
                    name = stringTrim(name);
                    if (!variableNameIsValid(error, name, false)) return false;
                    if (checkDuplicates && !name.empty() && positions.count(stringUpperCase(name))) {
                        error = u"Duplicate Variable Name: " + name;
                        return false;
                    }
                    state = State::Equals;
                } else {
                    name.push_back(c == kLineEnd ? u' ' : static_cast<char16_t>(c));
                    in.next();
                }
                break;

            case State::Equals:
                in.next();
                state = State::ValueStart;
                break;

            case State::ValueStart:
                if (c == kEnd || isDelimiter(c)) {
                    state = State::AfterValue;
                } else if (c == u'{') {
                    state = State::Array;
                } else if (c >= 0 && isQuote(static_cast<char16_t>(c))) {
                    state = State::OpenQuote;
                } else {
                    state = State::Value;
                }
                break;

            case State::OpenQuote:
                quote = static_cast<char16_t>(c);
                value.push_back(quote);
                in.next();
                state = State::Value;
                break;

            case State::Value:
                if (escaped) {
                    escaped = false;
                    if (c == kEnd) {
                        value.push_back(u'\\');  // a backslash at the very end stands for itself
                        break;
                    }
                    const char16_t ch = asChar(c);
                    if (!isQuote(ch) && ch != u'\\') value.push_back(u'\\');
                    value.push_back(ch);
                    in.next();
                } else if (c == kEnd || (isDelimiter(c) && (!quote || c == kLineEnd))) {
                    if (quote)
                        return failure(u"Ending Quote not Found for Variable named ",
                                       u"Ending Quote not Found for Unnamed Variable ");
                    state = State::AfterValue;
                } else if (quote && c == quote) {
                    state = State::CloseQuote;
                } else if (c == u'\\') {
                    escaped = true;
                    in.next();
                } else {
                    value.push_back(asChar(c));
                    in.next();
                }
                break;

            case State::CloseQuote:
                if (c != quote)
                    return failure(u"Ending Quote did not Match for Variable named ",
                                   u"Ending Quote did not Match for Unnamed Variable ");
                value.push_back(quote);
                in.next();
                skipBlanks();
                state = State::AfterValue;
                break;

            case State::Array:
                if (c == kEnd)
                    return failure(
                        u"The number of closing Curly Brackets does not Match the number of opening Curly Brackets "
                        u"for Variable named ",
                        u"The number of closing Curly Brackets does not Match the number of opening Curly Brackets "
                        u"for Unnamed Variable ");
                if (c == u'{') ++brackets;
                if (c == u'}') --brackets;
                value.push_back(asChar(c));
                in.next();
                if (brackets == 0) {
                    skipBlanks();
                    state = State::AfterValue;
                }
                break;

            case State::AfterValue:
                if (c == kEnd || isDelimiter(c)) {
                    if (c != kEnd) in.next();
                    state = State::Store;
                } else if (c == u'=') {
                    if (!name.empty()) {
                        error = u"Unexpected Equals after the Value for the Variable named " + name;
                        return false;
                    }
                    // The value was a name after all (a quoted name, for one).
                    name = withoutQuotes(stringTrim(value));
                    value.clear();
                    quote = 0;
                    in.next();
                    state = State::ValueStart;
                } else {
                    error = name.empty() ? u"Expected a Delimiter after the Value " + value
                                         : u"Expected a Semicolon after the Value for the Variable named " + name;
                    return false;
                }
                break;

            case State::Store: {
                stringReplaceAllInPlace(value, ucstring(kLineBreakMarker), ucstring(u"\r"));
                OrbVariable v;
                // A named variable was validated in the name state; without the duplicate test a
                // later value for a name overwrites the earlier one.
                if (!inferVariable(error, name, value, !name.empty() && checkDuplicates, v, depth)) return false;
                const auto found = v.name().empty() ? positions.end() : positions.find(v.nameUppercase());
                if (!checkDuplicates && found != positions.end()) {
                    mVariables[found->second] = std::move(v);
                } else {
                    if (!v.name().empty()) positions.emplace(v.nameUppercase(), mVariables.size());
                    mVariables.push_back(std::move(v));
                }
                state = State::Start;
                break;
            }
        }
    }
}
