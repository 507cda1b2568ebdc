#include "Function__RemoteList.h"

#include "Orb_Debug.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <initializer_list>

namespace {

constexpr char16_t kCR[] = u"\r";

const OrbVariable* member(const OrbVariable& record, const char16_t* name) {
    const OrbVariable* found = nullptr;
    record.arrayValue().variableWithName(name, found);
    return found;
}

bool isRecord(const OrbVariable& v) { return v.type() == OrbVariable::kArray; }

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

ucstring listItemCount(const OrbVariableArray& list, const ucstring& wildcard, int64_t& count) {
    count = 0;
    ucStringRegEx matcher;
    bool filtered = false;
    ucstring error = listCompileWildcard(wildcard, matcher, filtered);
    if (!error.empty()) return error;
    for (const OrbVariable& v : list) {
        if (isRecord(v) && (!filtered || listWildcardMatches(matcher, v.name()))) ++count;
    }
    return ucstring();
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

ucstring listGetItem(const OrbVariableArray& list, const ListItemRequest& request, int32_t& position,
                     ucstring& result) {
    result.clear();
    ucstring error = listValidateWhich(request.which);
    if (!error.empty()) return error;
    const ucstring which = stringNormalize(request.which);
    const ucstring fieldSeparator = request.fieldSeparator.empty() ? ucstring(u"||") : request.fieldSeparator;
    const ucstring rowSeparator = request.rowSeparator.empty() ? ucstring(kCR) : request.rowSeparator;

    ucStringRegEx matcher;
    bool filtered = false;
    error = listCompileWildcard(request.wildcard, matcher, filtered);
    if (!error.empty()) return error;

    std::vector<const OrbVariable*> records;
    records.reserve(list.size());
    for (const OrbVariable& v : list) {
        if (isRecord(v) && (!filtered || listWildcardMatches(matcher, v.name()))) records.push_back(&v);
    }
    const int64_t count = static_cast<int64_t>(records.size());

    ucstring type, size, date, time;
    if (which == u"ALL") {
        for (const OrbVariable* record : records) {
            listItemFields(*record, type, size, date, time);
            result += request.location;
            for (const ucstring* field :
                 std::initializer_list<const ucstring*>{&type, &record->name(), &size, &date, &time}) {
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

    const OrbVariable& record = *records[static_cast<size_t>(wanted - 1)];
    listItemFields(record, type, size, date, time);
    result = u"Location=" + request.location + kCR + u"Type=" + type + kCR + u"FileName=" + record.name() + kCR +
             u"FileSize=" + size + kCR + u"FileDate=" + date + kCR + u"FileTime=" + time;
    return ucstring();
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

void setResolved(OrbVariable& record, const char16_t* resolved) {
    OrbVariable value(u"Resolved");
    value.setStringValue(resolved);
    record.mutableArrayValue().mutableVariableArray().push_back(std::move(value));
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

    for (OrbVariable& record : context.items) {
        if (!isRecord(record) || record.name() == u"." || record.name() == u"..") continue;
        const OrbVariable* type = member(record, u"Type");
        const ucstring typeText = type ? type->stringValue() : ucstring(u"unknown");
        const bool isDir = typeText == u"dir";
        if (!isDir && typeText != u"symlink" && typeText != u"unknown") continue;
        // A name with a path separator is not one item of this directory (a broken or hostile
        // listing); it is never entered, and directory downloads skip it.
        if (record.name().find_first_of(u"/\\") != ucstring::npos) continue;

        ListRemoteHelperContext child;
        child.directory = childPath(context.directory, record.name());
        child.maxDepth = context.maxDepth;
        child.currentDepth = context.currentDepth;
        child.visited = context.visited;
        child.topRealPath = context.topRealPath;
        if (isDir) {
            child.realPath = childPath(context.realPath, record.name());
        } else {
            if (!server.followLink) continue;
            ListLinkAnswer answer;
            const ucstring error = server.followLink(child.directory, enterFolders, answer);
            if (!error.empty()) {
                context.error = error;
                break;
            }
            if (answer.kind != ListLinkAnswer::kFolder) {
                setResolved(record, answer.kind == ListLinkAnswer::kFile ? kResolvedFile : kResolvedNowhere);
                continue;
            }
            const OrbVariable* target = member(record, u"Target");
            if (target && !target->stringValue().empty())
                child.realPath = listJoinLinkTarget(context.realPath, target->stringValue());
            else
                child.realPath = foldedPath(answer.realPath.empty() ? child.directory : answer.realPath);
            // A link to the tree's own folder or above leads back into it; one to a folder inside
            // the tree would fetch that folder a second time.
            const bool again =
                pathWithin(context.topRealPath, child.realPath) || pathWithin(child.realPath, context.topRealPath);
            if (enterFolders && again) {
                setResolved(record, kResolvedRepeat);
                continue;
            }
            setResolved(record, kResolvedFolder);
            child.items = std::move(answer.items);
            child.listed = enterFolders;
        }
        if (enterFolders && context.visited->count(child.realPath)) {
            setResolved(record, kResolvedRepeat);
            continue;
        }
        listRemoteHelper(child, server);
        if (!child.error.empty()) {
            context.error = child.error;
            break;
        }
        OrbVariable items(u"Items");
        items.setType(OrbVariable::kArray);
        items.mutableArrayValue() = std::move(child.items);
        record.mutableArrayValue().mutableVariableArray().push_back(std::move(items));
    }
    --context.currentDepth;
}
