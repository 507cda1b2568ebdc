// One item of a remote folder as its listing shows it (remote/ListFormats.h reads listings into
// these), with what a walk of a folder tree adds: where a link leads and the folder's own items.
#pragma once

#include "_Common/CoreCode/Orb_DateTime.h"
#include "_Common/Strings/Orb_StringTypes.h"

#include <cstdint>
#include <vector>

enum class RemoteItemType { kUnknown, kFile, kFolder, kSymlink };

// The word the plug-in shows for a type: "unknown", "file", "dir" or "symlink".
inline const char16_t* remoteItemTypeText(RemoteItemType type) {
    switch (type) {
        case RemoteItemType::kFile: return u"file";
        case RemoteItemType::kFolder: return u"dir";
        case RemoteItemType::kSymlink: return u"symlink";
        case RemoteItemType::kUnknown: break;
    }
    return u"unknown";
}

// What a walk found a link (or an item of unknown type) to be: a folder to enter (its items
// listed like a directory's), a file to fetch, nothing that can be read, or a folder the walk does
// not enter because the download already holds it or it holds the download (a link to a folder
// inside the tree, to the tree's own folder or above it, or met before; a directory met before
// too).
enum class RemoteItemResolved { kNotAsked, kFolder, kFile, kNowhere, kRepeat };

// The modification time of an item whose listing gives none: 2000-01-01 00:00:00.
const OrbDateTime& listDefaultModDate();

struct RemoteItem {
    ucstring name;  // as shown: UTF-8 names decoded, others read as Latin-1 (see ListRawNames)
    RemoteItemType type = RemoteItemType::kUnknown;
    int64_t size = 0;
    OrbDateTime modDate{listDefaultModDate().dateTime()};
    ucstring target;  // where a link leads, when its listing line says ("name -> target"); else empty

    // Set by a walk of the folder tree (listRemoteHelper).
    RemoteItemResolved resolved = RemoteItemResolved::kNotAsked;
    bool walked = false;            // the walk went into this folder: `items` is its listing
    std::vector<RemoteItem> items;  // empty below the depth limit

    bool operator==(const RemoteItem&) const = default;
};
