// QuadChar, Locale, Text, FixPt and DateTime.
#include "Guard.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>

using namespace fmhost;
using fmx::_fmxcpt;

// ---- QuadChar -----------------------------------------------------------------------------------
fmx::QuadChar* FM_QuadChar_Constructor1(_fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::QuadChar*>(nullptr), [] { return view(new QuadCharImpl); });
}
fmx::QuadChar* FM_QuadChar_Constructor2(char c0, char c1, char c2, char c3, _fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::QuadChar*>(nullptr), [&] {
        auto* q = new QuadCharImpl;
        q->c = {{static_cast<unsigned char>(c0), static_cast<unsigned char>(c1), static_cast<unsigned char>(c2),
                 static_cast<unsigned char>(c3)}};
        return view(q);
    });
}
fmx::QuadChar* FM_QuadChar_Constructor3(const fmx::QuadChar& value, _fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::QuadChar*>(nullptr), [&] { return view(new QuadCharImpl(impl(value))); });
}
void FM_QuadChar_Delete(fmx::QuadChar* self, _fmxcpt& _x) {
    guardedVoid(_x, [&] { delete impl(self); });
}
void FM_QuadChar_Assign(fmx::QuadChar* self, const fmx::QuadChar& value, _fmxcpt& _x) {
    guardedVoid(_x, [&] { *impl(self) = impl(value); });
}
fmx::uchar FM_QuadChar_At(const fmx::QuadChar* self, int i, _fmxcpt& _x) {
    return guarded(_x, fmx::uchar(0), [&] { return impl(self)->c.at(static_cast<size_t>(i)); });
}
void FM_QuadChar_SetAt(fmx::QuadChar* self, int i, fmx::uchar c, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->c.at(static_cast<size_t>(i)) = c; });
}
bool FM_QuadChar_Equals(const fmx::QuadChar* self, const fmx::QuadChar& other, _fmxcpt& _x) {
    return guarded(_x, false, [&] { return *impl(self) == impl(other); });
}
fmx::uint32 FM_QuadChar_GetMacType(const fmx::QuadChar* self, _fmxcpt& _x) {
    return guarded(_x, fmx::uint32(0), [&] {
        const auto& c = impl(self)->c;
        return fmx::uint32(c[0]) << 24 | fmx::uint32(c[1]) << 16 | fmx::uint32(c[2]) << 8 | c[3];
    });
}
void FM_QuadChar_SetMacType(fmx::QuadChar* self, fmx::uint32 v, _fmxcpt& _x) {
    guardedVoid(_x, [&] {
        impl(self)->c = {{static_cast<unsigned char>(v >> 24), static_cast<unsigned char>(v >> 16),
                          static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)}};
    });
}

// ---- Locale -------------------------------------------------------------------------------------
fmx::Locale* FM_Locale_Constructor1(fmx::int32 inputType, _fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::Locale*>(nullptr), [&] {
        auto* l = new LocaleImpl;
        l->type = inputType;
        return view(l);
    });
}
fmx::Locale* FM_Locale_Constructor2(const fmx::Locale& copyFrom, _fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::Locale*>(nullptr), [&] { return view(new LocaleImpl(impl(copyFrom))); });
}
void FM_Locale_Delete(fmx::Locale* self, _fmxcpt& _x) {
    guardedVoid(_x, [&] { delete impl(self); });
}
void FM_Locale_Assign(fmx::Locale* self, const fmx::Locale& value, _fmxcpt& _x) {
    guardedVoid(_x, [&] { *impl(self) = impl(value); });
}

// ---- Text ---------------------------------------------------------------------------------------
namespace {

std::u16string bytesToText(const char* s, size_t length, fmx::int32 encoding) {
    if (encoding == fmx::kEncoding_ASCII) {
        std::u16string r;
        r.reserve(length);
        for (size_t i = 0; i < length; ++i) r.push_back(static_cast<unsigned char>(s[i]));
        return r;
    }
    return fromUTF8(std::string(s, length));  // the native encoding of this host is UTF-8
}

std::u16string slice(const std::u16string& s, fmx::uint32 position, fmx::uint32 size) {
    if (position >= s.size()) return {};
    return s.substr(position, size == fmx::kSize_End ? std::u16string::npos : size);
}

std::string textToBytes(const std::u16string& s, fmx::int32 encoding) {
    if (encoding == fmx::kEncoding_ASCII) {
        std::string r;
        for (char16_t c : s) r.push_back(c < 128 ? static_cast<char>(c) : '?');
        return r;
    }
    return toUTF8(s);
}

}  // namespace

fmx::Text* FM_Text_Constructor1(_fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::Text*>(nullptr), [] { return view(new TextImpl); });
}
void FM_Text_Delete(fmx::Text* self, _fmxcpt& _x) {
    guardedVoid(_x, [&] { delete impl(self); });
}
fmx::uint32 FM_Text_GetSize(const fmx::Text* self, _fmxcpt& _x) {
    return guarded(_x, fmx::uint32(0), [&] { return static_cast<fmx::uint32>(impl(self)->s.size()); });
}
void FM_Text_Assign(fmx::Text* self, const char* s, fmx::int32 encoding, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->s = s ? bytesToText(s, std::strlen(s), encoding) : std::u16string(); });
}
void FM_Text_AssignWithLength(fmx::Text* self, const char* s, fmx::uint32 length, fmx::int32 encoding, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->s = s ? bytesToText(s, length, encoding) : std::u16string(); });
}
void FM_Text_AssignUnicode(fmx::Text* self, const fmx::unichar16* s, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->s = s ? std::u16string(s) : std::u16string(); });
}
void FM_Text_AssignUnicodeWithLength(fmx::Text* self, const fmx::unichar16* s, fmx::uint32 length, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->s = s ? std::u16string(s, length) : std::u16string(); });
}
void FM_Text_SetText(fmx::Text* self, const fmx::Text& other, fmx::uint32 position, fmx::uint32 size, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->s = slice(impl(other).s, position, size); });
}
void FM_Text_AppendText(fmx::Text* self, const fmx::Text& other, fmx::uint32 position, fmx::uint32 size, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->s += slice(impl(other).s, position, size); });
}
void FM_Text_GetUnicode(const fmx::Text* self, fmx::unichar16* s, fmx::uint32 position, fmx::uint32 size, _fmxcpt& _x) {
    guardedVoid(_x, [&] {
        const std::u16string part = slice(impl(self)->s, position, size);
        std::memcpy(s, part.data(), part.size() * sizeof(char16_t));
    });
}
void FM_Text_GetBytes(const fmx::Text* self, char* buffer, fmx::uint32 bufferSize, fmx::uint32 position,
                      fmx::uint32 size, fmx::int32 encoding, _fmxcpt& _x) {
    guardedVoid(_x, [&] {
        if (!buffer || bufferSize == 0) return;
        const std::string bytes = textToBytes(slice(impl(self)->s, position, size), encoding);
        const size_t n = std::min<size_t>(bytes.size(), bufferSize - 1);
        std::memcpy(buffer, bytes.data(), n);
        buffer[n] = '\0';
    });
}
fmx::uint32 FM_Text_GetBytesEx(const fmx::Text* self, char* buffer, fmx::uint32 bufferSize, fmx::uint32 position,
                               fmx::uint32 size, fmx::int32 encoding, _fmxcpt& _x) {
    return guarded(_x, fmx::uint32(0), [&] {
        const std::string bytes = textToBytes(slice(impl(self)->s, position, size), encoding);
        if (buffer && bufferSize) {
            const size_t n = std::min<size_t>(bytes.size(), bufferSize);
            std::memcpy(buffer, bytes.data(), n);
        }
        return static_cast<fmx::uint32>(bytes.size());
    });
}
fmx::uint32 FM_Text_Find(const fmx::Text* self, const fmx::Text& other, fmx::uint32 position, _fmxcpt& _x) {
    return guarded(_x, fmx::kSize_End, [&] {
        const size_t p = impl(self)->s.find(impl(other).s, position);
        return p == std::u16string::npos ? fmx::kSize_End : static_cast<fmx::uint32>(p);
    });
}
bool FM_Text_Equals(const fmx::Text* self, const fmx::Text& other, _fmxcpt& _x) {
    return guarded(_x, false, [&] { return impl(self)->s == impl(other).s; });
}

// ---- FixPt --------------------------------------------------------------------------------------
fmx::FixPt* FM_FixPt_Constructor1(fmx::int32 value, fmx::int32 precision, _fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::FixPt*>(nullptr), [&] {
        auto* f = new FixPtImpl;
        f->v = value;
        f->precision = precision;
        return view(f);
    });
}
void FM_FixPt_Delete(fmx::FixPt* self, _fmxcpt& _x) {
    guardedVoid(_x, [&] { delete impl(self); });
}
void FM_FixPt_AssignInt(fmx::FixPt* self, fmx::int32 v, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->v = v; });
}
void FM_FixPt_AssignInt64(fmx::FixPt* self, fmx::int64 v, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->v = static_cast<long double>(v); });
}
void FM_FixPt_AssignDouble(fmx::FixPt* self, double v, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->v = v; });
}
void FM_FixPt_AssignFixPt(fmx::FixPt* self, const fmx::FixPt& v, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->v = impl(v).v; });
}
fmx::int32 FM_FixPt_AsLong(const fmx::FixPt* self, _fmxcpt& _x) {
    return guarded(_x, fmx::int32(0), [&] {
        const long double v = std::trunc(impl(self)->v);
        if (v > INT32_MAX) return INT32_MAX;
        if (v < INT32_MIN) return INT32_MIN;
        return static_cast<fmx::int32>(v);
    });
}
fmx::int64 FM_FixPt_AsLong64(const fmx::FixPt* self, _fmxcpt& _x) {
    return guarded(_x, fmx::int64(0), [&] {
        const long double v = std::trunc(impl(self)->v);
        if (v >= 9.2233720368547758e18L) return INT64_MAX;
        if (v <= -9.2233720368547758e18L) return INT64_MIN;
        return static_cast<fmx::int64>(v);
    });
}
double FM_FixPt_AsFloat(const fmx::FixPt* self, _fmxcpt& _x) {
    return guarded(_x, 0.0, [&] { return static_cast<double>(impl(self)->v); });
}

// ---- DateTime -----------------------------------------------------------------------------------
fmx::DateTime* FM_DateTime_Constructor1(_fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::DateTime*>(nullptr), [] { return view(new DateTimeImpl); });
}
void FM_DateTime_Delete(fmx::DateTime* self, _fmxcpt& _x) {
    guardedVoid(_x, [&] { delete impl(self); });
}
void FM_DateTime_SetNormalizedDate1(fmx::DateTime* self, fmx::int16 year, fmx::int16 month, fmx::int16 day,
                                    _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->setDate(year, month, day); });
}
void FM_DateTime_SetNormalizedTime1(fmx::DateTime* self, fmx::int64 hour, fmx::int16 minute, fmx::int16 sec,
                                    fmx::int32 usec, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->micros = ((hour * 60 + minute) * 60 + sec) * 1000000LL + usec; });
}
void FM_DateTime_SetDate(fmx::DateTime* self, const fmx::DateTime& date, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->days = impl(date).days; });
}
void FM_DateTime_SetTime(fmx::DateTime* self, const fmx::DateTime& time, _fmxcpt& _x) {
    guardedVoid(_x, [&] { impl(self)->micros = impl(time).micros; });
}
void FM_DateTime_Now(fmx::DateTime* self, _fmxcpt& _x) {
    guardedVoid(_x, [&] {
        const auto now = std::chrono::system_clock::now();
        const std::time_t t = std::chrono::system_clock::to_time_t(now);
        std::tm local{};
        localtime_r(&t, &local);
        const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count() % 1000000;
        impl(self)->setDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
        impl(self)->micros = ((local.tm_hour * 60LL + local.tm_min) * 60 + local.tm_sec) * 1000000LL + us;
    });
}
namespace {
template <class R, class F>
R civilPart(const fmx::DateTime* self, _fmxcpt& x, F pick) {
    return guarded(x, R(0), [&] {
        int y, m, d;
        impl(self)->civil(y, m, d);
        return static_cast<R>(pick(y, m, d));
    });
}
}  // namespace
fmx::int16 FM_DateTime_GetYear(const fmx::DateTime* self, _fmxcpt& _x) {
    return civilPart<fmx::int16>(self, _x, [](int y, int, int) { return y; });
}
fmx::int16 FM_DateTime_GetMonth(const fmx::DateTime* self, _fmxcpt& _x) {
    return civilPart<fmx::int16>(self, _x, [](int, int m, int) { return m; });
}
fmx::int16 FM_DateTime_GetDay(const fmx::DateTime* self, _fmxcpt& _x) {
    return civilPart<fmx::int16>(self, _x, [](int, int, int d) { return d; });
}
fmx::int32 FM_DateTime_GetHour(const fmx::DateTime* self, _fmxcpt& _x) {
    return guarded(_x, fmx::int32(0), [&] { return static_cast<fmx::int32>(impl(self)->micros / 3600000000LL); });
}
fmx::int16 FM_DateTime_GetMinute(const fmx::DateTime* self, _fmxcpt& _x) {
    return guarded(_x, fmx::int16(0), [&] { return static_cast<fmx::int16>(impl(self)->micros / 60000000LL % 60); });
}
fmx::int16 FM_DateTime_GetSec(const fmx::DateTime* self, _fmxcpt& _x) {
    return guarded(_x, fmx::int16(0), [&] { return static_cast<fmx::int16>(impl(self)->micros / 1000000LL % 60); });
}
fmx::int32 FM_DateTime_GetUSec(const fmx::DateTime* self, _fmxcpt& _x) {
    return guarded(_x, fmx::int32(0), [&] { return static_cast<fmx::int32>(impl(self)->micros % 1000000LL); });
}
