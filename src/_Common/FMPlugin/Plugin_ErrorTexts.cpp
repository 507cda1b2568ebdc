// The table follows FileMaker's published list of error codes, sorted by code.
#include "_Common/FMPlugin/Plugin_ErrorTexts.h"

#include <algorithm>
#include <array>

namespace {

struct ErrorText {
    fmx::errcode code;
    const char16_t* description;
};

constexpr std::array kErrorTexts = {
    // General
    ErrorText{0, u"No error"},
    ErrorText{1, u"User canceled action"},
    ErrorText{2, u"Memory error"},
    ErrorText{3, u"Command is unavailable (for example, wrong operating system or mode)"},
    ErrorText{4, u"Command is unknown"},
    ErrorText{5, u"Command is invalid (for example, a Set Field script step does not have a calculation specified)"},
    ErrorText{6, u"File is read-only"},
    ErrorText{7, u"Running out of memory"},
    ErrorText{8, u"Empty result"},
    ErrorText{9, u"Insufficient privileges"},
    ErrorText{10, u"Requested data is missing"},
    ErrorText{11, u"Name is not valid"},
    ErrorText{12, u"Name already exists"},
    ErrorText{13, u"File or object is in use"},
    ErrorText{14, u"Out of range"},
    ErrorText{15, u"Can't divide by zero"},
    ErrorText{16, u"Operation failed; request retry (for example, a user query)"},
    ErrorText{17, u"Attempt to convert foreign character set to UTF-16 failed"},
    ErrorText{18, u"Client must provide account information to proceed"},
    ErrorText{19, u"String contains characters other than A-Z, a-z, 0-9 (ASCII)"},
    ErrorText{20, u"Command/operation canceled by triggered script"},
    // Missing objects
    ErrorText{100, u"File is missing"},
    ErrorText{101, u"Record is missing"},
    ErrorText{102, u"Field is missing"},
    ErrorText{103, u"Relationship is missing"},
    ErrorText{104, u"Script is missing"},
    ErrorText{105, u"Layout is missing"},
    ErrorText{106, u"Table is missing"},
    ErrorText{107, u"Index is missing"},
    ErrorText{108, u"Value list is missing"},
    ErrorText{109, u"Privilege set is missing"},
    ErrorText{110, u"Related tables are missing"},
    ErrorText{111, u"Field repetition is invalid"},
    ErrorText{112, u"Window is missing"},
    ErrorText{113, u"Function is missing"},
    ErrorText{114, u"File reference is missing"},
    ErrorText{115, u"Menu set is missing"},
    ErrorText{116, u"Layout object is missing"},
    ErrorText{117, u"Data source is missing"},
    ErrorText{118, u"Theme is missing"},
    ErrorText{130, u"Files are damaged or missing and must be reinstalled"},
    ErrorText{131, u"Language pack files are missing (such as Starter Solutions)"},
    // Access and passwords
    ErrorText{200, u"Record access is denied"},
    ErrorText{201, u"Field cannot be modified"},
    ErrorText{202, u"Field access is denied"},
    ErrorText{203, u"No records in file to print, or password doesn't allow print access"},
    ErrorText{204, u"No access to field(s) in sort order"},
    ErrorText{205, u"User does not have access privileges to create new records; import will overwrite existing data"},
    ErrorText{206, u"User does not have password change privileges, or file is not modifiable"},
    ErrorText{207, u"User does not have privileges to change database schema, or file is not modifiable"},
    ErrorText{208, u"Password does not contain enough characters"},
    ErrorText{209, u"New password must be different from existing one"},
    ErrorText{210, u"User account is inactive"},
    ErrorText{211, u"Password has expired"},
    ErrorText{212, u"Invalid user account and/or password; please try again"},
    ErrorText{213, u"User account and/or password does not exist"},
    ErrorText{214, u"Too many login attempts"},
    ErrorText{215, u"Administrator privileges cannot be duplicated"},
    ErrorText{216, u"Guest account cannot be duplicated"},
    ErrorText{217, u"User does not have sufficient privileges to modify administrator account"},
    ErrorText{218, u"Password and verify password do not match"},
    // Locks
    ErrorText{300, u"File is locked or in use"},
    ErrorText{301, u"Record is in use by another user"},
    ErrorText{302, u"Table is in use by another user"},
    ErrorText{303, u"Database schema is in use by another user"},
    ErrorText{304, u"Layout is in use by another user"},
    ErrorText{306, u"Record modification ID does not match"},
    ErrorText{307, u"Transaction could not be locked because of a communication error with the host"},
    ErrorText{308, u"Theme is locked and in use by another user"},
    // Finds, sorts and orders
    ErrorText{400, u"Find criteria are empty"},
    ErrorText{401, u"No records match the request"},
    ErrorText{402, u"Selected field is not a match field for a lookup"},
    ErrorText{403, u"Exceeding maximum record limit for trial version of FileMaker Pro"},
    ErrorText{404, u"Sort order is invalid"},
    ErrorText{405, u"Number of records specified exceeds number of records that can be omitted"},
    ErrorText{406, u"Replace/reserialize criteria are invalid"},
    ErrorText{407, u"One or both match fields are missing (invalid relationship)"},
    ErrorText{408, u"Specified field has inappropriate data type for this operation"},
    ErrorText{409, u"Import order is invalid"},
    ErrorText{410, u"Export order is invalid"},
    ErrorText{412, u"Wrong version of FileMaker Pro used to recover file"},
    ErrorText{413, u"Specified field has inappropriate field type"},
    ErrorText{414, u"Layout cannot display the result"},
    ErrorText{415, u"One or more required related records are not available"},
    ErrorText{416, u"A primary key is required from the data source table"},
    ErrorText{417, u"File is not a supported data source"},
    // Validation
    ErrorText{500, u"Date value does not meet validation entry options"},
    ErrorText{501, u"Time value does not meet validation entry options"},
    ErrorText{502, u"Number value does not meet validation entry options"},
    ErrorText{503, u"Value in field is not within the range specified in validation entry options"},
    ErrorText{504, u"Value in field is not unique, as required in validation entry options"},
    ErrorText{505, u"Value in field is not an existing value in the file, as required in validation entry options"},
    ErrorText{506, u"Value in field is not listed in the value list specified in validation entry option"},
    ErrorText{507, u"Value in field failed calculation test of validation entry option"},
    ErrorText{508, u"Invalid value entered in Find mode"},
    ErrorText{509, u"Field requires a valid value"},
    ErrorText{510, u"Related value is empty or unavailable"},
    ErrorText{511, u"Value in field exceeds maximum field size"},
    ErrorText{512, u"Record was already modified by another user"},
    ErrorText{513, u"No validation was specified but data cannot fit into the field"},
    // Printing
    ErrorText{600, u"Print error has occurred"},
    ErrorText{601, u"Combined header and footer exceed one page"},
    ErrorText{602, u"Body doesn't fit on a page for current column setup"},
    ErrorText{603, u"Print connection lost"},
    // Import and export
    ErrorText{700, u"File is of the wrong file type for import"},
    ErrorText{706, u"EPSF file has no preview image"},
    ErrorText{707, u"Graphic translator cannot be found"},
    ErrorText{708, u"Can't import the file, or need color monitor support to import file"},
    ErrorText{709, u"QuickTime movie import failed"},
    ErrorText{710, u"Unable to update QuickTime file reference because the database file is read-only"},
    ErrorText{711, u"Import translator cannot be found"},
    ErrorText{714, u"Password privileges do not allow the operation"},
    ErrorText{715, u"Specified Excel worksheet or named range is missing"},
    ErrorText{716, u"A SQL query using DELETE, INSERT, or UPDATE is not allowed for ODBC import"},
    ErrorText{717, u"There is not enough XML/XSL information to proceed with the import or export"},
    ErrorText{718, u"Error in parsing XML file (from Xerces)"},
    ErrorText{719, u"Error in transforming XML using XSL (from Xalan)"},
    ErrorText{720, u"Error when exporting; intended format does not support repeating fields"},
    ErrorText{721, u"Unknown error occurred in the parser or the transformer"},
    ErrorText{722, u"Cannot import data into a file that has no fields"},
    ErrorText{723, u"You do not have permission to add records to or modify records in the target table"},
    ErrorText{724, u"You do not have permission to add records to the target table"},
    ErrorText{725, u"You do not have permission to modify records in the target table"},
    ErrorText{726, u"Source file has more records than the target table; not all records were imported"},
    ErrorText{727, u"Target table has more records than the source file; not all records were updated"},
    ErrorText{729, u"Errors occurred during import; records could not be imported"},
    ErrorText{730, u"Unsupported Excel version; convert file to the current Excel format and try again"},
    ErrorText{731, u"File you are importing from contains no data"},
    ErrorText{732, u"This file cannot be inserted because it contains other files"},
    ErrorText{733, u"A table cannot be imported into itself"},
    ErrorText{734, u"This file type cannot be displayed as a picture"},
    ErrorText{735, u"This file type cannot be displayed as a picture; it will be inserted and displayed as a file"},
    ErrorText{736, u"Too much data to export to this format; data will be truncated"},
    ErrorText{737, u"Bento table you are importing is missing"},
    // Files and disks
    ErrorText{800, u"Unable to create file on disk"},
    ErrorText{801, u"Unable to create temporary file on System disk"},
    ErrorText{802, u"Unable to open file"},
    ErrorText{803, u"File is single-user, or host cannot be found"},
    ErrorText{804, u"File cannot be opened as read-only in its current state"},
    ErrorText{805, u"File is damaged; use Recover command"},
    ErrorText{806, u"File cannot be opened with this version of FileMaker Pro"},
    ErrorText{807, u"File is not a FileMaker Pro file or is severely damaged"},
    ErrorText{808, u"Cannot open file because access privileges are damaged"},
    ErrorText{809, u"Disk/volume is full"},
    ErrorText{810, u"Disk/volume is locked"},
    ErrorText{811, u"Temporary file cannot be opened as FileMaker Pro file"},
    ErrorText{813, u"Record synchronization error on network"},
    ErrorText{814, u"File(s) cannot be opened because maximum number is open"},
    ErrorText{815, u"Couldn\u2019t open lookup file"},
    ErrorText{816, u"Unable to convert file"},
    ErrorText{817, u"Unable to open file because it does not belong to this solution"},
    ErrorText{819, u"Cannot save a local copy of a remote file"},
    ErrorText{820, u"File is being closed"},
    ErrorText{821, u"Host forced a disconnect"},
    ErrorText{822, u"FMI files not found; reinstall missing files"},
    ErrorText{823, u"Cannot set file to single-user; guests are connected"},
    ErrorText{824, u"File is damaged or not a FileMaker file"},
    ErrorText{825, u"File is not authorized to reference the protected file"},
    ErrorText{826, u"File path specified is not a valid file path"},
    ErrorText{850, u"Path is not valid for the operating system"},
    ErrorText{851, u"Cannot delete an external file from disk"},
    ErrorText{852, u"Cannot write a file to the external storage"},
    // Spelling, shared files and web publishing
    ErrorText{900, u"General spelling engine error"},
    ErrorText{901, u"Main spelling dictionary not installed"},
    ErrorText{902, u"Could not launch the Help system"},
    ErrorText{903, u"Command cannot be used in a shared file"},
    ErrorText{905, u"Command requires a field to be active"},
    ErrorText{906, u"Current file is not shared; command can be used only if the file is shared"},
    ErrorText{920, u"Cannot initialize the spelling engine"},
    ErrorText{921, u"User dictionary cannot be loaded for editing"},
    ErrorText{922, u"User dictionary cannot be found"},
    ErrorText{923, u"User dictionary is read-only"},
    ErrorText{951, u"An unexpected error occurred"},
    ErrorText{954, u"Unsupported XML grammar"},
    ErrorText{955, u"No database name"},
    ErrorText{956, u"Maximum number of database sessions exceeded"},
    ErrorText{957, u"Conflicting commands"},
    ErrorText{958, u"Parameter missing"},
    ErrorText{959, u"Custom Web Publishing technology is disabled"},
    ErrorText{960, u"Parameter is invalid"},
    // Calculations
    ErrorText{1200, u"Generic calculation error"},
    ErrorText{1201, u"Too few parameters in the function"},
    ErrorText{1202, u"Too many parameters in the function"},
    ErrorText{1203, u"Unexpected end of calculation"},
    ErrorText{1204, u"Number, text constant, field name, or \"(\" expected"},
    ErrorText{1205, u"Comment is not terminated with \"*/\""},
    ErrorText{1206, u"Text constant must end with a quotation mark"},
    ErrorText{1207, u"Unbalanced parenthesis"},
    ErrorText{1208, u"Operator missing, function not found, or \"(\" not expected"},
    ErrorText{1209, u"Name (such as field name or layout name) is missing"},
    ErrorText{1210, u"Plug-in function has already been registered"},
    ErrorText{1211, u"List usage is not allowed in this function"},
    ErrorText{1212, u"An operator (for example, +, -, *) is expected here"},
    ErrorText{1213, u"This variable has already been defined in the Let function"},
    ErrorText{1214,
              u"AVERAGE, COUNT, EXTEND, GETREPETITION, MAX, MIN, NPV, STDEV, SUM, and GETSUMMARY: expression "
              u"found where a field alone is needed"},
    ErrorText{1215, u"This parameter is an invalid Get function parameter"},
    ErrorText{1216, u"Only summary fields are allowed as first argument in GETSUMMARY"},
    ErrorText{1217, u"Break field is invalid"},
    ErrorText{1218, u"Cannot evaluate the number"},
    ErrorText{1219, u"A field cannot be used in its own formula"},
    ErrorText{1220, u"Field type must be normal or calculated"},
    ErrorText{1221, u"Data type must be number, date, time, or timestamp"},
    ErrorText{1222, u"Calculation cannot be stored"},
    ErrorText{1223, u"Function referred to is not yet implemented"},
    ErrorText{1224, u"Function referred to does not exist"},
    ErrorText{1225, u"Function referred to is not supported in this context"},
    ErrorText{1300, u"The specified name can't be used"},
    // ODBC
    ErrorText{1400, u"ODBC client driver initialization failed; make sure ODBC client drivers are properly installed"},
    ErrorText{1401, u"Failed to allocate environment (ODBC)"},
    ErrorText{1402, u"Failed to free environment (ODBC)"},
    ErrorText{1403, u"Failed to disconnect (ODBC)"},
    ErrorText{1404, u"Failed to allocate connection (ODBC)"},
    ErrorText{1405, u"Failed to free connection (ODBC)"},
    ErrorText{1406, u"Failed check for SQL API (ODBC)"},
    ErrorText{1407, u"Failed to allocate statement (ODBC)"},
    ErrorText{1408, u"Extended error (ODBC)"},
    ErrorText{1409, u"Error (ODBC)"},
    ErrorText{1413, u"Failed communication link (ODBC)"},
    ErrorText{1414, u"SQL statement is too long"},
    ErrorText{1450, u"Action requires PHP privilege extension"},
    ErrorText{1451, u"Action requires that current file be remote"},
    // Mail
    ErrorText{1501, u"SMTP authentication failed"},
    ErrorText{1502, u"Connection refused by SMTP server"},
    ErrorText{1503, u"Error with SSL"},
    ErrorText{1504, u"SMTP server requires the connection to be encrypted"},
    ErrorText{1505, u"Specified authentication is not supported by SMTP server"},
    ErrorText{1506, u"Email message(s) could not be sent successfully"},
    ErrorText{1507, u"Unable to log in to the SMTP server"},
    // Plug-ins
    ErrorText{1550, u"Cannot load the plug-in, or the plug-in is not a valid plug-in"},
    ErrorText{1551, u"Cannot install the plug-in; cannot delete an existing plug-in or write to the folder or disk"},
    // Transfers by URL
    ErrorText{1626, u"Protocol is not supported"},
    ErrorText{1627, u"Authentication failed"},
    ErrorText{1628, u"There was an error with SSL"},
    ErrorText{1629, u"Connection timed out; the timeout value is 60 seconds"},
    ErrorText{1630, u"URL format is incorrect"},
    ErrorText{1631, u"Connection failed"},
};

// The binary search below relies on strictly ascending codes.
static_assert(std::adjacent_find(kErrorTexts.begin(), kErrorTexts.end(), [](const ErrorText& a, const ErrorText& b) {
                  return a.code >= b.code;
              }) == kErrorTexts.end());
static_assert(kErrorTexts.size() == 236);

std::u16string decimalText(fmx::errcode code) {
    std::u16string digits;
    int value = code;
    const bool negative = value < 0;
    if (negative) value = -value;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    if (negative) digits.insert(digits.begin(), u'-');
    return digits;
}

}  // namespace

std::u16string ucstringFromFMError(fmx::errcode code) {
    const auto found = std::lower_bound(kErrorTexts.begin(), kErrorTexts.end(), code,
                                        [](const ErrorText& entry, fmx::errcode key) { return entry.code < key; });
    std::u16string text = (found != kErrorTexts.end() && found->code == code) ? found->description : u"Unknown Error";
    text += u" (";
    text += decimalText(code);
    text += u')';
    return text;
}
