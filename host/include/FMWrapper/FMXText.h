// Host text: UTF-16 units with explicit lengths.
#pragma once

#include "FMXTypes.h"

namespace fmx {
enum TextEncoding : int32 { kEncoding_Native = 0, kEncoding_UTF8 = 1, kEncoding_ASCII = 2 };
constexpr uint32 kSize_End = 0xFFFFFFFF;
}  // namespace fmx

FMX_API fmx::Text* FM_Text_Constructor1(fmx::_fmxcpt& _x);
FMX_API void FM_Text_Delete(fmx::Text* self, fmx::_fmxcpt& _x);
FMX_API fmx::uint32 FM_Text_GetSize(const fmx::Text* self, fmx::_fmxcpt& _x);
FMX_API void FM_Text_Assign(fmx::Text* self, const char* s, fmx::int32 encoding, fmx::_fmxcpt& _x);
FMX_API void FM_Text_AssignWithLength(fmx::Text* self, const char* s, fmx::uint32 length, fmx::int32 encoding,
                                      fmx::_fmxcpt& _x);
FMX_API void FM_Text_AssignUnicode(fmx::Text* self, const fmx::unichar16* s, fmx::_fmxcpt& _x);
FMX_API void FM_Text_AssignUnicodeWithLength(fmx::Text* self, const fmx::unichar16* s, fmx::uint32 length,
                                             fmx::_fmxcpt& _x);
FMX_API void FM_Text_SetText(fmx::Text* self, const fmx::Text& other, fmx::uint32 position, fmx::uint32 size,
                             fmx::_fmxcpt& _x);
FMX_API void FM_Text_AppendText(fmx::Text* self, const fmx::Text& other, fmx::uint32 position, fmx::uint32 size,
                                fmx::_fmxcpt& _x);
FMX_API void FM_Text_GetUnicode(const fmx::Text* self, fmx::unichar16* s, fmx::uint32 position, fmx::uint32 size,
                                fmx::_fmxcpt& _x);
FMX_API void FM_Text_GetBytes(const fmx::Text* self, char* buffer, fmx::uint32 bufferSize, fmx::uint32 position,
                              fmx::uint32 size, fmx::int32 encoding, fmx::_fmxcpt& _x);
// Newer hosts: like GetBytes, and returns the number of bytes the whole conversion needs.
FMX_API fmx::uint32 FM_Text_GetBytesEx(const fmx::Text* self, char* buffer, fmx::uint32 bufferSize,
                                       fmx::uint32 position, fmx::uint32 size, fmx::int32 encoding, fmx::_fmxcpt& _x);
FMX_API fmx::uint32 FM_Text_Find(const fmx::Text* self, const fmx::Text& other, fmx::uint32 position, fmx::_fmxcpt& _x);
FMX_API bool FM_Text_Equals(const fmx::Text* self, const fmx::Text& other, fmx::_fmxcpt& _x);

namespace fmx {

class Text : public HostObject {
public:
    uint32 GetSize() const { return FMX_CALL(FM_Text_GetSize(this, _x)); }
    void Assign(const char* s, int32 encoding = kEncoding_Native) { FMX_CALL(FM_Text_Assign(this, s, encoding, _x)); }
    void AssignWithLength(const char* s, uint32 length, int32 encoding = kEncoding_Native) {
        FMX_CALL(FM_Text_AssignWithLength(this, s, length, encoding, _x));
    }
    void AssignUnicode(const unichar16* s) { FMX_CALL(FM_Text_AssignUnicode(this, s, _x)); }
    void AssignUnicodeWithLength(const unichar16* s, uint32 length) {
        FMX_CALL(FM_Text_AssignUnicodeWithLength(this, s, length, _x));
    }
    void SetText(const Text& other, uint32 position = 0, uint32 size = kSize_End) {
        FMX_CALL(FM_Text_SetText(this, other, position, size, _x));
    }
    void AppendText(const Text& other, uint32 position = 0, uint32 size = kSize_End) {
        FMX_CALL(FM_Text_AppendText(this, other, position, size, _x));
    }
    void GetUnicode(unichar16* s, uint32 position, uint32 size) const {
        FMX_CALL(FM_Text_GetUnicode(this, s, position, size, _x));
    }
    void GetBytes(char* buffer, uint32 bufferSize, uint32 position = 0, uint32 size = kSize_End,
                  int32 encoding = kEncoding_Native) const {
        FMX_CALL(FM_Text_GetBytes(this, buffer, bufferSize, position, size, encoding, _x));
    }
    uint32 GetBytesEx(char* buffer, uint32 bufferSize, uint32 position = 0, uint32 size = kSize_End,
                      int32 encoding = kEncoding_Native) const {
        return FMX_CALL(FM_Text_GetBytesEx(this, buffer, bufferSize, position, size, encoding, _x));
    }
    uint32 Find(const Text& other, uint32 position) const { return FMX_CALL(FM_Text_Find(this, other, position, _x)); }
    bool operator==(const Text& other) const { return FMX_CALL(FM_Text_Equals(this, other, _x)); }
    Text& operator=(const Text& other) {
        SetText(other);
        return *this;
    }
};

class TextUniquePtr : public HostUniquePtr<Text, FM_Text_Delete> {
public:
    TextUniquePtr() : HostUniquePtr(FMX_CALL(FM_Text_Constructor1(_x))) {}
};

}  // namespace fmx
