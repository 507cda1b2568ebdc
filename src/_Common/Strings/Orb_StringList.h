// String lists (one entry per line): splitting, joining, searching, and "name=value" lines.
// Each helper exists for wide and 8-bit lists under one name.
#pragma once

#include "Orb_StringTypes.h"

#include <cstdint>
#include <string_view>

// Line-ending kinds of stringlistJoinWithLineEnding (and of the stream writers).
enum StringLineEnding : int { kLineEndingNone = 0, kLineEndingCR = 1, kLineEndingLF = 2, kLineEndingCRLF = 3 };

// How stringlistSplitStringByLines trims each line.
enum StringTrimMode : int { kTrimNone = 0, kTrimBoth = 1, kTrimLeft = 2, kTrimRight = 3 };

// Split at every separator; n separators give n + 1 entries.
stringlist stringlistSplitString(const std::string& text, char separator);
ucstringlist stringlistSplitString(const ucstring& text, char16_t separator);

// Split at CR, LF and CR LF (the pair is one break). The text after the last break is always a
// line, so a text ending in a break gives a final empty line and an empty text one empty line.
stringlist stringlistSplitStringByLines(const std::string& text, int trimMode = kTrimNone);
ucstringlist stringlistSplitStringByLines(const ucstring& text, int trimMode = kTrimNone);

// Appends newly received data, split as above; the first piece continues the list's last line,
// so a line cut between two pieces of data is joined again (data ending in a break leaves an
// empty last line, which the next piece continues).
void stringlistAppendLines(stringlist& lines, std::string_view data);
void stringlistAppendLines(ucstringlist& lines, std::u16string_view data);

std::string stringlistJoinWithString(const stringlist& lines, const std::string& separator);
ucstring stringlistJoinWithString(const ucstringlist& lines, const ucstring& separator);
// Joins with the line ending of the kind (StringLineEnding); no ending after the last line.
std::string stringlistJoinWithLineEnding(const stringlist& lines, int lineEnding);
ucstring stringlistJoinWithLineEnding(const ucstringlist& lines, int lineEnding);

// True when every line is empty or white space (and for an empty list).
bool stringlistIsBlank(const stringlist& lines);
bool stringlistIsBlank(const ucstringlist& lines);

// The first line equal to text without regard to (ASCII) case; -1 / end() when there is none.
int64_t stringlistIndexOfString(const stringlist& lines, const std::string& text);
int64_t stringlistIndexOfString(const ucstringlist& lines, const ucstring& text);
stringlist::const_iterator stringlistIterOfString(const stringlist& lines, const std::string& text);
ucstringlist::const_iterator stringlistIterOfString(const ucstringlist& lines, const ucstring& text);

// The first line whose stringName (before the separator, trimmed) equals name; without
// caseSensitive both sides are ASCII upper-cased. -1 / end() when there is none.
int64_t stringlistIndexOfName(const stringlist& lines, const std::string& name, char separator = '=',
                              bool caseSensitive = false);
int64_t stringlistIndexOfName(const ucstringlist& lines, const ucstring& name, char16_t separator = u'=',
                              bool caseSensitive = false);
stringlist::const_iterator stringlistIterOfName(const stringlist& lines, const std::string& name, char separator = '=',
                                                bool caseSensitive = false);
ucstringlist::const_iterator stringlistIterOfName(const ucstringlist& lines, const ucstring& name,
                                                  char16_t separator = u'=', bool caseSensitive = false);
// The name of the line at index; empty when the index is out of range.
std::string stringlistNameAtIndex(const stringlist& lines, int64_t index, char separator = '=');
ucstring stringlistNameAtIndex(const ucstringlist& lines, int64_t index, char16_t separator = u'=');

// The value (after the separator, untrimmed) of the named line; empty when there is none.
std::string stringlistValueForName(const stringlist& lines, const std::string& name, char separator = '=',
                                   bool caseSensitive = false);
ucstring stringlistValueForName(const ucstringlist& lines, const ucstring& name, char16_t separator = u'=',
                                bool caseSensitive = false);
// Replaces the named line by name + separator + value, or appends such a line.
void stringlistSetValueForName(stringlist& lines, const std::string& name, const std::string& value,
                               char separator = '=', bool caseSensitive = false);
void stringlistSetValueForName(ucstringlist& lines, const ucstring& name, const ucstring& value,
                               char16_t separator = u'=', bool caseSensitive = false);
