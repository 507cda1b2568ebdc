// Streams: memory and file streams, buffered access checked against a plain model, files beyond
// 4 GiB, line endings, every character set, byte order marks, and string lists in files.
#include "../support/TestDrives.h"
#include "_Common/FileAndStream/Orb_FileStream.h"
#include "_Common/FileAndStream/Orb_StringListStream.h"
#include "_Common/Strings/Orb_CharSets.h"
#include "_Common/Strings/Orb_StringList.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

std::string contents(const OrbMemoryStream& stream) { return std::string(stream.data(), stream.size()); }

// All lines of a stream with one line-ending type.
ucstringlist readAll(OrbStream& stream, int lineEndingType, int16_t charSet = kCharSetUTF8, bool littleEndian = false,
                     std::vector<bool>* ended = nullptr) {
    ucstringlist lines;
    ucstring line;
    while (stream.readLine(&line, lineEndingType, charSet, littleEndian)) {
        lines.push_back(line);
        if (ended) ended->push_back(stream.streamEndedWithLineEnding());
    }
    EXPECT_EQ(stream.errorString(), u"");
    EXPECT_EQ(stream.warningString(), u"No lines left to read");
    return lines;
}

OrbMemoryStream& fill(OrbMemoryStream& stream, const std::string& data) {
    stream.writeBytes(data.data(), static_cast<int64_t>(data.size()));
    stream.reposition(0);
    return stream;
}

struct Sample {
    int16_t charSet;
    ucstring text;
    std::string expected;  // the text's bytes from the set's code table
};

// One text per character set, with the characters particular to it.
const Sample kSamples[] = {
    {kCharSetUCS2, u"A\U0001F600", bytes({0x00, 0x41, 0xD8, 0x3D, 0xDE, 0x00})},
    {kCharSetUTF8, u"\u00E9\U0001F600", bytes({0xC3, 0xA9, 0xF0, 0x9F, 0x98, 0x80})},
    {kCharSetISO8859_1, u"caf\u00E9 \u00FF", bytes({'c', 'a', 'f', 0xE9, ' ', 0xFF})},
    {kCharSetMacRoman, u"\u00E9\u00FC\u00DF", bytes({0x8E, 0x9F, 0xA7})},
    {kCharSetISO8859_2, u"\u0141\u0142\u0151", bytes({0xA3, 0xB3, 0xF5})},
    {kCharSetMacCentralEurope, u"\u0141\u0104", bytes({0xFC, 0x84})},
    {kCharSetJapanese, u"\u65E5\u672C\u3042", bytes({0x93, 0xFA, 0x96, 0x7B, 0x82, 0xA0})},
    {kCharSetISO8859_3, u"\u0127\u011D", bytes({0xB1, 0xF8})},
    {kCharSetISO8859_4, u"\u0101\u0137", bytes({0xE0, 0xF3})},
    {kCharSetISO8859_5, u"\u0416\u0430", bytes({0xB6, 0xD0})},
    {kCharSetISO8859_6, u"\u0628", bytes({0xC8})},
    {kCharSetISO8859_9, u"\u011F\u015F\u0130", bytes({0xF0, 0xFE, 0xDD})},
    {kCharSetISO8859_15, u"\u20AC\u0153", bytes({0xA4, 0xBD})},
    {kCharSetWindows1250, u"\u0142\u015B", bytes({0xB3, 0x9C})},
    {kCharSetWindows1251, u"\u0416\u0436", bytes({0xC6, 0xE6})},
    {kCharSetWindows1252, u"\u20AC\u00E9", bytes({0x80, 0xE9})},
    {kCharSetWindows1253, u"\u03A9\u03B1", bytes({0xD9, 0xE1})},
    {kCharSetWindows1254, u"\u011F\u20AC", bytes({0xF0, 0x80})},
    {kCharSetWindows1255, u"\u05D0", bytes({0xE0})},
    {kCharSetWindows1256, u"\u0628", bytes({0xC8})},
    {kCharSetWindows1257, u"\u0105\u0173", bytes({0xE0, 0xF8})},
    {kCharSetBig5, u"\u4E2D\u6587", bytes({0xA4, 0xA4, 0xA4, 0xE5})},
    {kCharSetGB2312, u"\u4E2D\u6587", bytes({0xD6, 0xD0, 0xCE, 0xC4})},
    {kCharSetKOI8R, u"\u0416\u0436", bytes({0xF6, 0xD6})},
    {kCharSetKSC5601, u"\uD55C\uAD6D", bytes({0xC7, 0xD1, 0xB1, 0xB9})},
};

}  // namespace

// ---- Memory streams -------------------------------------------------------------------------------

TEST(MemoryStream, WriteReadPeek) {
    OrbMemoryStream s;
    EXPECT_TRUE(s.writeBytes("hello world", 11));
    EXPECT_EQ(s.size(), 11);
    EXPECT_TRUE(s.atEnd());
    s.reposition(6);
    char buffer[16] = {};
    int64_t got = 0;
    EXPECT_TRUE(s.peekBytes(buffer, 3, got));
    EXPECT_EQ(std::string(buffer, got), "wor");
    EXPECT_EQ(s.position(), 6);
    EXPECT_TRUE(s.readBytes(buffer, 16, got));
    EXPECT_EQ(std::string(buffer, got), "world");
    EXPECT_EQ(s.warningString(), u"No bytes left to read.");
    EXPECT_TRUE(s.atEnd());
    // Writing past the end leaves zeros in the gap.
    s.reposition(13);
    EXPECT_TRUE(s.writeBytes("!", 1));
    EXPECT_EQ(contents(s), std::string("hello world\0\0!", 14));

    EXPECT_FALSE(s.readBytes(nullptr, 1, got));
    EXPECT_EQ(s.errorString(), u"Output Buffer is NULL.");
    EXPECT_FALSE(s.readBytes(buffer, 0, got));
    EXPECT_EQ(s.errorString(), u"Nothing to Read");
    EXPECT_FALSE(s.writeBytes(nullptr, 1));
    EXPECT_EQ(s.errorString(), u"Input Buffer is NULL.");
    EXPECT_FALSE(s.writeBytes("x", 0));
    EXPECT_EQ(s.errorString(), u"Nothing to Write");
}

TEST(MemoryStream, Resizing) {
    OrbMemoryStream s;
    fill(s, "abcdef");
    s.reposition(6);
    EXPECT_TRUE(s.resize(3));
    EXPECT_EQ(contents(s), "abc");
    EXPECT_EQ(s.position(), 3);
    EXPECT_TRUE(s.resize(5));
    EXPECT_EQ(contents(s), std::string("abc\0\0", 5));
    EXPECT_TRUE(s.resize(5));
    EXPECT_EQ(s.warningString(), u"New Size equals Old Size");
    EXPECT_FALSE(s.resize(-1));
    EXPECT_EQ(s.errorString(), u"Can't have a negative buffer size.");
    // Beyond 32 bits the size is cut to its low 32 bits, with a warning.
    EXPECT_TRUE(s.resize((int64_t{1} << 32) + 7));
    EXPECT_EQ(s.warningString(), u"Memory Streams cannot be larger than 32-bit; truncating size.");
    EXPECT_EQ(s.size(), 7);
}

TEST(MemoryStream, CopyingBetweenStreams) {
    OrbMemoryStream a, b;
    fill(a, "0123456789");
    a.reposition(2);
    EXPECT_TRUE(b.readFromStream(&a, 5));
    EXPECT_EQ(contents(b), "23456");
    EXPECT_EQ(a.position(), 7);
    b.reposition(1);
    OrbMemoryStream c;
    EXPECT_TRUE(b.writeToStream(&c, 100));  // as much as there is
    EXPECT_EQ(contents(c), "3456");
    EXPECT_FALSE(b.writeToStream(&c, 1));
    EXPECT_EQ(b.errorString(), u"No Buffer to Write");
    EXPECT_FALSE(b.readFromStream(nullptr, 1));
    EXPECT_EQ(b.errorString(), u"Input Stream is NULL.");
    EXPECT_FALSE(b.writeToStream(nullptr, 1));
    EXPECT_EQ(b.errorString(), u"Output Stream is NULL.");
}

TEST(BaseStream, OperationsThatMustBeOverridden) {
    OrbStream s;
    char buffer[4];
    int64_t got = 0;
    EXPECT_FALSE(s.readBytes(buffer, 4, got));
    EXPECT_EQ(s.errorString(), u"readBytes() Base Function is not overridden");
    EXPECT_FALSE(s.peekBytes(buffer, 4, got));
    EXPECT_EQ(s.errorString(), u"peekBytes() Base Function is not overridden");
    EXPECT_FALSE(s.writeBytes(buffer, 4));
    EXPECT_EQ(s.errorString(), u"writeBytes() Base Function is not overridden");
    EXPECT_FALSE(s.readFromStream(&s, 4));
    EXPECT_EQ(s.errorString(), u"readFromStream() Base Function is not overridden");
    EXPECT_FALSE(s.writeToStream(&s, 4));
    EXPECT_EQ(s.errorString(), u"writeToStream() Base Function is not overridden");
}

// ---- Lines ----------------------------------------------------------------------------------------

TEST(StreamLines, EachEndingRoundTrips) {
    const ucstringlist lines{u"first", u"", u"third line", u"last"};
    const std::string endings[] = {"", "\r", "\n", "\r\n"};
    for (int type = kLineEndingNone; type <= kLineEndingCRLF; ++type) {
        OrbMemoryStream s;
        for (const ucstring& line : lines) ASSERT_TRUE(s.writeLine(line, type, kCharSetUTF8));
        const std::string& e = endings[type];
        EXPECT_EQ(contents(s), "first" + e + e + "third line" + e + "last" + e) << type;
        if (type == kLineEndingNone) continue;
        s.reposition(0);
        EXPECT_EQ(readAll(s, type), lines) << type;
        s.reposition(0);
        EXPECT_EQ(readAll(s, kLineEndingNone), lines) << type;
    }
}

TEST(StreamLines, AnyEndingAndTheLastLine) {
    OrbMemoryStream s;
    fill(s, "a\r\nb\rc\n\nd");
    std::vector<bool> ended;
    EXPECT_EQ(readAll(s, kLineEndingNone, kCharSetUTF8, false, &ended), (ucstringlist{u"a", u"b", u"c", u"", u"d"}));
    EXPECT_EQ(ended, (std::vector<bool>{true, true, true, true, false}));
    // A CR at the very end ends its line.
    OrbMemoryStream t;
    fill(t, "x\r");
    ended.clear();
    EXPECT_EQ(readAll(t, kLineEndingNone, kCharSetUTF8, false, &ended), (ucstringlist{u"x"}));
    EXPECT_EQ(ended, (std::vector<bool>{true}));
}

TEST(StreamLines, OwnEndingsOnly) {
    OrbMemoryStream s;
    fill(s, "a\rb\nc\r\nd");
    EXPECT_EQ(readAll(s, kLineEndingCR), (ucstringlist{u"a", u"b\nc", u"\nd"}));
    s.reposition(0);
    EXPECT_EQ(readAll(s, kLineEndingLF), (ucstringlist{u"a\rb", u"c\r", u"d"}));
    s.reposition(0);
    EXPECT_EQ(readAll(s, kLineEndingCRLF), (ucstringlist{u"a\rb\nc", u"d"}));
    OrbMemoryStream t;
    fill(t, "a\r\rb\r");
    EXPECT_EQ(readAll(t, kLineEndingCRLF), (ucstringlist{u"a\r\rb\r"}));
}

TEST(StreamLines, EndingsAcrossTheReadPieces) {
    // Line reading looks at 4096 bytes at a time: put the CR LF pair across that border.
    const std::string longLine(4095, 'x');
    OrbMemoryStream s;
    fill(s, longLine + "\r\n" + "next\r\n" + std::string(10000, 'y'));
    const ucstringlist lines = readAll(s, kLineEndingNone);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], ucstring(4095, u'x'));
    EXPECT_EQ(lines[1], u"next");
    EXPECT_EQ(lines[2], ucstring(10000, u'y'));
    OrbMemoryStream t;
    fill(t, longLine + "\r" + "z");
    EXPECT_EQ(readAll(t, kLineEndingCRLF).back(), ucstring(4095, u'x') + u"\rz");
}

TEST(StreamLines, Ucs2InBothByteOrders) {
    OrbMemoryStream be;
    be.writeLine(u"A\u00E9", kLineEndingCRLF, kCharSetUCS2);
    be.writeLine(u"\u4E2D", kLineEndingNone, kCharSetUCS2);
    EXPECT_EQ(contents(be), bytes({0, 'A', 0, 0xE9, 0, 0x0D, 0, 0x0A, 0x4E, 0x2D}));
    be.reposition(0);
    EXPECT_EQ(readAll(be, kLineEndingNone, kCharSetUCS2), (ucstringlist{u"A\u00E9", u"\u4E2D"}));

    // A unit whose low byte is 0x0D is no line ending.
    OrbMemoryStream le;
    fill(le, bytes({'a', 0, 0x0D, 0x01, 0x0A, 0, 'b', 0}));
    EXPECT_EQ(readAll(le, kLineEndingNone, kCharSetUCS2, true), (ucstringlist{u"a\u010D", u"b"}));
}

TEST(StreamLines, NarrowLinesAreBytes) {
    OrbMemoryStream s;
    s.writeLine(std::string("caf\xE9"), kLineEndingLF);
    s.writeLine(std::string("\xFF\xFE"), kLineEndingNone);
    EXPECT_EQ(contents(s), "caf\xE9\n\xFF\xFE");
    s.reposition(0);
    std::string line;
    EXPECT_TRUE(s.readLine(&line, kLineEndingNone));
    EXPECT_EQ(line, "caf\xE9");
    EXPECT_TRUE(s.readLine(&line, kLineEndingNone));
    EXPECT_EQ(line, "\xFF\xFE");
    EXPECT_FALSE(s.readLine(&line, kLineEndingNone));
    EXPECT_FALSE(s.readLine(static_cast<std::string*>(nullptr), kLineEndingNone));
    EXPECT_EQ(s.errorString(), u"Output Line is NULL.");
}

TEST(StreamLines, EveryCharacterSetRoundTrips) {
    for (const Sample& sample : kSamples) {
        OrbMemoryStream s;
        ASSERT_TRUE(s.writeLine(sample.text, kLineEndingCRLF, sample.charSet)) << sample.charSet;
        ASSERT_TRUE(s.writeLine(u"plain", kLineEndingNone, sample.charSet));
        const std::string crlf = sample.charSet == kCharSetUCS2 ? bytes({0, 0x0D, 0, 0x0A}) : "\r\n";
        const std::string plain =
            sample.charSet == kCharSetUCS2 ? bytes({0, 'p', 0, 'l', 0, 'a', 0, 'i', 0, 'n'}) : "plain";
        EXPECT_EQ(contents(s), sample.expected + crlf + plain) << sample.charSet;
        s.reposition(0);
        EXPECT_EQ(readAll(s, kLineEndingNone, sample.charSet), (ucstringlist{sample.text, u"plain"})) << sample.charSet;
    }
}

TEST(StreamLines, CharactersASetCannotHold) {
    OrbMemoryStream s;
    EXPECT_TRUE(s.writeLine(u"a\u4E2Db", kLineEndingNone, kCharSetISO8859_1));
    EXPECT_EQ(contents(s), "a?b");
    EXPECT_EQ(s.warningString(), u"Some characters could not be converted to the Character Set.");
    EXPECT_FALSE(s.writeLine(u"x", kLineEndingNone, kCharSetCount));
    EXPECT_EQ(s.errorString(), u"Unsupported Character Set.");
    ucstring line;
    s.reposition(0);
    EXPECT_FALSE(s.readLine(&line, kLineEndingNone, -1));
    EXPECT_EQ(s.errorString(), u"Unsupported Character Set.");
    EXPECT_FALSE(s.readLine(static_cast<ucstring*>(nullptr), kLineEndingNone, kCharSetUTF8));
    EXPECT_EQ(s.errorString(), u"Output Line is NULL.");
}

TEST(StreamLines, JapaneseReadsShiftJisAndIso2022) {
    OrbMemoryStream s;
    // ISO-2022-JP: ESC $ B, the JIS codes of 日本, ESC ( B.
    fill(s, bytes({0x1B, '$', 'B', 0x46, 0x7C, 0x4B, 0x5C, 0x1B, '(', 'B', '\n', 0x93, 0xFA, 0x96, 0x7B}));
    EXPECT_EQ(readAll(s, kLineEndingNone, kCharSetJapanese), (ucstringlist{u"\u65E5\u672C", u"\u65E5\u672C"}));
}

TEST(StreamLines, GoingToALine) {
    OrbMemoryStream s;
    fill(s, "zero\r\none\ntwo");
    EXPECT_TRUE(s.repositionToLine(2, kCharSetUTF8));
    ucstring line;
    EXPECT_TRUE(s.readLine(&line, kLineEndingNone, kCharSetUTF8));
    EXPECT_EQ(line, u"two");
    EXPECT_TRUE(s.repositionToLine(0, kCharSetUTF8));
    EXPECT_EQ(s.position(), 0);
    EXPECT_TRUE(s.repositionToLine(3, kCharSetUTF8));  // just after the last line
    EXPECT_TRUE(s.atEnd());
    EXPECT_FALSE(s.repositionToLine(4, kCharSetUTF8));
    EXPECT_EQ(s.errorString(), u"No lines left to read");
}

// ---- String lists ---------------------------------------------------------------------------------

TEST(StringListStream, SavingAndLoading) {
    OrbMemoryStream s;
    ucstring error;
    const ucstringlist ab{u"a", u"b"};
    EXPECT_TRUE(stringlistSaveToStream(error, &ab, &s, kLineEndingLF, kCharSetUTF8, false));
    EXPECT_EQ(contents(s), "a\nb");  // no ending after the last line
    OrbMemoryStream marked;
    EXPECT_TRUE(stringlistSaveToStream(error, &ab, &marked, kLineEndingCRLF, kCharSetUTF8, true));
    EXPECT_EQ(contents(marked),
              "\xEF\xBB\xBF"
              "a\r\nb");
    ucstringlist loaded;
    int16_t detected = -1;
    EXPECT_TRUE(stringlistLoadFromStream(error, &loaded, &marked, kCharSetISO8859_1, &detected));
    EXPECT_EQ(loaded, ab);
    EXPECT_EQ(detected, kCharSetUTF8);

    OrbMemoryStream ucs2;
    EXPECT_TRUE(stringlistSaveToStream(error, &ab, &ucs2, kLineEndingLF, kCharSetUCS2, true));
    EXPECT_EQ(contents(ucs2), bytes({0xFE, 0xFF, 0, 'a', 0, 0x0A, 0, 'b'}));
    // Other sets get no mark.
    OrbMemoryStream latin;
    EXPECT_TRUE(stringlistSaveToStream(error, &ab, &latin, kLineEndingCR, kCharSetISO8859_1, true));
    EXPECT_EQ(contents(latin), "a\rb");

    EXPECT_FALSE(stringlistSaveToStream(error, &ab, nullptr, kLineEndingLF, kCharSetUTF8, false));
    EXPECT_EQ(error, u"Output is NULL.");
    EXPECT_FALSE(stringlistLoadFromStream(error, static_cast<ucstringlist*>(nullptr), &s, kCharSetUTF8));
    EXPECT_EQ(error, u"Output is NULL.");
    EXPECT_FALSE(stringlistLoadFromStream(error, &loaded, nullptr, kCharSetUTF8));
    EXPECT_EQ(error, u"Input is NULL.");
}

TEST(StringListStream, AMarkOverridesTheCallersSet) {
    // UCS-2 little-endian with its mark, read by a caller who expects ISO-8859-1.
    OrbMemoryStream s;
    fill(s, bytes({0xFF, 0xFE, 'h', 0, 0xE9, 0, 0x0D, 0, 0x0A, 0, 'x', 0}));
    ucstring error;
    ucstringlist lines;
    int16_t detected = -1;
    EXPECT_TRUE(stringlistLoadFromStream(error, &lines, &s, kCharSetISO8859_1, &detected));
    EXPECT_EQ(lines, (ucstringlist{u"h\u00E9", u"x"}));
    EXPECT_EQ(detected, kCharSetUCS2);
    // Without a mark the caller's set is used.
    OrbMemoryStream latin;
    fill(latin, "caf\xE9");
    EXPECT_TRUE(stringlistLoadFromStream(error, &lines, &latin, kCharSetISO8859_1, &detected));
    EXPECT_EQ(lines, (ucstringlist{u"caf\u00E9"}));
    EXPECT_EQ(detected, kCharSetISO8859_1);
    // 8-bit lines come back as UTF-8.
    stringlist narrow;
    EXPECT_TRUE(stringlistLoadFromStream(error, &narrow, &s, kCharSetUTF8));
    EXPECT_EQ(narrow, (stringlist{"h\xC3\xA9", "x"}));
}

// ---- File streams ---------------------------------------------------------------------------------

namespace {

class FileStreams : public ::testing::Test {
protected:
    TestDrives drives;
};

}  // namespace

TEST_F(FileStreams, ModesAndTheirRefusals) {
    OrbFileStream s;
    char buffer[8];
    int64_t got = 0;
    EXPECT_FALSE(s.readBytes(buffer, 1, got));
    EXPECT_EQ(s.errorString(), u"Not attached to any file.");
    EXPECT_FALSE(s.attachToFile(OrbFileRef(u"C:\\none.txt"), kFileStreamRead));
    EXPECT_EQ(s.errorString(), u"File does not exist.");
    EXPECT_FALSE(s.attachToFile(OrbFileRef(u"C:\\no\\none.txt"), kFileStreamWrite));
    EXPECT_EQ(s.errorString(),
              u"Could not create file: Could not create File: C:\\no\\none.txt; WinError: No such file or directory");
    TestDrives::makeFolder(drives.c("/dir"));
    EXPECT_FALSE(s.attachToFile(OrbFileRef(u"C:\\dir"), kFileStreamReadWrite));
    EXPECT_EQ(s.errorString(), u"Could not create file: A Folder with that name already exists: C:\\dir");
    // Only regular files are streamed: a device or a FIFO is refused before it is opened (a FIFO
    // without a writer would hold the open for ever).
    ASSERT_EQ(symlink("/dev/zero", drives.c("/zero").c_str()), 0);
    ASSERT_FALSE(s.attachToFile(OrbFileRef(u"C:\\zero"), kFileStreamRead));
    EXPECT_EQ(s.errorString(), u"File is not a File (it's a device, FIFO or socket): C:\\zero");
    ASSERT_EQ(mkfifo(drives.c("/fifo").c_str(), 0600), 0);
    for (int mode : {kFileStreamRead, kFileStreamWrite}) EXPECT_FALSE(s.attachToFile(OrbFileRef(u"C:\\fifo"), mode));

    ASSERT_TRUE(s.attachToFile(OrbFileRef(u"C:\\new.txt"), kFileStreamWrite));  // created
    EXPECT_TRUE(s.writeBytes("data", 4));
    EXPECT_FALSE(s.readBytes(buffer, 1, got));
    EXPECT_EQ(s.errorString(), u"File is not in Read or Read/Write Mode.");
    EXPECT_FALSE(s.peekBytes(buffer, 1, got));
    EXPECT_EQ(s.errorString(), u"File is not in Read or Read/Write Mode.");
    EXPECT_TRUE(s.detachFromFile());
    EXPECT_EQ(TestDrives::readFile(drives.c("/new.txt")), "data");

    ASSERT_TRUE(s.attachToFile(OrbFileRef(u"C:\\new.txt"), kFileStreamRead));
    EXPECT_EQ(s.size(), 4);
    EXPECT_FALSE(s.writeBytes("x", 1));
    EXPECT_EQ(s.errorString(), u"File is not in Write or Read/Write Mode.");
    EXPECT_FALSE(s.resize(0));
    EXPECT_EQ(s.errorString(), u"Can only set the File size in Write or Read/Write Mode.");
    EXPECT_TRUE(s.readBytes(buffer, 8, got));
    EXPECT_EQ(std::string(buffer, got), "data");
    EXPECT_EQ(s.warningString(), u"No bytes left to read.");
    EXPECT_FALSE(s.readBytes(nullptr, 1, got));
    EXPECT_EQ(s.errorString(), u"Output Buffer is NULL.");
    EXPECT_FALSE(s.reposition(-1));
    EXPECT_EQ(s.errorString(), u"Could not set File Pos; WinError: Invalid argument");
}

TEST_F(FileStreams, BufferedAccessMatchesAPlainModel) {
    // Random reads, writes, peeks, moves and size changes through a small buffer, in read/write
    // mode, against the same operations on a string.
    std::mt19937 random(42);
    for (int64_t bufferSize : {0, 1, 7, 64, 16384}) {
        TestDrives::writeFile(drives.c("/model.bin"), "");
        std::string model;
        OrbFileStream s(bufferSize);
        ASSERT_TRUE(s.attachToFile(OrbFileRef(u"C:\\model.bin"), kFileStreamReadWrite));
        int64_t position = 0;
        for (int step = 0; step < 3000; ++step) {
            const int op = static_cast<int>(random() % 10);
            const int64_t count = static_cast<int64_t>(random() % (random() % 4 == 0 ? 300 : 40));
            if (op < 4) {  // write
                std::string data(static_cast<size_t>(count), '\0');
                for (char& c : data) c = static_cast<char>('a' + random() % 26);
                if (count > 0 && static_cast<int64_t>(model.size()) < position)
                    model.resize(static_cast<size_t>(position), '\0');
                if (count > 0) model.replace(static_cast<size_t>(position), data.size(), data);
                ASSERT_TRUE(s.writeBytes(data.data(), count)) << ucstringToUTF8String(s.errorString());
                position += count;
            } else if (op < 8) {  // read or peek
                std::string got(static_cast<size_t>(count), '\0');
                int64_t actual = 0;
                const bool peek = op == 7;
                ASSERT_TRUE(peek ? s.peekBytes(got.data(), count, actual) : s.readBytes(got.data(), count, actual));
                const std::string expected =
                    position < static_cast<int64_t>(model.size())
                        ? model.substr(static_cast<size_t>(position), static_cast<size_t>(count))
                        : std::string();
                ASSERT_EQ(got.substr(0, static_cast<size_t>(actual)), expected)
                    << "buffer " << bufferSize << " step " << step;
                if (!peek) position += actual;
            } else if (op == 8) {  // move, sometimes past the end
                position = static_cast<int64_t>(random() % (model.size() + 50));
                ASSERT_TRUE(s.reposition(position));
            } else {  // change the size
                const size_t newSize = random() % (model.size() + 30);
                model.resize(newSize, '\0');
                ASSERT_TRUE(s.resize(static_cast<int64_t>(newSize)));
                position = std::min<int64_t>(position, static_cast<int64_t>(newSize));
            }
            ASSERT_EQ(s.position(), position);
            ASSERT_EQ(s.size(), std::max<int64_t>(static_cast<int64_t>(model.size()), 0)) << step;
        }
        ASSERT_TRUE(s.detachFromFile());
        EXPECT_EQ(TestDrives::readFile(drives.c("/model.bin")), model) << "buffer " << bufferSize;
    }
}

TEST_F(FileStreams, WriteModeKeepsWhatItDoesNotTouch) {
    TestDrives::writeFile(drives.c("/f.bin"), "0123456789");
    OrbFileStream s(4);
    ASSERT_TRUE(s.attachToFile(OrbFileRef(u"C:\\f.bin"), kFileStreamWrite));
    s.reposition(3);
    s.writeBytes("ab", 2);
    s.reposition(8);
    s.writeBytes("XYZW", 4);
    s.reposition(0);
    s.writeBytes("#", 1);
    ASSERT_TRUE(s.detachFromFile());
    EXPECT_EQ(TestDrives::readFile(drives.c("/f.bin")), "#12ab567XYZW");
}

TEST_F(FileStreams, BeyondFourGigabytes) {
    // A sparse file: only the bytes written take room on the disk.
    const int64_t far = (int64_t{5} << 30) + 123;
    OrbFileRef ref(u"C:\\big.bin");
    {
        OrbFileStream s;
        ASSERT_TRUE(s.attachToFile(ref, kFileStreamWrite));
        ASSERT_TRUE(s.reposition(far));
        ASSERT_TRUE(s.writeBytes("tail", 4));
        EXPECT_EQ(s.size(), far + 4);
    }
    OrbFileStream r;
    ASSERT_TRUE(r.attachToFile(ref, kFileStreamRead));
    EXPECT_EQ(r.size(), far + 4);
    int64_t fileSize = 0;
    EXPECT_TRUE(r.fileSize(fileSize));
    EXPECT_EQ(fileSize, far + 4);
    ASSERT_TRUE(r.reposition(far - 2));
    char buffer[16] = {1};
    int64_t got = 0;
    ASSERT_TRUE(r.readBytes(buffer, sizeof buffer, got));
    EXPECT_EQ(got, 6);
    EXPECT_EQ(std::string(buffer, got), std::string("\0\0tail", 6));
    EXPECT_TRUE(r.atEnd());

    // Read/write mode changes a byte past 4 GiB in place.
    OrbFileStream rw;
    ASSERT_TRUE(rw.attachToFile(ref, kFileStreamReadWrite));
    ASSERT_TRUE(rw.reposition(far + 1));
    ASSERT_TRUE(rw.writeBytes("A", 1));
    ASSERT_TRUE(rw.reposition(far));
    ASSERT_TRUE(rw.readBytes(buffer, 4, got));
    EXPECT_EQ(std::string(buffer, got), "tAil");
    ASSERT_TRUE(rw.detachFromFile());
    platform::FileInfo info;
    std::string error;
    ASSERT_TRUE(platform::fileInfo(u"C:\\big.bin", info, error));
    EXPECT_EQ(info.size, far + 4);
}

TEST_F(FileStreams, LargeRequestsGoStraightThrough) {
    // A request of several buffers, at an offset that is not a multiple of the buffer size.
    std::string data(100000, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + i / 251);
    OrbFileStream w(1000);
    ASSERT_TRUE(w.attachToFile(OrbFileRef(u"C:\\large.bin"), kFileStreamWrite));
    ASSERT_TRUE(w.writeBytes(data.data(), 333));
    ASSERT_TRUE(w.writeBytes(data.data() + 333, static_cast<int64_t>(data.size()) - 333));
    ASSERT_TRUE(w.detachFromFile());
    EXPECT_EQ(TestDrives::readFile(drives.c("/large.bin")), data);

    OrbFileStream r(1000);
    ASSERT_TRUE(r.attachToFile(OrbFileRef(u"C:\\large.bin"), kFileStreamRead));
    std::string back(data.size(), '\0');
    int64_t got = 0;
    ASSERT_TRUE(r.readBytes(back.data(), 17, got));
    ASSERT_TRUE(r.readBytes(back.data() + 17, 50000, got));
    ASSERT_TRUE(r.readBytes(back.data() + 50017, 60000, got));
    EXPECT_EQ(got, 100000 - 50017);
    EXPECT_EQ(back, data);
}

TEST_F(FileStreams, StringListFiles) {
    OrbFileRef file(u"C:\\list.txt");
    ucstring error;
    const ucstringlist lines{u"\u00C4pfel", u"Birnen"};
    ASSERT_TRUE(stringlistSaveToFile(error, lines, file, kLineEndingCRLF, kCharSetUTF8, true, false));
    EXPECT_EQ(TestDrives::readFile(drives.c("/list.txt")), "\xEF\xBB\xBF\xC3\x84pfel\r\nBirnen");
    // Saving again replaces the contents.
    ASSERT_TRUE(stringlistSaveToFile(error, ucstringlist{u"x"}, file, kLineEndingLF, kCharSetISO8859_1, false, false));
    EXPECT_EQ(TestDrives::readFile(drives.c("/list.txt")), "x");
    // Appending adds at the end and writes no mark into the middle of the file.
    ASSERT_TRUE(
        stringlistSaveToFile(error, ucstringlist{u"\u00E9", u"z"}, file, kLineEndingLF, kCharSetUTF8, true, true));
    EXPECT_EQ(TestDrives::readFile(drives.c("/list.txt")), "x\xC3\xA9\nz");
    ucstringlist loaded;
    ASSERT_TRUE(stringlistLoadFromFile(error, &loaded, file, kCharSetUTF8));
    EXPECT_EQ(loaded, (ucstringlist{u"x\u00E9", u"z"}));

    // Every character set through a file.
    for (const Sample& sample : kSamples) {
        ASSERT_TRUE(stringlistSaveToFile(error, ucstringlist{sample.text, u"end"}, file, kLineEndingCRLF,
                                         sample.charSet, false, false));
        ASSERT_TRUE(stringlistLoadFromFile(error, &loaded, file, sample.charSet));
        EXPECT_EQ(loaded, (ucstringlist{sample.text, u"end"})) << sample.charSet;
    }

    // 8-bit lines keep bytes that are not UTF-8.
    const stringlist raw{"a\xFF\xFE", "ok"};
    ASSERT_TRUE(stringlistSaveToFile(error, raw, file, kLineEndingLF, kCharSetUTF8, false, false));
    stringlist rawBack;
    ASSERT_TRUE(stringlistLoadFromFile(error, &rawBack, file, kCharSetUTF8));
    EXPECT_EQ(rawBack, raw);
}

TEST_F(FileStreams, StringListFileErrors) {
    ucstring error;
    TestDrives::makeFolder(drives.c("/dir"));
    EXPECT_FALSE(stringlistSaveToFile(error, ucstringlist{u"a"}, OrbFileRef(u"C:\\dir"), kLineEndingLF, kCharSetUTF8,
                                      false, false));
    EXPECT_EQ(error, u"Error Saving to C:\\dir; The Path references a Folder instead of a File.");
    EXPECT_FALSE(stringlistSaveToFile(error, ucstringlist{u"a"}, OrbFileRef(u"C:\\no\\a.txt"), kLineEndingLF,
                                      kCharSetUTF8, false, true));
    EXPECT_EQ(error, u"Error Appending to C:\\no\\a.txt; The Path is Invalid.");
    ucstringlist lines;
    EXPECT_FALSE(stringlistLoadFromFile(error, &lines, OrbFileRef(u"C:\\none.txt"), kCharSetUTF8));
    EXPECT_EQ(error, u"Could not Open File for Reading: C:\\none.txt; File does not exist.");
}
