// The information box's lines, the amplification and the defect labels (see CellTexts.h).
#include "core/CellTexts.h"

#include <array>
#include <cstdio>

#include "core/CPileRecord.h"
#include "core/PageLayout.h"
#include "core/TextFormat.h"
#include "dsp/Round1.h"

namespace pw {
namespace {

CInfoLine Line(std::vector<std::string> variants, int dropRank, bool elidable = false) {
    CInfoLine l;
    l.m_Variants = std::move(variants);
    l.m_nDropRank = dropRank;
    l.m_bElidable = elidable;
    return l;
}

// The pipeline reads any non-zero mode as linear.
const char* GainKind(const CPileRecord& rec) { return rec.m_nGainMode != 0 ? "线性" : "指数"; }

} // namespace

std::string GainText(const CPileRecord& rec) {
    return std::string(GainKind(rec)) + "放大" + Format(" ×%.1f", static_cast<double>(rec.m_fGain)) + " 自" +
           Round1Text(rec.m_fGainDelay) + "m";
}

std::string DefectLabel(const std::string& name, double depth) { return name + Format(" %.2fm", depth); }

std::vector<CInfoLine> CellInfoLines(const CPileRecord& rec, const CPrintSettings& s) {
    // The box's own lines come from InfoBoxLines, so the two never disagree on their wording.
    const std::array<std::string, 7> box = InfoBoxLines(rec, s);
    std::vector<CInfoLine> lines;
    if (!box[0].empty()) lines.push_back(Line({box[0], rec.GetPileName()}, 1));
    if (!box[1].empty()) {
        const std::string mm = Format("%dmm", static_cast<int>(rec.m_nDiameter));
        lines.push_back(Line({box[1], "桩径" + mm, "Φ" + mm}, 5));
    }
    if (!box[2].empty()) lines.push_back(Line({box[2]}, 7, true));
    if (!box[3].empty()) lines.push_back(Line({box[3]}, 8));

    const std::string length = Round1Text(rec.m_fPileLength) + "m";
    lines.push_back(Line({"桩长=" + length, "桩长" + length, "L=" + length}, 3));
    const std::string speed = Format("%dm/s", static_cast<int>(rec.m_nWaveSpeed));
    lines.push_back(Line({"波速=" + speed, "波速" + speed, "c=" + speed}, 2));

    const std::string factor = Format("×%.1f", static_cast<double>(rec.m_fGain));
    const std::string from = "自" + Round1Text(rec.m_fGainDelay) + "m";
    const std::string kind = GainKind(rec);
    lines.push_back(Line({GainText(rec), kind + factor + " " + from, kind + factor + from}, 2));

    if (!box[4].empty() || !box[5].empty()) {
        if (!box[4].empty())
            lines.push_back(Line({box[4], Format("低通%.2fkHz", static_cast<double>(rec.m_fLowPass))}, 4));
        if (!box[5].empty())
            lines.push_back(Line({box[5], Format("高通%.2fHz", static_cast<double>(rec.m_fHighPass))}, 4));
    } else {
        lines.push_back(Line({"未滤波"}, 4));
    }
    lines.push_back(Line({box[6], Format("旋转%d", static_cast<int>(rec.m_nRotate))}, 6));
    return lines;
}

} // namespace pw
