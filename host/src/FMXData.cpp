// Data, DataVect, RowVect and BinaryData.
#include "Guard.h"

#include <cstring>

using namespace fmhost;
using fmx::_fmxcpt;

namespace {

// Keep the value of `d` but view it as another type, as the host's calculation engine would.
fmx::errcode convert(DataImpl& d, fmx::int32 type) {
    if (d.type == type) return 0;
    const std::u16string text = dataToText(d);
    const bool wasEmpty = d.type == fmx::kDTText ? d.text.s.empty() : d.empty;
    DataImpl out;
    out.locale = d.locale;
    out.type = type;
    out.empty = wasEmpty;
    switch (type) {
        case fmx::kDTText: out.text.s = text; break;
        case fmx::kDTNumber:
        case fmx::kDTBoolean:
            out.number.v = dataToNumber(d);
            if (type == fmx::kDTBoolean) out.number.v = out.number.v != 0;
            break;
        case fmx::kDTDate:
        case fmx::kDTTime:
        case fmx::kDTTimeStamp:
            if (d.type == fmx::kDTDate || d.type == fmx::kDTTime || d.type == fmx::kDTTimeStamp) {
                out.dateTime = d.dateTime;
            } else if (!wasEmpty) {
                bool ok = type == fmx::kDTTime ? textToTime(text, out.dateTime) : textToDate(text, out.dateTime);
                if (ok && type == fmx::kDTTimeStamp) {
                    const size_t blank = text.find(u' ');
                    if (blank != std::u16string::npos) textToTime(text.substr(blank + 1), out.dateTime);
                }
                if (!ok) return 500;  // "Date value does not meet validation entry options"-style failure
            }
            break;
        case fmx::kDTBinary: out.binary = d.binary; break;
        default: return 1200;
    }
    d = std::move(out);
    return 0;
}

void setDateLike(fmx::Data* self, const fmx::DateTime& v, fmx::int32 nativeType, fmx::int32 defaultType) {
    DataImpl& d = *impl(self);
    d = DataImpl{};
    d.type = defaultType;
    d.dateTime = impl(v);
    if (defaultType == fmx::kDTDate) d.dateTime.micros = 0;
    if (defaultType == fmx::kDTTime) d.dateTime.days = 0;
    d.empty = false;
    if (nativeType != defaultType) convert(d, nativeType);
}

}  // namespace

// ---- Data ---------------------------------------------------------------------------------------
fmx::Data* FM_Data_Constructor1(_fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::Data*>(nullptr), [] { return view(new DataImpl); });
}
void FM_Data_Delete(fmx::Data* self, _fmxcpt& _x) {
    guardedVoid(_x, [&] { delete impl(self); });
}
void FM_Data_Assign(fmx::Data* self, const fmx::Data& value, _fmxcpt& _x) {
    guardedVoid(_x, [&] { *impl(self) = impl(value); });
}
bool FM_Data_IsEmpty(const fmx::Data* self, _fmxcpt& _x) {
    return guarded(_x, true, [&] {
        const DataImpl& d = *impl(self);
        switch (d.type) {
            case fmx::kDTInvalid: return true;
            case fmx::kDTText: return d.text.s.empty();
            case fmx::kDTBinary: return d.binary.streams.empty() && d.binary.fileName.empty();
            default: return d.empty;
        }
    });
}
bool FM_Data_IsValid(const fmx::Data* self, _fmxcpt& _x) {
    return guarded(_x, false, [&] { return impl(self)->type != fmx::kDTInvalid; });
}
const fmx::Text& FM_Data_GetAsText(const fmx::Data* self, _fmxcpt& _x) {
    return guarded(_x, std::cref(view(emptyOf<TextImpl>())),
                   [&] {
                       const DataImpl& d = *impl(self);
                       d.textView.s = dataToText(d);
                       return std::cref(view(d.textView));
                   })
        .get();
}
const fmx::FixPt& FM_Data_GetAsNumber(const fmx::Data* self, _fmxcpt& _x) {
    return guarded(_x, std::cref(view(emptyOf<FixPtImpl>())),
                   [&] {
                       const DataImpl& d = *impl(self);
                       d.numberView.v = dataToNumber(d);
                       return std::cref(view(d.numberView));
                   })
        .get();
}
namespace {
const fmx::DateTime& dateView(const fmx::Data* self, _fmxcpt& x, fmx::int32 type) {
    return guarded(x, std::cref(view(emptyOf<DateTimeImpl>())),
                   [&] {
                       const DataImpl& d = *impl(self);
                       DataImpl copy = d;
                       d.dateView = DateTimeImpl{};
                       if (convert(copy, type) == 0) d.dateView = copy.dateTime;
                       return std::cref(view(d.dateView));
                   })
        .get();
}
}  // namespace
const fmx::DateTime& FM_Data_GetAsDate(const fmx::Data* self, _fmxcpt& _x) { return dateView(self, _x, fmx::kDTDate); }
const fmx::DateTime& FM_Data_GetAsTime(const fmx::Data* self, _fmxcpt& _x) { return dateView(self, _x, fmx::kDTTime); }
const fmx::DateTime& FM_Data_GetAsTimeStamp(const fmx::Data* self, _fmxcpt& _x) {
    return dateView(self, _x, fmx::kDTTimeStamp);
}
bool FM_Data_GetAsBoolean(const fmx::Data* self, _fmxcpt& _x) {
    return guarded(_x, false, [&] { return dataToNumber(*impl(self)) != 0; });
}
const fmx::BinaryData& FM_Data_GetBinaryData(const fmx::Data* self, _fmxcpt& _x) {
    return guarded(_x, std::cref(view(emptyOf<BinaryDataImpl>())), [&] { return std::cref(view(impl(self)->binary)); })
        .get();
}
const fmx::Locale& FM_Data_GetLocale(const fmx::Data* self, _fmxcpt& _x) {
    return guarded(_x, std::cref(view(emptyOf<LocaleImpl>())), [&] { return std::cref(view(impl(self)->locale)); })
        .get();
}
fmx::int32 FM_Data_GetNativeType(const fmx::Data* self, _fmxcpt& _x) {
    return guarded(_x, fmx::int32(fmx::kDTInvalid), [&] { return impl(self)->type; });
}
fmx::errcode FM_Data_SetAsText(fmx::Data* self, const fmx::Text& text, const fmx::Locale& locale, fmx::int32 nativeType,
                               _fmxcpt& _x) {
    return guarded(_x, fmx::errcode(1200), [&] {
        DataImpl& d = *impl(self);
        d = DataImpl{};
        d.type = fmx::kDTText;
        d.text = impl(text);
        d.locale = impl(locale);
        d.empty = d.text.s.empty();
        return nativeType == fmx::kDTText ? fmx::errcode(0) : convert(d, nativeType);
    });
}
void FM_Data_SetAsNumber(fmx::Data* self, const fmx::FixPt& number, fmx::int32 nativeType, _fmxcpt& _x) {
    guardedVoid(_x, [&] {
        DataImpl& d = *impl(self);
        d = DataImpl{};
        d.type = fmx::kDTNumber;
        d.number = impl(number);
        d.empty = false;
        if (nativeType != fmx::kDTNumber) convert(d, nativeType);
    });
}
void FM_Data_SetAsDate(fmx::Data* self, const fmx::DateTime& v, fmx::int32 nativeType, _fmxcpt& _x) {
    guardedVoid(_x, [&] { setDateLike(self, v, nativeType, fmx::kDTDate); });
}
void FM_Data_SetAsTime(fmx::Data* self, const fmx::DateTime& v, fmx::int32 nativeType, _fmxcpt& _x) {
    guardedVoid(_x, [&] { setDateLike(self, v, nativeType, fmx::kDTTime); });
}
void FM_Data_SetAsTimeStamp(fmx::Data* self, const fmx::DateTime& v, fmx::int32 nativeType, _fmxcpt& _x) {
    guardedVoid(_x, [&] { setDateLike(self, v, nativeType, fmx::kDTTimeStamp); });
}
void FM_Data_SetAsBoolean(fmx::Data* self, bool value, fmx::int32 nativeType, _fmxcpt& _x) {
    guardedVoid(_x, [&] {
        DataImpl& d = *impl(self);
        d = DataImpl{};
        d.type = fmx::kDTBoolean;
        d.number.v = value ? 1 : 0;
        d.empty = false;
        if (nativeType != fmx::kDTBoolean) convert(d, nativeType);
    });
}
fmx::errcode FM_Data_SetBinaryData(fmx::Data* self, const fmx::BinaryData& binaryData, bool, _fmxcpt& _x) {
    return guarded(_x, fmx::errcode(1200), [&] {
        DataImpl& d = *impl(self);
        d = DataImpl{};
        d.type = fmx::kDTBinary;
        d.binary = impl(binaryData);
        d.binary.openContexts.clear();
        d.empty = false;
        return fmx::errcode(0);
    });
}
void FM_Data_Clear(fmx::Data* self, fmx::int32 newNativeType, _fmxcpt& _x) {
    guardedVoid(_x, [&] {
        DataImpl& d = *impl(self);
        d = DataImpl{};
        d.type = newNativeType;
    });
}
fmx::errcode FM_Data_ConvertData(fmx::Data* self, fmx::int32 nativeType, _fmxcpt& _x) {
    return guarded(_x, fmx::errcode(1200), [&] { return convert(*impl(self), nativeType); });
}
fmx::uint16 FM_Data_GetPostscriptFontID(const fmx::Text& fontName, _fmxcpt& _x) {
    // This host knows one font, the one its window toolkit draws with.
    return guarded(_x, fmx::uint16(0), [&] { return fmx::uint16(impl(fontName).s == u"Helvetica" ? 1 : 0); });
}
bool FM_Data_GetPostscriptFontInfo(fmx::uint16 fontID, fmx::Text& fontName, _fmxcpt& _x) {
    return guarded(_x, false, [&] {
        if (fontID != 1) return false;
        impl(fontName).s = u"Helvetica";
        return true;
    });
}

// ---- DataVect / RowVect -------------------------------------------------------------------------
fmx::DataVect* FM_DataVect_Constructor1(_fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::DataVect*>(nullptr), [] { return view(new DataVectImpl); });
}
void FM_DataVect_Delete(fmx::DataVect* self, _fmxcpt& _x) {
    guardedVoid(_x, [&] { delete impl(self); });
}
fmx::uint32 FM_DataVect_Size(const fmx::DataVect* self, _fmxcpt& _x) {
    return guarded(_x, fmx::uint32(0), [&] { return static_cast<fmx::uint32>(impl(self)->items.size()); });
}
void FM_DataVect_Clear(fmx::DataVect* self, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->items.clear(); });
}
void FM_DataVect_PushBack(fmx::DataVect* self, const fmx::Data& data, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->items.push_back(std::make_unique<DataImpl>(impl(data))); });
}
const fmx::Data& FM_DataVect_At(const fmx::DataVect* self, fmx::uint32 position, _fmxcpt& _x) {
    return guarded(_x, std::cref(view(emptyOf<DataImpl>())),
                   [&] { return std::cref(view(*impl(self)->items.at(position))); })
        .get();
}
const fmx::Text& FM_DataVect_AtAsText(const fmx::DataVect* self, fmx::uint32 position, _fmxcpt& _x) {
    const fmx::Data& d = FM_DataVect_At(self, position, _x);
    if (_x.m_code) return view(emptyOf<TextImpl>());
    return FM_Data_GetAsText(&d, _x);
}
const fmx::FixPt& FM_DataVect_AtAsNumber(const fmx::DataVect* self, fmx::uint32 position, _fmxcpt& _x) {
    const fmx::Data& d = FM_DataVect_At(self, position, _x);
    if (_x.m_code) return view(emptyOf<FixPtImpl>());
    return FM_Data_GetAsNumber(&d, _x);
}
fmx::RowVect* FM_RowVect_Constructor1(_fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::RowVect*>(nullptr), [] { return view(new RowVectImpl); });
}
void FM_RowVect_Delete(fmx::RowVect* self, _fmxcpt& _x) {
    guardedVoid(_x, [&] { delete impl(self); });
}
fmx::uint32 FM_RowVect_Size(const fmx::RowVect* self, _fmxcpt& _x) {
    return guarded(_x, fmx::uint32(0), [&] { return static_cast<fmx::uint32>(impl(self)->rows.size()); });
}
bool FM_RowVect_IsEmpty(const fmx::RowVect* self, _fmxcpt& _x) {
    return guarded(_x, true, [&] { return impl(self)->rows.empty(); });
}
const fmx::DataVect& FM_RowVect_At(const fmx::RowVect* self, fmx::uint32 position, _fmxcpt& _x) {
    return guarded(_x, std::cref(view(emptyOf<DataVectImpl>())),
                   [&] { return std::cref(view(*impl(self)->rows.at(position))); })
        .get();
}

// ---- BinaryData ---------------------------------------------------------------------------------
namespace {
constexpr fmx::errcode kStreamError = 100;  // no such stream / bad context

QuadCharImpl quadOf(const char* code) {
    QuadCharImpl q;
    q.c = {{static_cast<unsigned char>(code[0]), static_cast<unsigned char>(code[1]),
            static_cast<unsigned char>(code[2]), static_cast<unsigned char>(code[3])}};
    return q;
}
QuadCharImpl fileType() { return quadOf("FILE"); }

// A text in the Standard Compression Scheme for Unicode, as FileMaker stores names: Latin-1 as its
// own bytes (the initial window), tab, CR and LF as they are, other controls quoted (SQ0) and every
// other character quoted as UTF-16 (SQU).
void putSCSU(std::vector<unsigned char>& out, const std::u16string& text) {
    for (char16_t c : text) {
        if ((c >= 0x20 && c < 0x80) || c == 0 || c == 9 || c == 10 || c == 13 || (c >= 0xA0 && c <= 0xFF) ||
            (c >= 0x80 && c < 0xA0)) {
            out.push_back(static_cast<unsigned char>(c));
        } else if (c < 0x20) {
            out.push_back(0x01);
            out.push_back(static_cast<unsigned char>(c));
        } else {
            out.push_back(0x0E);
            out.push_back(static_cast<unsigned char>(c >> 8));
            out.push_back(static_cast<unsigned char>(c & 0xFF));
        }
    }
}

}  // namespace

// The streams a file container gets beside its bytes: FNAM (one reference: the protocol "filewin",
// the path "/" and the name, each a 16-bit big-endian byte count and SCSU text) and MAIN (the main stream's code).
void fmhost::addFileContainerStreams(BinaryDataImpl& b, const std::u16string& name, const char* mainCode) {
    std::vector<unsigned char> fnam = {0, 0, 0, 1};
    for (const std::u16string& field : {std::u16string(u"filewin"), std::u16string(u"/"), name}) {
        std::vector<unsigned char> encoded;
        putSCSU(encoded, field);
        fnam.push_back(static_cast<unsigned char>(encoded.size() >> 8));
        fnam.push_back(static_cast<unsigned char>(encoded.size() & 0xFF));
        fnam.insert(fnam.end(), encoded.begin(), encoded.end());
    }
    b.streams.push_back(Stream{quadOf("FNAM"), fnam});
    b.streams.push_back(Stream{quadOf("MAIN"), std::vector<unsigned char>(mainCode, mainCode + 4)});
}

fmx::BinaryData* FM_BinaryData_Constructor1(_fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::BinaryData*>(nullptr), [] { return view(new BinaryDataImpl); });
}
fmx::BinaryData* FM_BinaryData_Constructor2(const fmx::BinaryData& copyFrom, _fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::BinaryData*>(nullptr), [&] {
        auto* b = new BinaryDataImpl(impl(copyFrom));
        b->openContexts.clear();
        return view(b);
    });
}
fmx::BinaryData* FM_BinaryData_Constructor3(const fmx::Text& name, fmx::uint32 amount, void* buffer, _fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::BinaryData*>(nullptr), [&] {
        auto* b = new BinaryDataImpl;
        b->fileName = impl(name).s;
        const auto* p = static_cast<const unsigned char*>(buffer);
        b->streams.push_back(Stream{fileType(), std::vector<unsigned char>(p, p + (p ? amount : 0))});
        addFileContainerStreams(*b, b->fileName);
        return view(b);
    });
}
fmx::BinaryData* FM_BinaryData_Constructor4(const fmx::Text& name, fmx::uint32* context, _fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::BinaryData*>(nullptr), [&] {
        auto* b = new BinaryDataImpl;
        b->fileName = impl(name).s;
        b->streams.push_back(Stream{fileType(), {}});
        addFileContainerStreams(*b, b->fileName);
        const uint32_t ctx = b->nextContext++;
        b->openContexts[ctx] = 0;
        if (context) *context = ctx;
        return view(b);
    });
}
void FM_BinaryData_Delete(fmx::BinaryData* self, _fmxcpt& _x) {
    guardedVoid(_x, [&] { delete impl(self); });
}
void FM_BinaryData_Assign(fmx::BinaryData* self, const fmx::BinaryData& value, _fmxcpt& _x) {
    guardedVoid(_x, [&] { *impl(self) = impl(value); });
}
fmx::int32 FM_BinaryData_GetCount(const fmx::BinaryData* self, _fmxcpt& _x) {
    return guarded(_x, fmx::int32(0), [&] { return static_cast<fmx::int32>(impl(self)->streams.size()); });
}
fmx::int32 FM_BinaryData_GetIndex(const fmx::BinaryData* self, const fmx::QuadChar& dataType, _fmxcpt& _x) {
    return guarded(_x, fmx::int32(-1), [&] { return impl(self)->indexOf(impl(dataType)); });
}
fmx::uint64 FM_BinaryData_GetTotalSize(const fmx::BinaryData* self, _fmxcpt& _x) {
    return guarded(_x, fmx::uint64(0), [&] {
        fmx::uint64 total = 0;
        for (const auto& s : impl(self)->streams) total += s.bytes.size();
        return total;
    });
}
void FM_BinaryData_GetType(const fmx::BinaryData* self, fmx::int32 index, fmx::QuadChar& dataType, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(dataType) = impl(self)->streams.at(static_cast<size_t>(index)).type; });
}
fmx::uint32 FM_BinaryData_GetSize(const fmx::BinaryData* self, fmx::int32 index, _fmxcpt& _x) {
    return guarded(_x, fmx::uint32(0), [&] {
        return static_cast<fmx::uint32>(impl(self)->streams.at(static_cast<size_t>(index)).bytes.size());
    });
}
fmx::errcode FM_BinaryData_GetData(const fmx::BinaryData* self, fmx::int32 index, fmx::uint32 offset,
                                   fmx::uint32 amount, void* buffer, _fmxcpt& _x) {
    return guarded(_x, kStreamError, [&] {
        const auto& streams = impl(self)->streams;
        if (index < 0 || static_cast<size_t>(index) >= streams.size() || !buffer) return kStreamError;
        const auto& bytes = streams[static_cast<size_t>(index)].bytes;
        if (uint64_t(offset) + amount > bytes.size()) return kStreamError;
        std::memcpy(buffer, bytes.data() + offset, amount);
        return fmx::errcode(0);
    });
}
fmx::errcode FM_BinaryData_Add(fmx::BinaryData* self, const fmx::QuadChar& dataType, fmx::uint32 amount, void* buffer,
                               _fmxcpt& _x) {
    return guarded(_x, kStreamError, [&] {
        BinaryDataImpl& b = *impl(self);
        if (b.indexOf(impl(dataType)) >= 0) return kStreamError;  // one stream per type
        const auto* p = static_cast<const unsigned char*>(buffer);
        b.streams.push_back(Stream{impl(dataType), std::vector<unsigned char>(p, p + (p ? amount : 0))});
        return fmx::errcode(0);
    });
}
bool FM_BinaryData_Remove(fmx::BinaryData* self, const fmx::QuadChar& dataType, _fmxcpt& _x) {
    return guarded(_x, false, [&] {
        BinaryDataImpl& b = *impl(self);
        const int32_t i = b.indexOf(impl(dataType));
        if (i < 0) return false;
        b.streams.erase(b.streams.begin() + i);
        b.openContexts.clear();
        return true;
    });
}
void FM_BinaryData_RemoveAll(fmx::BinaryData* self, _fmxcpt& _x) {
    guardedVoid(_x, [&] {
        impl(self)->streams.clear();
        impl(self)->openContexts.clear();
    });
}
fmx::errcode FM_BinaryData_AddBegin(fmx::BinaryData* self, const fmx::QuadChar& dataType, fmx::uint32* context,
                                    _fmxcpt& _x) {
    return guarded(_x, kStreamError, [&] {
        BinaryDataImpl& b = *impl(self);
        if (b.indexOf(impl(dataType)) >= 0 || !context) return kStreamError;
        b.streams.push_back(Stream{impl(dataType), {}});
        *context = b.nextContext++;
        b.openContexts[*context] = static_cast<int32_t>(b.streams.size() - 1);
        return fmx::errcode(0);
    });
}
fmx::errcode FM_BinaryData_AddAppend(fmx::BinaryData* self, fmx::uint32 context, fmx::uint32 amount, void* buffer,
                                     _fmxcpt& _x) {
    return guarded(_x, kStreamError, [&] {
        BinaryDataImpl& b = *impl(self);
        auto it = b.openContexts.find(context);
        if (it == b.openContexts.end() || (!buffer && amount)) return kStreamError;
        const auto* p = static_cast<const unsigned char*>(buffer);
        auto& bytes = b.streams[static_cast<size_t>(it->second)].bytes;
        bytes.insert(bytes.end(), p, p + amount);
        return fmx::errcode(0);
    });
}
fmx::errcode FM_BinaryData_AddFinish(fmx::BinaryData* self, fmx::uint32 context, _fmxcpt& _x) {
    return guarded(_x, kStreamError,
                   [&] { return impl(self)->openContexts.erase(context) ? fmx::errcode(0) : kStreamError; });
}
