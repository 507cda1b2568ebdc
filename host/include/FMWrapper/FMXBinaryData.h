// Host container values: a list of typed streams, each named by a four-character code.
#pragma once

#include "FMXText.h"
#include "FMXTypes.h"

FMX_API fmx::BinaryData* FM_BinaryData_Constructor1(fmx::_fmxcpt& _x);
FMX_API fmx::BinaryData* FM_BinaryData_Constructor2(const fmx::BinaryData& copyFrom, fmx::_fmxcpt& _x);
// A file container named `name` holding `amount` bytes (hosts of version 13 and later).
FMX_API fmx::BinaryData* FM_BinaryData_Constructor3(const fmx::Text& name, fmx::uint32 amount, void* buffer,
                                                    fmx::_fmxcpt& _x);
// Newer hosts: a file container named `name` whose bytes follow through AddAppend/AddFinish on `context`.
FMX_API fmx::BinaryData* FM_BinaryData_Constructor4(const fmx::Text& name, fmx::uint32* context, fmx::_fmxcpt& _x);
FMX_API void FM_BinaryData_Delete(fmx::BinaryData* self, fmx::_fmxcpt& _x);
FMX_API void FM_BinaryData_Assign(fmx::BinaryData* self, const fmx::BinaryData& value, fmx::_fmxcpt& _x);
FMX_API fmx::int32 FM_BinaryData_GetCount(const fmx::BinaryData* self, fmx::_fmxcpt& _x);
FMX_API fmx::int32 FM_BinaryData_GetIndex(const fmx::BinaryData* self, const fmx::QuadChar& dataType, fmx::_fmxcpt& _x);
FMX_API fmx::uint64 FM_BinaryData_GetTotalSize(const fmx::BinaryData* self, fmx::_fmxcpt& _x);
FMX_API void FM_BinaryData_GetType(const fmx::BinaryData* self, fmx::int32 index, fmx::QuadChar& dataType,
                                   fmx::_fmxcpt& _x);
FMX_API fmx::uint32 FM_BinaryData_GetSize(const fmx::BinaryData* self, fmx::int32 index, fmx::_fmxcpt& _x);
FMX_API fmx::errcode FM_BinaryData_GetData(const fmx::BinaryData* self, fmx::int32 index, fmx::uint32 offset,
                                           fmx::uint32 amount, void* buffer, fmx::_fmxcpt& _x);
FMX_API fmx::errcode FM_BinaryData_Add(fmx::BinaryData* self, const fmx::QuadChar& dataType, fmx::uint32 amount,
                                       void* buffer, fmx::_fmxcpt& _x);
FMX_API bool FM_BinaryData_Remove(fmx::BinaryData* self, const fmx::QuadChar& dataType, fmx::_fmxcpt& _x);
FMX_API void FM_BinaryData_RemoveAll(fmx::BinaryData* self, fmx::_fmxcpt& _x);
// Newer hosts: add a stream piece by piece.
FMX_API fmx::errcode FM_BinaryData_AddBegin(fmx::BinaryData* self, const fmx::QuadChar& dataType, fmx::uint32* context,
                                            fmx::_fmxcpt& _x);
FMX_API fmx::errcode FM_BinaryData_AddAppend(fmx::BinaryData* self, fmx::uint32 context, fmx::uint32 amount,
                                             void* buffer, fmx::_fmxcpt& _x);
FMX_API fmx::errcode FM_BinaryData_AddFinish(fmx::BinaryData* self, fmx::uint32 context, fmx::_fmxcpt& _x);

namespace fmx {

class BinaryData : public HostObject {
public:
    BinaryData& operator=(const BinaryData& v) {
        FMX_CALL(FM_BinaryData_Assign(this, v, _x));
        return *this;
    }
    int32 GetCount() const { return FMX_CALL(FM_BinaryData_GetCount(this, _x)); }
    int32 GetIndex(const QuadChar& dataType) const { return FMX_CALL(FM_BinaryData_GetIndex(this, dataType, _x)); }
    uint64 GetTotalSize() const { return FMX_CALL(FM_BinaryData_GetTotalSize(this, _x)); }
    void GetType(int32 index, QuadChar& dataType) const { FMX_CALL(FM_BinaryData_GetType(this, index, dataType, _x)); }
    uint32 GetSize(int32 index) const { return FMX_CALL(FM_BinaryData_GetSize(this, index, _x)); }
    errcode GetData(int32 index, uint32 offset, uint32 amount, void* buffer) const {
        return FMX_CALL(FM_BinaryData_GetData(this, index, offset, amount, buffer, _x));
    }
    errcode Add(const QuadChar& dataType, uint32 amount, void* buffer) {
        return FMX_CALL(FM_BinaryData_Add(this, dataType, amount, buffer, _x));
    }
    bool Remove(const QuadChar& dataType) { return FMX_CALL(FM_BinaryData_Remove(this, dataType, _x)); }
    void RemoveAll() { FMX_CALL(FM_BinaryData_RemoveAll(this, _x)); }
    errcode AddBegin(const QuadChar& dataType, uint32* context) {
        return FMX_CALL(FM_BinaryData_AddBegin(this, dataType, context, _x));
    }
    errcode AddAppend(uint32 context, uint32 amount, void* buffer) {
        return FMX_CALL(FM_BinaryData_AddAppend(this, context, amount, buffer, _x));
    }
    errcode AddFinish(uint32 context) { return FMX_CALL(FM_BinaryData_AddFinish(this, context, _x)); }
};

class BinaryDataUniquePtr : public HostUniquePtr<BinaryData, FM_BinaryData_Delete> {
public:
    BinaryDataUniquePtr() : HostUniquePtr(FMX_CALL(FM_BinaryData_Constructor1(_x))) {}
    explicit BinaryDataUniquePtr(const BinaryData& copyFrom)
        : HostUniquePtr(FMX_CALL(FM_BinaryData_Constructor2(copyFrom, _x))) {}
    BinaryDataUniquePtr(const Text& name, uint32 amount, void* buffer)
        : HostUniquePtr(FMX_CALL(FM_BinaryData_Constructor3(name, amount, buffer, _x))) {}
    // Takes ownership of an object the host made (for example through FM_BinaryData_Constructor4).
    // A file container to be filled with AddAppend(context, ...) and closed with AddFinish(context).
    BinaryDataUniquePtr(const Text& name, uint32* context)
        : HostUniquePtr(FMX_CALL(FM_BinaryData_Constructor4(name, context, _x))) {}
    explicit BinaryDataUniquePtr(BinaryData* adopted) : HostUniquePtr(adopted) {}
};

}  // namespace fmx
