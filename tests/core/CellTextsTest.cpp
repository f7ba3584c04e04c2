// The words a printed cell writes about a curve: the amplification with its type, factor and start,
// the defect labels, and the information box's lines with wordings that never lose a number.
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/CPileRecord.h"
#include "core/CellTexts.h"

namespace pw {
namespace {

std::vector<std::string> Numbers(const std::string& s) {
    static const std::regex number("[0-9]+(\\.[0-9]+)?");
    std::vector<std::string> out;
    for (auto it = std::sregex_iterator(s.begin(), s.end(), number); it != std::sregex_iterator(); ++it)
        out.push_back(it->str());
    return out;
}

TEST(CellTexts, GainStatesTypeFactorAndStart) {
    struct Case {
        int mode;
        float gain, delay;
        const char* expected;
    };
    const Case cases[] = {
        {0, 4.f, 3.f, "指数放大 ×4.0 自3.0m"},
        {1, 2.5f, 0.f, "线性放大 ×2.5 自0.0m"},
        {7, 1.f, 12.25f, "线性放大 ×1.0 自12.3m"}, // any non-zero mode is linear
        {0, 1.f, 0.f, "指数放大 ×1.0 自0.0m"},
    };
    for (const Case& c : cases) {
        CPileRecord rec;
        rec.m_nGainMode = static_cast<int16_t>(c.mode);
        rec.m_fGain = c.gain;
        rec.m_fGainDelay = c.delay;
        EXPECT_EQ(GainText(rec), c.expected);
    }
}

TEST(CellTexts, DefectLabelHasABlankNotAMinus) {
    EXPECT_EQ(DefectLabel("缩径", 5.2), "缩径 5.20m");
    EXPECT_EQ(DefectLabel("断桩", 12.345), "断桩 12.35m");
}

TEST(CellTexts, InfoLinesFollowTheFlagsAndKeepTheirNumbersInEveryWording) {
    CPileRecord rec;
    rec.SetPileName("C-21");
    rec.m_nDiameter = 800;
    rec.m_fPileLength = 15.f;
    rec.m_nWaveSpeed = 3830;
    rec.m_fGain = 4.f;
    rec.m_fGainDelay = 3.f;
    rec.m_nRotate = -2;
    rec.SetTestDate("2024-05-12");
    struct Case {
        const char* what;
        bool name, diameter, type, date;
        float lowPass, highPass;
        std::size_t lines;
        const char* filterLine;
    };
    const Case cases[] = {
        {"every flag, both filters", true, true, true, true, 2.f, 10.f, 10, "低通:2.00kHz"},
        {"no flags, no filter", false, false, false, false, 0.f, 0.f, 5, "未滤波"},
        {"high-pass only", true, false, false, false, 0.f, 10.f, 6, "高通:10.00Hz"},
    };
    for (const Case& c : cases) {
        CPrintSettings s = CPrintSettings::Defaults();
        s.m_bPileNo = c.name;
        s.m_bDiameter = c.diameter;
        s.m_bPileType = c.type;
        s.m_bTestDate = c.date;
        rec.m_fLowPass = c.lowPass;
        rec.m_fHighPass = c.highPass;
        const std::vector<CInfoLine> lines = CellInfoLines(rec, s);
        ASSERT_EQ(lines.size(), c.lines) << c.what;
        bool filter = false, gain = false;
        for (const CInfoLine& line : lines) {
            ASSERT_FALSE(line.m_Variants.empty()) << c.what;
            for (const std::string& v : line.m_Variants)
                EXPECT_EQ(Numbers(v), Numbers(line.m_Variants.front())) << c.what << ": " << v;
            filter = filter || line.m_Variants.front() == c.filterLine;
            gain = gain || line.m_Variants.front() == "指数放大 ×4.0 自3.0m";
        }
        EXPECT_TRUE(filter) << c.what;
        EXPECT_TRUE(gain) << c.what;
        EXPECT_EQ(lines.back().m_Variants.front(), "旋转:-2") << c.what;
    }
}

} // namespace
} // namespace pw
