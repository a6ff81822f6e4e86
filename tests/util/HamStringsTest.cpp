#include "util/HamStrings.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using namespace strings;

TEST(HamStringsTest, CallSignSplitting) {
    struct Case {
        std::string call, base, prefixOrSuffix;
    } cases[] = {
        {"W1AW", "W1AW", ""},
        {"", "", ""},
        {"W1AW/P", "W1AW", "P"},
        {"W1AW-P", "W1AW", "P"},  // a minus sign splits like a slash
        {"VP2E/W1AW", "W1AW", "VP2E"},
        {"AB/12", "AB", "12"},  // equal lengths, the second all digits
        {"AB/CD", "CD", "AB"},  // equal lengths, neither special
        {"12/AB", "AB", "12"},
        {"PM/AB", "AB", "PM"},
        {"DL/W1AW/P", "W1AW", "DL"},
        {"W1AW/DL/P", "W1AW", "DL"},  // base first: of DL and P, DL identifies
        {"W1AW/M/DL", "W1AW", "DL"},  // M identifies nothing, DL does
        {"K1/W1AW/QRP", "W1AW", "K1"},
        {"DL/P/W1AW", "W1AW", "DL"},
        {"A/B/C", "B", "A"},  // three equal: the middle is the base
        {"W1AW/", "W1AW", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        EXPECT_EQ(getBaseCall(c.call), c.base);
        EXPECT_EQ(getPrefixOrSuffixCall(c.call), c.prefixOrSuffix);
    }
}

TEST(HamStringsTest, NonIdentifyingParts) {
    for (const char* s :
         {"", "AB?", "QRP", "qrp", "123", "B", "p", "PM", "m", "L1D", "L1DS", "P1RAT", "p1rates"}) {
        EXPECT_TRUE(nonIdentifyingPrefix(s)) << s;
    }
    for (const char* s : {"DL", "W1AW", "1A", "MM", "P1"}) {
        EXPECT_FALSE(nonIdentifyingPrefix(s)) << s;
    }
    EXPECT_TRUE(voidPrefix("mm"));
    EXPECT_TRUE(voidPrefix("AM"));
    EXPECT_FALSE(voidPrefix(""));
    EXPECT_FALSE(voidPrefix("M"));
    EXPECT_TRUE(hasPrefixOrSuffix("a-b"));
    EXPECT_FALSE(hasPrefixOrSuffix("ab"));
}

TEST(HamStringsTest, CleaningAndLegalCharacters) {
    EXPECT_EQ(cleanUpCall(" (w1aw/p)! "), "W1AW/P");
    EXPECT_EQ(cleanUpCall(""), "");
    EXPECT_EQ(cleanUpSkimmer("#-W1AW-#"), "W1AW");
    EXPECT_EQ(cleanUpSkimmer("W1-AW"), "W1-AW");

    struct Case {
        std::string s;
        bool trvl, kvsp;
    } cases[] = {
        {"W1AW/P", true, true},  {"W1", false, false},   {"QRZ1", false, false},
        {"qrz1", true, true},    {"W1 AW", false, true}, {"me@W1AW.net", false, true},
        {"W1_AW", false, false}, {"DL-1", true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(legalTRVLCallSignString(c.s), c.trvl) << c.s;
        EXPECT_EQ(legalKVSPCallSignString(c.s), c.kvsp) << c.s;
    }

    EXPECT_TRUE(legalCountrySuffixFor("a", "SV0"));
    EXPECT_TRUE(legalCountrySuffixFor("T", "FR5"));
    EXPECT_TRUE(legalCountrySuffixFor("z", "FT4"));
    EXPECT_TRUE(legalCountrySuffixFor("S", "ZK1"));
    EXPECT_FALSE(legalCountrySuffixFor("S", "ZK2"));
    EXPECT_FALSE(legalCountrySuffixFor("AA", "SV"));  // two characters never
    EXPECT_FALSE(legalCountrySuffixFor("A", "sv"));   // the prefix is case-sensitive
    EXPECT_TRUE(legalZoneModifierFor("6", "UA9"));
    EXPECT_TRUE(legalZoneModifierFor("1", "RA0"));
    EXPECT_FALSE(legalZoneModifierFor("2", "UA9"));
    EXPECT_FALSE(legalZoneModifierFor("6", "ua9"));
    EXPECT_FALSE(legalZoneModifierFor("66", "UA9"));
}

TEST(HamStringsTest, ModeClasses) {
    struct Case {
        std::string mode;
        int type;
    } cases[] = {
        {"", kModeUnknown},    {"CW", kModeCW},       {"cw", kModeCW},       {"CWR", kModeCW},
        {"USB", kModePhone},   {"LSB", kModePhone},   {"RTTY", kModeData},   {"PSK31", kModeData},
        {"DIGU", kModeData},   {"FM", kModePhone},    {"NFM", kModePhone},   {"FMHELL", kModeData},
        {"AMTOR", kModeData},  {"SAM", kModePhone},   {"PKTFM", kModePhone}, {"FT8", kModeUnknown},
        {"JT65", kModeData},   {"SSTV", kModeData},   {"phone", kModePhone}, {"MT63", kModeData},
        {"OLIVIA", kModeData}, {"xyz", kModeUnknown}, {"PKT", kModeData},    {"pkt-cw", kModeCW},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(modeType(c.mode), c.type) << c.mode;
    }
    EXPECT_TRUE(isRSTMode(""));
    EXPECT_TRUE(isRSTMode("CW"));
    EXPECT_FALSE(isRSTMode("USB"));
    EXPECT_FALSE(isRSTMode("NFM"));
    EXPECT_TRUE(isRSTMode("usb"));  // case-sensitive
}

TEST(HamStringsTest, QslLetters) {
    for (const char* s : {"Y", "n", "R", "q", "I"})
        EXPECT_TRUE(validQSLSentEnumeration(s)) << s;
    for (const char* s : {"", "V", "YY", "x"})
        EXPECT_FALSE(validQSLSentEnumeration(s)) << s;
    for (const char* s : {"Y", "v", "i"})
        EXPECT_TRUE(validQSLReceivedEnumeration(s)) << s;
    for (const char* s : {"", "Q", "q"})
        EXPECT_FALSE(validQSLReceivedEnumeration(s)) << s;
    EXPECT_TRUE(qslStatus("Q"));
    EXPECT_TRUE(qslStatus("Yes"));
    EXPECT_FALSE(qslStatus("I"));
    EXPECT_FALSE(qslStatus("N"));
    EXPECT_FALSE(qslStatus("no"));
    EXPECT_FALSE(qslStatus(""));
    EXPECT_TRUE(ignoreQsl("i"));
    EXPECT_FALSE(ignoreQsl("II"));
}

TEST(HamStringsTest, GridLocators) {
    EXPECT_EQ(formattedGrid("fn31PR"), "FN31pr");
    EXPECT_EQ(formattedGrid("Fn31pR"), "FN31pr");
    EXPECT_EQ(formattedGrid("fn31"), "FN31");
    EXPECT_EQ(formattedGrid(""), "");
    EXPECT_TRUE(zeroGrid("jj00AA"));
    EXPECT_TRUE(zeroGrid("AA00aa"));
    EXPECT_FALSE(zeroGrid(""));
    EXPECT_FALSE(zeroGrid("JJ00ab"));
    EXPECT_TRUE(sameGrid4Chars("FN31pr", "FN31aa"));
    EXPECT_FALSE(sameGrid4Chars("FN31pr", "fn31pr"));
    EXPECT_FALSE(sameGrid4Chars("FN31", "FN3"));
    EXPECT_FALSE(sameGrid4Chars("FN", "FN31"));  // a receiver too short to compare
}

TEST(HamStringsTest, BandsAndSorting) {
    EXPECT_NEAR(anyBandToFrequency("160M"), 1.8737029, 1e-7);
    EXPECT_NEAR(anyBandToFrequency("70CM"), 428.27494, 1e-5);
    EXPECT_NEAR(anyBandToFrequency("70cm"), 428.27494, 1e-5);
    EXPECT_NEAR(anyBandToFrequency("1.25M"), 239.8339664, 1e-6);
    EXPECT_DOUBLE_EQ(anyBandToFrequency(""), 0.0);
    EXPECT_DOUBLE_EQ(anyBandToFrequency("GEN"), 0.0);  // no digits: no division by zero
    EXPECT_DOUBLE_EQ(anyBandToFrequency("0M"), 0.0);

    EXPECT_EQ(compareBand("160M", "20M"), Ordering::Ascending);
    EXPECT_EQ(compareBand("2M", "70CM"), Ordering::Ascending);
    EXPECT_EQ(compareBand("20M", "20M"), Ordering::Same);
    EXPECT_EQ(compareNumeric("10", "9"), Ordering::Descending);
    EXPECT_EQ(compareNumeric("abc", "0"), Ordering::Same);
    EXPECT_EQ(compareNumberCommas("a,b", "a,b,c"), Ordering::Ascending);
    EXPECT_EQ(compareNumberCommas("", "x"), Ordering::Same);
}

}  // namespace
}  // namespace vm
