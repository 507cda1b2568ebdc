// Basic types of the host plug-in interface: integer types, the error record every interface
// call fills, four-character codes, locales and the scoped holders that own host objects.
// Host objects are opaque: the plug-in only ever holds pointers made by the host library.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

#define FMX_API extern "C" __attribute__((visibility("default")))

// The host's interface library, as a plug-in finds it among the loaded modules.
#define FMX_HOST_LIBRARY "libFMWrapper.so"

namespace fmx {

using int8 = int8_t;
using uint8 = uint8_t;
using int16 = int16_t;
using uint16 = uint16_t;
using int32 = int32_t;
using uint32 = uint32_t;
using int64 = int64_t;
using uint64 = uint64_t;
using uchar = unsigned char;
using unichar16 = char16_t;
using ptrtype = uintptr_t;
using errcode = int16_t;
using boolean = uchar;

// Error record filled by every host interface call; Check() turns a failure into an exception.
struct _fmxcpt {
    enum { kNoErr = 0, kBadAlloc = 1, kUnknown = 2 };
    int32 m_vers = 1;
    int32 m_code = kNoErr;
    inline void Check() const;
};

class Exception : public std::runtime_error {
public:
    explicit Exception(int32 code) : std::runtime_error("host interface error " + std::to_string(code)), mCode(code) {}
    int32 code() const { return mCode; }

private:
    int32 mCode;
};

inline void _fmxcpt::Check() const {
    if (m_code != kNoErr) {
        if (m_code == kBadAlloc) throw std::bad_alloc();
        throw Exception(m_code);
    }
}

// Runs one interface call with its own error record and throws when the host reported a failure.
template <class F>
inline auto checked(F&& f) {
    _fmxcpt _x;
    if constexpr (std::is_void_v<decltype(f(_x))>) {
        f(_x);
        _x.Check();
    } else {
        auto r = f(_x);
        _x.Check();
        return r;
    }
}

// Every host object type derives from this so that holders can share one deleter shape.
class HostObject {
public:
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

protected:
    HostObject() = default;
    ~HostObject() = default;
};

class QuadChar;
class Locale;
class Text;
class FixPt;
class DateTime;
class BinaryData;
class Data;
class DataVect;
class RowVect;
class ExprEnv;

}  // namespace fmx

// ---- QuadChar -------------------------------------------------------------------------------
FMX_API fmx::QuadChar* FM_QuadChar_Constructor1(fmx::_fmxcpt& _x);
FMX_API fmx::QuadChar* FM_QuadChar_Constructor2(char c0, char c1, char c2, char c3, fmx::_fmxcpt& _x);
FMX_API fmx::QuadChar* FM_QuadChar_Constructor3(const fmx::QuadChar& value, fmx::_fmxcpt& _x);
FMX_API void FM_QuadChar_Delete(fmx::QuadChar* self, fmx::_fmxcpt& _x);
FMX_API void FM_QuadChar_Assign(fmx::QuadChar* self, const fmx::QuadChar& value, fmx::_fmxcpt& _x);
FMX_API fmx::uchar FM_QuadChar_At(const fmx::QuadChar* self, int i, fmx::_fmxcpt& _x);
FMX_API void FM_QuadChar_SetAt(fmx::QuadChar* self, int i, fmx::uchar c, fmx::_fmxcpt& _x);
FMX_API bool FM_QuadChar_Equals(const fmx::QuadChar* self, const fmx::QuadChar& other, fmx::_fmxcpt& _x);
FMX_API fmx::uint32 FM_QuadChar_GetMacType(const fmx::QuadChar* self, fmx::_fmxcpt& _x);
FMX_API void FM_QuadChar_SetMacType(fmx::QuadChar* self, fmx::uint32 value, fmx::_fmxcpt& _x);

// ---- Locale ---------------------------------------------------------------------------------
FMX_API fmx::Locale* FM_Locale_Constructor1(fmx::int32 inputType, fmx::_fmxcpt& _x);
FMX_API fmx::Locale* FM_Locale_Constructor2(const fmx::Locale& copyFrom, fmx::_fmxcpt& _x);
FMX_API void FM_Locale_Delete(fmx::Locale* self, fmx::_fmxcpt& _x);
FMX_API void FM_Locale_Assign(fmx::Locale* self, const fmx::Locale& value, fmx::_fmxcpt& _x);

namespace fmx {

class QuadChar : public HostObject {
public:
    uchar operator[](int i) const {
        return checked([&](_fmxcpt& x) { return FM_QuadChar_At(this, i, x); });
    }
    void SetAt(int i, uchar c) {
        checked([&](_fmxcpt& x) { FM_QuadChar_SetAt(this, i, c, x); });
    }
    QuadChar& operator=(const QuadChar& v) {
        checked([&](_fmxcpt& x) { FM_QuadChar_Assign(this, v, x); });
        return *this;
    }
    bool operator==(const QuadChar& o) const {
        return checked([&](_fmxcpt& x) { return FM_QuadChar_Equals(this, o, x); });
    }
    bool operator!=(const QuadChar& o) const { return !(*this == o); }
    uint32 GetMacType() const {
        return checked([&](_fmxcpt& x) { return FM_QuadChar_GetMacType(this, x); });
    }
    void SetMacType(uint32 v) {
        checked([&](_fmxcpt& x) { FM_QuadChar_SetMacType(this, v, x); });
    }
};

class Locale : public HostObject {
public:
    enum Type { kType_None = 0, kType_System = 1, kType_UnicodeRaw = 2, kType_UnicodeStandard = 3 };
    Locale& operator=(const Locale& v) {
        checked([&](_fmxcpt& x) { FM_Locale_Assign(this, v, x); });
        return *this;
    }
};

// Deleters and owning holders (the host library frees what it made).
template <class T, void (*Del)(T*, _fmxcpt&)>
struct HostDeleter {
    void operator()(T* p) const {
        if (p) {
            _fmxcpt _x;
            Del(p, _x);
        }
    }
};

template <class T, void (*Del)(T*, _fmxcpt&)>
class HostUniquePtr : public std::unique_ptr<T, HostDeleter<T, Del>> {
public:
    using Base = std::unique_ptr<T, HostDeleter<T, Del>>;
    explicit HostUniquePtr(T* p) : Base(p) {
        if (!p) throw std::bad_alloc();
    }
};

class QuadCharUniquePtr : public HostUniquePtr<QuadChar, FM_QuadChar_Delete> {
public:
    QuadCharUniquePtr() : HostUniquePtr(checked([](_fmxcpt& x) { return FM_QuadChar_Constructor1(x); })) {}
    QuadCharUniquePtr(char c0, char c1, char c2, char c3)
        : HostUniquePtr(checked([&](_fmxcpt& x) { return FM_QuadChar_Constructor2(c0, c1, c2, c3, x); })) {}
    explicit QuadCharUniquePtr(const QuadChar& v)
        : HostUniquePtr(checked([&](_fmxcpt& x) { return FM_QuadChar_Constructor3(v, x); })) {}
};

class LocaleUniquePtr : public HostUniquePtr<Locale, FM_Locale_Delete> {
public:
    explicit LocaleUniquePtr(int32 inputType = Locale::kType_System)
        : HostUniquePtr(checked([&](_fmxcpt& x) { return FM_Locale_Constructor1(inputType, x); })) {}
    explicit LocaleUniquePtr(const Locale& v)
        : HostUniquePtr(checked([&](_fmxcpt& x) { return FM_Locale_Constructor2(v, x); })) {}
};

}  // namespace fmx

// Shorthand for the inline wrappers: FMX_CALL(FM_Text_GetSize(this, _x)).
#define FMX_CALL(expr) ::fmx::checked([&](::fmx::_fmxcpt& _x) { return expr; })
