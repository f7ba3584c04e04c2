// pilewave-cli report and table: the content as JSON, the refusal without piles, the files written.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct CRun {
    int code;
    std::string out, err;
};

class ReportCli : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = fs::temp_directory_path() /
                ("pw-report-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir);
    }
    void TearDown() override { fs::remove_all(m_Dir); }
    static std::string Slurp(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    CRun Run(const std::string& args) {
        const std::string cmd = std::string(PILEWAVE_CLI) + " " + args + " >" + (m_Dir / "out").string() + " 2>" +
                                (m_Dir / "err").string();
        const int status = std::system(cmd.c_str());
        return CRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(m_Dir / "out"), Slurp(m_Dir / "err")};
    }
    const std::string m_Site = std::string(PILEWAVE_SAMPLES) + "/sample-site.wvf";
    fs::path m_Dir;
};

TEST_F(ReportCli, ContentAsJsonFollowsTheNameOrderAndTheInformationFile) {
    std::ofstream(m_Dir / "info.json") << R"({"report_no": "JC-7", "client": "甲方", "test_date": "2024-05-11"})";
    const CRun r = Run("report " + m_Site + " --piles 5,1,4 --info " + (m_Dir / "info.json").string() + " --json");
    ASSERT_EQ(r.code, 0) << r.err;
    const json j = json::parse(r.out);
    ASSERT_EQ(j["rows"].size(), 3u);
    EXPECT_EQ(j["rows"][0]["pile_no"], "1#"); // ascending pile-number text, not the order given
    EXPECT_EQ(j["rows"][1]["pile_no"], "2#");
    EXPECT_EQ(j["cover"]["report_no"], "JC-7");
    EXPECT_EQ(j["cover"]["test_date"], "2024年5月11日");
    EXPECT_EQ(j["cover"]["project_name"], "滨江花园二期桩基"); // from the project, as the window pre-fills it
    const int total = j["class_counts"]["Ⅰ"].get<int>() + j["class_counts"]["Ⅱ/Ⅲ"].get<int>() +
                      j["class_counts"]["Ⅳ"].get<int>();
    EXPECT_EQ(total, 3);
    EXPECT_NE(j["paragraphs"][1].get<std::string>().find("1#、2#、3#，共3根。"), std::string::npos);
}

TEST_F(ReportCli, RefusalsWriteNothing) {
    struct Case {
        std::string args;
        int code;
        const char* says;
    } const cases[] = {
        // The sample project has no ticks: nothing to report, and the shares would divide by zero.
        {"report " + m_Site + " -o " + (m_Dir / "r.docx").string(), 1, "您没有选择要保存的桩!"},
        {"report " + m_Site + " --piles 1,999 -o " + (m_Dir / "r.docx").string(), 1, "no pile 999"},
        {"report " + m_Site + " --piles 1 --info " + (m_Dir / "missing.json").string() + " -o " +
             (m_Dir / "r.docx").string(),
         1, "not a JSON object"},
    };
    for (const Case& c : cases) {
        const CRun r = Run(c.args);
        EXPECT_EQ(r.code, c.code) << c.args;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(m_Dir / "r.docx"));
    }
}

TEST_F(ReportCli, TableAndReportFiles) {
    const CRun t = Run("table " + m_Site + " --piles 1,4,5 -o " + (m_Dir / "t.xlsx").string());
    ASSERT_EQ(t.code, 0) << t.err;
    EXPECT_GT(fs::file_size(m_Dir / "t.xlsx"), 1000u);
#ifdef PILEWAVE_HAVE_PICTURES
    const CRun r = Run("report " + m_Site + " --piles 1,4,5 -o " + (m_Dir / "r.docx").string());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_GT(fs::file_size(m_Dir / "r.docx"), 10000u);
#endif
}

} // namespace
