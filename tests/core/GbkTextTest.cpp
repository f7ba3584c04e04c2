#include "core/GbkText.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

using pw::GbkCutLength;
using pw::GbkToUtf8;
using pw::Utf8ToGbk;

// "桩" is D7 AE and "号" is BA C5 in GBK.
const std::string kZhuang = "\xD7\xAE";
const std::string kHao = "\xBA\xC5";

TEST(GbkText, ConvertsBothWays) {
    EXPECT_EQ(GbkToUtf8(kZhuang + kHao + "1#"), "桩号1#");
    EXPECT_EQ(Utf8ToGbk("桩号1#"), kZhuang + kHao + "1#");
    EXPECT_EQ(GbkToUtf8(Utf8ToGbk("反射波基桩动测仪数据处理软件")), "反射波基桩动测仪数据处理软件");
}

struct BrokenCase {
    const char* name;
    std::string gbk;
    std::string utf8;
};

class BrokenGbk : public ::testing::TestWithParam<BrokenCase> {};

// A damaged text must load: every byte that is not GBK shows as U+FFFD and the rest survives.
TEST_P(BrokenGbk, ShowsReplacementCharacter) { EXPECT_EQ(GbkToUtf8(GetParam().gbk), GetParam().utf8); }

INSTANTIATE_TEST_SUITE_P(Cases, BrokenGbk,
                         ::testing::Values(BrokenCase{"LeadAtEnd", "A\xB9", "A\xEF\xBF\xBD"},
                                           BrokenCase{"LeadBeforeSpace", "\xB9 A", "\xEF\xBF\xBD A"},
                                           BrokenCase{"LeadBeforeDel", "\x81\x7F" "B", "\xEF\xBF\xBD\x7F" "B"},
                                           BrokenCase{"ByteFF", "x\xFF" "y", "x\xEF\xBF\xBDy"},
                                           BrokenCase{"GoodAfterBad", "\xFF" + kZhuang, "\xEF\xBF\xBD桩"}),
                         [](const auto& info) { return info.param.name; });

TEST(GbkText, UnencodableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80" "b"), "a?b"); // an emoji
    EXPECT_EQ(Utf8ToGbk("a\xC3" "b"), "a?b");              // broken UTF-8
}

struct CutCase {
    const char* name;
    std::string text;
    std::size_t limit;
    std::size_t expected;
};

class Cut : public ::testing::TestWithParam<CutCase> {};

TEST_P(Cut, EndsOnCharacterBoundary) {
    const auto& c = GetParam();
    EXPECT_EQ(GbkCutLength(c.text.data(), c.text.size(), c.limit), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Cut,
                         ::testing::Values(CutCase{"Fits", kZhuang + kHao, 9, 4},
                                           CutCase{"SplitsNothing", "abcdefgh" + kZhuang, 9, 8},
                                           CutCase{"ExactFit", "abcdefg" + kZhuang, 9, 9},
                                           CutCase{"AllDoubleByteOdd", kZhuang + kHao + kZhuang + kHao + kZhuang, 9, 8},
                                           CutCase{"DanglingLeadAtEnd", "ab\xB9", 9, 2},
                                           CutCase{"BrokenLeadInside", "a\xB9 bc", 9, 5}),
                         [](const auto& info) { return info.param.name; });

TEST(GbkText, StoringCutsAtTheFieldLimitWithoutSplittingACharacter) {
    char field[10];
    std::memset(field, 'Z', sizeof field);
    pw::SetFieldUtf8(field, "桩号桩号桩号"); // 12 GBK bytes into a field holding 9
    EXPECT_EQ(std::string(pw::FieldText(field, 10)), kZhuang + kHao + kZhuang + kHao);
    for (std::size_t i = 8; i < 10; ++i) EXPECT_EQ(field[i], 0);
    EXPECT_EQ(pw::FieldUtf8(field), "桩号桩号");
}

TEST(GbkText, FileFieldWithoutTerminatorIsCut) {
    // Ten bytes, no NUL; byte 8 is the lead of a character whose trail is byte 9.
    const std::string file = "abcdefgh" + kZhuang;
    char field[10];
    pw::ReadFieldText(field, sizeof field, file.data(), 10);
    EXPECT_EQ(std::string(pw::FieldText(field, 10)), "abcdefgh");
    // A 50-byte file field into a 40-byte one keeps 39 bytes at most.
    const std::string remark(50, 'r');
    char small[40];
    pw::ReadFieldText(small, sizeof small, remark.data(), 50);
    EXPECT_EQ(pw::FieldText(small, 40).size(), 39u);
}

} // namespace
