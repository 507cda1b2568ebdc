// Remote listings without the connection: the item records that listings are read into
// (Function__ListFormats.h), the wildcard matching and record texts of the list functions (shared
// with the local list functions), and the walk that lists a remote directory tree.
#pragma once

#include "Function__ListFormats.h"
#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/Strings/Orb_StringRegEx.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string_view>

// ---- Wildcards ---------------------------------------------------------------------------------

// The regular expression of a file-name wildcard: normalised (trimmed, upper-cased, since names
// are matched upper-cased), "." literal, "*" any run of characters, "?" one character, anchored
// at the start. Other regular-expression characters pass through. Empty stays empty.
ucstring convertWildcardToRegEx(const ucstring& wildcard);

// Compiles the wildcard into `matcher` and sets `active`; an empty wildcard leaves it inactive
// (every name matches). The error: "Could not compile wildcard regular expression: " + the
// expression + "; Error: " + the compiler's message.
ucstring listCompileWildcard(const ucstring& wildcard, ucStringRegEx& matcher, bool& active);

// True when the upper-cased name matches the whole expression.
bool listWildcardMatches(ucStringRegEx& matcher, const ucstring& name);

// ---- The list functions ------------------------------------------------------------------------

// Empty when Which names something, else "You must specify which list item to retrieve.
// ('Which' parameter).". The functions test it before they even look at the connection.
ucstring listValidateWhich(const ucstring& which);

// The number of records in `list` whose name matches the wildcard (all records without one).
ucstring listItemCount(const OrbVariableArray& list, const ucstring& wildcard, int64_t& count);

// What Volan_GetRemoteListItem / Volan_GetLocalListItem asked for.
struct ListItemRequest {
    ucstring location;        // the first word of a row and the "Location=" value: "Remote" or "Local"
    ucstring which;           // "ALL", "FIRST", "NEXT" or a 1-based number, in any case and spacing
    ucstring wildcard;        // empty: every record
    ucstring fieldSeparator;  // empty: "||"
    ucstring rowSeparator;    // empty: a carriage return
};

// "ALL": one row per matching record, location + FS + type + FS + name + FS + size + FS + date +
// FS + time + RS; `position` is left alone. Otherwise FIRST, NEXT (after `position`) or a number
// picks a matching record and becomes the new `position`; no such record gives an empty result
// and position 0, so the next NEXT starts over. A picked record is "Location=" + location +
// "\rType=...\rFileName=...\rFileSize=...\rFileDate=MM/DD/YYYY\rFileTime=HH:MM:SS".
ucstring listGetItem(const OrbVariableArray& list, const ListItemRequest& request, int32_t& position, ucstring& result);

// A record's fields as the list functions show them; missing members give "unknown", "0",
// "01/01/2000" and "00:00:00".
void listItemFields(const OrbVariable& record, ucstring& type, ucstring& size, ucstring& date, ucstring& time);

// ---- Directory trees ---------------------------------------------------------------------------

// Lists one remote directory into `list` (records as above); returns an error text.
using ListDirectoryFunction = std::function<ucstring(const ucstring& directory, OrbVariableArray& list)>;

struct ListRemoteHelperContext {
    ucstring error;          // the first error met
    OrbVariableArray items;  // the listing of `directory`; directories get their own as "Items"
    ucstring directory;      // remote path of this level
    uint16_t maxDepth = 0;   // 0: no limit but kRemoteTreeDepthLimit
    uint16_t currentDepth = 0;
    std::set<ucstring>* visited = nullptr;  // the folders listed so far in this walk
};

// How deep a walk goes at most: a listing that names its own folder (a broken or hostile server,
// a link loop) would otherwise lead on without end.
constexpr uint16_t kRemoteTreeDepthLimit = 50;

// Lists context.directory and, within the depth limit, every subdirectory but "." and "..",
// giving each directory record the array "Items". Stops at the first error; a tree deeper than
// kRemoteTreeDepthLimit, or a folder met a second time, is an error.
void listRemoteHelper(ListRemoteHelperContext& context, const ListDirectoryFunction& listDirectory);
