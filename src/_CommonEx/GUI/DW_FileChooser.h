// The open, save and folder choosers. Real windows use FLTK's file chooser; the terminal and
// headless backends ask for the path as an input dialog (so scripted answers, "OK:path" or
// "Cancel", drive them), and check what comes back as the real choosers would.
#pragma once

#include "_Common/Strings/Orb_StringTypes.h"

enum class DWChooserKind { Open, Save, Folder };

struct DWChooserRequest {
    DWChooserKind kind = DWChooserKind::Open;
    ucstring title;
    ucstring startFolder;  // Windows path; empty: the current folder of the process
    ucstring startName;    // the file name offered first (open and save)
    // Entries "label|patterns" joined by "|" ("Text File (*.txt)|*.txt|..."); a "-" label is a
    // separator. Save adds the chosen entry's first extension when the name has none.
    ucstring filter;
};

// True with the chosen path (Windows style); false when the user cancelled, with `error` set
// when the chooser could not be shown at all.
bool dwChooseFile(const DWChooserRequest& request, ucstring& chosen, ucstring& error);
