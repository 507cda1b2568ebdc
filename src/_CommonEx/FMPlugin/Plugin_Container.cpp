#include "Plugin_Container.h"

#include "Orb_Debug.h"
#include "_Common/FMPlugin/Plugin_ErrorTexts.h"
#include "_Common/FMPlugin/Plugin_Utilities.h"
#include "_Common/FileAndStream/Orb_FileStream.h"
#include "_Common/FileAndStream/Orb_StringListStream.h"
#include "_Common/Strings/Orb_CharSets.h"
#include "_Common/Strings/Orb_FMXText.h"
#include "_Common/Strings/Orb_SCSU.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"
#include "_CommonEx/FileAndStream/Orb_FileRefEx.h"

#include <FMWrapper/FMXText.h>
#include <platform/Files.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr fmx::uint32 kChunkSize = 1048576;
constexpr char16_t kPathSlash = 0xE000;  // how a "/" of the path travels inside FNAM

// ---- Small helpers ---------------------------------------------------------------------------------

ucstring fourChars(const ucstring& code) {
    ucstring c = code.substr(0, 4);
    while (c.size() < 4) c += u' ';
    return c;
}

fmx::QuadCharUniquePtr quad(const ucstring& code) {
    const ucstring c = fourChars(code);
    return fmx::QuadCharUniquePtr(static_cast<char>(c[0]), static_cast<char>(c[1]), static_cast<char>(c[2]),
                                  static_cast<char>(c[3]));
}

fmx::TextUniquePtr hostText(const ucstring& text) {
    fmx::TextUniquePtr t;
    t->AssignUnicodeWithLength(text.data(), static_cast<fmx::uint32>(text.size()));
    return t;
}

bool readStream(const fmx::BinaryData& data, fmx::int32 index, std::string& bytes) {
    const fmx::uint32 size = data.GetSize(index);
    bytes.assign(size, '\0');
    return size == 0 || data.GetData(index, 0, size, bytes.data()) == 0;
}

void put16(std::string& out, uint32_t v) {
    out += static_cast<char>((v >> 8) & 0xFF);
    out += static_cast<char>(v & 0xFF);
}

uint32_t get16(const unsigned char* p) { return uint32_t(p[0]) << 8 | p[1]; }

// A stored file name as one safe path component: never a folder step ("..", "/", "\"), never a
// control character, so an export cannot leave the folder it was asked to write into.
ucstring safeComponent(const ucstring& raw) {
    ucstring cleaned;
    for (char16_t c : raw) cleaned += c < 0x20 || c == 0x7F ? u'-' : c;
    cleaned = OrbFileRef::stripSpecialFileNameChars(stringTrim(cleaned));
    if (cleaned.find_first_not_of(u'.') == ucstring::npos) return {};
    return cleaned;
}

// A component's raw name: its escapes undone.
ucstring rawName(const ucstring& component) {
    ucstring name = stringReplaceAll(component, u"%5C", u"\\");
    stringReplaceAllInPlace(name, u"%2F", u"/");
    stringReplaceAllInPlace(name, u"%25", u"%");
    return name;
}

bool isImageExtension(const ucstring& extension) {
    const ucstring e = stringUpperCase(extension);
    return e == u".JPG" || e == u".JPE" || e == u".JPEG" || e == u".GIF" || e == u".PNG";
}

// Width and height of an image, 50 x 50 when they cannot be read.
void imageSize(const std::string& bytes, const ucstring& code, uint32_t& width, uint32_t& height) {
    width = height = 50;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    if (code == u"GIFf") {
        if (n >= 8) width = b[6] | uint32_t(b[7]) << 8;
        if (n >= 10) height = b[8] | uint32_t(b[9]) << 8;
    } else if (code == u"PNGf") {
        if (n >= 20) width = get16(b + 18);
        if (n >= 24) height = get16(b + 22);
    } else if (code == u"JPEG") {
        size_t i = 0;
        while (i + 1 < n) {
            if (b[i] != 0xFF) {
                ++i;
                continue;
            }
            const unsigned char marker = b[i + 1];
            if (marker == 0xC0) {
                if (i + 9 <= n) {
                    height = get16(b + i + 5);
                    width = get16(b + i + 7);
                }
                return;
            }
            if (marker == 0xD8 || marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
                i += marker == 0xFF ? 1 : 2;
                continue;
            }
            if (i + 4 > n) return;
            i += 2 + get16(b + i + 2);
        }
    }
}

// The file's folder in FileMaker style, without any protocol.
ucstring fileMakerFolder(const OrbFileRef& file) {
    OrbFileRef plain;
    plain.assign(file);
    ucstring out;
    plain.pathAsString(out, kPathStyleFileMaker, false);
    return out;
}

// Writes a new file through a temporary file beside it that is moved into place: the target is
// never replaced, and a failure leaves no partial file under the target's name.
bool writeNewFile(ucstring& error, const OrbFileRef& target, const std::function<ucstring(OrbFileStream&)>& write) {
    OrbFileRef temporary(target);
    temporary.removeLastItem();
    ucstring name;
    const ucstring tag = ucstringFromString(std::to_string(std::random_device{}() % 1000000));
    if (!temporary.findUniqueFileName(name, u".volan-" + tag + u".exporting", 0) || name.empty()) {
        error = u"Could not create the Exported File in the Folder: " + temporary.errorString();
        return false;
    }
    temporary.addItem(OrbFileRef::encodeSlashes(name));
    const ucstring temporaryPath = temporary.pathAsString(), targetPath = target.pathAsString();
    {
        OrbFileRef created(temporary);
        if (!created.createFile()) {
            error = u"Could not create the Exported File in the Folder: " + created.errorString();
            return false;
        }
        OrbFileStream stream(OrbFileStream::kDefaultBufferSize);
        if (!stream.attachToFile(temporary, kFileStreamWrite)) {
            error = u"Could not open File for Writing: " + stream.errorString();
        } else if (!stream.resize(0)) {
            error = u"Could not set File Size: " + stream.errorString();
        } else {
            error = write(stream);
            if (error.empty() && !stream.detachFromFile()) error = u"Error Writing Data to File.";
        }
    }
    std::string systemError;
    if (error.empty() && !platform::fileMove(temporaryPath, targetPath, systemError)) {
        error = platform::fileKind(targetPath) != platform::FileKind::None
                    ? u"A File with the specified File Name already exists in the Folder: " + targetPath
                    : u"Could not create the Exported File in the Folder: " + targetPath + u"; " +
                          ucstringFromUTF8String(systemError);
    }
    if (!error.empty()) {
        std::string ignored;
        platform::fileRemove(temporaryPath, ignored);
        return false;
    }
    return true;
}

struct KnownType {
    const char16_t* code;
    const char16_t* extensions[3];  // accepted as they are; the first is added otherwise
};
const KnownType kKnownTypes[] = {
    {u"JPEG", {u".JPG", u".JPE", u".JPEG"}},
    {u"GIFf", {u".GIF"}},
    {u"PNG ", {u".PNG"}},
    {u"PNGf", {u".PNG"}},
    {u"EPS ", {u".EPS"}},
    {u"PICT", {u".PCT", u".PICT"}},
    {u"BMP ", {u".BMP"}},
    {u"PDF ", {u".PDF"}},
    {u"snd ", {u".SND"}},
    {u"XMLO", {u".XML"}},
    {u"FILE", {}},
};

ucstring withTypeExtension(const ucstring& name, const ucstring& code) {
    for (const KnownType& t : kKnownTypes) {
        if (code != t.code || !t.extensions[0]) continue;
        const ucstring extension = stringUpperCase(OrbFileRef::extractFileExtension(name));
        for (const char16_t* e : t.extensions) {
            if (e && extension == e) return name;
        }
        return name + stringLowerCase(ucstring(t.extensions[0]));
    }
    return name;
}

}  // namespace

// ---- FNAM --------------------------------------------------------------------------------------------

bool FNAMParser::parse(std::string_view bytes) {
    mProtocol.clear(), mPath.clear(), mFileName.clear(), mError.clear();
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() < 4) {
        mError = u"The File Name Stream is too short.";
        return false;
    }
    const uint32_t count = get16(b) << 16 | get16(b + 2);
    if (count == 0) {
        mError = u"The File Name Stream did not contain any File References.";
        return false;
    }
    size_t at = 4;
    ucstring* fields[] = {&mProtocol, &mPath, &mFileName};
    for (ucstring* field : fields) {
        if (at + 2 > bytes.size() || at + 2 + get16(b + at) > bytes.size()) {
            mError = u"The File Name Stream is damaged.";
            return false;
        }
        const size_t length = get16(b + at);
        const ucstring error = decodeFMUnicode(*field, bytes.substr(at + 2, length));
        if (!error.empty()) {
            mError = u"The File Name Stream is damaged: " + error;
            return false;
        }
        at += 2 + length;
    }
    for (char16_t& c : mPath) {
        if (c == kPathSlash) c = u'/';
    }
    return true;
}

bool FNAMParser::compile(std::string& out) {
    out.clear();
    out.reserve(256);
    out.append("\0\0\0\1", 4);
    ucstring path = mPath;
    for (char16_t& c : path) {
        if (c == u'/') c = kPathSlash;
    }
    for (const ucstring* field : {&mProtocol, &path, &mFileName}) {
        std::string encoded;
        encodeFMUnicode(encoded, *field);
        if (encoded.size() > 0xFFFF) {
            mError = u"A name is too long for the File Name Stream.";
            return false;
        }
        put16(out, static_cast<uint32_t>(encoded.size()));
        out += encoded;
    }
    return true;
}

// ---- Container file information ----------------------------------------------------------------------

ucstring getContainerFileInfo_BinaryData(const fmx::BinaryData& data, ucstring& protocol, ucstring& path,
                                         ucstring& fileName) {
    const fmx::int32 index = data.GetIndex(*quad(u"FNAM"));
    if (index < 0) return u"The Container did not have a File Name Stream.";
    std::string bytes;
    if (!readStream(data, index, bytes)) return u"Error Reading File Name Stream.";
    FNAMParser parser;
    if (!parser.parse(bytes)) return parser.error();
    protocol = parser.protocol();
    path = parser.path();
    fileName = safeComponent(parser.fileName());
    return {};
}

ucstring getContainerFileInfo_Text(const ucstring& text, ucstring& protocol, ucstring& path, ucstring& fileName,
                                   bool* noPath) {
    if (noPath) *noPath = false;
    static const char16_t* const kPrefixes[] = {u"imagemac", u"imagewin", u"moviemac", u"moviewin", u"filemac",
                                                u"filewin",  u"image",    u"movie",    u"file"};
    const ucstringlist lines = stringlistSplitStringByLines(text);
    for (const char16_t* prefix : kPrefixes) {
        const ucstring lead = ucstring(prefix) + u":";
        for (const ucstring& line : lines) {
            if (!stringStartsWith(line, lead)) continue;
            const ucstring value = stringReplaceAll(stringTrim(line.substr(lead.size())), u"\\", u"%5C");
            OrbFileRef ref;
            if (!ref.set(lead + value)) return ref.errorString();
            protocol = prefix;
            path = fileMakerFolder(ref);
            fileName = ref.getLastItem();
            return {};
        }
    }
    if (noPath) *noPath = true;
    return u"No Path Found.";
}

ucstring getContainerFileInfo(const fmx::Data& data, ucstring& protocol, ucstring& path, ucstring& fileName,
                               bool* noPath) {
    if (noPath) *noPath = false;
    if (data.IsEmpty()) return u"Container is empty.";
    if (data.GetNativeType() == fmx::kDTBinary) {
        const fmx::BinaryData& binary = data.GetBinaryData();
        if (binary.GetCount() > 0 && getContainerFileInfo_BinaryData(binary, protocol, path, fileName).empty())
            return {};
    }
    return getContainerFileInfo_Text(ucstringFromFMXText(data.GetAsText()), protocol, path, fileName, noPath);
}

ucstring setContainerFileInfo_BinaryData(fmx::BinaryData& data, const ucstring& protocol, const ucstring& path,
                                         const ucstring& fileName) {
    data.Remove(*quad(u"FNAM"));
    if (fileName.empty()) return u"A File Name was not supplied for the container.";
    FNAMParser parser;
    parser.mutableProtocol() = protocol.empty() ? u"filewin" : protocol;
    parser.mutablePath() = path.empty() ? u"/" : path;
    parser.mutableFileName() = rawName(fileName);
    std::string bytes;
    if (!parser.compile(bytes)) return parser.error();
    const fmx::errcode code = data.Add(*quad(u"FNAM"), static_cast<fmx::uint32>(bytes.size()), bytes.data());
    if (code != 0)
        return u"There was an error adding the File Name Stream: FileMaker Error: " +
               ucstringFromString(std::to_string(code));
    return {};
}

// ---- Import ------------------------------------------------------------------------------------------

ucstring importContainer(fmx::Data& result, OrbFileRef& fileRef, bool byReference, const ucstring& useType) {
    DEBUG_SCOPE("importContainer");
    bool isDir = false, isFile = false;
    if (!fileRef.defined() || !fileRef.isValid(isDir, isFile)) return u"You must specify the File to Import.";
    if (isDir) return u"You cannot specify a Folder to import; you must specify a File.";
    if (!isFile) return u"File does not exist.";
    const ucstring name = OrbFileRef::decodeSlashes(fileRef.getLastItem(), kPathStyleWindows);
    if (byReference) {
        OrbFileRef plain;
        plain.assign(fileRef);
        ucstring path;
        plain.pathAsString(path, kPathStyleFileMaker);
        const ucstring prefix = isImageExtension(OrbFileRef::extractFileExtension(name)) ? u"imagewin:" : u"filewin:";
        fmx::LocaleUniquePtr locale;
        result.SetAsText(*hostText(prefix + path), *locale);
        return {};
    }
    OrbFileStream stream(0);
    if (!stream.attachToFile(fileRef, kFileStreamRead)) return u"Could not open File for reading.";
    return importContainer(result, &stream, name, fileMakerFolder(fileRef), useType);
}

ucstring importContainer(fmx::Data& result, OrbStream* stream, const ucstring& fileName, const ucstring& path,
                         const ucstring& useType) {
    if (!stream) return u"Input Stream is NULL.";
    if (!stream->reposition(0)) return u"Could not reposition Input Stream to the beginning.";
    const ucstring name = fileName.empty() ? ucstring(u"Untitled") : fileName;
    const ucstring forced = useType.empty() ? ucstring() : fourChars(useType);
    try {
        if (forced.empty() && envIsFM_14_0_Plus()) {
            // Streamed to the host in chunks: the file is never held whole.
            fmx::uint32 context = 0;
            fmx::BinaryDataUniquePtr binary(*hostText(name), &context);
            std::vector<char> chunk;
            try {
                chunk.resize(kChunkSize);
            } catch (...) {
                return u"Could not allocate memory to read in file chunks.";
            }
            int64_t actual = 0;
            while (!stream->atEnd()) {
                if (!stream->readBytes(chunk.data(), kChunkSize, actual) || actual <= 0) break;
                const fmx::errcode code = binary->AddAppend(context, static_cast<fmx::uint32>(actual), chunk.data());
                if (code != 0) return u"Error adding file chunks to container: " + ucstringFromFMError(code);
            }
            const fmx::errcode code = binary->AddFinish(context);
            if (code != 0) return u"Error finishing container: " + ucstringFromFMError(code);
            result.SetBinaryData(*binary, true);
            return {};
        }
    } catch (...) {
        return u"Unknown error; caught exception when chunking file data in.";
    }

    std::string bytes;
    try {
        bytes.resize(static_cast<size_t>(stream->size()));
    } catch (...) {
        return u"Could not allocate memory to read in file.";
    }
    int64_t actual = 0;
    if (!bytes.empty() && !stream->readBytes(bytes.data(), static_cast<int64_t>(bytes.size()), actual))
        return u"Caught an unknown exception reading in file data.";
    bytes.resize(static_cast<size_t>(actual));

    if (forced.empty() && envIsFM_13_0_Plus()) {
        fmx::BinaryDataUniquePtr binary(*hostText(name), static_cast<fmx::uint32>(bytes.size()), bytes.data());
        result.SetBinaryData(*binary, true);
        return {};
    }

    // Older hosts, or a forced type: the streams are built here.
    const ucstring extension = stringUpperCase(OrbFileRef::extractFileExtension(name));
    ucstring code = u"FILE";
    if (extension == u".JPG" || extension == u".JPE" || extension == u".JPEG")
        code = u"JPEG";
    else if (extension == u".GIF")
        code = u"GIFf";
    else if (extension == u".PNG")
        code = u"PNGf";
    const bool image = code != u"FILE";
    const ucstring mainCode = forced.empty() ? code : forced;
    fmx::BinaryDataUniquePtr binary;
    if (binary->Add(*quad(mainCode), static_cast<fmx::uint32>(bytes.size()), bytes.data()) != 0) {
        if (code == u"JPEG") return u"Error Adding JPEG Stream.";
        if (code == u"GIFf") return u"Error Adding GIF Stream.";
        if (code == u"PNGf") return u"Error Adding PNG Stream.";
        return u"Error Adding File Stream.";
    }
    std::string mainBytes = ucstringToUTF8String(mainCode);
    if (binary->Add(*quad(u"MAIN"), 4, mainBytes.data()) != 0) return u"Error Adding MAIN Stream.";
    if (image) {
        uint32_t width = 50, height = 50;
        imageSize(bytes, code, width, height);
        std::string size;
        put16(size, width);
        put16(size, height);
        if (binary->Add(*quad(u"SIZE"), 4, size.data()) != 0) return u"Error Adding SIZE Stream.";
    }
    const ucstring error = setContainerFileInfo_BinaryData(*binary, image ? u"imagewin" : u"filewin", path,
                                                           OrbFileRef::encodeSlashes(name));
    if (!error.empty()) return u"Error Adding File Stream: " + error;
    result.SetBinaryData(*binary, true);
    return {};
}

// ---- Export ------------------------------------------------------------------------------------------

bool exportContainer(ucstring& error, const fmx::Data& data, const OrbFileRef& folder, ucstring& fileName,
                     bool makeUnique, const ucstring& requestedType) {
    DEBUG_SCOPE("exportContainer");
    error.clear();
    if (data.IsEmpty()) {
        error = u"Container is Empty.";
        return false;
    }
    OrbFileRef outFolder(folder);
    if (!outFolder.dirExists()) {
        error = u"Output Folder does not exist.";
        return false;
    }
    ucstring protocol, path, storedName;
    bool noPath = false;
    const ucstring infoError = getContainerFileInfo(data, protocol, path, storedName, &noPath);
    const ucstring text = ucstringFromFMXText(data.GetAsText());
    const bool embedded = data.GetNativeType() == fmx::kDTBinary && data.GetBinaryData().GetCount() > 0;
    const bool asText = noPath && !embedded && !text.empty();
    if (!infoError.empty() && !asText) {
        error = u"There was an error getting the file info from the container: " + infoError;
        return false;
    }

    // Names are handled as path components from here on.
    ucstring name = safeComponent(rawName(fileName));
    if (name.empty()) name = storedName;
    if (name.empty()) name = u"Untitled";
    if (asText && OrbFileRef::extractFileExtension(name).empty()) name += u".txt";

    // Which stream an embedded container is written from.
    fmx::int32 index = -1;
    ucstring code;
    if (embedded) {
        const fmx::BinaryData& binary = data.GetBinaryData();
        const ucstring requested = requestedType.empty() ? ucstring() : fourChars(requestedType);
        if (!requested.empty()) {
            index = binary.GetIndex(*quad(requested));
            if (index < 0) {
                error = u"The Requested Container Type was not found in the container.";
                return false;
            }
            code = requested;
        } else {
            const fmx::int32 mainIndex = envIsFM_13_0_Plus() ? binary.GetIndex(*quad(u"MAIN")) : -1;
            std::string mainBytes;
            if (mainIndex >= 0 && readStream(binary, mainIndex, mainBytes) && mainBytes.size() == 4) {
                code = ucstringFromUTF8String(mainBytes);
                index = binary.GetIndex(*quad(code));
            }
            for (const KnownType& t : kKnownTypes) {
                if (index >= 0) break;
                index = binary.GetIndex(*quad(t.code));
                code = t.code;
            }
            if (index < 0) {
                error = u"No known Container Type existed in the container.";
                return false;
            }
        }
        name = withTypeExtension(name, code);
    }

    ucstring component = name;
    if (makeUnique) {
        const ucstring wanted = component;  // (the output may not alias the name asked for)
        if (!outFolder.findUniqueFileName(component, wanted, 0) || component.empty()) {
            error = u"Could not create the Exported File in the Folder: " + outFolder.errorString();
            return false;
        }
    }
    OrbFileRefEx target(outFolder);
    target.addItem(component);
    const ucstring targetPath = target.pathAsString();
    fileName = rawName(component);

    if (!embedded && !asText) {
        // A reference: the file it names is copied (unless it is already the target).
        OrbFileRefEx source;
        if (!source.set(path) || (source.addItem(storedName), !source.fileExists())) {
            error = u"The Referenced File in the Container does not exist.";
            return false;
        }
        if (source.pathAsString() == targetPath) {
            DEBUG_OUT(u"The By Reference File already existed in the export location: " + targetPath);
            return true;
        }
        if (!source.copyFile(target)) {
            error = u"Could not copy By Reference File to '" + targetPath + u"': " + source.errorString();
            return false;
        }
        return true;
    }
    if (!makeUnique && target.fileExists()) {
        error = u"A File with the specified File Name already exists in the Folder: " + targetPath;
        return false;
    }
    if (asText) {
        return writeNewFile(error, target, [&](OrbFileStream& stream) -> ucstring {
            ucstring saveError;
            const ucstringlist lines = stringlistSplitStringByLines(text);
            if (!stringlistSaveToStream(saveError, &lines, &stream, 3, kCharSetUTF8, false)) return saveError;
            return {};
        });
    }
    const fmx::BinaryData& binary = data.GetBinaryData();
    return writeNewFile(error, target, [&](OrbFileStream& stream) -> ucstring {
        const fmx::uint32 size = binary.GetSize(index);
        std::vector<char> chunk;
        try {
            chunk.resize(std::min<fmx::uint32>(size, kChunkSize));
        } catch (...) {
            return u"Could not allocate memory for data buffer.";
        }
        for (fmx::uint32 offset = 0; offset < size;) {
            const fmx::uint32 amount = std::min<fmx::uint32>(size - offset, kChunkSize);
            if (binary.GetData(index, offset, amount, chunk.data()) != 0 || !stream.writeBytes(chunk.data(), amount))
                return u"Error Writing Data to File.";
            offset += amount;
        }
        return {};
    });
}

// ---- Operations ---------------------------------------------------------------------------------------

ucstring File_ImportCallback(const OrbVariableArray& parameters, fmx::Data& result) {
    DEBUG_SCOPE("File_ImportCallback");
    const OrbVariable* v = nullptr;
    const ucstring path = parameters.variableWithName(u"File", v) ? v->variableAsString(1) : ucstring();
    const bool byReference = parameters.variableWithName(u"ByReference", v) && v->variableAsBoolean();
    OrbFileRef ref;
    if (path.empty()) return u"You must specify the File to Import.";
    if (!ref.set(path)) return ref.errorString();
    return importContainer(result, ref, byReference);
}

ucstring File_ExportCallback(const fmx::Data& container, const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("File_ExportCallback");
    if (container.IsEmpty()) return u"Container is empty.";
    const OrbVariable* v = nullptr;
    const ucstring path = parameters.variableWithName(u"Path", v) ? v->variableAsString(1) : ucstring();
    if (path.empty()) return u"You must specify the path to export the file to ('Path' parameter).";
    OrbFileRef folder;
    if (!folder.set(path) || !folder.dirExists()) return u"Folder does not exist: " + path;
    ucstring name = parameters.variableWithName(u"SaveAs", v) ? OrbFileRef::encodeSlashes(v->variableAsString(1)) : u"";
    const ucstring type = parameters.variableWithName(u"ReqType", v) ? v->variableAsString(1) : ucstring();
    ucstring error;
    if (!exportContainer(error, container, folder, name, false, type)) return error;
    OrbFileRef written(folder);
    written.addItem(OrbFileRef::encodeSlashes(name));
    result.setStringValue(u"Exported file to: " + written.pathAsString());
    return {};
}
