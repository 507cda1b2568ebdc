// Stored passwords: the scrambled form other installations write must read back.
#include "Support/FTPAccount.h"
#include "_Common/Strings/Orb_String.h"

#include <gtest/gtest.h>

TEST(AccountScrambling, EmptyPasswordStoresNothing) {
    EXPECT_EQ(encryptPassword(""), "");
    EXPECT_EQ(decryptPassword(""), "");
}

TEST(AccountScrambling, HandCheckedVectorsReadBack) {
    // Worked out by hand from the scrambling rules; the filler bytes (odd positions here) may be
    // anything, so these are what another installation might have written.
    // "Ab1" (n = 3, odd): one leading filler, then A -> 90-3-65 = 22 -> 'w'; b -> 122-98+3 = 27 -> 1 -> 'B';
    // '1' unchanged; each followed by a filler.
    EXPECT_EQ(decryptPassword("#w#B#1#"), "Ab1");
    // "Zz" (n = 2, even): Z -> 90-2-90 = -2 -> 24 -> 'y'; z -> 122-122+2 = 2 -> 'C'.
    EXPECT_EQ(decryptPassword("y!C!"), "Zz");
}

TEST(AccountScrambling, RoundTripsOddAndEvenLengths) {
    const std::vector<std::string> passwords = {"a",
                                                "ab",
                                                "abc",
                                                "Secret",
                                                "pässwörd",
                                                "0123456789",
                                                std::string(35, 'x'),
                                                std::string(40, 'Q'),
                                                "mixed CASE with spaces & symbols!"};
    for (const std::string& p : passwords) {
        const std::string s = encryptPassword(p);
        EXPECT_EQ(s.size(), 2 * p.size() + p.size() % 2) << p;
        EXPECT_EQ(decryptPassword(s), p) << p;
        // As a line of a UTF-8 file, also outside ASCII.
        const std::u16string text = encryptPasswordText(p);
        EXPECT_EQ(decryptPasswordText(ucstringFromUTF8String(ucstringToUTF8String(text))), p) << p;
        if (p == "Secret") {
            EXPECT_EQ(s.find("ecret"), std::string::npos) << "the password shows through";
        }
    }
}

TEST(AccountScrambling, TextWrittenByEarlierVersionsReadsBack) {
    EXPECT_EQ(decryptPasswordText(u"#w#B#1#"), "Ab1");
    EXPECT_EQ(decryptPasswordText(u""), "");
}

TEST(AccountScrambling, OurOutputHasTheDocumentedShape) {
    const std::string s = encryptPassword("Ab1");
    ASSERT_EQ(s.size(), 7u);
    EXPECT_EQ(s[1], 'w');
    EXPECT_EQ(s[3], 'B');
    EXPECT_EQ(s[5], '1');
    for (size_t i : {0u, 2u, 4u, 6u}) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(s[i]))) << i;
}
