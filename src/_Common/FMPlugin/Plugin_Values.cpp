#include "Plugin_Values.h"

#include "_Common/Strings/Orb_FMXText.h"
#include "_Common/Strings/Orb_String.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// The host's date and time values as local date-times. A time alone sits on 1970-01-01 (so its
// seconds() are the seconds since midnight); hours beyond 23 carry into the following days.
// False for a date the calendar cannot hold (before 1400).
bool toOrbDateTime(const fmx::DateTime& value, bool hasDate, bool hasTime, OrbDateTime& result) {
    OrbDateTimeComponents c;
    c.year = hasDate ? static_cast<uint16_t>(value.GetYear()) : 1970;
    c.month = hasDate ? static_cast<uint16_t>(value.GetMonth()) : 1;
    c.day = hasDate ? static_cast<uint16_t>(value.GetDay()) : 1;
    int32_t extraDays = 0;
    if (hasTime) {
        const int32_t hour = value.GetHour();
        extraDays = hour / 24;
        c.hour = static_cast<uint16_t>(hour % 24);
        c.minute = static_cast<uint16_t>(value.GetMinute());
        c.second = static_cast<uint16_t>(value.GetSec());
        c.millisecond = static_cast<uint16_t>(value.GetUSec() / 1000);
    }
    if (!result.encodeDateTime(c)) return false;
    if (extraDays) result.setDateTime(result.dateTime() + boost::gregorian::days(extraDays));
    return true;
}

// A host date (or timestamp) as a variable of `type`; one the calendar cannot hold keeps its
// value as the text such a date shows ("07/04/1200"), rather than becoming another date.
void setHostDateValue(OrbVariable& variable, const fmx::DateTime& value, int type) {
    const bool hasDate = type != OrbVariable::kTime;
    const bool hasTime = type != OrbVariable::kDate;
    OrbDateTime when;
    if (toOrbDateTime(value, hasDate, hasTime, when)) {
        if (type == OrbVariable::kDate) variable.setDateValue(when);
        if (type == OrbVariable::kTime) variable.setTimeValue(when);
        if (type == OrbVariable::kTimestamp) variable.setTimestampValue(when);
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", int(value.GetMonth()), int(value.GetDay()),
                  int(value.GetYear()));
    std::string shown = text;
    if (hasTime) {
        std::snprintf(text, sizeof text, " %02d:%02d:%02d", int(value.GetHour()), int(value.GetMinute()),
                      int(value.GetSec()));
        shown += text;
    }
    variable.setStringValue(ucstringFromString(shown));
}

// A host number: a whole one keeps every digit (a float's six-digit text would turn
// 99999999999999 into "1e+14", which reads back as 1); one beyond the 64-bit range keeps its
// digits as text, which reads back as the largest integer instead of wrapping.
void setHostNumberValue(OrbVariable& variable, double number) {
    if (!std::isfinite(number) || number != std::trunc(number)) {
        variable.setFloatValue(number);
    } else if (std::fabs(number) < 9223372036854775808.0) {
        variable.setIntegerValue(static_cast<int64_t>(number));
    } else {
        char digits[400];
        const auto r = std::to_chars(digits, digits + sizeof digits, number, std::chars_format::fixed);
        variable.setFloatStringValue(ucstringFromString(std::string(digits, r.ec == std::errc() ? r.ptr : digits)));
    }
}

void setHostDate(fmx::DateTime& out, const OrbDateTime& value) {
    OrbDateTimeComponents c;
    value.decodeDateTime(c);
    out.SetNormalizedDate1(static_cast<fmx::int16>(c.year), static_cast<fmx::int16>(c.month),
                           static_cast<fmx::int16>(c.day));
}

void setHostTime(fmx::DateTime& out, const OrbDateTime& value) {
    OrbDateTimeComponents c;
    value.decodeDateTime(c);
    out.SetNormalizedTime1(c.hour, static_cast<fmx::int16>(c.minute), static_cast<fmx::int16>(c.second),
                           c.millisecond * 1000);
}

}  // namespace

void setHostText(fmx::Data& hostResult, const ucstring& text, const fmx::Locale& locale) {
    fmx::TextUniquePtr t;
    t->AssignUnicodeWithLength(text.data(), static_cast<fmx::uint32>(text.size()));
    hostResult.SetAsText(*t, locale);
}

// ---- PluginParameter ------------------------------------------------------------------------------

void PluginParameter::extract(const fmx::Data& data, OrbVariable& variable) {
    variable.clear(true);
    if (!data.IsValid()) return;
    switch (data.GetNativeType()) {
        case fmx::kDTText:
        case fmx::kDTBinary: {
            // Text, and a container as the host's text form of it.
            const fmx::Text& text = data.GetAsText();
            const fmx::uint32 size = text.GetSize();
            if (bufferSize() < size || bufferSize() < 256) setBufferSize(std::max<size_t>(size, 256));
            if (size) text.GetUnicode(mBuffer.data(), 0, size);
            variable.setStringValue(ucstring(mBuffer.data(), size));
            break;
        }
        case fmx::kDTNumber: setHostNumberValue(variable, data.GetAsNumber().AsFloat()); break;
        case fmx::kDTBoolean: variable.setIntegerValue(data.GetAsNumber().AsLong64()); break;
        case fmx::kDTDate:
            if (!data.IsEmpty()) setHostDateValue(variable, data.GetAsDate(), OrbVariable::kDate);
            break;
        case fmx::kDTTime:
            if (!data.IsEmpty()) setHostDateValue(variable, data.GetAsTime(), OrbVariable::kTime);
            break;
        case fmx::kDTTimeStamp:
            if (!data.IsEmpty()) setHostDateValue(variable, data.GetAsTimeStamp(), OrbVariable::kTimestamp);
            break;
        default: break;
    }
}

bool variableToHostData(const OrbVariable& value, fmx::Data& data, const fmx::Locale& locale) {
    switch (value.type()) {
        case OrbVariable::kString:
        case OrbVariable::kArray: {
            const ucstring text = value.variableAsString(1);
            if (!text.empty()) setHostText(data, text, locale);
            return true;
        }
        case OrbVariable::kInteger: {
            // 64-bit, so file sizes beyond 2 GiB arrive whole.
            fmx::FixPtUniquePtr n;
            n->AssignInt64(value.integerValue());
            data.SetAsNumber(*n);
            return true;
        }
        case OrbVariable::kFloat: {
            fmx::FixPtUniquePtr n;
            n->AssignDouble(value.floatValue());
            data.SetAsNumber(*n);
            return true;
        }
        case OrbVariable::kFloatString: {
            const ucstring text = value.stringValue().empty() ? ucstring(u"0") : value.stringValue();
            setHostText(data, text, locale);
            data.ConvertData(fmx::kDTNumber);
            return true;
        }
        case OrbVariable::kList: {
            fmx::TextUniquePtr t;
            ucstringlistToFMXText(value.listValue(), *t);
            data.SetAsText(*t, locale);
            return true;
        }
        case OrbVariable::kDate: {
            fmx::DateTimeUniquePtr d;
            setHostDate(*d, value.timestampValue());
            data.SetAsDate(*d);
            return true;
        }
        case OrbVariable::kTime: {
            fmx::DateTimeUniquePtr d;
            setHostTime(*d, value.timestampValue());
            data.SetAsTime(*d);
            return true;
        }
        case OrbVariable::kTimestamp: {
            fmx::DateTimeUniquePtr d;
            setHostDate(*d, value.timestampValue());
            setHostTime(*d, value.timestampValue());
            data.SetAsTimeStamp(*d);
            return true;
        }
        default: return false;
    }
}
