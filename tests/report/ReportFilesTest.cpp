// The report and the table written, read back part by part, and opened by LibreOffice when it is
// installed (the test command installs it): the text a reader sees is checked through a PDF.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include <gtest/gtest.h>
#include <set>
#include <pugixml.hpp>
#include <zip.h>

#include "DocxRules.h"
#include "core/ReportContent.h"
#include "report/DocxFields.h"
#include "report/ExcelTable.h"
#include "report/WordReport.h"
#include "tests/FileSizeLimit.h"

namespace {

using namespace pw;
using namespace pw::report;
namespace fs = std::filesystem;

// A result as the Chinese sentence, with the English detail put aside.
std::string Split(const CResult& result, std::string* detail) {
    if (detail) *detail = result.m_strDetail;
    return result.m_strMessage;
}

// A 1 x 1 PNG: the writer only carries the bytes.
const std::vector<uint8_t> kTinyPng = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
    0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x04, 0x00, 0x00, 0x00, 0xb5, 0x1c, 0x0c, 0x02, 0x00, 0x00, 0x00,
    0x0b, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0x64, 0x60, 0x00, 0x00, 0x00, 0x06, 0x00, 0x02, 0x30, 0x81,
    0xd0, 0x2f, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

std::string ReadPart(const fs::path& archive, const char* name) {
    int error = 0;
    zip_t* z = zip_open(archive.c_str(), ZIP_RDONLY, &error);
    if (!z) return {};
    zip_stat_t st;
    std::string data;
    if (zip_stat(z, name, 0, &st) == 0) {
        zip_file_t* f = zip_fopen(z, name, 0);
        data.resize(static_cast<std::size_t>(st.size));
        zip_fread(f, data.data(), st.size);
        zip_fclose(f);
    }
    zip_discard(z);
    return data;
}

std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

std::string Squeezed(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '\n' && c != '\r' && c != ' ' && c != '\f') out += c;
    return out;
}

// A copy of the template at to, its document.xml changed by edit.
void EditTemplate(const fs::path& to, const std::function<void(std::string&)>& edit) {
    fs::copy_file(PILEWAVE_TEMPLATE, to, fs::copy_options::overwrite_existing);
    std::string xml = ReadPart(to, "word/document.xml");
    edit(xml);
    int error = 0;
    zip_t* z = zip_open(to.c_str(), 0, &error);
    ASSERT_NE(z, nullptr);
    zip_source_t* src = zip_source_buffer(z, xml.data(), xml.size(), 0);
    ASSERT_GE(zip_file_add(z, "word/document.xml", src, ZIP_FL_OVERWRITE), 0);
    ASSERT_EQ(zip_close(z), 0);
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines)
        out += l + "\n";
    return out;
}

// A file old enough to be a temporary left behind by a killed save.
void MakeStale(const fs::path& file) {
    std::ofstream(file) << "half a file";
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
}

bool HaveLibreOffice() {
    return std::system("command -v soffice >/dev/null 2>&1 && command -v pdftotext >/dev/null 2>&1") == 0;
}

class ReportFiles : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = fs::temp_directory_path() /
                ("pw-report-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir);
        auto pile = [](const char* name, std::vector<DefectMark> defects) {
            CPileRecord r;
            r.SetPileName(name);
            r.m_nDiameter = 800;
            r.m_fPileLength = 12.5f;
            r.m_nWaveSpeed = 3800;
            r.m_bChecked = 1;
            for (std::size_t i = 0; i < defects.size(); ++i)
                r.m_Defects[i] = defects[i];
            return r;
        };
        m_Piles = {pile("A2", {}), pile(" A1 ", {{4, 3.24f}, {3, 7.5f}}), pile("B7", {{2, 5.f}})};
        m_Info.m_strReportNo = "JC-2026-018";
        m_Info.m_strProjectName = "滨江花园二期";
        m_Info.m_strClient = "滨江置业";
        m_Info.m_TestDate = CDate{2026, 11, 3};
        m_Info.m_strTestUnit = "华东检测中心";
        m_Info.m_strGeology = "场地为粉质黏土。";
        m_Content = MakeReportContent(m_Piles, m_Info, CDate{2026, 12, 10});
    }
    void TearDown() override { fs::remove_all(m_Dir); }
    // The PDF's text, through LibreOffice with a profile of this test's own.
    std::string PdfText(const fs::path& file) {
        const fs::path profile = m_Dir / "lo-profile";
        const std::string convert = "cd '" + m_Dir.string() + "' && soffice -env:UserInstallation=file://" +
                                    profile.string() + " --headless --convert-to pdf --outdir '" + m_Dir.string() +
                                    "' '" + file.string() + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(convert.c_str()), 0);
        const fs::path pdf = m_Dir / (file.stem().string() + ".pdf");
        EXPECT_TRUE(fs::exists(pdf)) << pdf;
        // Lines wrap where the page ends them: compare without line breaks and blanks.
        return Squeezed(Capture("pdftotext '" + pdf.string() + "' -"));
    }
    PictureSource Pictures(int* calls = nullptr) {
        return [calls](int, CPicture& out) {
            if (calls) ++*calls;
            out.m_Png = kTinyPng;
            out.m_nWidth = 532;
            out.m_nHeight = 260;
            return true;
        };
    }
    fs::path m_Dir;
    std::vector<CPileRecord> m_Piles;
    CReportInfo m_Info;
    CReportContent m_Content;
};

TEST_F(ReportFiles, TheReportHoldsEveryFieldTheTableAndOnePicturePerPile) {
    const fs::path out = m_Dir / "report.docx";
    int calls = 0;
    ASSERT_EQ(WriteWordReport(PILEWAVE_TEMPLATE, out.string(), m_Content, Pictures(&calls)).CliText(), "");
    EXPECT_EQ(calls, 3);
    const std::string xml = ReadPart(out, "word/document.xml");
    EXPECT_EQ(xml.find("{{"), std::string::npos);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(xml.c_str()));
    // The results table is the one with six columns: a header row and one row per reported pile.
    pugi::xml_node results;
    for (pugi::xpath_node t : doc.select_nodes("//w:tbl"))
        if (t.node().select_nodes("w:tblGrid/w:gridCol").size() == 6) results = t.node();
    ASSERT_TRUE(results);
    EXPECT_EQ(results.select_nodes("w:tr").size(), 4u);
    EXPECT_EQ(doc.select_nodes("//w:drawing").size(), 3u);
    EXPECT_FALSE(ReadPart(out, "word/media/pile3.png").empty());
    EXPECT_NE(ReadPart(out, "word/_rels/document.xml.rels").find("media/pile1.png"), std::string::npos);
    // The site speed field is empty here: its paragraph is gone.
    EXPECT_EQ(xml.find("SITE_SPEED"), std::string::npos);
}

TEST_F(ReportFiles, AFailedOrCancelledReportLeavesTheOldFile) {
    const fs::path out = m_Dir / "report.docx";
    std::ofstream(out) << "the user's earlier report";
    const PictureSource failing = [](int, CPicture&) { return false; };
    EXPECT_EQ(WriteWordReport(PILEWAVE_TEMPLATE, out.string(), m_Content, failing).m_eCode,
              EResultCode::Failed);
    CFunctionProgress stopAfterTwo([](int done, int, const std::string&) { return done < 2; });
    EXPECT_TRUE(
        WriteWordReport(PILEWAVE_TEMPLATE, out.string(), m_Content, Pictures(), &stopAfterTwo).Cancelled());
    EXPECT_EQ(WriteWordReport((m_Dir / "missing.docx").string(), out.string(), m_Content, Pictures()).m_eCode,
              EResultCode::ReadFailed);
    std::ifstream in(out);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the user's earlier report");
    for (const auto& e : fs::directory_iterator(m_Dir))
        EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
}

// Pictures drawn on several threads land as they would one by one: the same parts in the same order,
// each pile's picture its own; a failed picture names its pile and a cancel writes nothing.
TEST_F(ReportFiles, PicturesDrawnInParallelMakeTheSameReport) {
    // Each pile's picture differs (its index appended after the image's end), and takes a little while.
    const PictureSource distinct = [](int index, CPicture& out) {
        std::this_thread::sleep_for(std::chrono::milliseconds(3 * (index % 3)));
        out.m_Png = kTinyPng;
        out.m_Png.push_back(static_cast<uint8_t>(index));
        out.m_nWidth = 532;
        out.m_nHeight = 260;
        return true;
    };
    const fs::path serial = m_Dir / "serial.docx";
    ASSERT_EQ(WriteWordReport(PILEWAVE_TEMPLATE, serial.string(), m_Content, distinct).CliText(), "");
    for (const int threads : {2, 3, 8}) {
        const fs::path parallel = m_Dir / ("parallel" + std::to_string(threads) + ".docx");
        std::vector<std::string> steps;
        CFunctionProgress watch([&steps](int, int, const std::string& text) {
            steps.push_back(text);
            return true;
        });
        ASSERT_EQ(WriteWordReport(PILEWAVE_TEMPLATE, parallel.string(), m_Content,
                                  CParallelPictures{distinct, threads}, &watch)
                      .CliText(),
                  "")
            << threads;
        for (const char* part : {"word/document.xml", "word/_rels/document.xml.rels", "[Content_Types].xml",
                                 "word/media/pile1.png", "word/media/pile2.png", "word/media/pile3.png"})
            EXPECT_EQ(ReadPart(parallel, part), ReadPart(serial, part)) << part << ", " << threads << " threads";
        // One step per picture, in report order, named by its pile.
        ASSERT_EQ(steps.size(), m_Content.m_Piles.size()) << threads;
        for (std::size_t k = 0; k < steps.size(); ++k)
            EXPECT_EQ(steps[k], m_Content.m_Rows[k].m_Cells[0]) << threads;
    }

    const fs::path out = m_Dir / "report.docx";
    std::ofstream(out) << "the user's earlier report";
    const PictureSource secondFails = [this, &distinct](int index, CPicture& picture) {
        return index != m_Content.m_Piles[1] && distinct(index, picture);
    };
    const CResult failed =
        WriteWordReport(PILEWAVE_TEMPLATE, out.string(), m_Content, CParallelPictures{secondFails, 3});
    EXPECT_EQ(failed.m_eCode, EResultCode::Failed);
    EXPECT_NE(failed.m_strMessage.find(m_Content.m_Rows[1].m_Cells[0]), std::string::npos) << failed.CliText();
    CFunctionProgress stopAfterOne([](int done, int, const std::string&) { return done < 1; });
    EXPECT_TRUE(WriteWordReport(PILEWAVE_TEMPLATE, out.string(), m_Content, CParallelPictures{distinct, 2},
                                &stopAfterOne)
                    .Cancelled());
    std::ifstream in(out);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the user's earlier report");
}

// A write that fails after it began (the disk full) leaves the file it would have replaced as it was.
TEST_F(ReportFiles, AWriteThatFailsHalfWayLeavesTheOldFile) {
    const struct {
        const char* name;
        std::function<CResult(const std::string&)> write;
    } cases[] = {
        {"report.docx",
         [this](const std::string& path) { return WriteWordReport(PILEWAVE_TEMPLATE, path, m_Content, Pictures()); }},
        {"table.xlsx",
         [this](const std::string& path) { return WriteExcelTable(path, m_Piles, ReportedPiles(m_Piles).m_Piles); }},
    };
    for (const auto& c : cases) {
        const fs::path target = m_Dir / c.name;
        std::ofstream(target) << "the user's earlier file";
        CResult result;
        {
            const pwtest::CFileSizeLimit limit(512);
            result = c.write(target.string());
        }
        EXPECT_EQ(result.m_eCode, EResultCode::WriteFailed) << c.name << ": " << result.CliText();
        EXPECT_FALSE(result.m_strMessage.empty()) << c.name;
        std::ifstream in(target);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the user's earlier file") << c.name;
    }
    for (const auto& e : fs::directory_iterator(m_Dir))
        EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
}

TEST_F(ReportFiles, TheTableHasItsSheetHeadersWidthsNumbersAndTextCells) {
    const fs::path out = m_Dir / "table.xlsx";
    m_Piles.push_back(m_Piles[0]);
    m_Piles.back().SetPileName("007"); // looks numeric, stays text
    m_Piles.back().m_fPileLength = 12.3f;
    ASSERT_EQ(WriteExcelTable(out.string(), m_Piles, ReportedPiles(m_Piles).m_Piles).CliText(), "");
    EXPECT_NE(ReadPart(out, "xl/workbook.xml").find("name=\"报表1\""), std::string::npos);
    // The header repeated on every printed page, the sheet one page wide.
    EXPECT_NE(ReadPart(out, "xl/workbook.xml").find("_xlnm.Print_Titles"), std::string::npos);
    const std::string strings = ReadPart(out, "xl/sharedStrings.xml");
    for (const char* text : {"桩长(m)", "Ⅳ", "(1)深度3.2m 裂纹  (2)深度7.5m 断桩  ", " A1 ", "007"})
        EXPECT_NE(strings.find(text), std::string::npos) << text;
    const std::string sheet = ReadPart(out, "xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("fitToPage"), std::string::npos);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(sheet.c_str()));
    EXPECT_EQ(doc.select_nodes("//col").size(), 6u);
    // The defects column is wide enough for the longest list ("(1)深度3.2m 裂纹  (2)深度7.5m 断桩  ":
    // 36 columns with its CJK characters counted double).
    EXPECT_GE(doc.select_node("//col[@min='6']").node().attribute("width").as_double(), 36.0);
    EXPECT_EQ(doc.select_nodes("//row").size(), 5u);
    // Pile number, class and defects are text (the empty defect cells of A2 and 007 are left blank);
    // diameter, length and speed are numbers holding the decimal shown.
    EXPECT_EQ(doc.select_nodes("//c[@t='s']").size(), 6u + 4 * 3 - 2);
    std::vector<std::string> numbers;
    for (pugi::xpath_node c : doc.select_nodes("//c[not(@t)]/v")) numbers.emplace_back(c.node().text().get());
    EXPECT_EQ(numbers, (std::vector<std::string>{"800", "12.3", "3800", "800", "12.5", "3800", "800", "12.5", "3800",
                                                 "800", "12.5", "3800"}));
    // Their display: 0 and 0.00.
    const std::string styles = ReadPart(out, "xl/styles.xml");
    EXPECT_NE(styles.find("formatCode=\"0.00\""), std::string::npos);
    EXPECT_NE(styles.find("formatCode=\"0\""), std::string::npos);
    EXPECT_NE(styles.find("<b/>"), std::string::npos) << "a bold header";
    // No pile ticked: the header row alone.
    ASSERT_EQ(WriteExcelTable(out.string(), m_Piles, {}).CliText(), "");
    doc.load_string(ReadPart(out, "xl/worksheets/sheet1.xml").c_str());
    EXPECT_EQ(doc.select_nodes("//row").size(), 1u);
}

// The report read back part by part: classes decided by the engineer, a pile ticked twice, the new
// fields of the dialog, and what word processors need (no field-update prompt, a Chinese language
// tag on every run, pile numbers that do not break at their hyphen).
TEST_F(ReportFiles, TheReportStatesClassesRequiredFieldsAndOneRowPerPile) {
    m_Piles[2].m_nClassDecision = kClassIII; // B7's 缩径 decided Ⅲ
    m_Piles.push_back(m_Piles[0]);           // A2 ticked twice: the later record is reported
    m_Piles.back().m_nDiameter = 1200;
    m_Piles.push_back(m_Piles[0]);
    m_Piles.back().SetPileName("A12");
    m_Piles.push_back(m_Piles[0]);
    m_Piles.back().SetPileName("C-5");
    m_Piles.back().m_Defects[0] = DefectMark{5, 2.f}; // undecided
    CReportInfo info = m_Info;
    info.m_strSurveyUnit = "勘察研究院";
    info.m_strInstrument = "PW-8";
    info.m_strInstrumentNo = "SN-0012";
    info.m_strSensor = "压电加速度计";
    info.m_strReviewer = "王审核";
    info.m_strApprover = "李批准";
    info.m_strInspectors = "张检测";
    const CReportContent content = MakeReportContent(m_Piles, info, CDate{2026, 12, 10});
    const fs::path out = m_Dir / "classes.docx";
    ASSERT_EQ(WriteWordReport(PILEWAVE_TEMPLATE, out.string(), content, Pictures()).CliText(), "");
    const std::string xml = ReadPart(out, "word/document.xml");
    EXPECT_EQ(xml.find("{{"), std::string::npos);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(xml.c_str()));
    std::vector<std::string> paragraphs;
    for (pugi::xpath_node p : doc.select_nodes("//w:body/w:p")) paragraphs.push_back(ParagraphText(p.node()));
    auto has = [&](const std::string& text) {
        return std::any_of(paragraphs.begin(), paragraphs.end(),
                           [&](const std::string& p) { return p.find(text) != std::string::npos; });
    };
    for (const char* line : {"1）Ⅰ类桩（桩身完整）：2根，占所测桩的40.0%；", "2）Ⅱ类桩（桩身有轻微缺陷）：0根",
                             "3）Ⅲ类桩（桩身有明显缺陷）：1根，占所测桩的20.0%；", "4）Ⅳ类桩（桩身存在严重缺陷）：1根",
                             "5）尚待判定为Ⅱ类或Ⅲ类的桩（表中记为Ⅱ/Ⅲ）：1根", "未列入报告的记录：A2（第1条记录）",
                             "检测依据：《建筑基桩检测技术规范》JGJ 106-2014", "检测方法：低应变反射波法",
                             "检测仪器：PW-8（编号：SN-0012）", "传感器：压电加速度计", "五、检测结论",
                             "B7（Ⅲ类，深度5.0m 缩径）", "A1（Ⅳ类，深度3.2m 裂纹、深度7.5m 断桩）", "检测单位（盖章）"})
        EXPECT_TRUE(has(line)) << line;
    // The results table: a header and one row per pile, A2 before A12, with A2's later record.
    pugi::xml_node results;
    for (pugi::xpath_node t : doc.select_nodes("//w:tbl"))
        if (t.node().select_nodes("w:tblGrid/w:gridCol").size() == 6) results = t.node();
    ASSERT_TRUE(results);
    std::vector<std::string> firstCells, diameters;
    for (pugi::xpath_node tr : results.select_nodes("w:tr")) {
        firstCells.push_back(ParagraphText(tr.node().select_node("w:tc[1]/w:p").node()));
        diameters.push_back(ParagraphText(tr.node().select_node("w:tc[2]/w:p").node()));
    }
    EXPECT_EQ(firstCells, (std::vector<std::string>{"桩号", "A1", "A2", "A12", "B7", "C-5"}));
    EXPECT_EQ(diameters[2], "1200");
    // The project table names the survey unit; the sign-off table its three people.
    for (const char* cell : {"勘察研究院", "张检测", "王审核", "李批准", "2026年12月10日"})
        EXPECT_NE(xml.find(cell), std::string::npos) << cell;
    // Word opens it without asking to update fields; every run is tagged Simplified Chinese.
    EXPECT_EQ(ReadPart(out, "word/settings.xml").find("updateFields"), std::string::npos);
    EXPECT_EQ(doc.select_nodes("//w:r[not(w:rPr/w:lang)]").size(), 0u);
    EXPECT_GT(doc.select_nodes("//w:r/w:rPr/w:lang[@w:eastAsia='zh-CN']").size(), 20u);
    // Every pile number outside the tables stands in a run of its own tagged as Latin text, whose
    // hyphen does not break ("C-5"); a number inside a longer one ("A1" in "A12") is not split out.
    std::multiset<std::string> numbers;
    for (pugi::xpath_node x : doc.select_nodes("//w:body/w:p/w:r[w:rPr/w:lang/@w:val='en-US']")) {
        std::string text;
        for (pugi::xml_node n : x.node().children())
            text += std::string_view(n.name()) == "w:t" ? n.text().get() : std::string_view(n.name()) == "w:noBreakHyphen" ? "-" : "";
        numbers.insert(text);
        EXPECT_EQ(x.node().select_node("w:rPr/w:lang").node().attribute("w:eastAsia").value(), std::string("zh-CN"));
    }
    for (const char* name : {"A1", "A2", "A12", "B7", "C-5"}) EXPECT_GE(numbers.count(name), 1u) << name;
    EXPECT_EQ(numbers.count("A"), 0u);
    EXPECT_GE(doc.select_nodes("//w:noBreakHyphen").size(), 1u);
    EXPECT_EQ(Joined(pw::test::DocxRuleBreaks(out.string())), "");
}

TEST_F(ReportFiles, LibreOfficeOpensTheReportAndTheTable) {
    if (!HaveLibreOffice()) GTEST_SKIP() << "LibreOffice is not installed";
    const fs::path report = m_Dir / "report.docx";
    ASSERT_EQ(WriteWordReport(PILEWAVE_TEMPLATE, report.string(), m_Content, Pictures()).CliText(), "");
    const std::string text = PdfText(report);
    for (const char* expected : {"JC-2026-018", "滨江花园二期", "A1、A2、B7，共3根。", "2026年11月3日", "2026年12月10日",
                                 "1）Ⅰ类桩（桩身完整）：1根，占所测桩的33.3%；", "场地为粉质黏土。", "桩长", "12.50"})
        EXPECT_NE(text.find(Squeezed(expected)), std::string::npos) << expected << "\n" << text;
    const fs::path table = m_Dir / "table.xlsx";
    ASSERT_EQ(WriteExcelTable(table.string(), m_Piles, TickedPilesInNameOrder(m_Piles)).CliText(), "");
    const std::string sheet = PdfText(table);
    for (const char* expected : {"桩长(m)", "12.50", "3800", "缩径"})
        EXPECT_NE(sheet.find(Squeezed(expected)), std::string::npos) << expected << "\n" << sheet;
}

// Users restyle the template in their word processor: a template re-saved by LibreOffice still fills.
TEST_F(ReportFiles, ATemplateResavedByLibreOfficeStillFills) {
    if (!HaveLibreOffice()) GTEST_SKIP() << "LibreOffice is not installed";
    const fs::path edited = m_Dir / "edited";
    fs::create_directories(edited);
    const std::string convert = "cd '" + m_Dir.string() + "' && soffice -env:UserInstallation=file://" +
                                (m_Dir / "lo-profile").string() +
                                " --headless --convert-to 'docx:MS Word 2007 XML' --outdir '" + edited.string() +
                                "' '" + std::string(PILEWAVE_TEMPLATE) + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(convert.c_str()), 0);
    const fs::path resaved = edited / fs::path(PILEWAVE_TEMPLATE).filename();
    ASSERT_TRUE(fs::exists(resaved));
    const fs::path report = m_Dir / "from-edited.docx";
    ASSERT_EQ(WriteWordReport(resaved.string(), report.string(), m_Content, Pictures()).CliText(), "");
    EXPECT_EQ(ReadPart(report, "word/document.xml").find("{{"), std::string::npos);
    EXPECT_EQ(Joined(pw::test::DocxRuleBreaks(report.string())), "");
    const std::string text = PdfText(report);
    for (const char* expected : {"JC-2026-018", "A1、A2、B7，共3根。", "4）Ⅳ类桩（桩身存在严重缺陷）：1根，占所测桩的33.3%；"})
        EXPECT_NE(text.find(Squeezed(expected)), std::string::npos) << expected << "\n" << text;
}

// Word refuses what LibreOffice forgives: every generated report keeps the package's rules, with the
// dialog's defaults (six empty fields in the project table), with every field filled, and with a
// template asking for the pictures twice.
TEST_F(ReportFiles, EveryReportKeepsTheRulesWordEnforces) {
    CReportInfo full = m_Info;
    full.m_strOwner = "滨江置业";
    full.m_strAddress = "滨江路8号";
    full.m_strConstructionUnit = "一建";
    full.m_strDesignUnit = "设计院";
    full.m_strSupervisionUnit = "监理公司";
    full.m_strQualityUnit = "质监站";
    const fs::path twice = m_Dir / "twice.docx";
    EditTemplate(twice, [](std::string& xml) {
        const std::string field = "<w:p><w:r><w:t xml:space=\"preserve\">{{PILE_PICTURES}}</w:t></w:r></w:p>";
        const auto at = xml.find(field);
        ASSERT_NE(at, std::string::npos);
        xml.insert(at, field);
    });
    struct Case {
        const char* name;
        std::string templ;
        CReportContent content;
        std::size_t drawings;
    } const cases[] = {
        {"dialog defaults", PILEWAVE_TEMPLATE, m_Content, 3},
        {"every field filled", PILEWAVE_TEMPLATE, MakeReportContent(m_Piles, full, CDate{2026, 12, 10}), 3},
        {"pictures twice", twice.string(), m_Content, 6},
    };
    for (const Case& c : cases) {
        const fs::path out = m_Dir / (std::string(c.name) + ".docx");
        ASSERT_EQ(WriteWordReport(c.templ, out.string(), c.content, Pictures()).CliText(), "") << c.name;
        EXPECT_EQ(Joined(pw::test::DocxRuleBreaks(out.string())), "") << c.name;
        pugi::xml_document doc;
        doc.load_string(ReadPart(out, "word/document.xml").c_str());
        EXPECT_EQ(doc.select_nodes("//w:drawing").size(), c.drawings) << c.name;
    }
}

// The rules checked above are the ones a report broke: each is seen when broken.
TEST_F(ReportFiles, TheRuleCheckSeesEachBrokenRule) {
    struct Case {
        const char* name;
        std::function<void(std::string&)> edit;
        const char* complaint;
    } const cases[] = {
        {"empty cell",
         [](std::string& x) {
             const std::string label = "<w:p><w:r><w:t>工程名称</w:t></w:r></w:p>";
             x.erase(x.find(label), label.size());
         },
         "does not end with a paragraph"},
        {"no grid", [](std::string& x) { const auto a = x.find("<w:tblGrid>"); x.erase(a, x.find("</w:tblGrid>") + 12 - a); },
         "no w:tblGrid"},
        {"same drawing id",
         [](std::string& x) {
             const std::string d = "<w:p><w:r><w:drawing><wp:inline><wp:extent cx=\"1\" cy=\"1\"/><wp:docPr id=\"7\" "
                                   "name=\"a\"/></wp:inline></w:drawing></w:r></w:p>";
             x.insert(x.find("<w:sectPr"), d + d);
         },
         "drawing id 7 twice"},
        {"missing relationship", [](std::string& x) { x.replace(x.find("r:id=\"rId3\""), 11, "r:id=\"rId9\""); },
         "relationship rId9 is not in"},
    };
    for (const Case& c : cases) {
        const fs::path broken = m_Dir / (std::string(c.name) + ".docx");
        EditTemplate(broken, c.edit);
        EXPECT_NE(Joined(pw::test::DocxRuleBreaks(broken.string())).find(c.complaint), std::string::npos) << c.name;
    }
    EXPECT_EQ(Joined(pw::test::DocxRuleBreaks(PILEWAVE_TEMPLATE)), "");
}

// The geology text comes from a multi-line box with CR LF line ends: no CR reaches the document, each
// line end is a break, and the trailing one leaves no empty line.
TEST_F(ReportFiles, GeologyLinesBecomeBreaksWithoutCarriageReturns) {
    m_Info.m_strGeology = "上部为粉质黏土，\r\n下部为中砂。\r\n";
    const fs::path out = m_Dir / "geology.docx";
    ASSERT_EQ(WriteWordReport(PILEWAVE_TEMPLATE, out.string(),
                              MakeReportContent(m_Piles, m_Info, CDate{2026, 12, 10}), Pictures())
                  .CliText(),
              "");
    const std::string xml = ReadPart(out, "word/document.xml");
    EXPECT_EQ(xml.find("&#13;"), std::string::npos);
    EXPECT_EQ(xml.find('\r'), std::string::npos);
    pugi::xml_document doc;
    doc.load_string(xml.c_str(), pugi::parse_default | pugi::parse_ws_pcdata);
    pugi::xml_node paragraph;
    for (pugi::xpath_node p : doc.select_nodes("//w:p"))
        if (pw::report::ParagraphText(p.node()).find("上部为粉质黏土") != std::string::npos) paragraph = p.node();
    ASSERT_TRUE(paragraph);
    EXPECT_EQ(pw::report::ParagraphText(paragraph), "    上部为粉质黏土，下部为中砂。");
    EXPECT_EQ(paragraph.select_nodes(".//w:br").size(), 1u);
    for (pugi::xpath_node t : paragraph.select_nodes(".//w:t"))
        EXPECT_EQ(std::string(t.node().text().get()).find('\n'), std::string::npos);
}

// Both writers save the way every file is saved: a failure names its reason in Chinese (the English
// detail apart), leaves no temporary and the old file as it was; temporaries a killed save left
// behind are cleared.
TEST_F(ReportFiles, TheReportAndTheTableAreSavedSafely) {
    using Writer = std::function<std::string(const std::string&, std::string*)>;
    struct Case {
        const char* name;
        Writer write;
    } const cases[] = {
        {"report.docx",
         [this](const std::string& path, std::string* detail) {
             return Split(WriteWordReport(PILEWAVE_TEMPLATE, path, m_Content, Pictures()), detail);
         }},
        {"table.xlsx",
         [this](const std::string& path, std::string* detail) {
             return Split(WriteExcelTable(path, m_Piles, TickedPilesInNameOrder(m_Piles)), detail);
         }},
    };
    for (const Case& c : cases) {
        std::string detail;
        EXPECT_EQ(c.write((m_Dir / "missing" / c.name).string(), &detail), "文件夹不存在。") << c.name;
        EXPECT_NE(detail.find("missing"), std::string::npos) << c.name << ": " << detail;
        // A folder where the file should go: nothing is written over it.
        const fs::path folder = m_Dir / (std::string("folder-") + c.name);
        fs::create_directories(folder / "inside");
        EXPECT_EQ(c.write(folder.string(), &detail), "同名的文件夹已存在。") << c.name;
        EXPECT_TRUE(fs::is_directory(folder / "inside")) << c.name;

        const fs::path target = m_Dir / c.name;
        const fs::path stale = m_Dir / ("." + std::string(c.name) + ".tmp-AbC123");
        MakeStale(stale);
        EXPECT_EQ(c.write(target.string(), &detail), "") << c.name << ": " << detail;
        EXPECT_FALSE(fs::exists(stale)) << c.name;
        EXPECT_GT(fs::file_size(target), 0u) << c.name;
    }
    for (const auto& e : fs::directory_iterator(m_Dir))
        EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
}

} // namespace
