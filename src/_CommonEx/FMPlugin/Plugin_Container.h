// Container fields: files turned into container values (embedded or by reference) and container
// values written out as files, and the "FNAM" stream in which a container keeps its file's name.
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/FileAndStream/Orb_Stream.h"

#include <FMWrapper/FMXBinaryData.h>
#include <FMWrapper/FMXData.h>

#include <string>

// The file name stream: a count of references (written as 1), then the protocol ("filewin"), the
// folder path and the file name, each as a 16-bit big-endian byte count and the text in SCSU.
class FNAMParser {
public:
    FNAMParser() = default;
    virtual ucstring& mutableProtocol() { return mProtocol; }
    virtual const ucstring& protocol() const { return mProtocol; }
    virtual ucstring& mutablePath() { return mPath; }
    virtual const ucstring& path() const { return mPath; }
    virtual ucstring& mutableFileName() { return mFileName; }
    virtual const ucstring& fileName() const { return mFileName; }
    virtual ucstring& mutableError() { return mError; }
    virtual const ucstring& error() const { return mError; }
    virtual ~FNAMParser() = default;

    // Reads the first reference; false with error() set when the bytes do not hold one.
    bool parse(std::string_view bytes);
    // The stream of the three fields; false with error() set when a field is too long.
    bool compile(std::string& out);

private:
    ucstring mProtocol, mPath, mFileName, mError;
};

// What file a container holds or names: the FileMaker protocol, the folder (FileMaker style) and
// the file name as a path component. Error text, empty on success; `noPath` is set when the
// failure is that the container names no file at all ("No Path Found.": plain text, say).
[[nodiscard]] ucstring getContainerFileInfo(const fmx::Data& data, ucstring& protocol, ucstring& path,
                                            ucstring& fileName, bool* noPath = nullptr);
[[nodiscard]] ucstring getContainerFileInfo_BinaryData(const fmx::BinaryData& data, ucstring& protocol, ucstring& path,
                                                       ucstring& fileName);
[[nodiscard]] ucstring getContainerFileInfo_Text(const ucstring& text, ucstring& protocol, ucstring& path,
                                                 ucstring& fileName, bool* noPath = nullptr);
// Replaces the container's FNAM stream. The file name may be in component form ("%2F" escapes).
[[nodiscard]] ucstring setContainerFileInfo_BinaryData(fmx::BinaryData& data, const ucstring& protocol,
                                                       const ucstring& path, const ucstring& fileName);

// A local file as a container value: embedded, or as a reference ("imagewin:/C:/a.jpg").
// useType, when given, forces the main stream's four-character code.
[[nodiscard]] ucstring importContainer(fmx::Data& result, OrbFileRef& fileRef, bool byReference,
                                       const ucstring& useType = {});
[[nodiscard]] ucstring importContainer(fmx::Data& result, OrbStream* stream, const ucstring& fileName,
                                       const ucstring& path, const ucstring& useType = {});

// Writes the container into `folder` as `fileName` (else its own name, else "Untitled"), which is
// updated to the name used. Never replaces an existing file. False with `error` set on failure.
bool exportContainer(ucstring& error, const fmx::Data& data, const OrbFileRef& folder, ucstring& fileName,
                     bool makeUnique, const ucstring& requestedType = {});

// The operations behind the import and export script steps: "File", "ByReference"; "Path",
// "SaveAs", "ReqType".
[[nodiscard]] ucstring File_ImportCallback(const OrbVariableArray& parameters, fmx::Data& result);
[[nodiscard]] ucstring File_ExportCallback(const fmx::Data& container, const OrbVariableArray& parameters,
                                           OrbVariable& result);
