// The heavier file operations on a file reference: copying and moving without overwriting,
// sizes, renaming, listings (flat and recursive) and removing a folder with everything in it.
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/FileAndStream/Orb_FileRef.h"

#include <platform/Files.h>

#include <vector>

// What listItems records for each entry.
enum OrbListItemsOption : int {
    kListItemsType = 1,           // "Type": "dir" or "file"; also "Link" and "Special" (1) where they apply
    kListItemsSize = 2,           // "Size": bytes (files)
    kListItemsCreationDate = 4,   // "CreationDate"
    kListItemsModDate = 8,        // "ModDate"
    kListItemsRecursive = 16,     // folders also hold "Items", their own listing
    kListItemsAllAttributes = 15  // type, size and both dates
};

// The state handed down the recursion of a listing.
class OrbFileRefListItemsContext {
public:
    OrbFileRefListItemsContext(OrbVariableArray* result, int style, const OrbFileRef& directory, int options)
        : mResult(result), mStyle(style), mDirectory(directory), mOptions(options) {}
    virtual OrbVariableArray* result() const { return mResult; }
    virtual int style() const { return mStyle; }
    virtual const OrbFileRef& directory() const { return mDirectory; }
    virtual int options() const { return mOptions; }
    virtual std::vector<platform::FolderEntry>& mutableEntries() { return mEntries; }
    virtual ~OrbFileRefListItemsContext() = default;

private:
    OrbVariableArray* mResult;
    int mStyle;
    OrbFileRef mDirectory;
    int mOptions;
    std::vector<platform::FolderEntry> mEntries;  // the folder's entries, released with the context
};

// One kind of file a dialog offers: its patterns ("*.jpg") and the Mac type code ("????" when none).
struct OrbFileType {
    ucstring description;  // empty: shown as "Unknown Type"
    ucstringlist patterns;
    ucstring typeCode;
    ucstring imageType;
};

class OrbFileRefEx : public OrbFileRef {
public:
    using OrbFileRef::OrbFileRef;
    OrbFileRefEx() = default;
    explicit OrbFileRefEx(const OrbFileRef& other) : OrbFileRef(other) {}
    ~OrbFileRefEx() override;

    // This file (completed by srcName) into `dest`: a folder (completed by destName), or the new
    // file's path. An existing file is never overwritten.
    bool copyFile(const OrbFileRef& dest, const ucstring& srcName = {}, const ucstring& destName = {});
    bool moveFile(const OrbFileRef& dest, const ucstring& srcName = {}, const ucstring& destName = {});
    bool copyOrMoveFile(const OrbFileRef& dest, const ucstring& srcName, const ucstring& destName, bool move);

    bool fileSize(int64_t& size);
    // New names are raw names (not paths); the reference then names the renamed item.
    bool renameFile(const ucstring& newName);
    bool renameDir(const ucstring& newName);
    bool removeDirAndFiles();

    // The folder's entries as arrays named after them (see OrbListItemsOption).
    bool listItems(OrbVariableArray* arrayResult, int options);
    // The folder's entry names, appended to the list.
    bool listItems(ucstringlist* nameList, int style);

    // File types for dialogs: each entry a keyword of the built-in table ("JPG", "text file") or a
    // custom "description|.a/.b|CODE|IMAGE"; blank entries are dropped.
    static std::vector<OrbFileType> generateFileTypeList(const ucstringlist& entries);
    static bool lookUpFileType(const ucstring& keyword, OrbFileType& type);
    static size_t builtInFileTypeCount();
    // The dialog filter: "All Readable Files|...|-||Desc (*.a;*.b)|*.a;*.b|...", or all files.
    static ucstring fileTypeFilter(const std::vector<OrbFileType>& types);

private:
    bool listItemsHelper(OrbFileRefListItemsContext& context);
};
