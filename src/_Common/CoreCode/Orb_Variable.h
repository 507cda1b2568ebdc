// The plug-in's one dynamic value type: a named variant (OrbVariable) and an ordered collection
// of them looked up by name (OrbVariableArray). Function arguments, the configuration store, the
// preferences and queued transfers are all held in them; the array's text form is also the line
// format of the preferences file.
#pragma once

#include "Orb_DateTime.h"
#include "_Common/Strings/Orb_StringTypes.h"

#include <cstdint>
#include <vector>

class OrbVariable;

class OrbVariableArray {
public:
    using Variables = std::vector<OrbVariable>;

    OrbVariableArray();
    OrbVariableArray(const OrbVariableArray& other);
    OrbVariableArray& operator=(const OrbVariableArray& other);
    OrbVariableArray(OrbVariableArray&& other) noexcept;
    OrbVariableArray& operator=(OrbVariableArray&& other) noexcept;

    virtual Variables& mutableVariableArray();
    virtual const Variables& variableArray() const;
    virtual ~OrbVariableArray();

    size_t size() const;
    bool empty() const;
    void clear();
    Variables::iterator begin();
    Variables::iterator end();
    Variables::const_iterator begin() const;
    Variables::const_iterator end() const;
    Variables::reverse_iterator rbegin();
    Variables::reverse_iterator rend();
    Variables::const_reverse_iterator rbegin() const;
    Variables::const_reverse_iterator rend() const;

    // The first variable whose normalised name equals the normalised `name`.
    bool variableWithName(const ucstring& name, const OrbVariable*& variable) const;
    bool mutableVariableWithName(const ucstring& name, OrbVariable*& variable);
    // Zero-based; false when index >= size().
    bool variableAtIndex(size_t index, const OrbVariable*& variable) const;
    bool mutableVariableAtIndex(size_t index, OrbVariable*& variable);

    // Appending. The name (and a text value) is trimmed; unless it is empty or skipValidation is
    // set, it must pass variableNameIsValid (without the duplicate test). Duplicates are not
    // refused. All return true on success, else false with `error` set (cleared on success).
    bool addStringVariable(ucstring& error, const ucstring& name, const ucstring& value, bool skipValidation = false);
    // The text exactly as given, blanks around it kept: names and paths of files.
    bool addStringVariableAsIs(ucstring& error, const ucstring& name, const ucstring& value,
                               bool skipValidation = false);
    bool addIntegerVariable(ucstring& error, const ucstring& name, int64_t value, bool skipValidation = false);
    bool addFloatVariable(ucstring& error, const ucstring& name, double value, bool skipValidation = false);
    // Stored as the integer 1 or 0.
    bool addBooleanVariable(ucstring& error, const ucstring& name, bool value, bool skipValidation = false);
    bool addDateVariable(ucstring& error, const ucstring& name, const OrbDateTime& value, bool skipValidation = false);
    bool addTimestampVariable(ucstring& error, const ucstring& name, const OrbDateTime& value,
                              bool skipValidation = false);
    bool addListVariable(ucstring& error, const ucstring& name, const ucstringlist& value, bool skipValidation = false);
    bool addArrayVariable(ucstring& error, const ucstring& name, const OrbVariableArray& value,
                          bool skipValidation = false);
    // The text form: "{" ... "}" around the array's variables, parsed into the new array.
    bool addArrayVariable(ucstring& error, const ucstring& name, const ucstring& text, bool skipValidation = false);
    bool addPointerVariable(ucstring& error, const ucstring& name, void* value, bool skipValidation = false);
    // A copy of an existing variable.
    bool addVariable(ucstring& error, const OrbVariable& variable, bool skipValidation = false);
    // A variable whose type is inferred from the value text (quoted text, braced array, number,
    // lines, or plain text).
    bool addVariable(ucstring& error, const ucstring& name, const ucstring& valueText, bool skipValidation = false);

    // Setting: the trimmed name must not be empty; a variable of that name is overwritten in place,
    // otherwise a new one is appended. setStringVariable strips one pair of matching quotes.
    bool setStringVariable(ucstring& error, const ucstring& name, const ucstring& value);
    bool setIntegerVariable(ucstring& error, const ucstring& name, int64_t value);
    bool setFloatVariable(ucstring& error, const ucstring& name, double value);
    bool setListVariable(ucstring& error, const ucstring& name, const ucstringlist& value);
    bool setArrayVariable(ucstring& error, const ucstring& name, const OrbVariableArray& value);
    // Like addVariable with a value text, but overwrites a variable of the same name.
    bool setVariable(ucstring& error, const ucstring& name, const ucstring& valueText);

    bool setNameOfVariableAtIndex(ucstring& error, const ucstring& name, size_t index, bool checkDuplicate);

    // Inserts before `index` (appends when index >= size()).
    void insertVariable(size_t index, const OrbVariable& variable);
    bool removeVariable(const ucstring& name);
    bool removeVariable(size_t index);
    void copyFromVariableArray(const OrbVariableArray& other);

    // A name may not contain " ' $ { } or ;. With checkDuplicate, a non-empty name already
    // present is refused too.
    bool variableNameIsValid(ucstring& error, const ucstring& name, bool checkDuplicate) const;

    // Reads variables from their text form (one or more lines) and appends them, or overwrites
    // variables of the same name when checkDuplicates is off. Delimiters are "?", and "," and
    // line ends when asked for. Stops at the first error; variables read before it stay.
    bool parseVariables(ucstring& error, const ucstringlist& lines, bool checkDuplicates, bool commaIsDelimiter,
                        bool lineEndIsDelimiter);
    bool parseVariables(ucstring& error, const ucstring& text, bool checkDuplicates, bool commaIsDelimiter,
                        bool lineEndIsDelimiter);

    // One line per variable, "name=value", in the form parseVariables reads back with line ends
    // as delimiters. quoteStrings writes texts and lists quoted and escaped; skipLists leaves list
    // variables out. Line breaks inside values are written as "<CR>". A name the parser would not
    // read back as it is (one holding a quote, "$", ";", "{", "}", "=", "?", "," or outer blanks)
    // is written quoted and escaped.
    void copyVariablesToList(ucstringlist& lines, bool quoteStrings, bool skipLists) const;

    // The text form: "{a=1; b=x}"; empty for an empty array.
    void toText(ucstring& out, int lineEnding) const;

private:
    friend class OrbVariable;
    bool append(ucstring& error, OrbVariable&& variable, bool skipValidation);
    // depth counts the arrays around the text being read; see kMaxArrayDepth.
    bool parse(ucstring& error, const ucstring* lines, size_t count, bool checkDuplicates, bool commaIsDelimiter,
               bool lineEndIsDelimiter, bool semicolonIsDelimiter, int depth = 0);
    bool inferVariable(ucstring& error, const ucstring& name, const ucstring& valueText, bool skipValidation,
                       OrbVariable& variable, int depth = 0) const;
    bool setInPlace(ucstring& error, OrbVariable&& variable);

    Variables mVariables;
};

class OrbVariable {
public:
    enum Type : int {
        kEmpty = 0,
        kString = 1,
        kInteger = 2,
        kFloat = 3,
        kFloatString = 4,  // a number held as its text
        kArray = 5,
        kList = 6,
        kDate = 7,
        kTime = 8,
        kTimestamp = 9,
        kPointer = 10  // an object owned elsewhere; never freed through the variable
    };

    OrbVariable();
    explicit OrbVariable(const ucstring& name);
    OrbVariable(const OrbVariable&) = default;
    OrbVariable& operator=(const OrbVariable&) = default;
    OrbVariable(OrbVariable&&) noexcept = default;
    OrbVariable& operator=(OrbVariable&&) noexcept = default;

    virtual ucstring& mutableName();
    virtual const ucstring& name() const;
    virtual ucstring& mutableNameUppercase();
    virtual const ucstring& nameUppercase() const;
    virtual ucstring& mutableStringValue();
    virtual const ucstring& stringValue() const;
    virtual void _setIntegerValue(int64_t value);
    virtual int64_t integerValue() const;
    virtual void _setFloatValue(double value);
    virtual double floatValue() const;
    virtual ucstringlist& mutableListValue();
    virtual const ucstringlist& listValue() const;
    virtual OrbDateTime& mutableTimestampValue();
    virtual const OrbDateTime& timestampValue() const;
    virtual void setType(int type);
    virtual int type() const;
    virtual OrbVariableArray& mutableArrayValue();
    virtual const OrbVariableArray& arrayValue() const;
    virtual ~OrbVariable();

    // Trims the name and keeps its normalised form in step.
    void setName(const ucstring& name);
    // Keeps the name exactly as given: item records are named after files, whose names may begin
    // or end with blanks.
    void setNameAsIs(const ucstring& name);

    // Type 0 and every value emptied (the timestamp stays); the name too when clearName is set.
    void clear(bool clearName = false);

    // Each clears the variable (name kept), then sets the type and its one field.
    void setStringValue(const ucstring& value);
    void setIntegerValue(int64_t value);
    void setFloatValue(double value);
    void setFloatStringValue(const ucstring& value);
    void setArrayValue(const OrbVariableArray& value);
    void setListValue(const ucstringlist& value);
    void setDateValue(const OrbDateTime& value);
    void setTimeValue(const OrbDateTime& value);
    void setTimestampValue(const OrbDateTime& value);
    void setPointerValue(void* value);
    void* pointerValue() const;

    // Conversions; none changes the variable. lineEnding is a StringLineEnding kind.
    void variableAsString(ucstring& out, int lineEnding) const;
    ucstring variableAsString(int lineEnding) const;
    int64_t variableAsInteger() const;
    bool variableAsBoolean() const;
    void copyVariableToList(ucstringlist& out) const;

private:
    ucstring mName;
    ucstring mNameUppercase;
    ucstring mStringValue;
    int64_t mIntegerValue = 0;
    double mFloatValue = 0.0;
    ucstringlist mListValue;
    OrbDateTime mTimestampValue;
    OrbVariableArray mArrayValue;
    int mType = kEmpty;
};
