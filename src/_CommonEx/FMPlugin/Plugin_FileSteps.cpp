// The file and folder script steps: what the host is told about each step, and thin callbacks
// that name the step's parameters and hand them to the file and folder operations.
#include "Plugin_FileSteps.h"

#include "Orb_Debug.h"
#include "Plugin_Version.h"
#include "_Common/FMPlugin/Plugin_ScriptStepXML.h"
#include "_Common/FMPlugin/Plugin_Utilities.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_Container.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"
#include "functions/Function__Common.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

uint32_t gMask = 0;

// One choice of a list parameter: the text the script editor shows and the keyword the
// operation reads.
struct Choice {
    const char* shown;
    const char16_t* keyword;
};
using Choices = std::vector<Choice>;

const Choices kDialogTypes = {{"Get File (Open)", u"GETFILE"}, {"Put File (Save As)", u"PUTFILE"}};

const Choices kExistsActions = {{"Abort", u"ABORT"},
                                {"Overwrite", u"OVERWRITE"},
                                {"Backup", u"BACKUP"},
                                {"Append", u"APPEND"},
                                {"Unique", u"UNIQUE"}};

const Choices kCharacterSets = {
    {"UCS-2", u"UCS-2"},
    {"UTF-8", u"UTF-8"},
    {"ISO-8859-1 (US-ASCII, Latin1)", u"ISO-8859-1"},
    {"ISO-8859-2", u"ISO-8859-2"},
    {"ISO-8859-3", u"ISO-8859-3"},
    {"ISO-8859-4", u"ISO-8859-4"},
    {"ISO-8859-5", u"ISO-8859-5"},
    {"ISO-8859-6", u"ISO-8859-6"},
    {"ISO-8859-9", u"ISO-8859-9"},
    {"ISO-8859-15", u"ISO-8859-15"},
    {"ISO-2022-JP (ShiftJIS)", u"ISO-2022-JP"},
    {"MacRoman", u"MACROMAN"},
    {"MacCentEurope", u"MACCENTEUROPE"},
    {"Windows-1250 (WinEasternEurope)", u"WINDOWS-1250"},
    {"Windows-1251 (WinCyrillic)", u"WINDOWS-1251"},
    {"Windows-1252 (WinASCII)", u"WINDOWS-1252"},
    {"Windows-1253 (WinGreek)", u"WINDOWS-1253"},
    {"Windows-1254 (WinTurkish)", u"WINDOWS-1254"},
    {"Windows-1255 (WinHebrew)", u"WINDOWS-1255"},
    {"Windows-1256 (WinArabic)", u"WINDOWS-1256"},
    {"Windows-1257 (WinBaltic)", u"WINDOWS-1257"},
    {"Big5 (ChineseTrad)", u"BIG5"},
    {"GB2312 (ChineseSimp)", u"GB2312"},
    {"KOI8-R (Cyrillic)", u"KOI8-R"},
    {"KS-C-5601-1987 (Korean)", u"KS-C-5601-1987"},
};

// "Linex (LF)" is the text scripts have always shown for this choice.
const Choices kLineEndings = {
    {"System", u"SYSTEM"}, {"Mac (CR)", u"CR"}, {"Windows (CRLF)", u"CRLF"}, {"Linex (LF)", u"LF"}, {"None", u"NONE"}};

const Choices kPathTypes = {
    {"Database", u"DATABASE"},   {"FileMaker", u"FILEMAKER"},       {"Root", u"ROOT"},
    {"System", u"SYSTEM"},       {"Desktop", u"DESKTOP"},           {"Preferences", u"PREFERENCES"},
    {"Temporary", u"TEMPORARY"}, {"Applications", u"APPLICATIONS"}, {"Documents", u"DOCUMENTS"}};

// Parameter rows of the XML definitions.
constexpr bool kInline = true;
constexpr bool kNotInline = false;

ScriptStepParameter target(const char* dataType) { return {-1, "Target", "target", dataType, "", kInline, {}}; }
ScriptStepParameter calc(int id, const char* label, const char* dataType, bool showInline = kInline) {
    return {id, label, "calc", dataType, "", showInline, {}};
}
ScriptStepParameter checkBox(int id, const char* label, bool showInline) {
    return {id, label, "bool", "", "kParam_Unchecked", showInline, {}};
}
ScriptStepParameter list(int id, const char* label, const Choices& choices, bool showInline) {
    ScriptStepParameter p{id, label, "list", "", "0", showInline, {}};
    for (const Choice& c : choices) p.values.emplace_back(c.shown);
    return p;
}

// The name under which the operation reads a parameter, and for a list the choices it stands for.
struct Argument {
    const char16_t* name;
    const Choices* choices = nullptr;
};

using Operation = ucstring (*)(const OrbVariableArray&, OrbVariable&);
using Body = ucstring (*)(FunctionCall&);

struct FileStep {
    const char* name;  // as the host lists it
    const char* stem;  // of the callback's name and the debug lines
    std::vector<ScriptStepParameter> parameters;
    std::vector<Argument> arguments;  // in parameter order, the target left out
    const char* description;
    Operation operation;  // the operation, or null when `body` does the work
    Body body;
    fmx::ExtPluginType callback;
};

const std::vector<FileStep>& fileSteps();

// The host gives a list's choice as its id; the operation is handed the choice's keyword. A
// choice given as its shown text is taken as well; anything else goes to the operation as it
// came (a whole number as its digits), which then names the values it accepts.
void handOverChoice(OrbVariable& value, const Choices& choices) {
    std::vector<std::string> shown;
    shown.reserve(choices.size());
    for (const Choice& c : choices) shown.emplace_back(c.shown);
    const int choice = scriptStepListChoice(value, shown);
    if (choice >= 0) {
        value.setStringValue(choices[static_cast<size_t>(choice)].keyword);
        return;
    }
    if (value.type() == OrbVariable::kInteger || value.type() == OrbVariable::kFloat) {
        const double number = value.type() == OrbVariable::kFloat ? value.floatValue() : double(value.integerValue());
        // Only whole numbers of a sane size are converted.
        if (std::fabs(number) < 1e15 && number == std::floor(number))
            value.setStringValue(ucstringFromString(std::to_string(int64_t(number))));
    }
}

void nameStepArguments(OrbVariableArray& arguments, const std::vector<Argument>& names) {
    ucstring error;
    for (size_t i = 0; i < names.size() && i < arguments.size(); ++i) {
        arguments.setNameOfVariableAtIndex(error, names[i].name, i, false);
        OrbVariable* value = nullptr;
        if (names[i].choices && arguments.mutableVariableAtIndex(i, value)) handOverChoice(*value, *names[i].choices);
    }
}

fmx::errcode runFileStep(size_t bit, const fmx::ExprEnv& environment, const fmx::DataVect& parameters,
                         fmx::Data& result) {
    const FileStep& step = fileSteps()[bit];
    // "Volan File Copy" reports its errors as "Volan Pro File Copy: ...".
    const ucstring prefix = u"Volan Pro " + ucstringFromUTF8CStr(step.name + 6) + u": ";
    return runScriptStep(step.stem, prefix, environment, parameters, result, [&step](FunctionCall& call) {
        nameStepArguments(call.arguments, step.arguments);
        return step.operation ? step.operation(call.arguments, call.result) : step.body(call);
    });
}

// The container to export is the host's own value, not its text.
ucstring exportBody(FunctionCall& call) {
    if (!call.hostArguments || call.hostArguments->Size() < 1) return u"Container is empty.";
    return File_ExportCallback(call.hostArguments->At(0), call.arguments, call.result);
}

// The imported container goes to the step's target as it is.
ucstring importBody(FunctionCall& call) {
    fmx::DataUniquePtr container;
    const ucstring error = File_ImportCallback(call.arguments, *container);
    if (!error.empty()) return error;
    *call.hostResult = *container;
    call.resultWritten = true;
    return {};
}

#define FILE_STEP_CALLBACK(Name, bit)                                                                              \
    fmx::errcode Name##ScriptStepCallback(short, const fmx::ExprEnv& environment, const fmx::DataVect& parameters, \
                                          fmx::Data& result) {                                                     \
        return runFileStep(bit, environment, parameters, result);                                                  \
    }

FILE_STEP_CALLBACK(File_Copy, 0)
FILE_STEP_CALLBACK(File_Delete, 1)
FILE_STEP_CALLBACK(File_Exists, 2)
FILE_STEP_CALLBACK(File_Export, 3)
FILE_STEP_CALLBACK(File_Import, 4)
FILE_STEP_CALLBACK(File_Move, 5)
FILE_STEP_CALLBACK(File_Read, 6)
FILE_STEP_CALLBACK(File_Rename, 7)
FILE_STEP_CALLBACK(File_SelectWithDialog, 8)
FILE_STEP_CALLBACK(File_Size, 9)
FILE_STEP_CALLBACK(File_Timestamp, 10)
FILE_STEP_CALLBACK(File_Write, 11)
FILE_STEP_CALLBACK(Folder_Create, 12)
FILE_STEP_CALLBACK(Folder_Delete, 13)
FILE_STEP_CALLBACK(Folder_Exists, 14)
FILE_STEP_CALLBACK(Folder_GetPath, 15)
FILE_STEP_CALLBACK(Folder_List, 16)
FILE_STEP_CALLBACK(Folder_Rename, 17)
FILE_STEP_CALLBACK(Folder_SelectWithDialog, 18)

#undef FILE_STEP_CALLBACK

// In registration order: step i is selected by bit i and has the id 7010 + 10 * i.
const std::vector<FileStep>& fileSteps() {
    static const std::vector<FileStep> steps = {
        {"Volan File Copy",
         "File_Copy",
         {calc(0, "Source", "text"), calc(1, "Destination", "text")},
         {{u"Source"}, {u"Destination"}},
         "File Copy Volan Volan Pro|Copies a file to a new location and/or a new name.",
         File_CopyCallback,
         nullptr,
         File_CopyScriptStepCallback},
        {"Volan File Delete",
         "File_Delete",
         {calc(0, "File", "text")},
         {{u"File"}},
         "File Delete Volan Volan Pro|Deletes a file.",
         File_DeleteCallback,
         nullptr,
         File_DeleteScriptStepCallback},
        {"Volan File Exists",
         "File_Exists",
         {target("number"), calc(0, "File", "text")},
         {{u"File"}},
         "File Exists Volan Volan Pro|Checks for the existence of a file.",
         File_ExistsCallback,
         nullptr,
         File_ExistsScriptStepCallback},
        {"Volan File Export",
         "File_Export",
         {calc(0, "Container", "container"), calc(1, "Folder", "text"), calc(2, "File Name", "text")},
         {{u"Container"}, {u"Path"}, {u"SaveAs"}},
         "File Export Container Volan Volan Pro|Exports a container to the drive.",
         nullptr,
         exportBody,
         File_ExportScriptStepCallback},
        {"Volan File Import",
         "File_Import",
         {target("container"), calc(0, "File", "text"), checkBox(1, "By Reference", kInline)},
         {{u"File"}, {u"ByReference"}},
         "File Import container Volan Volan Pro|Imports a file from the drive into a container.",
         nullptr,
         importBody,
         File_ImportScriptStepCallback},
        {"Volan File Move",
         "File_Move",
         {calc(0, "Source", "text"), calc(1, "Destination", "text")},
         {{u"Source"}, {u"Destination"}},
         "File Move Volan Volan Pro|Moves a file to a new location and/or a new name.",
         File_MoveCallback,
         nullptr,
         File_MoveScriptStepCallback},
        {"Volan File Read",
         "File_Read",
         {target("text"), calc(0, "File", "text"), calc(1, "Start", "number", kNotInline),
          calc(2, "Amount", "number", kNotInline), checkBox(3, "Read Lines", kNotInline)},
         {{u"File"}, {u"Start"}, {u"Amount"}, {u"ReadLines"}},
         "File Read Lines Volan Volan Pro|Reads in the characters or lines of a file.",
         File_ReadCallback,
         nullptr,
         File_ReadScriptStepCallback},
        {"Volan File Rename",
         "File_Rename",
         {calc(0, "File", "text"), calc(1, "New Name", "text")},
         {{u"File"}, {u"NewName"}},
         "File Rename Volan Volan Pro|Renames a file.",
         File_RenameCallback,
         nullptr,
         File_RenameScriptStepCallback},
        {"Volan File Select With Dialog",
         "File_SelectWithDialog",
         {target("text"), calc(0, "Start Folder", "text", kNotInline), calc(1, "Prompt", "text", kNotInline),
          list(2, "Dialog Type", kDialogTypes, kNotInline), calc(3, "File Types", "text", kNotInline)},
         {{u"StartPath"}, {u"Prompt"}, {u"DialogType", &kDialogTypes}, {u"FileTypes"}},
         "File Select Dialog Volan Volan Pro|Presents the user with a standard open file dialog and returns the path "
         "to the chosen file.",
         File_SelectWithDialogCallback,
         nullptr,
         File_SelectWithDialogScriptStepCallback},
        {"Volan File Size",
         "File_Size",
         {target("number"), calc(0, "File", "text")},
         {{u"File"}},
         "File Size Volan Volan Pro|Returns the size of a file.",
         File_SizeCallback,
         nullptr,
         File_SizeScriptStepCallback},
        {"Volan File Timestamp",
         "File_Timestamp",
         {target("timestamp"), calc(0, "File", "text"), checkBox(1, "Creation Timestamp", kNotInline)},
         {{u"File"}, {u"CreationTimestamp"}},
         "File Timestamp Date Creation Modification Volan Volan Pro|Returns the modification, or optionally the "
         "creation, timestamp of a file.",
         File_TimestampCallback,
         nullptr,
         File_TimestampScriptStepCallback},
        {"Volan File Write",
         "File_Write",
         {calc(0, "Data", "text", kNotInline), calc(1, "File", "text"),
          list(2, "File Exists Action", kExistsActions, kNotInline),
          list(3, "Charater Set", kCharacterSets, kNotInline), list(4, "Line Ending Type", kLineEndings, kNotInline),
          checkBox(5, "Include Unicode BOM", kNotInline)},
         {{u"Data"},
          {u"File"},
          {u"FileExistsAction", &kExistsActions},
          {u"CharacterSet", &kCharacterSets},
          {u"LineEndingType", &kLineEndings},
          {u"IncludeUnicodeBOM"}},
         "File Write Volan Volan Pro|Writes data out to a file.",
         File_WriteCallback,
         nullptr,
         File_WriteScriptStepCallback},
        {"Volan Folder Create",
         "Folder_Create",
         {calc(0, "Folder", "text")},
         {{u"Folder"}},
         "Folder Create Volan Volan Pro|Creates a folder.",
         Folder_CreateCallback,
         nullptr,
         Folder_CreateScriptStepCallback},
        {"Volan Folder Delete",
         "Folder_Delete",
         {calc(0, "Folder", "text"), checkBox(1, "Delete Contents", kNotInline)},
         {{u"Folder"}, {u"DeleteContents"}},
         "Folder Delete Volan Volan Pro|Deletes a folder.",
         Folder_DeleteCallback,
         nullptr,
         Folder_DeleteScriptStepCallback},
        {"Volan Folder Exists",
         "Folder_Exists",
         {target("number"), calc(0, "Folder", "text")},
         {{u"Folder"}},
         "Folder Exists Volan Volan Pro|Checks for the existence of a folder.",
         Folder_ExistsCallback,
         nullptr,
         Folder_ExistsScriptStepCallback},
        {"Volan Folder Get Path",
         "Folder_GetPath",
         {target("text"), list(0, "Type", kPathTypes, kInline)},
         {{u"Type", &kPathTypes}},
         "Folder Get Path Database FileMaker Root System Desktop Preferences Temporary Applications Documents Volan "
         "Volan Pro|Returns the path to a specified location on the drive.",
         Folder_GetPathCallback,
         nullptr,
         Folder_GetPathScriptStepCallback},
        {"Volan Folder List",
         "Folder_List",
         {target("text"), calc(0, "Path", "text"), calc(1, "Wildcard", "text", kNotInline),
          calc(2, "Field Separator", "text", kNotInline), calc(3, "Row Separator", "text", kNotInline)},
         {{u"Path"}, {u"Wildcard"}, {u"FieldSeperator"}, {u"RowSeperator"}},
         "Folder List Volan Volan Pro|Returns a list of files and folders at the specified path.",
         Folder_ListCallback,
         nullptr,
         Folder_ListScriptStepCallback},
        {"Volan Folder Rename",
         "Folder_Rename",
         {calc(0, "Folder", "text"), calc(1, "New Name", "text")},
         {{u"Folder"}, {u"NewName"}},
         "Folder Rename Volan Volan Pro|Renames a folder.",
         Folder_RenameCallback,
         nullptr,
         Folder_RenameScriptStepCallback},
        {"Volan Folder Select With Dialog",
         "Folder_SelectWithDialog",
         {target("text"), calc(0, "Start Folder", "text", kNotInline), calc(1, "Prompt", "text", kNotInline)},
         {{u"StartPath"}, {u"Prompt"}},
         "Folder Select With Dialog Dialog Volan Volan Pro|Presents the user with a standard select folder dialog and "
         "returns the path to the chosen folder.",
         Folder_SelectWithDialogCallback,
         nullptr,
         Folder_SelectWithDialogScriptStepCallback},
    };
    return steps;
}

fmx::int16 stepId(size_t bit) { return static_cast<fmx::int16>(7010 + 10 * bit); }

bool selected(size_t bit) { return bit < 32 && (gMask >> bit & 1u) != 0; }

void assignText(fmx::Text& text, const std::string& utf8) {
    const ucstring wide = ucstringFromUTF8String(utf8);
    text.AssignUnicodeWithLength(wide.data(), static_cast<fmx::uint32>(wide.size()));
}

}  // namespace

void fileChooseScriptSteps(uint32_t mask) { gMask = mask; }

fmx::errcode fileRegisterScriptSteps() {
    DEBUG_SCOPE("fileRegisterScriptSteps");
    fmx::QuadCharUniquePtr pluginId(PLUGIN_ID[0], PLUGIN_ID[1], PLUGIN_ID[2], PLUGIN_ID[3]);
    fmx::TextUniquePtr name, definition, description;
    const std::vector<FileStep>& steps = fileSteps();
    for (size_t bit = 0; bit < steps.size(); ++bit) {
        if (!selected(bit)) continue;
        const FileStep& s = steps[bit];
        if (debugMode()) debugOutput(__FILE__, __LINE__, std::string("Adding ") + s.stem + " Script Step");
        assignText(*name, s.name);
        assignText(*definition, scriptStepDefinition(s.parameters));
        assignText(*description, s.description);
        const fmx::errcode result = fmx::ExprEnv::RegisterScriptStep(*pluginId, stepId(bit), *name, *definition,
                                                                     *description, kPluginScriptStepFlags, s.callback);
        if (result != 0) return result;
    }
    return 0;
}

void fileUnregisterFunctions() {
    // Hosts before version 16 never had the steps.
    if (!envIsFM_16_0_Plus()) return;
    fmx::QuadCharUniquePtr pluginId(PLUGIN_ID[0], PLUGIN_ID[1], PLUGIN_ID[2], PLUGIN_ID[3]);
    for (size_t bit = 0; bit < fileSteps().size(); ++bit) {
        try {
            fmx::ExprEnv::UnRegisterScriptStep(*pluginId, stepId(bit));
        } catch (...) {
        }
    }
}
