// Reading and writing paths: the accepted spellings, the component encoding and the four output
// styles. What asks the file system lives in Orb_FileRef_Win.cpp.
#include "Orb_FileRef.h"

#include "Orb_Debug.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <platform/Files.h>
#include <platform/Module.h>

namespace {

// FileMaker's reference prefixes, in the order they are tried.
const char16_t* const kFMPrefixes[] = {u"file:",     u"image:",   u"movie:",    u"filemac:", u"imagemac:",
                                       u"moviemac:", u"filewin:", u"imagewin:", u"moviewin:"};

constexpr char16_t kBackslashInName = 0xF05C;  // how a backslash inside a name shows in Windows paths

const ucstring kNoPath = u"No path or file name was specified.";

// Until the plug-in says otherwise, the host application is the running program.
bool runningProgram(OrbFileRef& location) {
    location.clear();
    std::u16string path;
    const std::string native = platform::executablePath();
    return !native.empty() && platform::fileWindowsPath(native, path) && location.set(path);
}

OrbHostLocations gHostLocations{nullptr, runningProgram};

void debugLine(int line, const ucstring& message) {
    if (debugMode()) debugOutput(__FILE__, line, message);
}

ucstring quoted(const ucstring& s) { return u"\"" + s + u"\""; }

// The escapes a path may already hold: "%25", "%2F", "%5C" (either case); 0 when none starts at i.
char16_t escapeAt(const ucstring& s, size_t i) {
    if (i + 2 >= s.size() || s[i] != u'%') return 0;
    const char16_t a = s[i + 1];
    const char16_t b = s[i + 2];
    if (a == u'2' && b == u'5') return u'%';
    if (a == u'2' && (b == u'F' || b == u'f')) return u'/';
    if (a == u'5' && (b == u'C' || b == u'c')) return u'\\';
    return 0;
}

bool isMarker(const ucstring& component, const char16_t* marker) {
    return stringUpperCase(component) == stringUpperCase(ucstring(marker));
}

// Splits at "/" and drops empty items and "."; ".." removes itself and the item before it.
ucstringlist cleanComponents(const ucstring& text) {
    ucstringlist out;
    for (ucstring& part : stringlistSplitString(text, u'/')) {
        if (part.empty() || part == u".") continue;
        if (part == u"..") {
            if (!out.empty()) out.pop_back();
            continue;
        }
        out.push_back(std::move(part));
    }
    return out;
}

// The volume entry ("name=letter") whose name or letter matches a (decoded) component.
bool findVolume(const ucstringlist& volumes, const ucstring& component, ucstring& name, ucstring& letter,
                bool byLetter) {
    for (const ucstring& entry : volumes) {
        const size_t eq = entry.rfind(u'=');
        const ucstring entryName = eq == ucstring::npos ? entry : entry.substr(0, eq);
        const ucstring entryLetter = eq == ucstring::npos ? ucstring() : entry.substr(eq + 1);
        if (stringNormalizeUnicodeUpperCaseCompare(component, entryName) ||
            (byLetter && !entryLetter.empty() && stringUpperCase(component) == stringUpperCase(entryLetter))) {
            name = entryName;
            letter = entryLetter;
            return true;
        }
    }
    return false;
}

ucstring defaultVolumeName(const ucstringlist& volumes) {
    if (volumes.empty()) return u"C";
    const size_t eq = volumes.front().rfind(u'=');
    return eq == ucstring::npos ? volumes.front() : volumes.front().substr(0, eq);
}

// The components joined as a slash path without decoding them, so parsing it gives them back.
ucstring encodedSlashPath(const ucstringlist& items) {
    if (items.empty()) return u"/";
    ucstring out = items[0] == u"~" ? u"~" : u"/" + items[0];
    for (size_t i = 1; i < items.size(); ++i) out += u"/" + items[i];
    return out;
}

}  // namespace

// ---- Accessors ----------------------------------------------------------------------------------

OrbFileRef::OrbFileRef() = default;
OrbFileRef::OrbFileRef(const ucstring& path) { parsePath(path); }
OrbFileRef::~OrbFileRef() = default;

void OrbFileRef::setDefined(bool defined) { mDefined = defined; }
bool OrbFileRef::defined() const { return mDefined; }
ucstringlist& OrbFileRef::mutablePathList() { return mPathList; }
const ucstringlist& OrbFileRef::pathList() const { return mPathList; }
ucstring& OrbFileRef::mutableErrorString() { return mErrorString; }
const ucstring& OrbFileRef::errorString() const { return mErrorString; }
ucstring& OrbFileRef::mutableProtocol() { return mProtocol; }
const ucstring& OrbFileRef::protocol() const { return mProtocol; }

// ---- Texts --------------------------------------------------------------------------------------

ucstring OrbFileRef::addEndingPathDelimiter(const ucstring& path) {
    return !path.empty() && path.back() == u'/' ? path : path + u"/";
}

ucstring OrbFileRef::extractFileExtension(const ucstring& name) {
    const size_t dot = name.rfind(u'.');
    return dot == ucstring::npos ? ucstring() : name.substr(dot);
}

ucstring OrbFileRef::extractFileName(const ucstring& path) {
    const ucstring normalized = normalizePathDelimiters(path);
    const size_t slash = normalized.rfind(u'/');
    return slash == ucstring::npos ? normalized : normalized.substr(slash + 1);
}

ucstring OrbFileRef::encodeSlashes(const ucstring& name) {
    ucstring out;
    out.reserve(name.size());
    for (char16_t c : name) {
        if (c == u'%')
            out += u"%25";
        else if (c == u'/')
            out += u"%2F";
        else if (c == u'\\' || c == kBackslashInName)
            out += u"%5C";
        else
            out.push_back(c);
    }
    return out;
}

ucstring OrbFileRef::stripSpecialFileNameChars(const ucstring& name) {
    ucstring s = name;
    for (char16_t& c : s) {
        if (c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' || c == u'>' || c == u'|') c = u'-';
    }
    return encodeSlashes(s);
}

// A "/" inside a name was typed as ":" in slash paths (the Mac convention) and is shown so again;
// in Windows paths it stays "/". A backslash inside a name would split a Windows path, so there
// it shows as U+F05C, which the file system maps back to the backslash.
ucstring OrbFileRef::decodeSlashes(const ucstring& component, int style) {
    ucstring out;
    out.reserve(component.size());
    for (size_t i = 0; i < component.size(); ++i) {
        const char16_t e = escapeAt(component, i);
        if (!e) {
            out.push_back(component[i]);
            continue;
        }
        if (e == u'/')
            out.push_back(style == kPathStyleWindows ? u'/' : u':');
        else if (e == u'\\')
            out.push_back(style == kPathStyleWindows ? kBackslashInName : u'\\');
        else
            out.push_back(u'%');
        i += 2;
    }
    return out;
}

ucstring OrbFileRef::normalizePathDelimiters(const ucstring& input) {
    enum { kPlain, kSlash, kWindows, kColon } style = kPlain;
    ucstring path = input;
    for (size_t i = 0; i < path.size(); ++i) {
        if (escapeAt(path, i)) {
            i += 2;
            continue;
        }
        const char16_t c = path[i];
        if (c == u'/') {
            // Slash paths start at a root ("/Volumes/...", "~/..."); a relative path is typed as
            // on Windows, where both delimiters separate.
            style = i == 0 || path[0] == u'~' ? kSlash : kWindows;
            if (style == kSlash && i + 2 < path.size() && path[i + 2] == u':') path.erase(i + 2, 1);  // "/C:/x"
            break;
        }
        if (c == u'\\') {
            style = kWindows;
            break;
        }
        if (c == u':') {
            const char16_t next = i + 1 < path.size() ? path[i + 1] : 0;
            if (next == u'/' || next == u'\\') {
                style = kWindows;  // a drive: "C:/x" as "C:\x"
                path.erase(i, 1);  // "C:\x" becomes "C\x"
            } else {
                style = kColon;
            }
            break;
        }
    }

    ucstring out;
    out.reserve(path.size() + 8);
    for (size_t i = 0; i < path.size(); ++i) {
        if (const char16_t e = escapeAt(path, i)) {
            out += e == u'%' ? u"%25" : e == u'/' ? u"%2F" : u"%5C";
            i += 2;
            continue;
        }
        const char16_t c = path[i];
        if (c == u'%') {
            out += u"%25";
        } else if (c == kBackslashInName) {
            out += u"%5C";  // a backslash inside a name, as Windows-style paths show it
        } else if (style == kSlash) {
            if (c == u'\\')
                out += u"%5C";
            else if (c == u':')
                out += u"%2F";
            else
                out.push_back(c);
        } else if (style == kWindows) {
            out.push_back(c == u'\\' ? u'/' : c);  // "/" separates as well, as Windows has it
        } else if (style == kColon) {
            if (c == u'\\')
                out += u"%5C";
            else if (c == u'/')
                out += u"%2F";
            else if (c == u':')
                out.push_back(u'/');
            else
                out.push_back(c);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// ---- Parsing ------------------------------------------------------------------------------------

bool OrbFileRef::parsePath(const ucstring& input) {
    mDefined = false;
    mPathList.clear();
    mErrorString.clear();
    mProtocol.clear();
    debugLine(__LINE__, u"Attempting to parse: " + quoted(input));
    const auto fail = [&](const ucstring& error) {
        mErrorString = error;
        mPathList.clear();
        debugLine(__LINE__, u"Error: " + error);
        return false;
    };
    if (input.empty()) return fail(kNoPath);

    ucstring path = input;
    for (const char16_t* prefix : kFMPrefixes) {
        const ucstring p(prefix);
        if (!stringStartsWith(path, p, true)) continue;
        mProtocol = p.substr(0, p.size() - 1);
        path = stringReplaceAll(path.substr(p.size()), u":/", u"/");
        debugLine(__LINE__, u"Found FM protocol:" + mProtocol);
        if (path.empty()) return fail(kNoPath);
        break;
    }

    path = normalizePathDelimiters(path);
    if (path.size() > 1 && path[0] == u'~' && path[1] != u'/') path.insert(1, u"/");

    if (path[0] != u'/' && path[0] != u'~') {
        ucstring base = u"/";
        if (!mProtocol.empty()) {
            debugLine(__LINE__, u"Attempting to resolve relative filemaker path");
            OrbFileRef location;
            if (gHostLocations.frontDatabase && gHostLocations.frontDatabase(location) && location.defined()) {
                location.removeLastItem();
                base = encodedSlashPath(location.pathList());
            } else {
                debugLine(__LINE__, u"Could not get Front Database Location");
                if (gHostLocations.application && gHostLocations.application(location) && location.defined()) {
                    location.removeLastItem();
                    base = encodedSlashPath(location.pathList());
                } else {
                    debugLine(__LINE__, u"Could not get FM App Location; using Root.");
                }
            }
        }
        path = addEndingPathDelimiter(base) + path;
    }
    debugLine(__LINE__, u"Transformed path: " + quoted(path));

    if (stringStartsWith(path, u"/Network/", true))
        path = u"//" + path.substr(9);
    else if (isMarker(path, u"/Network"))
        path = u"//";

    ucstringlist volumes;
    if (!volumeNames(volumes).empty()) return fail(u"Could not get Volume Names.");

    if (path[0] == u'~') {
        ucstring rest = path.substr(1);
        mPathList = cleanComponents(rest);
        mPathList.insert(mPathList.begin(), u"~");
    } else if (stringStartsWith(path, u"//")) {
        ucstring rest = path.substr(2);
        if (!rest.empty() && rest.back() == u'/') rest.pop_back();
        // Nothing left, also after dropping empty items and "..": no server to name.
        mPathList = cleanComponents(rest);
        if (mPathList.empty())
            return fail(u"UNC Path does not appear to be complete (missing server name and share name).");
        mPathList.insert(mPathList.begin(), u"Network");
    } else if (path[0] == u'/') {
        ucstring rest = path.substr(1);
        if (!rest.empty() && rest.back() == u'/') rest.pop_back();
        ucstringlist items;
        if (!rest.empty()) {
            items = cleanComponents(rest);
            if (!items.empty() && isMarker(items[0], u"Volumes")) items.erase(items.begin());
        }
        ucstring name, letter;
        if (!items.empty() && findVolume(volumes, decodeSlashes(items[0], kPathStyleWindows), name, letter, true))
            items[0] = encodeSlashes(name);
        else
            items.insert(items.begin(), encodeSlashes(defaultVolumeName(volumes)));
        items.insert(items.begin(), u"Volumes");
        mPathList = std::move(items);
    } else {
        return fail(u"Path does not start with / or ~");
    }
    mDefined = true;
    if (debugMode()) debugLine(__LINE__, u"Final Path: " + pathAsString(kPathStyleSlash));
    return true;
}

void OrbFileRef::clear() {
    mDefined = false;
    mPathList.clear();
    mErrorString.clear();
    mProtocol.clear();
}

void OrbFileRef::assign(const OrbFileRef& other) {
    clear();
    mDefined = true;
    mPathList = other.pathList();
}

ucstring OrbFileRef::joinRelativePath(const ucstring& folder, const ucstring& relativePath) {
    return addEndingPathDelimiter(folder) + normalizePathDelimiters(relativePath);
}

bool OrbFileRef::append(const ucstring& relativePath) {
    const ucstring current = pathAsString(kPathStyleSlash);
    const ucstring path = joinRelativePath(current, relativePath);
    debugLine(__LINE__, u"OrbFileRef::append: Current Path: " + current);
    debugLine(__LINE__, u"OrbFileRef::append: Relative Path: " + relativePath);
    debugLine(__LINE__, u"OrbFileRef::append: New Path: " + path);
    return parsePath(path);
}

void OrbFileRef::addItem(const ucstring& name) {
    debugLine(__LINE__, u"OrbFileRef::addItem: Adding: " + name);
    mPathList.push_back(name);
}

namespace {
// Components that form the root and are never removed or named as the last item.
size_t rootLength(const ucstringlist& items) {
    if (items.empty()) return 0;
    return items[0] == u"~" ? 1 : 2;
}
}  // namespace

void OrbFileRef::removeLastItem() {
    if (mPathList.size() > rootLength(mPathList)) mPathList.pop_back();
}

ucstring OrbFileRef::getLastItem() const {
    return mPathList.size() > rootLength(mPathList) ? mPathList.back() : ucstring();
}

bool OrbFileRef::selectFileName(const ucstring& name) {
    debugLine(__LINE__, u"OrbFileRef::selectFileName: Selecting: " + name);
    if (!getLastItem().empty()) mPathList.pop_back();
    mPathList.push_back(encodeSlashes(name));
    const bool exists = fileExists();
    debugLine(__LINE__, exists ? u"FileName Existed" : u"FileName did not Exist");
    return exists;
}

bool OrbFileRef::selectDirName(const ucstring& name) {
    debugLine(__LINE__, u"OrbFileRef::selectDirName: Selecting: " + name);
    if (!getLastItem().empty()) mPathList.pop_back();
    mPathList.push_back(encodeSlashes(name));
    const bool exists = dirExists();
    debugLine(__LINE__, exists ? u"DirName Existed" : u"DirName did not Exist");
    return exists;
}

// ---- Output -------------------------------------------------------------------------------------

bool OrbFileRef::pathAsString(ucstring& out, int style, bool includeLastItem) const {
    out.clear();
    if (style == kPathStyleMac) {
        debugLine(__LINE__, u"OrbFileRef::pathAsString: Cannot return Mac OS X style paths on Windows.");
        return false;
    }
    if (!mDefined) return false;
    ucstringlist items = mPathList;
    if (!includeLastItem && !items.empty()) items.pop_back();

    if (style != kPathStyleWindows && style != kPathStyleFileMaker) {
        if (items.empty()) {
            out = u"/";
        } else {
            out = items[0] == u"~" ? u"~" : u"/" + items[0];
            for (size_t i = 1; i < items.size(); ++i) out += u"/" + decodeSlashes(items[i], style);
        }
        debugLine(__LINE__, u"path=" + out);
        return true;
    }

    if (!items.empty() && items[0] == u"~") {
        ucstringlist home;
        getUserPath(home);
        ucstringlist expanded;
        for (size_t i = 0; i < home.size() + items.size() - 1; ++i) {
            const ucstring& item = i < home.size() ? home[i] : items[i - home.size() + 1];
            if (item == u"..") {
                if (expanded.size() > rootLength(expanded)) expanded.pop_back();
            } else {
                expanded.push_back(item);
            }
        }
        items = std::move(expanded);
    }

    const ucstring separator = style == kPathStyleWindows ? u"\\" : u"/";
    if (!items.empty() && isMarker(items[0], u"Network")) {
        out = style == kPathStyleWindows ? u"\\\\" : u"//";
        for (size_t i = 1; i < items.size(); ++i) {
            if (i > 1) out += separator;
            out += decodeSlashes(items[i], style);
        }
    } else if (items.size() > 1) {
        ucstringlist volumes;
        (void)volumeNames(volumes);  // without the list the volume's own name stands
        ucstring name, letter;
        const ucstring volume = decodeSlashes(items[1], kPathStyleWindows);
        const ucstring drive = findVolume(volumes, volume, name, letter, false) && !letter.empty() ? letter : volume;
        out = style == kPathStyleWindows ? drive + u":" : u"/" + drive + u":";
        for (size_t i = 2; i < items.size(); ++i) out += separator + decodeSlashes(items[i], style);
    }

    if (style == kPathStyleWindows) {
        if (out.empty()) out = u"C:\\";
        if (out.back() == u':') out += u"\\";
    } else {
        if (out.empty()) out = u"/";
        if (!mProtocol.empty()) out = mProtocol + u":" + out;
    }
    debugLine(__LINE__, u"path=" + out);
    return true;
}

ucstring OrbFileRef::pathAsString(int style, bool includeLastItem) const {
    ucstring out;
    pathAsString(out, style, includeLastItem);
    return out;
}

// ---- Absolute or relative -----------------------------------------------------------------------

bool isFullPath(const ucstring& input) {
    ucstring path = stringUpperCase(input);
    for (const char16_t* prefix : kFMPrefixes) {
        const ucstring p = stringUpperCase(ucstring(prefix));
        if (stringStartsWith(path, p)) {
            path = stringReplaceAll(path.substr(p.size()), u":/", u"/");
            break;
        }
    }
    if (path.empty()) return false;
    if (path[0] == u'/' || path[0] == u'\\') return true;
    if (path.size() >= 2 && path[0] == u'~' && (path[1] == u'/' || path[1] == u'\\' || path[1] == u':')) return true;
    if (path.size() >= 3 && path[1] == u':' && (path[2] == u'/' || path[2] == u'\\')) return true;
    const size_t colon = path.find(u':', 1);
    return colon != ucstring::npos && path.find_first_of(u"/\\") == ucstring::npos;
}

void setOrbHostLocations(const OrbHostLocations& locations) { gHostLocations = locations; }
