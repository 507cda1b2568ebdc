// What servers send for directory listings, read into items (remote/RemoteItem.h): MLSD and MLST
// facts, and the LIST output of Unix and its kin (classic Mac, NetWare), MS-DOS/IIS, Windows CE,
// OS/2, OS/400, VMS, MVS and EPLF servers. An item's modification time is 2000-01-01 00:00:00
// when its listing gives none; a link whose line says where it leads ("name -> target") also
// has its target, for folder walks.
#pragma once

#include "RemoteItem.h"
#include "_Common/Strings/Orb_StringTypes.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

// ---- Items -------------------------------------------------------------------------------------

// Names a server sent in bytes that are not UTF-8, by the text shown for them. Such a name is shown
// decoded as Latin-1; the original bytes are what goes back to the server.
using ListRawNames = std::map<ucstring, std::string>;

// The text of a name as the server sent it: decoded as UTF-8 when the bytes are valid UTF-8, else
// as Latin-1, with the bytes noted in `rawNames` (when given) under that text.
ucstring listNameFromBytes(std::string_view bytes, ListRawNames* rawNames);

// Reads one machine-format line into the name, type, size and time of `item` (its other members
// are left alone): facts ("name=value;" pairs, names in any case), a blank, the name (UTF-8). The
// type is the "Type" fact in any case ("cdir" gives a folder named ".", "pdir" one named ".."; a
// link, "OS.unix=slink..." or "OS.unix=symlink", is a symlink; anything else but "dir" and "file"
// is unknown), the size the "Size" fact (0 when missing), the time the "Modify" fact
// (YYYYMMDDHHNNSS, taken as given). An empty name is "<no name>".
void listParseFactLine(std::string_view line, RemoteItem& item, ListRawNames* rawNames = nullptr);

// getRemoteItemInfo's answer for an MLST fact line: the item, named by the returned path after its
// last "/".
RemoteItem listItemInfoFromFactLine(std::string_view factLine);

// ---- Parsers -----------------------------------------------------------------------------------

// MLSD lines (UTF-8, one item each) into items in listing order; blank lines and lines without
// a name are skipped. `list` is cleared first; it always ends up holding "." and ".." (folders, put
// in front when the server sent none).
void parseMachineList(const stringlist& lines, std::vector<RemoteItem>& list, ListRawNames* rawNames = nullptr);

// LIST lines into items in listing order. Each line is read by the first format that takes it,
// so a listing may mix formats; a line no format takes (a "total" line, a header, a message) is
// no item. `now` is the local time taken as today: a Unix line that shows a time instead of a
// year belongs to the last twelve months. Same "." and ".." rule as above.
void parseStandardList(const stringlist& lines, std::vector<RemoteItem>& list, const OrbDateTime& now = OrbDateTime(),
                       ListRawNames* rawNames = nullptr);

// The LIST formats by name ("EPLF", "Unix", "VMS", "MS-DOS", ...), in the order they are tried.
stringlist listFormatNames();
// LIST lines read by the named format alone: a line it does not take is no item (an unknown name
// takes none). Same "." and ".." rule as above.
void parseListAs(const std::string& format, const stringlist& lines, std::vector<RemoteItem>& list,
                 const OrbDateTime& now = OrbDateTime());
