// Host dates, times and timestamps.
#pragma once

#include "FMXTypes.h"

FMX_API fmx::DateTime* FM_DateTime_Constructor1(fmx::_fmxcpt& _x);
FMX_API void FM_DateTime_Delete(fmx::DateTime* self, fmx::_fmxcpt& _x);
FMX_API void FM_DateTime_SetNormalizedDate1(fmx::DateTime* self, fmx::int16 year, fmx::int16 month, fmx::int16 day,
                                            fmx::_fmxcpt& _x);
FMX_API void FM_DateTime_SetNormalizedTime1(fmx::DateTime* self, fmx::int64 hour, fmx::int16 minute, fmx::int16 sec,
                                            fmx::int32 usec, fmx::_fmxcpt& _x);
FMX_API void FM_DateTime_SetDate(fmx::DateTime* self, const fmx::DateTime& date, fmx::_fmxcpt& _x);
FMX_API void FM_DateTime_SetTime(fmx::DateTime* self, const fmx::DateTime& time, fmx::_fmxcpt& _x);
FMX_API void FM_DateTime_Now(fmx::DateTime* self, fmx::_fmxcpt& _x);
FMX_API fmx::int16 FM_DateTime_GetYear(const fmx::DateTime* self, fmx::_fmxcpt& _x);
FMX_API fmx::int16 FM_DateTime_GetMonth(const fmx::DateTime* self, fmx::_fmxcpt& _x);
FMX_API fmx::int16 FM_DateTime_GetDay(const fmx::DateTime* self, fmx::_fmxcpt& _x);
FMX_API fmx::int32 FM_DateTime_GetHour(const fmx::DateTime* self, fmx::_fmxcpt& _x);
FMX_API fmx::int16 FM_DateTime_GetMinute(const fmx::DateTime* self, fmx::_fmxcpt& _x);
FMX_API fmx::int16 FM_DateTime_GetSec(const fmx::DateTime* self, fmx::_fmxcpt& _x);
FMX_API fmx::int32 FM_DateTime_GetUSec(const fmx::DateTime* self, fmx::_fmxcpt& _x);

namespace fmx {

class DateTime : public HostObject {
public:
    void SetNormalizedDate1(int16 year, int16 month, int16 day) {
        FMX_CALL(FM_DateTime_SetNormalizedDate1(this, year, month, day, _x));
    }
    void SetNormalizedTime1(int64 hour, int16 minute, int16 sec, int32 usec) {
        FMX_CALL(FM_DateTime_SetNormalizedTime1(this, hour, minute, sec, usec, _x));
    }
    void SetDate(const DateTime& date) { FMX_CALL(FM_DateTime_SetDate(this, date, _x)); }
    void SetTime(const DateTime& time) { FMX_CALL(FM_DateTime_SetTime(this, time, _x)); }
    void Now() { FMX_CALL(FM_DateTime_Now(this, _x)); }
    int16 GetYear() const { return FMX_CALL(FM_DateTime_GetYear(this, _x)); }
    int16 GetMonth() const { return FMX_CALL(FM_DateTime_GetMonth(this, _x)); }
    int16 GetDay() const { return FMX_CALL(FM_DateTime_GetDay(this, _x)); }
    int32 GetHour() const { return FMX_CALL(FM_DateTime_GetHour(this, _x)); }
    int16 GetMinute() const { return FMX_CALL(FM_DateTime_GetMinute(this, _x)); }
    int16 GetSec() const { return FMX_CALL(FM_DateTime_GetSec(this, _x)); }
    int32 GetUSec() const { return FMX_CALL(FM_DateTime_GetUSec(this, _x)); }
};

class DateTimeUniquePtr : public HostUniquePtr<DateTime, FM_DateTime_Delete> {
public:
    DateTimeUniquePtr() : HostUniquePtr(FMX_CALL(FM_DateTime_Constructor1(_x))) {}
};

}  // namespace fmx
