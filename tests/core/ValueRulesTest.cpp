// The value checks the editing dialogs and the command line share: each refusal is the exact text
// the window shows, and a value just inside its limit passes.
#include "core/ValueRules.h"

#include <gtest/gtest.h>

#include "core/CoreMessages.h"

namespace {

using namespace pw;

TEST(ValueRules, FilterValuesInTheDialogsOrder) {
    struct Case {
        FilterValues v;
        const char* message; // "" accepted
    } const cases[] = {
        {{2.f, 1, 100.f}, ""},
        {{5.f, 5, 2000.f}, ""},
        {{50.f, 1, 0.f}, msg::kLowPassRange},      // 50 kHz
        {{-0.1f, 1, 0.f}, msg::kLowPassRange},
        {{0.f, 1, 90000.f}, msg::kHighPassRange},  // 90000 Hz
        {{0.f, 1, -1.f}, msg::kHighPassRange},
        {{1.f, 0, 0.f}, msg::kPassesRange},
        {{1.f, 6, 0.f}, msg::kPassesRange},
        {{2.f, 1, 2000.f}, msg::kLowBelowHigh},    // 2 x 1000 is not above 2000
        {{2.001f, 1, 2000.f}, ""},
        {{0.5f, 1, 600.f}, msg::kLowBelowHigh},
        {{0.f, 1, 500.f}, ""},                     // the low-pass is off: nothing to compare
        {{50.f, 6, 90000.f}, msg::kLowPassRange},  // the first field's message comes first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.v.m_fLowPass) + " kHz, " + std::to_string(c.v.m_nPasses) + " passes, " +
                     std::to_string(c.v.m_fHighPass) + " Hz");
        EXPECT_EQ(CheckFilter(c.v), c.message);
    }
}

TEST(ValueRules, GainFactorAndDelay) {
    EXPECT_EQ(CheckGainFactor(1.f), "");
    EXPECT_EQ(CheckGainFactor(1000.f), "");
    EXPECT_EQ(CheckGainFactor(0.99f), msg::kGainRange);
    EXPECT_EQ(CheckGainFactor(1000.1f), msg::kGainRange);
    // A 12 m pile allows 9.60 m; the limit is in the message.
    const float limit = GainDelayLimit(12.f);
    EXPECT_EQ(CheckGainDelay(9.6f, limit), "");
    EXPECT_EQ(CheckGainDelay(150.f, limit), "放大延迟应在0到9.60之间");
    EXPECT_EQ(CheckGainDelay(-0.1f, limit), "放大延迟应在0到9.60之间");
}

// A margin below 0 names its own field, even where a comparison would blame another one first.
TEST(ValueRules, PrintMarginsBelowZeroNameTheirField) {
    struct Case {
        float CPrintSettings::*field;
        float value;
        const char* message;
    } const cases[] = {
        {&CPrintSettings::m_fTopMargin, -1.f, msg::kTopMarginNegative},
        {&CPrintSettings::m_fBottomMargin, -0.1f, msg::kBottomMarginNegative},
        {&CPrintSettings::m_fLeftMargin, -2.f, msg::kLeftMarginNegative},
        {&CPrintSettings::m_fRightMargin, -2.f, msg::kRightMarginNegative},
        {&CPrintSettings::m_fHeaderMargin, -0.5f, msg::kHeaderMarginNegative},
        {&CPrintSettings::m_fFooterMargin, -0.5f, msg::kFooterMarginNegative},
        {&CPrintSettings::m_fTopMargin, 0.f, msg::kHeaderMargin}, // 0 is a margin; the header is below it
        {&CPrintSettings::m_fLeftMargin, 0.f, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        CPrintSettings s = CPrintSettings::Defaults();
        s.*c.field = c.value;
        EXPECT_EQ(CheckPrintFormat(s), c.message);
    }
}

// An empty name may stay empty; a name the pile had cannot be cleared (blanks alone count as empty).
TEST(ValueRules, APileNameCanBeChangedButNotCleared) {
    struct Case {
        const char *before, *after, *message;
    } const cases[] = {
        {"7", "", msg::kPileNameCleared}, {"7", "   ", msg::kPileNameCleared}, {"7", "7a", ""},
        {"", "", ""},                     {"  ", "", ""},                       {"", "8", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("'") + c.before + "' -> '" + c.after + "'");
        EXPECT_EQ(CheckPileNameChange(c.before, c.after), c.message);
    }
}

// Lengths count characters, so a field of ten takes ten Chinese characters (thirty UTF-8 bytes)
// and refuses the eleventh; ranges include both ends.
TEST(ValueRules, FieldLengthsInCharactersAndRangesWithTheirEnds) {
    const struct {
        std::string text;
        int maxChars;
        std::string message;
    } lengths[] = {
        {"", kPileNameChars, ""},
        {"一二三四五六七八九十", kPileNameChars, ""},
        {"一二三四五六七八九十A", kPileNameChars, "“请填入不多于10个的字符。”"},
        {std::string(50, 'u'), kUnitChars, ""},
        {std::string(51, 'u'), kUnitChars, "“请填入不多于50个的字符。”"},
    };
    for (const auto& c : lengths)
        EXPECT_EQ(CheckTextLength(c.text, c.maxChars), c.message) << c.text;
    const struct {
        long long mm;
        std::string message;
    } diameters[] = {
        {0, ""}, {5000, ""}, {-1, "“请填入一个在0和5000之间的整数。”"}, {5001, "“请填入一个在0和5000之间的整数。”"},
    };
    for (const auto& c : diameters)
        EXPECT_EQ(CheckDiameter(c.mm), c.message) << c.mm;
}

} // namespace
