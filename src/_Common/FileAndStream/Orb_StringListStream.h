// Whole text files as string lists, read and written line by line through streams. A byte order
// mark found when loading overrides the caller's character set. Wide lines are decoded from (and
// encoded into) the character set; 8-bit lines are UTF-8 text, kept byte for byte when the file's
// set is UTF-8. Each returns false with `error` set on failure.
#pragma once

#include "Orb_FileRef.h"
#include "Orb_Stream.h"

// detectedCharSet, when given, receives the set the lines were read in (the mark's, or charSet).
bool stringlistLoadFromStream(ucstring& error, ucstringlist* lines, OrbStream* stream, int16_t charSet,
                              int16_t* detectedCharSet = nullptr);
bool stringlistLoadFromStream(ucstring& error, stringlist* lines, OrbStream* stream, int16_t charSet,
                              int16_t* detectedCharSet = nullptr);

// Every line but the last is followed by the line ending (StringLineEnding); includeBOM writes
// EF BB BF for UTF-8 and FE FF for UCS-2 first.
bool stringlistSaveToStream(ucstring& error, const ucstringlist* lines, OrbStream* stream, int lineEndingType,
                            int16_t charSet, bool includeBOM);
bool stringlistSaveToStream(ucstring& error, const stringlist* lines, OrbStream* stream, int lineEndingType,
                            int16_t charSet, bool includeBOM);

bool stringlistLoadFromFile(ucstring& error, ucstringlist* lines, const OrbFileRef& fileRef, int16_t charSet,
                            int16_t* detectedCharSet = nullptr);
bool stringlistLoadFromFile(ucstring& error, stringlist* lines, const OrbFileRef& fileRef, int16_t charSet,
                            int16_t* detectedCharSet = nullptr);

// Replaces the file's contents, or adds to its end (append: no mark is written into a file
// that already holds something).
bool stringlistSaveToFile(ucstring& error, const ucstringlist& lines, const OrbFileRef& fileRef, int lineEndingType,
                          int16_t charSet, bool includeBOM, bool append);
bool stringlistSaveToFile(ucstring& error, const stringlist& lines, const OrbFileRef& fileRef, int lineEndingType,
                          int16_t charSet, bool includeBOM, bool append);

// Replaces the file's contents in one step: the lines go to a new file beside it, which is synced
// and then takes the file's place, so a crash or a full disk leaves the old file or the new one
// whole. makePrivate keeps the new file to its owner (files that hold passwords).
bool stringlistReplaceFile(ucstring& error, const ucstringlist& lines, const OrbFileRef& fileRef, int lineEndingType,
                           int16_t charSet, bool includeBOM, bool makePrivate);
