// Host data values (one calculation value of any type) and vectors of them.
#pragma once

#include "FMXBinaryData.h"
#include "FMXDateTime.h"
#include "FMXFixPt.h"
#include "FMXText.h"

namespace fmx {
enum DataType : int32 {
    kDTInvalid = 0,
    kDTText = 1,
    kDTNumber = 2,
    kDTDate = 3,
    kDTTime = 4,
    kDTTimeStamp = 5,
    kDTBinary = 6,
    kDTBoolean = 7,
};
}  // namespace fmx

FMX_API fmx::Data* FM_Data_Constructor1(fmx::_fmxcpt& _x);
FMX_API void FM_Data_Delete(fmx::Data* self, fmx::_fmxcpt& _x);
FMX_API void FM_Data_Assign(fmx::Data* self, const fmx::Data& value, fmx::_fmxcpt& _x);
FMX_API bool FM_Data_IsEmpty(const fmx::Data* self, fmx::_fmxcpt& _x);
FMX_API bool FM_Data_IsValid(const fmx::Data* self, fmx::_fmxcpt& _x);
FMX_API const fmx::Text& FM_Data_GetAsText(const fmx::Data* self, fmx::_fmxcpt& _x);
FMX_API const fmx::FixPt& FM_Data_GetAsNumber(const fmx::Data* self, fmx::_fmxcpt& _x);
FMX_API const fmx::DateTime& FM_Data_GetAsDate(const fmx::Data* self, fmx::_fmxcpt& _x);
FMX_API const fmx::DateTime& FM_Data_GetAsTime(const fmx::Data* self, fmx::_fmxcpt& _x);
FMX_API const fmx::DateTime& FM_Data_GetAsTimeStamp(const fmx::Data* self, fmx::_fmxcpt& _x);
FMX_API bool FM_Data_GetAsBoolean(const fmx::Data* self, fmx::_fmxcpt& _x);
FMX_API const fmx::BinaryData& FM_Data_GetBinaryData(const fmx::Data* self, fmx::_fmxcpt& _x);
FMX_API const fmx::Locale& FM_Data_GetLocale(const fmx::Data* self, fmx::_fmxcpt& _x);
FMX_API fmx::int32 FM_Data_GetNativeType(const fmx::Data* self, fmx::_fmxcpt& _x);
FMX_API fmx::errcode FM_Data_SetAsText(fmx::Data* self, const fmx::Text& text, const fmx::Locale& locale,
                                       fmx::int32 nativeType, fmx::_fmxcpt& _x);
FMX_API void FM_Data_SetAsNumber(fmx::Data* self, const fmx::FixPt& number, fmx::int32 nativeType, fmx::_fmxcpt& _x);
FMX_API void FM_Data_SetAsDate(fmx::Data* self, const fmx::DateTime& date, fmx::int32 nativeType, fmx::_fmxcpt& _x);
FMX_API void FM_Data_SetAsTime(fmx::Data* self, const fmx::DateTime& time, fmx::int32 nativeType, fmx::_fmxcpt& _x);
FMX_API void FM_Data_SetAsTimeStamp(fmx::Data* self, const fmx::DateTime& timeStamp, fmx::int32 nativeType,
                                    fmx::_fmxcpt& _x);
FMX_API void FM_Data_SetAsBoolean(fmx::Data* self, bool value, fmx::int32 nativeType, fmx::_fmxcpt& _x);
FMX_API fmx::errcode FM_Data_SetBinaryData(fmx::Data* self, const fmx::BinaryData& binaryData, bool forceBinaryNative,
                                           fmx::_fmxcpt& _x);
FMX_API void FM_Data_Clear(fmx::Data* self, fmx::int32 newNativeType, fmx::_fmxcpt& _x);
FMX_API fmx::errcode FM_Data_ConvertData(fmx::Data* self, fmx::int32 nativeType, fmx::_fmxcpt& _x);
// Newer hosts: font lookups by PostScript name.
FMX_API fmx::uint16 FM_Data_GetPostscriptFontID(const fmx::Text& fontName, fmx::_fmxcpt& _x);
FMX_API bool FM_Data_GetPostscriptFontInfo(fmx::uint16 fontID, fmx::Text& fontName, fmx::_fmxcpt& _x);

FMX_API fmx::DataVect* FM_DataVect_Constructor1(fmx::_fmxcpt& _x);
FMX_API void FM_DataVect_Delete(fmx::DataVect* self, fmx::_fmxcpt& _x);
FMX_API fmx::uint32 FM_DataVect_Size(const fmx::DataVect* self, fmx::_fmxcpt& _x);
FMX_API void FM_DataVect_Clear(fmx::DataVect* self, fmx::_fmxcpt& _x);
FMX_API void FM_DataVect_PushBack(fmx::DataVect* self, const fmx::Data& data, fmx::_fmxcpt& _x);
FMX_API const fmx::Data& FM_DataVect_At(const fmx::DataVect* self, fmx::uint32 position, fmx::_fmxcpt& _x);
FMX_API const fmx::Text& FM_DataVect_AtAsText(const fmx::DataVect* self, fmx::uint32 position, fmx::_fmxcpt& _x);
FMX_API const fmx::FixPt& FM_DataVect_AtAsNumber(const fmx::DataVect* self, fmx::uint32 position, fmx::_fmxcpt& _x);

FMX_API fmx::RowVect* FM_RowVect_Constructor1(fmx::_fmxcpt& _x);
FMX_API void FM_RowVect_Delete(fmx::RowVect* self, fmx::_fmxcpt& _x);
FMX_API fmx::uint32 FM_RowVect_Size(const fmx::RowVect* self, fmx::_fmxcpt& _x);
FMX_API bool FM_RowVect_IsEmpty(const fmx::RowVect* self, fmx::_fmxcpt& _x);
FMX_API const fmx::DataVect& FM_RowVect_At(const fmx::RowVect* self, fmx::uint32 position, fmx::_fmxcpt& _x);

namespace fmx {

class Data : public HostObject {
public:
    Data& operator=(const Data& v) {
        FMX_CALL(FM_Data_Assign(this, v, _x));
        return *this;
    }
    bool IsEmpty() const { return FMX_CALL(FM_Data_IsEmpty(this, _x)); }
    bool IsValid() const { return FMX_CALL(FM_Data_IsValid(this, _x)); }
    const Text& GetAsText() const { return FMX_CALL(std::cref(FM_Data_GetAsText(this, _x))).get(); }
    const FixPt& GetAsNumber() const { return FMX_CALL(std::cref(FM_Data_GetAsNumber(this, _x))).get(); }
    const DateTime& GetAsDate() const { return FMX_CALL(std::cref(FM_Data_GetAsDate(this, _x))).get(); }
    const DateTime& GetAsTime() const { return FMX_CALL(std::cref(FM_Data_GetAsTime(this, _x))).get(); }
    const DateTime& GetAsTimeStamp() const { return FMX_CALL(std::cref(FM_Data_GetAsTimeStamp(this, _x))).get(); }
    bool GetAsBoolean() const { return FMX_CALL(FM_Data_GetAsBoolean(this, _x)); }
    const BinaryData& GetBinaryData() const { return FMX_CALL(std::cref(FM_Data_GetBinaryData(this, _x))).get(); }
    const Locale& GetLocale() const { return FMX_CALL(std::cref(FM_Data_GetLocale(this, _x))).get(); }
    DataType GetNativeType() const { return static_cast<DataType>(FMX_CALL(FM_Data_GetNativeType(this, _x))); }
    errcode SetAsText(const Text& text, const Locale& locale, DataType nativeType = kDTText) {
        return FMX_CALL(FM_Data_SetAsText(this, text, locale, nativeType, _x));
    }
    void SetAsNumber(const FixPt& number, DataType nativeType = kDTNumber) {
        FMX_CALL(FM_Data_SetAsNumber(this, number, nativeType, _x));
    }
    void SetAsDate(const DateTime& date, DataType nativeType = kDTDate) {
        FMX_CALL(FM_Data_SetAsDate(this, date, nativeType, _x));
    }
    void SetAsTime(const DateTime& time, DataType nativeType = kDTTime) {
        FMX_CALL(FM_Data_SetAsTime(this, time, nativeType, _x));
    }
    void SetAsTimeStamp(const DateTime& timeStamp, DataType nativeType = kDTTimeStamp) {
        FMX_CALL(FM_Data_SetAsTimeStamp(this, timeStamp, nativeType, _x));
    }
    void SetAsBoolean(bool value, DataType nativeType = kDTBoolean) {
        FMX_CALL(FM_Data_SetAsBoolean(this, value, nativeType, _x));
    }
    errcode SetBinaryData(const BinaryData& binaryData, bool forceBinaryNative = true) {
        return FMX_CALL(FM_Data_SetBinaryData(this, binaryData, forceBinaryNative, _x));
    }
    void Clear(DataType newNativeType = kDTInvalid) { FMX_CALL(FM_Data_Clear(this, newNativeType, _x)); }
    errcode ConvertData(DataType nativeType) { return FMX_CALL(FM_Data_ConvertData(this, nativeType, _x)); }
};

class DataVect : public HostObject {
public:
    uint32 Size() const { return FMX_CALL(FM_DataVect_Size(this, _x)); }
    bool IsEmpty() const { return Size() == 0; }
    void Clear() { FMX_CALL(FM_DataVect_Clear(this, _x)); }
    void PushBack(const Data& data) { FMX_CALL(FM_DataVect_PushBack(this, data, _x)); }
    const Data& At(uint32 position) const { return FMX_CALL(std::cref(FM_DataVect_At(this, position, _x))).get(); }
    const Text& AtAsText(uint32 position) const {
        return FMX_CALL(std::cref(FM_DataVect_AtAsText(this, position, _x))).get();
    }
    const FixPt& AtAsNumber(uint32 position) const {
        return FMX_CALL(std::cref(FM_DataVect_AtAsNumber(this, position, _x))).get();
    }
};

class RowVect : public HostObject {
public:
    uint32 Size() const { return FMX_CALL(FM_RowVect_Size(this, _x)); }
    bool IsEmpty() const { return FMX_CALL(FM_RowVect_IsEmpty(this, _x)); }
    const DataVect& At(uint32 position) const { return FMX_CALL(std::cref(FM_RowVect_At(this, position, _x))).get(); }
};

class DataUniquePtr : public HostUniquePtr<Data, FM_Data_Delete> {
public:
    DataUniquePtr() : HostUniquePtr(FMX_CALL(FM_Data_Constructor1(_x))) {}
};
class DataVectUniquePtr : public HostUniquePtr<DataVect, FM_DataVect_Delete> {
public:
    DataVectUniquePtr() : HostUniquePtr(FMX_CALL(FM_DataVect_Constructor1(_x))) {}
};
class RowVectUniquePtr : public HostUniquePtr<RowVect, FM_RowVect_Delete> {
public:
    RowVectUniquePtr() : HostUniquePtr(FMX_CALL(FM_RowVect_Constructor1(_x))) {}
};

}  // namespace fmx
