// Remote listings without the connection: the items that listings are read into
// (remote/ListFormats.h), the wildcard matching and item texts of the list functions (shared with
// the local list functions, whose items are records), and the walk that lists a remote directory
// tree.
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/Strings/Orb_StringRegEx.h"
#include "remote/ListFormats.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string_view>
#include <vector>

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

// Each list function below takes a remote listing or the local one, whose items are records:
// arrays named after the item holding "Type" (text), "Size" (integer) and "ModDate" (timestamp).
// An entry of the local list that is no array is no item.

// Appends the record of one local item: an array named `name` with "Type", "Size" and "ModDate".
void listAddItemRecord(OrbVariableArray& list, const ucstring& name, const ucstring& type, int64_t size,
                       const OrbDateTime& modDate);

// The number of items in `list` whose name matches the wildcard (all items without one).
ucstring listItemCount(const std::vector<RemoteItem>& list, const ucstring& wildcard, int64_t& count);
ucstring listItemCount(const OrbVariableArray& list, const ucstring& wildcard, int64_t& count);

// What Volan_GetRemoteListItem / Volan_GetLocalListItem asked for.
struct ListItemRequest {
    ucstring location;        // the first word of a row and the "Location=" value: "Remote" or "Local"
    ucstring which;           // "ALL", "FIRST", "NEXT" or a 1-based number, in any case and spacing
    ucstring wildcard;        // empty: every record
    ucstring fieldSeparator;  // empty: "||"
    ucstring rowSeparator;    // empty: a carriage return
};

// "ALL": one row per matching item, location + FS + type + FS + name + FS + size + FS + date +
// FS + time + RS; `position` is left alone. Otherwise FIRST, NEXT (after `position`) or a number
// picks a matching item and becomes the new `position`; no such item gives an empty result
// and position 0, so the next NEXT starts over. A picked item is "Location=" + location +
// "\rType=...\rFileName=...\rFileSize=...\rFileDate=MM/DD/YYYY\rFileTime=HH:MM:SS".
ucstring listGetItem(const std::vector<RemoteItem>& list, const ListItemRequest& request, int32_t& position,
                     ucstring& result);
ucstring listGetItem(const OrbVariableArray& list, const ListItemRequest& request, int32_t& position, ucstring& result);

// An item's fields as the list functions show them: the type's word ("dir", "file", ...), the size
// in digits, the date as MM/DD/YYYY and the time as HH:MM:SS. A record's missing members give
// "unknown", "0", "01/01/2000" and "00:00:00".
void listItemFields(const RemoteItem& item, ucstring& type, ucstring& size, ucstring& date, ucstring& time);
void listItemFields(const OrbVariable& record, ucstring& type, ucstring& size, ucstring& date, ucstring& time);

// ---- Directory trees ---------------------------------------------------------------------------

// Lists one remote directory into `list`; returns an error text.
using ListDirectoryFunction = std::function<ucstring(const ucstring& directory, std::vector<RemoteItem>& list)>;

// Where a link (or an item whose listing names no type) leads, as the server answers when asked.
struct ListLinkAnswer {
    enum Kind { kNowhere, kFile, kFolder };
    Kind kind = kNowhere;           // nowhere: dangling, a loop of links, or nothing this user may read
    std::vector<RemoteItem> items;  // a folder's listing, when it was asked for
    ucstring realPath;              // a folder's own path on the server (links followed); empty when unknown
    int64_t size = -1;              // a file's size, when the server tells
    OrbDateTime modDate{listDefaultModDate().dateTime()};
    bool hasModDate = false;  // the server told the file's time
};
// Asks about the item at `path`; with `listFolder` a folder's listing comes along. An error text
// when the server could not be asked (not for an answer of "nowhere").
using ListLinkFunction = std::function<ucstring(const ucstring& path, bool listFolder, ListLinkAnswer& answer)>;

// What a walk asks the server. Without `followLink`, links are left as they are listed; without
// `realPath`, a folder is known by the path it was reached by.
struct ListTreeServer {
    ListDirectoryFunction listDirectory;
    ListLinkFunction followLink;
    // The server's own path of the folder at `path` (links followed); empty when it does not say.
    std::function<ucstring(const ucstring& path)> realPath;
};

struct ListRemoteHelperContext {
    ucstring error;                 // the first error met
    std::vector<RemoteItem> items;  // the listing of `directory`; directories get their own (`walked`)
    ucstring directory;             // remote path of this level
    uint16_t maxDepth = 0;          // 0: no limit but kRemoteTreeDepthLimit
    uint16_t currentDepth = 0;
    std::set<ucstring>* visited = nullptr;  // the folders listed so far in this walk, by real path
    ucstring realPath;                      // this level's own path on the server; empty: `directory`
    ucstring topRealPath;                   // the same for the folder the walk started in
    bool listed = false;                    // `items` already holds this level's listing
};

// How deep a walk goes at most: a listing that names its own folder (a broken or hostile server,
// a link loop) would otherwise lead on without end.
constexpr uint16_t kRemoteTreeDepthLimit = 50;

// A link's target path (`target`, as the link holds it) from the folder `folder`, with "." and
// ".." folded: the folder's path on the server when the link leads to one.
ucstring listJoinLinkTarget(const ucstring& folder, const ucstring& target);

// Lists context.directory and, within the depth limit, every subdirectory but "." and "..",
// giving each directory item its own items (and `walked`). Links and items of unknown type are
// asked about (followLink) and get `resolved`; a linked folder is entered like a directory unless
// it lies inside the tree, holds it, or was entered before. An item with a target (where the
// listing says the link leads) is placed by it; otherwise by what the server says. Stops at the
// first error; a tree deeper than kRemoteTreeDepthLimit is an error.
void listRemoteHelper(ListRemoteHelperContext& context, const ListTreeServer& server);
void listRemoteHelper(ListRemoteHelperContext& context, const ListDirectoryFunction& listDirectory);
