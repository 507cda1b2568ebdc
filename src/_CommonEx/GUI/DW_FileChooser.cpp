#include "DW_FileChooser.h"

#include "DW_Dialogs.h"
#include "DW_Window.h"
#include "Orb_Debug.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>

#include <platform/Files.h>

#include <memory>
#include <mutex>

namespace {

struct FilterEntry {
    ucstring label;
    ucstringlist patterns;
};

std::vector<FilterEntry> parseFilter(const ucstring& filter) {
    std::vector<FilterEntry> entries;
    const ucstringlist parts = stringlistSplitString(filter, u'|');
    for (size_t i = 0; i + 1 < parts.size() || (i < parts.size() && parts[i] == u"-"); i += 2) {
        if (parts[i] == u"-") continue;  // a separator has no patterns
        entries.push_back({parts[i], stringlistSplitString(parts[i + 1], u';')});
    }
    return entries;
}

// The extension the save chooser adds: the first concrete pattern of the first entry.
ucstring defaultExtension(const std::vector<FilterEntry>& entries) {
    for (const FilterEntry& e : entries) {
        for (const ucstring& p : e.patterns) {
            if (stringStartsWith(p, ucstring(u"*.")) && p.find_first_of(u"*?", 1) == ucstring::npos) return p.substr(1);
        }
        break;
    }
    return {};
}

ucstring startPath(const DWChooserRequest& request) {
    if (request.startName.empty()) return request.startFolder;
    if (request.startFolder.empty()) return request.startName;
    return request.startFolder + (stringEndsWith(request.startFolder, ucstring(u"\\")) ? u"" : u"\\") +
           request.startName;
}

// Checks a chosen path as the platform's chooser would; the problem text when it does not do.
ucstring checkChoice(const DWChooserRequest& request, const std::vector<FilterEntry>& entries, ucstring& path,
                     bool& askOverwrite) {
    askOverwrite = false;
    path = stringTrim(path);
    if (path.empty()) return u"Please enter a path.";
    if (!isFullPath(path)) {
        ucstring folder = request.startFolder;
        if (!folder.empty() && !stringEndsWith(folder, ucstring(u"\\"))) folder += u"\\";
        path = folder + path;
    }
    OrbFileRef ref;
    bool isDir = false, isFile = false;
    if (!ref.set(path) || !ref.isValid(isDir, isFile)) return u"The path is not valid: " + path;
    switch (request.kind) {
        case DWChooserKind::Folder:
            if (!isDir) return u"The folder does not exist: " + path;
            break;
        case DWChooserKind::Open:
            if (!isFile) return u"The file does not exist: " + path;
            break;
        case DWChooserKind::Save: {
            if (isDir) return u"The path names a folder: " + path;
            const ucstring name = ref.getLastItem();
            const ucstring extension = defaultExtension(entries);
            if (OrbFileRef::extractFileExtension(name).empty() && !extension.empty()) {
                ref.removeLastItem();
                ref.addItem(name + extension);
                isFile = ref.fileExists();
            }
            askOverwrite = isFile;
            break;
        }
    }
    path = ref.pathAsString(kPathStyleWindows);
    return {};
}

bool confirmOverwrite(const ucstring& path) {
    return messageDialog(OrbFileRef::extractFileName(OrbFileRef::normalizePathDelimiters(path)) +
                             u" already exists.\rDo you want to replace it?",
                         4, u"Confirm Save As") == kDialogYes;
}

bool chooseByInput(const DWChooserRequest& request, const std::vector<FilterEntry>& entries, ucstring& chosen) {
    ucstring problem;
    for (int turn = 0; turn < 100; ++turn) {
        ucstring prompt =
            request.kind == DWChooserKind::Folder ? u"Enter the path of a folder:" : u"Enter the path of a file:";
        if (!problem.empty()) prompt = problem + u"\r" + prompt;
        ucstring answer = startPath(request);
        if (inputDialog(prompt, answer, false, request.title) != kDialogOK) return false;
        bool askOverwrite = false;
        problem = checkChoice(request, entries, answer, askOverwrite);
        if (!problem.empty()) continue;
        if (askOverwrite && !confirmOverwrite(answer)) continue;
        chosen = answer;
        return true;
    }
    return false;
}

// FLTK's pattern list: "Label (*.{a,b})\tLabel2 (*.c)".
std::string fltkFilter(const std::vector<FilterEntry>& entries) {
    std::string out;
    for (const FilterEntry& e : entries) {
        std::string label = ucstringToUTF8String(e.label);
        const size_t paren = label.find(" (");
        if (paren != std::string::npos) label.resize(paren);
        std::string patterns;
        if (e.patterns.size() == 1) {
            patterns = ucstringToUTF8String(e.patterns[0]);
        } else {
            patterns = "{";
            for (size_t i = 0; i < e.patterns.size(); ++i)
                patterns += (i ? "," : "") + ucstringToUTF8String(e.patterns[i]);
            patterns += "}";
        }
        if (!out.empty()) out += "\t";
        out += label + " (" + patterns + ")";
    }
    return out.empty() ? "*" : out;
}

bool chooseWithFLTK(const DWChooserRequest& request, const std::vector<FilterEntry>& entries, ucstring& chosen,
                    ucstring& error) {
    std::string nativeStart, problem;
    const ucstring start = request.startFolder.empty() ? ucstring() : startPath(request);
    if (!start.empty()) platform::fileNativePath(start, nativeStart, problem);
    const int type = request.kind == DWChooserKind::Folder ? Fl_File_Chooser::DIRECTORY
                     : request.kind == DWChooserKind::Save ? Fl_File_Chooser::CREATE
                                                           : Fl_File_Chooser::SINGLE;
    const std::string title = ucstringToUTF8String(request.title);
    const std::string filter = fltkFilter(entries);
    for (;;) {
        std::unique_ptr<Fl_File_Chooser> chooser;
        {
            std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
            chooser = std::make_unique<Fl_File_Chooser>(nativeStart.empty() ? "." : nativeStart.c_str(), filter.c_str(),
                                                        type, title.c_str());
            if (!chooser) {
                error = u"Could not create the file chooser.";
                return false;
            }
            chooser->preview(0);
            chooser->show();
        }
        for (;;) {
            std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
            if (!chooser->shown()) break;
            Fl::wait(0.05);
        }
        std::string picked;
        {
            std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
            const bool chose = chooser->count() >= 1 && chooser->value();
            if (chose) picked = chooser->value();
            chooser.reset();  // FLTK objects go away under the UI lock, like every other FLTK call
            if (!chose) return false;
        }
        std::u16string windows;
        if (!platform::fileWindowsPath(picked, windows)) {
            error = u"The chosen path is outside every drive: " + ucstringFromUTF8String(picked);
            return false;
        }
        bool askOverwrite = false;
        if (!checkChoice(request, entries, windows, askOverwrite).empty()) return false;
        if (askOverwrite && !confirmOverwrite(windows)) continue;
        chosen = windows;
        return true;
    }
}

}  // namespace

bool dwChooseFile(const DWChooserRequest& request, ucstring& chosen, ucstring& error) {
    DEBUG_SCOPE("dwChooseFile");
    chosen.clear();
    error.clear();
    const std::vector<FilterEntry> entries = parseFilter(request.filter);
    if (dwBackend() == DWBackendKind::GUI) return chooseWithFLTK(request, entries, chosen, error);
    return chooseByInput(request, entries, chosen);
}
