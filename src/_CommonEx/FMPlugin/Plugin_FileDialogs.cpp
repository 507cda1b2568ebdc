// The open, save and folder choosers behind the select functions and script steps.
#include "Orb_Debug.h"
#include "Plugin_FileMain.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"
#include "_CommonEx/FileAndStream/Orb_FileRefEx.h"
#include "_CommonEx/GUI/DW_FileChooser.h"

namespace {

ucstring text(const OrbVariableArray& parameters, const char16_t* name) {
    const OrbVariable* v = nullptr;
    return parameters.variableWithName(name, v) ? v->variableAsString(1) : ucstring();
}

// The start folder and name of a chooser: a file gives its folder and its name.
void startOf(const ucstring& path, DWChooserRequest& request) {
    if (stringTrim(path).empty()) return;
    OrbFileRef ref;
    bool isDir = false, isFile = false;
    if (!ref.set(path) || !ref.isValid(isDir, isFile)) return;
    if (isDir) {
        request.startFolder = ref.pathAsString(kPathStyleWindows);
    } else {
        request.startFolder = ref.pathAsString(kPathStyleWindows, false);
        request.startName = OrbFileRef::decodeSlashes(ref.getLastItem(), kPathStyleWindows);
    }
}

}  // namespace

ucstring File_SelectWithDialogCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("File_SelectWithDialogCallback");
    DWChooserRequest request;
    const ucstring dialogType = text(parameters, u"DialogType");
    const ucstring kind = stringUpperCase(stringTrim(dialogType));
    if (kind.empty() || kind == u"GETFILE" || kind == u"GET FILE" || kind == u"OPEN") {
        request.kind = DWChooserKind::Open;
    } else if (kind == u"PUTFILE" || kind == u"PUT FILE" || kind == u"SAVE") {
        request.kind = DWChooserKind::Save;
    } else {
        return u"Unknown dialog type: " + dialogType;
    }
    ucstring fileTypes = text(parameters, u"FileTypes");
    stringReplaceAllInPlace(fileTypes, u",", u"\r");
    stringReplaceAllInPlace(fileTypes, u";", u"\r");
    request.filter =
        OrbFileRefEx::fileTypeFilter(OrbFileRefEx::generateFileTypeList(stringlistSplitStringByLines(fileTypes)));
    startOf(text(parameters, u"StartPath"), request);
    request.title = text(parameters, u"Prompt");
    if (request.title.empty())
        request.title = request.kind == DWChooserKind::Open ? u"Select a File..." : u"Save As...";
    ucstring chosen, error;
    if (!dwChooseFile(request, chosen, error)) {
        if (!error.empty())
            return (request.kind == DWChooserKind::Open ? u"Could not create Open File Dialog; WinError: "
                                                        : u"Could not create Save File Dialog; WinError: ") +
                   error;
        return u"Dialog cancelled.";
    }
    result.setStringValue(chosen);
    return {};
}

ucstring Folder_SelectWithDialogCallback(const OrbVariableArray& parameters, OrbVariable& result) {
    DEBUG_SCOPE("Folder_SelectWithDialogCallback");
    DWChooserRequest request;
    request.kind = DWChooserKind::Folder;
    startOf(text(parameters, u"StartPath"), request);
    request.title = text(parameters, u"Prompt");
    ucstring chosen, error;
    if (!dwChooseFile(request, chosen, error)) {
        if (!error.empty()) return u"Could not create a Folder Browser Dialog; WinError: " + error;
        return u"Dialog cancelled.";
    }
    result.setStringValue(chosen);
    return {};
}
