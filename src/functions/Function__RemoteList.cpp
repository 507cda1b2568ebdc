#include "Function__RemoteList.h"

#include "Orb_Debug.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <initializer_list>
#include <type_traits>

namespace {

constexpr char16_t kCR[] = u"\r";

const OrbVariable* member(const OrbVariable& record, const char16_t* name) {
    const OrbVariable* found = nullptr;
    record.arrayValue().variableWithName(name, found);
    return found;
}

}  // namespace

// ---- Wildcards ---------------------------------------------------------------------------------

ucstring convertWildcardToRegEx(const ucstring& wildcard) {
    ucstring expression = stringNormalize(wildcard);
    if (expression.empty()) return expression;
    stringReplaceAllInPlace(expression, u".", u"\\.");
    stringReplaceAllInPlace(expression, u"*", u".*");
    stringReplaceAllInPlace(expression, u"?", u".");
    return u"^" + expression;
}

ucstring listCompileWildcard(const ucstring& wildcard, ucStringRegEx& matcher, bool& active) {
    active = false;
    const ucstring expression = convertWildcardToRegEx(wildcard);
    if (expression.empty()) return ucstring();
    const ucstring failure = matcher.setExpression(expression);
    if (!failure.empty())
        return u"Could not compile wildcard regular expression: " + expression + u"; Error: " + failure;
    active = true;
    return ucstring();
}

bool listWildcardMatches(ucStringRegEx& matcher, const ucstring& name) { return matcher.match(stringUpperCase(name)); }

// ---- The list functions ------------------------------------------------------------------------

ucstring listValidateWhich(const ucstring& which) {
    if (stringNormalize(which).empty()) return u"You must specify which list item to retrieve. ('Which' parameter).";
    return ucstring();
}

namespace {

// The list functions see a remote item and a local record alike: a name and the fields of
// listItemFields. An entry of a local list that is no record is no item.
bool isItem(const RemoteItem&) { return true; }
bool isItem(const OrbVariable& v) { return v.type() == OrbVariable::kArray; }
const ucstring& itemName(const RemoteItem& item) { return item.name; }
const ucstring& itemName(const OrbVariable& record) { return record.name(); }

template <class List>
using ItemOf = std::remove_cvref_t<decltype(*std::declval<const List&>().begin())>;

// Calls `visit` with each item of `list` whose name matches the wildcard (all without one), in
// list order.
template <class List, class Visit>
ucstring forEachMatchingItem(const List& list, const ucstring& wildcard, Visit visit) {
    ucStringRegEx matcher;
    bool filtered = false;
    const ucstring error = listCompileWildcard(wildcard, matcher, filtered);
    if (!error.empty()) return error;
    for (const auto& item : list) {
        if (isItem(item) && (!filtered || listWildcardMatches(matcher, itemName(item)))) visit(item);
    }
    return ucstring();
}

template <class List>
ucstring countItems(const List& list, const ucstring& wildcard, int64_t& count) {
    count = 0;
    return forEachMatchingItem(list, wildcard, [&count](const auto&) { ++count; });
}

template <class List>
ucstring getItem(const List& list, const ListItemRequest& request, int32_t& position, ucstring& result) {
    result.clear();
    ucstring error = listValidateWhich(request.which);
    if (!error.empty()) return error;
    const ucstring which = stringNormalize(request.which);
    const ucstring fieldSeparator = request.fieldSeparator.empty() ? ucstring(u"||") : request.fieldSeparator;
    const ucstring rowSeparator = request.rowSeparator.empty() ? ucstring(kCR) : request.rowSeparator;

    std::vector<const ItemOf<List>*> items;
    items.reserve(list.size());
    error = forEachMatchingItem(list, request.wildcard, [&items](const auto& item) { items.push_back(&item); });
    if (!error.empty()) return error;
    const int64_t count = static_cast<int64_t>(items.size());

    ucstring type, size, date, time;
    if (which == u"ALL") {
        for (const auto* item : items) {
            listItemFields(*item, type, size, date, time);
            result += request.location;
            for (const ucstring* field :
                 std::initializer_list<const ucstring*>{&type, &itemName(*item), &size, &date, &time}) {
                result += fieldSeparator;
                result += *field;
            }
            result += rowSeparator;
        }
        return ucstring();
    }

    const int64_t previous = position;
    int64_t wanted = 0;
    if (which == u"FIRST") {
        wanted = count > 0 ? 1 : 0;
    } else if (which == u"NEXT") {
        wanted = previous + 1 > count ? 0 : previous + 1;
    } else {
        wanted = stringToInteger(which);
        if (wanted < 0 || wanted > count) wanted = 0;
    }
    position = static_cast<int32_t>(wanted);
    if (wanted == 0) return ucstring();

    const auto& item = *items[static_cast<size_t>(wanted - 1)];
    listItemFields(item, type, size, date, time);
    result = u"Location=" + request.location + kCR + u"Type=" + type + kCR + u"FileName=" + itemName(item) + kCR +
             u"FileSize=" + size + kCR + u"FileDate=" + date + kCR + u"FileTime=" + time;
    return ucstring();
}

}  // namespace

void listAddItemRecord(OrbVariableArray& list, const ucstring& name, const ucstring& type, int64_t size,
                       const OrbDateTime& modDate) {
    // Copied from a finished record rather than built: a new variable reads the clock, which
    // costs more than the whole copy on long listings.
    static const OrbVariable kPrototype = [] {
        OrbVariable record;
        record.setType(OrbVariable::kArray);
        OrbVariableArray::Variables& members = record.mutableArrayValue().mutableVariableArray();
        members.reserve(3);
        members.emplace_back(u"Type");
        members.emplace_back(u"Size");
        members.emplace_back(u"ModDate");
        return record;
    }();
    // Added without the name checks of variables: file names may hold characters ("$", ";",
    // quotes) that are no variable names elsewhere, and an item is never to be lost for its name.
    OrbVariableArray::Variables& items = list.mutableVariableArray();
    items.push_back(kPrototype);
    OrbVariable& record = items.back();
    record.setNameAsIs(name);
    OrbVariableArray::Variables& members = record.mutableArrayValue().mutableVariableArray();
    members[0].setStringValue(type);
    members[1].setIntegerValue(size);
    members[2].setTimestampValue(modDate);
}

ucstring listItemCount(const std::vector<RemoteItem>& list, const ucstring& wildcard, int64_t& count) {
    return countItems(list, wildcard, count);
}

ucstring listItemCount(const OrbVariableArray& list, const ucstring& wildcard, int64_t& count) {
    return countItems(list, wildcard, count);
}

void listItemFields(const RemoteItem& item, ucstring& type, ucstring& size, ucstring& date, ucstring& time) {
    type = remoteItemTypeText(item.type);
    size.clear();
    stringFromInteger(size, item.size);
    item.modDate.dateString(date);
    item.modDate.timeString(time, false);
}

void listItemFields(const OrbVariable& record, ucstring& type, ucstring& size, ucstring& date, ucstring& time) {
    const OrbVariable* t = member(record, u"Type");
    type = t ? t->variableAsString(kLineEndingCR) : ucstring();
    if (type.empty()) type = u"unknown";
    const OrbVariable* s = member(record, u"Size");
    size.clear();
    stringFromInteger(size, s ? s->variableAsInteger() : 0);
    const OrbVariable* m = member(record, u"ModDate");
    const OrbDateTime& when = m ? m->timestampValue() : listDefaultModDate();
    when.dateString(date);
    when.timeString(time, false);
}

ucstring listGetItem(const std::vector<RemoteItem>& list, const ListItemRequest& request, int32_t& position,
                     ucstring& result) {
    return getItem(list, request, position, result);
}

ucstring listGetItem(const OrbVariableArray& list, const ListItemRequest& request, int32_t& position,
                     ucstring& result) {
    return getItem(list, request, position, result);
}

// ---- Directory trees ---------------------------------------------------------------------------

namespace {

// "/"-separated parts with "." and ".." folded ("/.." stays "/"); always starts with "/".
ucstring foldedPath(const ucstring& path) {
    std::vector<ucstring> parts;
    for (size_t start = 0; start <= path.size();) {
        size_t slash = path.find(u'/', start);
        if (slash == ucstring::npos) slash = path.size();
        const ucstring part = path.substr(start, slash - start);
        if (part == u"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != u".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    ucstring folded;
    for (const ucstring& part : parts) folded += u"/" + part;
    return folded.empty() ? ucstring(u"/") : folded;
}

// `inner` is `outer` or lies below it.
bool pathWithin(const ucstring& inner, const ucstring& outer) {
    if (outer == u"/") return true;
    return inner.compare(0, outer.size(), outer) == 0 && (inner.size() == outer.size() || inner[outer.size()] == u'/');
}

// "/" is the root, not a folder named "": no doubled slash.
ucstring childPath(const ucstring& directory, const ucstring& name) {
    if (!directory.empty() && directory.back() == u'/') return directory + name;
    return directory + u"/" + name;
}

// What the walk found first stands: a linked folder that turns out to be met before stays a folder
// (not walked into, so it brings no items).
void setResolved(RemoteItem& item, RemoteItemResolved resolved) {
    if (item.resolved == RemoteItemResolved::kNotAsked) item.resolved = resolved;
}

}  // namespace

ucstring listJoinLinkTarget(const ucstring& folder, const ucstring& target) {
    return foldedPath(!target.empty() && target[0] == u'/' ? target : folder + u"/" + target);
}

void listRemoteHelper(ListRemoteHelperContext& context, const ListDirectoryFunction& listDirectory) {
    listRemoteHelper(context, ListTreeServer{listDirectory, {}, {}});
}

void listRemoteHelper(ListRemoteHelperContext& context, const ListTreeServer& server) {
    DEBUG_SCOPE("listRemoteHelper");
    if (context.maxDepth != 0 && context.currentDepth >= context.maxDepth) return;
    if (context.currentDepth >= kRemoteTreeDepthLimit) {
        context.error = u"The remote folder tree goes deeper than " +
                        ucstringFromString(std::to_string(kRemoteTreeDepthLimit)) +
                        u" levels (does a folder contain itself?); stopped at '" + context.directory + u"'.";
        return;
    }
    std::set<ucstring> visitedHere;  // the walk's own record, at its top level
    struct Walk {
        ListRemoteHelperContext& context;
        bool top;
        ~Walk() {
            if (top) context.visited = nullptr;
        }
    } walk{context, context.visited == nullptr};
    if (walk.top) {
        context.visited = &visitedHere;
        // Where the server keeps the top folder, so that a link back to it (or above it) is known.
        const ucstring real = server.realPath ? server.realPath(context.directory) : ucstring();
        context.realPath = foldedPath(real.empty() ? context.directory : real);
        context.topRealPath = context.realPath;
    } else if (context.realPath.empty()) {
        context.realPath = foldedPath(context.directory);
    }
    if (!context.visited->insert(context.realPath).second) {
        context.error = u"The remote folder '" + context.realPath + u"' came up twice in its own tree; stopped.";
        return;
    }
    ++context.currentDepth;

    if (!context.listed) {
        context.items.clear();
        const ucstring error = server.listDirectory(context.directory, context.items);
        if (!error.empty()) {
            if (context.error.empty()) context.error = error;
            --context.currentDepth;
            return;
        }
    }
    // Below the depth limit folders are only told apart from files, never listed.
    const bool enterFolders = context.maxDepth == 0 || context.currentDepth < context.maxDepth;

    for (RemoteItem& item : context.items) {
        if (item.name == u"." || item.name == u"..") continue;
        const bool isDir = item.type == RemoteItemType::kFolder;
        if (!isDir && item.type != RemoteItemType::kSymlink && item.type != RemoteItemType::kUnknown) continue;
        // A name with a path separator is not one item of this directory (a broken or hostile
        // listing); it is never entered, and directory downloads skip it.
        if (item.name.find_first_of(u"/\\") != ucstring::npos) continue;

        ListRemoteHelperContext child;
        child.directory = childPath(context.directory, item.name);
        child.maxDepth = context.maxDepth;
        child.currentDepth = context.currentDepth;
        child.visited = context.visited;
        child.topRealPath = context.topRealPath;
        if (isDir) {
            child.realPath = childPath(context.realPath, item.name);
        } else {
            if (!server.followLink) continue;
            ListLinkAnswer answer;
            const ucstring error = server.followLink(child.directory, enterFolders, answer);
            if (!error.empty()) {
                context.error = error;
                break;
            }
            if (answer.kind != ListLinkAnswer::kFolder) {
                setResolved(item, answer.kind == ListLinkAnswer::kFile ? RemoteItemResolved::kFile
                                                                       : RemoteItemResolved::kNowhere);
                continue;
            }
            if (!item.target.empty())
                child.realPath = listJoinLinkTarget(context.realPath, item.target);
            else
                child.realPath = foldedPath(answer.realPath.empty() ? child.directory : answer.realPath);
            // A link to the tree's own folder or above leads back into it; one to a folder inside
            // the tree would fetch that folder a second time.
            const bool again =
                pathWithin(context.topRealPath, child.realPath) || pathWithin(child.realPath, context.topRealPath);
            if (enterFolders && again) {
                setResolved(item, RemoteItemResolved::kRepeat);
                continue;
            }
            setResolved(item, RemoteItemResolved::kFolder);
            child.items = std::move(answer.items);
            child.listed = enterFolders;
        }
        if (enterFolders && context.visited->count(child.realPath)) {
            setResolved(item, RemoteItemResolved::kRepeat);
            continue;
        }
        listRemoteHelper(child, server);
        if (!child.error.empty()) {
            context.error = child.error;
            break;
        }
        item.items = std::move(child.items);
        item.walked = true;
    }
    --context.currentDepth;
}
