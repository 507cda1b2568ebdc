// Path reading on arbitrary text: delimiter normalisation, parsing and every output style.
// Checks: normalised text holds no backslash; a parsed path has a known root and components that are neither empty nor
// "." or ".." and never hold a "/"; a failed parse leaves nothing defined; nothing crashes or leaks.
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/Strings/Orb_String.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The first byte picks the form: UTF-16 units (any unit, lone surrogates and U+F05C included)
// or UTF-8 text.
ucstring inputText(const uint8_t* data, size_t size) {
    if (size == 0) return {};
    if (data[0] & 1) {
        ucstring text;
        for (size_t i = 1; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
        return text;
    }
    return ucstringFromUTF8String(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
}

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ucstring text = inputText(data, size);

    const ucstring normalized = OrbFileRef::normalizePathDelimiters(text);
    // "/" is the only delimiter left; backslashes inside names are escaped.
    check(normalized.find(u'\\') == ucstring::npos && normalized.find(u'\uF05C') == ucstring::npos);
    (void)isFullPath(text);
    (void)OrbFileRef::extractFileName(text);
    (void)OrbFileRef::stripSpecialFileNameChars(text);
    for (int style = 0; style <= 3; ++style) (void)OrbFileRef::decodeSlashes(text, style);

    OrbFileRef ref;
    if (!ref.parsePath(text)) {
        check(!ref.defined() && ref.pathList().empty() && !ref.errorString().empty());
        return 0;
    }
    const ucstringlist& items = ref.pathList();
    check(!items.empty());
    const ucstring& root = items[0];
    check(root == u"Volumes" || root == u"Network" || root == u"~");
    if (root != u"~") check(items.size() >= 2);  // a volume, or a server
    for (size_t i = 1; i < items.size(); ++i) {
        check(!items[i].empty() && items[i] != u"." && items[i] != u"..");
        check(items[i].find(u'/') == ucstring::npos);
    }
    for (int style = 0; style <= 3; ++style) {
        ucstring out;
        check(ref.pathAsString(out, style) == (style != kPathStyleMac));
        check(style == kPathStyleMac || !out.empty());
    }
    OrbFileRef again(ref.pathAsString(kPathStyleSlash));
    check(again.defined());
    return 0;
}
