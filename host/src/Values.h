// The host's own representation of the values behind the opaque fmx:: types. Pointers handed to
// the plug-in are these objects seen through the fmx:: class names.
#pragma once

#include <FMWrapper/FMXClient.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fmhost {

struct QuadCharImpl {
    std::array<unsigned char, 4> c{{' ', ' ', ' ', ' '}};
    bool operator==(const QuadCharImpl& o) const { return c == o.c; }
    std::string str() const { return std::string(c.begin(), c.end()); }
};

struct LocaleImpl {
    int32_t type = fmx::Locale::kType_System;
};

struct TextImpl {
    std::u16string s;
};

struct FixPtImpl {
    long double v = 0;  // 64-bit mantissa: every int64 is exact
    int32_t precision = 16;
};

// A date, a time or both. Dates are counted in days from 0001-01-01 (day 1) like the host does;
// times in microseconds (hours may exceed 24 for time values).
struct DateTimeImpl {
    int64_t days = 0;
    int64_t micros = 0;
    void setDate(int64_t year, int64_t month, int64_t day);
    void civil(int& year, int& month, int& day) const;
};

struct Stream {
    QuadCharImpl type;
    std::vector<unsigned char> bytes;
};

struct BinaryDataImpl {
    std::vector<Stream> streams;
    std::u16string fileName;                   // name of a file container, empty otherwise
    std::map<uint32_t, int32_t> openContexts;  // AddBegin context -> stream index
    uint32_t nextContext = 1;
    int32_t indexOf(const QuadCharImpl& type) const;
};

// Adds what a file container holds beside its main stream: "FNAM" with the file's name and "MAIN"
// naming the main stream.
void addFileContainerStreams(BinaryDataImpl& b, const std::u16string& name, const char* mainCode = "FILE");

struct DataImpl {
    int32_t type = fmx::kDTInvalid;
    bool empty = true;  // a typed value without content (an empty date field, say)
    TextImpl text;
    FixPtImpl number;
    DateTimeImpl dateTime;
    BinaryDataImpl binary;
    LocaleImpl locale;
    // Conversions handed out by reference live here, so they last as long as the value.
    mutable TextImpl textView;
    mutable FixPtImpl numberView;
    mutable DateTimeImpl dateView;
};

struct DataVectImpl {
    std::vector<std::unique_ptr<DataImpl>> items;
};

struct RowVectImpl {
    std::vector<std::unique_ptr<DataVectImpl>> rows;
};

struct ExprEnvImpl {
    uint64_t sessionId = 0;
    uint64_t fileId = 0;
};

// The opaque pointer views.
#define FMHOST_VIEW(Impl, Fmx)                                                                  \
    inline Impl* impl(fmx::Fmx* p) { return reinterpret_cast<Impl*>(p); }                       \
    inline const Impl* impl(const fmx::Fmx* p) { return reinterpret_cast<const Impl*>(p); }     \
    inline Impl& impl(fmx::Fmx& p) { return *reinterpret_cast<Impl*>(&p); }                     \
    inline const Impl& impl(const fmx::Fmx& p) { return *reinterpret_cast<const Impl*>(&p); }   \
    inline fmx::Fmx* view(Impl* p) { return reinterpret_cast<fmx::Fmx*>(p); }                   \
    inline const fmx::Fmx* view(const Impl* p) { return reinterpret_cast<const fmx::Fmx*>(p); } \
    inline fmx::Fmx& view(Impl& p) { return *reinterpret_cast<fmx::Fmx*>(&p); }                 \
    inline const fmx::Fmx& view(const Impl& p) { return *reinterpret_cast<const fmx::Fmx*>(&p); }

FMHOST_VIEW(QuadCharImpl, QuadChar)
FMHOST_VIEW(LocaleImpl, Locale)
FMHOST_VIEW(TextImpl, Text)
FMHOST_VIEW(FixPtImpl, FixPt)
FMHOST_VIEW(DateTimeImpl, DateTime)
FMHOST_VIEW(BinaryDataImpl, BinaryData)
FMHOST_VIEW(DataImpl, Data)
FMHOST_VIEW(DataVectImpl, DataVect)
FMHOST_VIEW(RowVectImpl, RowVect)
FMHOST_VIEW(ExprEnvImpl, ExprEnv)
#undef FMHOST_VIEW

// Text forms the host uses when it converts values (dates month first, as a US-English host).
std::u16string numberToText(long double v);
bool textToNumber(const std::u16string& s, long double& v);
std::u16string dateToText(const DateTimeImpl& d);
std::u16string timeToText(const DateTimeImpl& d);
bool textToDate(const std::u16string& s, DateTimeImpl& d);
bool textToTime(const std::u16string& s, DateTimeImpl& d);
std::u16string dataToText(const DataImpl& d);
long double dataToNumber(const DataImpl& d);

std::u16string fromUTF8(const std::string& s);
std::string toUTF8(const std::u16string& s);

}  // namespace fmhost
