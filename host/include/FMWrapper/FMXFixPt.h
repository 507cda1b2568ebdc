// Host numbers.
#pragma once

#include "FMXTypes.h"

FMX_API fmx::FixPt* FM_FixPt_Constructor1(fmx::int32 value, fmx::int32 precision, fmx::_fmxcpt& _x);
FMX_API void FM_FixPt_Delete(fmx::FixPt* self, fmx::_fmxcpt& _x);
FMX_API void FM_FixPt_AssignInt(fmx::FixPt* self, fmx::int32 value, fmx::_fmxcpt& _x);
FMX_API void FM_FixPt_AssignInt64(fmx::FixPt* self, fmx::int64 value, fmx::_fmxcpt& _x);
FMX_API void FM_FixPt_AssignDouble(fmx::FixPt* self, double value, fmx::_fmxcpt& _x);
FMX_API void FM_FixPt_AssignFixPt(fmx::FixPt* self, const fmx::FixPt& value, fmx::_fmxcpt& _x);
FMX_API fmx::int32 FM_FixPt_AsLong(const fmx::FixPt* self, fmx::_fmxcpt& _x);
FMX_API fmx::int64 FM_FixPt_AsLong64(const fmx::FixPt* self, fmx::_fmxcpt& _x);
FMX_API double FM_FixPt_AsFloat(const fmx::FixPt* self, fmx::_fmxcpt& _x);

namespace fmx {

class FixPt : public HostObject {
public:
    void AssignInt(int32 v) { FMX_CALL(FM_FixPt_AssignInt(this, v, _x)); }
    void AssignInt64(int64 v) { FMX_CALL(FM_FixPt_AssignInt64(this, v, _x)); }
    void AssignDouble(double v) { FMX_CALL(FM_FixPt_AssignDouble(this, v, _x)); }
    FixPt& operator=(const FixPt& v) {
        FMX_CALL(FM_FixPt_AssignFixPt(this, v, _x));
        return *this;
    }
    int32 AsLong() const { return FMX_CALL(FM_FixPt_AsLong(this, _x)); }
    int64 AsLong64() const { return FMX_CALL(FM_FixPt_AsLong64(this, _x)); }
    double AsFloat() const { return FMX_CALL(FM_FixPt_AsFloat(this, _x)); }
};

class FixPtUniquePtr : public HostUniquePtr<FixPt, FM_FixPt_Delete> {
public:
    explicit FixPtUniquePtr(int32 value = 0, int32 precision = 16)
        : HostUniquePtr(FMX_CALL(FM_FixPt_Constructor1(value, precision, _x))) {}
};

}  // namespace fmx
