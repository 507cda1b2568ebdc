// The host layer on its own: values, containers and the calculation subset volan-host evaluates.
#include <fmhost/Host.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string eval(const std::string& expression, fmx::errcode* error = nullptr) {
    fmhost::Evaluation ev = fmhost::evaluateExpression(fmhost::utf16(expression), 1);
    if (error) *error = ev.error;
    return ev.error ? "?" + fmhost::utf8(ev.message) : fmhost::utf8(ev.text);
}

}  // namespace

TEST(HostCalculation, LiteralsAndOperators) {
    EXPECT_EQ(eval("\"a\" & \"b\""), "ab");
    EXPECT_EQ(eval("\"say \\\"hi\\\"\""), "say \"hi\"");
    EXPECT_EQ(eval("1 + 2 * 3"), "7");
    EXPECT_EQ(eval("(1 + 2) * 3"), "9");
    EXPECT_EQ(eval("-5 + 2"), "-3");
    EXPECT_EQ(eval("7 / 2"), "3.5");
    EXPECT_EQ(eval("\"x\" & \xC2\xB6 & \"y\""), "x\ry");  // the pilcrow is a carriage return
    EXPECT_EQ(eval("\"n=\" & 70000"), "n=70000");
}

TEST(HostCalculation, HostFunctions) {
    fmhost::HostState& host = fmhost::HostState::get();
    host.reset();
    host.settings.fileName = u"Invoices";
    host.settings.filePath = u"file:/C:/data/Invoices.fmp12";
    host.scripts.push_back({u"Invoices", u"Done", u""});
    host.scripts.push_back({u"Other", u"Run", u""});
    EXPECT_EQ(eval("DatabaseNames"), "Invoices\rOther");
    EXPECT_EQ(eval("ScriptNames(\"invoices\")"), "Done");
    EXPECT_EQ(eval("Get(FilePath)"), "file:/C:/data/Invoices.fmp12");
    EXPECT_EQ(eval("Get ( FileName )"), "Invoices");
    EXPECT_EQ(eval("Date(2;29;2024)"), "2/29/2024");
    EXPECT_EQ(eval("Date(13;1;2023)"), "1/1/2024");  // months normalise into the next year
    EXPECT_EQ(eval("Time(25;0;1)"), "25:00:01");
    EXPECT_EQ(eval("Timestamp(Date(7;4;1999);Time(8;5;0))"), "7/4/1999 8:05:00");
    EXPECT_EQ(eval("True"), "1");
    EXPECT_EQ(eval("False & \"\""), "0");
    host.reset();
    host.settings = fmhost::HostSettings{};
}

TEST(HostCalculation, Errors) {
    fmx::errcode error = 0;
    EXPECT_EQ(eval("Volan_Nothing(1)", &error), "?The function \"Volan_Nothing\" is not registered.");
    EXPECT_EQ(error, 1208);
    eval("\"open", &error);
    EXPECT_EQ(error, 1206);
    eval("(1 + 2", &error);
    EXPECT_EQ(error, 1207);
    eval("Date(1;2)", &error);
    EXPECT_EQ(error, 1201);
    eval("1 2", &error);
    EXPECT_EQ(error, 1212);
    eval("", &error);
    EXPECT_EQ(error, 1203);
}

TEST(HostValues, TextKeepsUtf16UnitsAndConvertsBytes) {
    fmx::TextUniquePtr t;
    const std::u16string s = u"Gr\u00FC\u00DFe \U0001F600";
    t->AssignUnicodeWithLength(s.data(), static_cast<fmx::uint32>(s.size()));
    EXPECT_EQ(t->GetSize(), s.size());
    char buffer[64];
    t->GetBytes(buffer, sizeof buffer, 0, fmx::kSize_End, fmx::kEncoding_UTF8);
    EXPECT_STREQ(buffer,
                 "Gr\xC3\xBC\xC3\x9F"
                 "e \xF0\x9F\x98\x80");
    fmx::TextUniquePtr part;
    part->SetText(*t, 2, 3);
    fmx::unichar16 out[3];
    part->GetUnicode(out, 0, 3);
    EXPECT_EQ(std::u16string(out, 3), u"\u00FC\u00DFe");
    fmx::TextUniquePtr needle;
    needle->Assign("e ");
    EXPECT_EQ(t->Find(*needle, 0), 4u);
}

TEST(HostValues, DataTypesAndConversions) {
    fmx::LocaleUniquePtr locale;
    fmx::DataUniquePtr d;
    EXPECT_FALSE(d->IsValid());
    EXPECT_TRUE(d->IsEmpty());
    fmx::TextUniquePtr t;
    t->Assign("12.5");
    d->SetAsText(*t, *locale);
    EXPECT_EQ(d->GetNativeType(), fmx::kDTText);
    EXPECT_DOUBLE_EQ(d->GetAsNumber().AsFloat(), 12.5);
    EXPECT_EQ(d->ConvertData(fmx::kDTNumber), 0);
    EXPECT_EQ(d->GetNativeType(), fmx::kDTNumber);

    fmx::DateTimeUniquePtr date;
    date->SetNormalizedDate1(2015, 7, 23);
    d->SetAsDate(*date);
    EXPECT_EQ(d->GetAsDate().GetYear(), 2015);
    EXPECT_EQ(d->GetAsDate().GetMonth(), 7);
    EXPECT_EQ(d->GetAsDate().GetDay(), 23);
    d->Clear(fmx::kDTDate);  // an empty date field
    EXPECT_EQ(d->GetNativeType(), fmx::kDTDate);
    EXPECT_TRUE(d->IsEmpty());

    fmx::FixPtUniquePtr n;
    n->AssignInt64(9007199254740993LL);  // beyond a double's exact range
    d->SetAsNumber(*n);
    EXPECT_EQ(d->GetAsNumber().AsLong64(), 9007199254740993LL);
}

TEST(HostValues, ContainerStreams) {
    fmx::BinaryDataUniquePtr b;
    fmx::QuadCharUniquePtr jpeg('J', 'P', 'E', 'G'), size('S', 'I', 'Z', 'E'), file('F', 'I', 'L', 'E');
    char bytes[] = "\xFF\xD8\xFF";
    EXPECT_EQ(b->Add(*jpeg, 3, bytes), 0);
    EXPECT_NE(b->Add(*jpeg, 3, bytes), 0);  // one stream per type
    char dims[] = {0, 50, 0, 60};
    EXPECT_EQ(b->Add(*size, 4, dims), 0);
    EXPECT_EQ(b->GetCount(), 2);
    EXPECT_EQ(b->GetIndex(*size), 1);
    EXPECT_EQ(b->GetIndex(*file), -1);
    char out[4] = {};
    EXPECT_EQ(b->GetData(1, 0, 4, out), 0);
    EXPECT_EQ(std::memcmp(out, dims, 4), 0);
    EXPECT_NE(b->GetData(1, 2, 4, out), 0);  // beyond the stream
    fmx::QuadCharUniquePtr type;
    b->GetType(0, *type);
    EXPECT_TRUE(*type == *jpeg);
    EXPECT_EQ(type->GetMacType(), 0x4A504547u);
    EXPECT_TRUE(b->Remove(*jpeg));
    EXPECT_EQ(b->GetCount(), 1);

    // Streamed in pieces.
    fmx::uint32 context = 0;
    EXPECT_EQ(b->AddBegin(*file, &context), 0);
    char piece[] = "abc";
    EXPECT_EQ(b->AddAppend(context, 3, piece), 0);
    EXPECT_EQ(b->AddAppend(context, 3, piece), 0);
    EXPECT_EQ(b->AddFinish(context), 0);
    EXPECT_NE(b->AddAppend(context, 3, piece), 0);  // finished
    EXPECT_EQ(b->GetSize(b->GetIndex(*file)), 6u);
}
