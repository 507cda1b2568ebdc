#include "Orb_StringListStream.h"

#include "Orb_FileStream.h"
#include "_Common/Strings/Orb_CharSets.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <platform/Files.h>

#include <type_traits>

namespace {

// Rewinds and looks for a byte order mark; a mark found replaces the caller's set and is skipped.
bool beginLoad(ucstring& error, OrbStream& stream, int16_t& charSet, bool& littleEndian) {
    littleEndian = false;
    if (!stream.reposition(0)) {
        error = u"Error while checking for Byte Order Mark in Stream.";
        return false;
    }
    if (stream.size() == 0) return true;
    unsigned char head[4] = {};
    int64_t got = 0;
    if (!stream.peekBytes(head, sizeof head, got)) {
        error = u"Error while checking for Byte Order Mark in Stream.";
        return false;
    }
    int16_t found = kCharSetUTF8;
    bool foundLittleEndian = false;
    int markLength = 0;
    if (checkForUnicodeCharSet(head, static_cast<size_t>(got), found, foundLittleEndian, markLength)) {
        charSet = found;
        littleEndian = foundLittleEndian;
        if (markLength > 0 && !stream.reposition(markLength)) {
            error = u"Error while checking for Byte Order Mark in Stream.";
            return false;
        }
    }
    return true;
}

template <class Lines>
bool loadFromStream(ucstring& error, Lines* lines, OrbStream* stream, int16_t charSet, int16_t* detectedCharSet) {
    error.clear();
    if (!lines) {
        error = u"Output is NULL.";
        return false;
    }
    if (!stream) {
        error = u"Input is NULL.";
        return false;
    }
    lines->clear();
    lines->reserve(static_cast<size_t>(stream->size() / 60));
    bool littleEndian = false;
    if (!beginLoad(error, *stream, charSet, littleEndian)) return false;
    if (detectedCharSet) *detectedCharSet = charSet;
    while (!stream->atEnd()) {
        bool ok;
        if constexpr (std::is_same_v<Lines, stringlist>) {
            if (charSet == kCharSetUTF8) {
                std::string line;
                ok = stream->readLine(&line, kLineEndingNone);
                if (ok) lines->push_back(std::move(line));
            } else {
                ucstring line;
                ok = stream->readLine(&line, kLineEndingNone, charSet, littleEndian);
                if (ok) lines->push_back(ucstringToUTF8String(line));
            }
        } else {
            ucstring line;
            ok = stream->readLine(&line, kLineEndingNone, charSet, littleEndian);
            if (ok) lines->push_back(std::move(line));
        }
        if (!ok) {
            error = u"Error Reading From Stream.";
            return false;
        }
    }
    return true;
}

bool writeMark(ucstring& error, OrbStream& stream, int16_t charSet) {
    static const char kUTF8Mark[] = {'\xEF', '\xBB', '\xBF'};
    static const char kUCS2Mark[] = {'\xFE', '\xFF'};
    bool ok = true;
    if (charSet == kCharSetUTF8)
        ok = stream.writeBytes(kUTF8Mark, sizeof kUTF8Mark);
    else if (charSet == kCharSetUCS2)
        ok = stream.writeBytes(kUCS2Mark, sizeof kUCS2Mark);
    if (!ok) error = u"Error Writing out Byte Order Mark: " + stream.errorString();
    return ok;
}

template <class Lines>
bool saveToStream(ucstring& error, const Lines* lines, OrbStream* stream, int lineEndingType, int16_t charSet,
                  bool includeBOM) {
    error.clear();
    if (!stream) {
        error = u"Output is NULL.";
        return false;
    }
    if (!lines) {
        error = u"Input is NULL.";
        return false;
    }
    if (includeBOM && !writeMark(error, *stream, charSet)) return false;
    for (size_t i = 0; i < lines->size(); ++i) {
        const int ending = i + 1 < lines->size() ? lineEndingType : kLineEndingNone;
        bool ok;
        if constexpr (std::is_same_v<Lines, stringlist>) {
            ok = charSet == kCharSetUTF8
                     ? stream->writeLine((*lines)[i], ending)
                     : stream->writeLine(ucstringFromUTF8String((*lines)[i]), ending, charSet, false);
        } else {
            ok = stream->writeLine((*lines)[i], ending, charSet, false);
        }
        if (!ok) {
            error = u"Error Writing Lines to the Stream.";
            return false;
        }
    }
    return true;
}

template <class Lines>
bool loadFromFile(ucstring& error, Lines* lines, const OrbFileRef& fileRef, int16_t charSet, int16_t* detectedCharSet) {
    error.clear();
    const ucstring path = fileRef.pathAsString(kPathStyleWindows);
    OrbFileStream stream(OrbFileStream::kDefaultBufferSize);
    if (!stream.attachToFile(fileRef, kFileStreamRead)) {
        error = u"Could not Open File for Reading: " + path + u"; " + stream.errorString();
        return false;
    }
    ucstring inner;
    if (!loadFromStream(inner, lines, &stream, charSet, detectedCharSet)) {
        error = u"Error Opening or Reading from " + path + u"; " + inner;
        return false;
    }
    return true;
}

template <class Lines>
bool saveToFile(ucstring& error, const Lines& lines, const OrbFileRef& fileRef, int lineEndingType, int16_t charSet,
                bool includeBOM, bool append) {
    error.clear();
    OrbFileRef ref(fileRef);
    const ucstring path = ref.pathAsString(kPathStyleWindows);
    const ucstring failed = append ? u"Error Appending to " : u"Error Saving to ";
    bool isDir = false, isFile = false;
    if (!ref.isValid(isDir, isFile)) {
        error = failed + path + u"; The Path is Invalid.";
        return false;
    }
    if (isDir) {
        error = failed + path + u"; The Path references a Folder instead of a File.";
        return false;
    }
    if (!isFile && !ref.createFile()) {
        error = u"Error Creating File " + path + u"; " + ref.errorString();
        return false;
    }
    OrbFileStream stream(OrbFileStream::kDefaultBufferSize);
    if (!stream.attachToFile(ref, kFileStreamWrite)) {
        error = u"Could not open File for Writing: " + path + u"; " + stream.errorString();
        return false;
    }
    if (append) {
        if (!stream.reposition(stream.size())) {
            error = u"Could not set File Position to the End: " + path + u"; " + stream.errorString();
            return false;
        }
    } else if (!stream.resize(0)) {
        error = u"Could not set File Size to 0: " + path + u"; " + stream.errorString();
        return false;
    }
    // A mark belongs at the start of a file only.
    const bool mark = includeBOM && stream.size() == 0;
    ucstring inner;
    bool ok = saveToStream(inner, &lines, &stream, lineEndingType, charSet, mark);
    if (ok && !stream.detachFromFile()) {
        ok = false;
        inner = stream.errorString();
    }
    if (!ok) {
        error = (append ? u"Error Appending to File Stream for " : u"Error Saving to File Stream for ") + path + u"; " +
                inner;
        return false;
    }
    return true;
}

}  // namespace

bool stringlistLoadFromStream(ucstring& error, ucstringlist* lines, OrbStream* stream, int16_t charSet,
                              int16_t* detectedCharSet) {
    return loadFromStream(error, lines, stream, charSet, detectedCharSet);
}

bool stringlistLoadFromStream(ucstring& error, stringlist* lines, OrbStream* stream, int16_t charSet,
                              int16_t* detectedCharSet) {
    return loadFromStream(error, lines, stream, charSet, detectedCharSet);
}

bool stringlistSaveToStream(ucstring& error, const ucstringlist* lines, OrbStream* stream, int lineEndingType,
                            int16_t charSet, bool includeBOM) {
    return saveToStream(error, lines, stream, lineEndingType, charSet, includeBOM);
}

bool stringlistSaveToStream(ucstring& error, const stringlist* lines, OrbStream* stream, int lineEndingType,
                            int16_t charSet, bool includeBOM) {
    return saveToStream(error, lines, stream, lineEndingType, charSet, includeBOM);
}

bool stringlistLoadFromFile(ucstring& error, ucstringlist* lines, const OrbFileRef& fileRef, int16_t charSet,
                            int16_t* detectedCharSet) {
    return loadFromFile(error, lines, fileRef, charSet, detectedCharSet);
}

bool stringlistLoadFromFile(ucstring& error, stringlist* lines, const OrbFileRef& fileRef, int16_t charSet,
                            int16_t* detectedCharSet) {
    return loadFromFile(error, lines, fileRef, charSet, detectedCharSet);
}

bool stringlistSaveToFile(ucstring& error, const ucstringlist& lines, const OrbFileRef& fileRef, int lineEndingType,
                          int16_t charSet, bool includeBOM, bool append) {
    return saveToFile(error, lines, fileRef, lineEndingType, charSet, includeBOM, append);
}

bool stringlistSaveToFile(ucstring& error, const stringlist& lines, const OrbFileRef& fileRef, int lineEndingType,
                          int16_t charSet, bool includeBOM, bool append) {
    return saveToFile(error, lines, fileRef, lineEndingType, charSet, includeBOM, append);
}

bool stringlistReplaceFile(ucstring& error, const ucstringlist& lines, const OrbFileRef& fileRef, int lineEndingType,
                           int16_t charSet, bool includeBOM, bool makePrivate) {
    const ucstring path = fileRef.pathAsString(kPathStyleWindows);
    OrbMemoryStream bytes;
    ucstring inner;
    if (!saveToStream(inner, &lines, &bytes, lineEndingType, charSet, includeBOM)) {
        error = u"Error Saving to " + path + u"; " + inner;
        return false;
    }
    std::string systemError;
    if (!platform::fileWriteReplacing(path, std::string_view(bytes.data(), static_cast<size_t>(bytes.size())),
                                      makePrivate, systemError)) {
        error = u"Error Saving to " + path + u"; " + ucstringFromUTF8String(systemError);
        return false;
    }
    return true;
}
