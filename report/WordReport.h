// The inspection report as a .docx: the template's named fields filled from the report content, the
// results table and one picture per reported pile put where the template says.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/CProgressReporter.h"
#include "core/CResult.h"
#include "core/ReportContent.h"

namespace pw::report {

struct CPicture {
    std::vector<uint8_t> m_Png;
    int m_nWidth = 0; // pixels; the picture is placed 150 pt high with this aspect
    int m_nHeight = 0;
};

// The picture of the reported pile at this index of the project's records; false when it could not
// be drawn (the report then fails: a report with a pile's picture missing is not finished).
using PictureSource = std::function<bool(int pileIndex, CPicture& out)>;

// A picture source that may be called from several threads at once, each drawing a different pile
// (it reads the piles and draws offscreen, sharing nothing it writes): the report then draws its
// pictures on that many threads while the calling thread reports progress and watches the cancel.
struct CParallelPictures {
    PictureSource Source;
    int nThreads = 0; // 0: one per core of the machine
};

// Every text field of the template and its value: REPORT_NO, PROJECT_NAME, CLIENT, TEST_DATE,
// TEST_UNIT, OWNER, CONSTRUCTION_UNIT, DESIGN_UNIT, SUPERVISION_UNIT, QUALITY_UNIT, ADDRESS,
// PARAGRAPH_1..3, SITE_SPEED, SUMMARY, CLASS_1..4, CLASS_UNDECIDED, LEFT_OUT, SURVEY_UNIT, STANDARD,
// METHOD, INSTRUMENT, SENSOR, SAMPLING, FILTERS, CONCLUSIONS, INSPECTORS, TODAY, REVIEWER, REVIEW_DATE,
// APPROVER, APPROVE_DATE, PILE_COUNT, DATA_QUALITY.
std::map<std::string, std::string> TemplateFields(const CReportContent& content);

// Writes the report from the template file into outPath, atomically (an existing file is replaced
// only by a complete report). One progress step per picture, named by its pile; a cancel between
// pictures gives Cancelled and writes nothing. A failure carries the reason a user reads and the
// technical detail in English (the system's words, the file names).
CResult WriteWordReport(const std::string& templatePath, const std::string& outPath,
                        const CReportContent& content, const PictureSource& pictures,
                        CProgressReporter* pProgress = nullptr);
// The same with the pictures drawn on several threads; the report is the same file byte for byte.
CResult WriteWordReport(const std::string& templatePath, const std::string& outPath,
                        const CReportContent& content, const CParallelPictures& pictures,
                        CProgressReporter* pProgress = nullptr);

} // namespace pw::report
