// The words a printed cell, a picture and a report picture write about a curve: the information box's
// lines (each with shorter wordings that keep its numbers), the amplification and the defect labels.
#pragma once

#include <string>
#include <vector>

#include "core/PrintSettings.h"

namespace pw {

class CPileRecord;

// One line of a cell's information box: its wordings from the fullest to the shortest, all UTF-8.
// Every wording keeps the line's numbers, so a narrow box loses words, never a value; a line without
// a number (the pile type) may also lose characters at its end (bElidable).
struct CInfoLine {
    std::vector<std::string> m_Variants;
    bool m_bElidable = false;
    // Which lines go first when a short cell cannot hold them all: the highest rank first.
    int m_nDropRank = 0;
};

// The lines of the information box, top to bottom: pile name, diameter, pile type, test date (each
// when its show flag is set), length, wave speed, amplification, low-pass and high-pass (or "未滤波"
// when neither filter ran), rotation.
std::vector<CInfoLine> CellInfoLines(const CPileRecord& rec, const CPrintSettings& s);

// The amplification as its type, factor and start: "指数放大 ×4.0 自3.0m", "线性放大 ×2.5 自0.0m".
std::string GainText(const CPileRecord& rec);

// A defect line's label: its name and depth, "缩径 5.20m" (a blank, not a minus, before the depth).
std::string DefectLabel(const std::string& name, double depth);

} // namespace pw
