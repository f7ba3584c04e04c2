#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>

#include "CliFixture.h"
#include "Fixtures.h"
#include "core/ProjectFile.h"
#include "link/TesterSampleStorage.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct CRun {
    int code;
    std::string out, err;
};

using pw::test::Slurp;

class Cli : public pw::test::CScratchFolderTest {
protected:

    CRun Run(const std::string& args) {
        const std::string cmd = std::string(PILEWAVE_CLI) + " " + args + " >" + (m_Dir / "out").string() + " 2>" +
                                (m_Dir / "err").string();
        const int status = std::system(cmd.c_str());
        return CRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(m_Dir / "out"), Slurp(m_Dir / "err")};
    }
    std::string Put(const std::string& name, const std::vector<uint8_t>& bytes) {
        const fs::path p = m_Dir / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return p.string();
    }
    std::string Project(const std::string& name, int version, int count, unsigned seed = 1) {
        std::vector<pw::CPileRecord> piles;
        for (int i = 0; i < count; ++i) {
            piles.push_back(pw::test::MakeRecord(seed + i));
            piles.back().m_nPileNo = static_cast<int16_t>(i + 1);
        }
        return Put(name, pw::test::ProjectBytes(version, piles, pw::test::MakeHeader("单位" + std::to_string(seed), "工程")));
    }
};

TEST_F(Cli, InfoPlainShowsHeaderAndOneLinePerPile) {
    const CRun r = Run(std::string("info ") + PILEWAVE_SAMPLES + "/demo.wvf");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("示例工程"), std::string::npos);
    EXPECT_NE(r.out.find("A-12"), std::string::npos);
    EXPECT_NE(r.out.find("钻孔灌注桩"), std::string::npos);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 5 + 6);
}

TEST_F(Cli, InfoJsonHoldsEveryStoredField) {
    const std::string path = Project("p.wvf", 3, 2, 5);
    const CRun r = Run("info --json " + path);
    ASSERT_EQ(r.code, 0) << r.err;
    const json j = json::parse(r.out);
    EXPECT_EQ(j["source"], "project");
    EXPECT_EQ(j["version"], 3);
    EXPECT_EQ(j["magic"], "WVF03");
    EXPECT_EQ(j["header"]["m_nPileCount"], 2);
    EXPECT_EQ(j["header"]["m_szTestUnit"], "单位5");
    ASSERT_EQ(j["piles"].size(), 2u);

    pw::CProjectData data;
    ASSERT_TRUE(pw::LoadProjectFile(path, data).m_bOk);
    for (std::size_t i = 0; i < 2; ++i) {
        const json& p = j["piles"][i];
        pw::CPileRecord& rec = data.m_Piles[i];
        for (const char* key :
             {"m_nPileNo", "m_szPileName", "m_nPileType", "m_nDiameter", "m_szTestDate", "m_nSignalType", "m_nAux1",
              "m_nAux2", "m_fAux3", "m_bIntegrate", "m_nLowPassPasses", "m_nPreZero", "m_nPostCut", "m_nShiftY",
              "m_szRemark", "m_fPileLength", "m_nWaveSpeed", "m_fSampleInterval", "m_nAux4", "m_nGainMode", "m_fGain",
              "m_fGainDelay", "m_fLowPass", "m_fHighPass", "m_nRotate", "m_nHeadSample", "m_nStep", "m_Defects",
              "m_nSmooth", "m_nShiftX", "m_nZoom", "m_pSegments", "m_nSegments", "m_bChecked", "m_szInfo",
              "m_nMarks", "m_nMarkCount", "m_fRaw"})
            EXPECT_TRUE(p.contains(key)) << key;
        EXPECT_EQ(p["m_szPileName"], rec.GetPileName());
        EXPECT_EQ(p["m_nWaveSpeed"], rec.m_nWaveSpeed);
        EXPECT_EQ(p["m_Defects"].size(), 10u);
        EXPECT_EQ(p["m_nSegments"], rec.GetSegmentCount());
        EXPECT_EQ(p["m_pSegments"].size(), static_cast<std::size_t>(rec.GetSegmentCount()));
        EXPECT_EQ(p["m_nMarks"].size(), static_cast<std::size_t>(rec.m_nMarkCount));
        ASSERT_EQ(p["m_fRaw"].size(), 1024u);
        // The printed numbers read back as the very same float32.
        for (int k = 0; k < 1024; ++k) ASSERT_EQ(p["m_fRaw"][k].get<float>(), rec.m_fRaw[k]) << k;
        EXPECT_EQ(p["m_fGain"].get<float>(), rec.m_fGain);
    }
}

TEST_F(Cli, InfoReadsATesterFolderFromAnyFileInIt) {
    std::vector<uint8_t> index(44, 0);
    pw::test::PutI16(index, 42, 2);
    Put("site/idindx.par", index);
    std::vector<uint8_t> pile(4296, 0);
    Put("site/1.wvf", pile);
    Put("site/2.wvf", pile);
    for (const std::string& arg : {(m_Dir / "site").string(), (m_Dir / "site/2.wvf").string(),
                                   (m_Dir / "site/idindx.par").string()}) {
        const CRun r = Run("info --json " + arg);
        ASSERT_EQ(r.code, 0) << arg << r.err;
        const json j = json::parse(r.out);
        EXPECT_EQ(j["source"], "folder");
        EXPECT_TRUE(j["version"].is_null());
        EXPECT_EQ(j["piles"].size(), 2u);
        EXPECT_EQ(j["piles"][1]["m_szTestDate"], "2013-12-12");
    }
}

TEST_F(Cli, UnreadableFilesFailWithOneLineNamingTheFile) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* what;
        bool printsRecords;
    };
    auto good = pw::test::ProjectBytes(3, {pw::test::MakeRecord(1), pw::test::MakeRecord(2)});
    auto bad = good;
    std::memcpy(bad.data(), "XYZ12", 5);
    auto cut = good;
    cut.resize(good.size() - 100);
    for (const Case& c : {Case{"bad.wvf", bad, "bad magic \"XYZ12\"", false}, Case{"empty.wvf", {}, "empty file", false},
                          Case{"cut.wvf", cut, "truncated in record 2", true}}) {
        const std::string path = Put(c.name, c.bytes);
        const CRun r = Run("info " + path);
        EXPECT_EQ(r.code, 1) << c.name;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.err.rfind(path + ": ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.what), std::string::npos) << r.err;
        EXPECT_EQ(r.out.find("piles: 1") != std::string::npos, c.printsRecords) << r.out;
    }
    EXPECT_EQ(Run("info " + (m_Dir / "missing.wvf").string()).code, 1);
}

TEST_F(Cli, SaveWritesVersionThreeWithTheSameRecords) {
    const std::string v1 = Project("v2.wvf", 2, 3, 40);
    const std::string out = (m_Dir / "out.wvf").string();
    ASSERT_EQ(Run("save " + v1 + " -o " + out).code, 0);
    const json before = json::parse(Run("info --json " + v1).out);
    const json after = json::parse(Run("info --json " + out).out);
    EXPECT_EQ(after["magic"], "WVF03");
    EXPECT_EQ(after["piles"], before["piles"]);
    EXPECT_EQ(after["header"], before["header"]);
    // Into a folder that does not exist: the reason in Chinese, the system's words after it.
    const CRun refused = Run("save " + v1 + " -o " + (m_Dir / "no-such-folder" / "out.wvf").string());
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("保存文件失败，原文件未改动！文件夹不存在。 (cannot create a file in"), std::string::npos)
        << refused.err;
}

TEST_F(Cli, MergeNumbersAndKeepsFileOneTexts) {
    const std::string a = Project("a.wvf", 1, 3, 10), b = Project("b.wvf", 3, 2, 20);
    const std::string out = (m_Dir / "m.wvf").string();
    ASSERT_EQ(Run("merge " + a + " " + b + " -o " + out).code, 0);
    const json j = json::parse(Run("info --json " + out).out);
    ASSERT_EQ(j["piles"].size(), 5u);
    EXPECT_EQ(j["header"]["m_szTestUnit"], "单位10");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(j["piles"][i]["m_nPileNo"], i + 1);

    const std::string big = Project("big.wvf", 3, 260, 1);
    const CRun r = Run("merge " + big + " " + big + " -o " + (m_Dir / "too-many.wvf").string());
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("合并文件失败！"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_Dir / "too-many.wvf"));
}

TEST_F(Cli, SaveCheckedWritesTheGivenPilesAsZov01) {
    const std::string src = Project("s.wvf", 3, 4, 30);
    const std::string out = (m_Dir / "checked.wvf").string();
    ASSERT_EQ(Run("save-checked " + src + " --piles 1,3 -o " + out).code, 0);
    const json j = json::parse(Run("info --json " + out).out);
    EXPECT_EQ(j["magic"], "ZOV01");
    EXPECT_EQ(j["header"]["m_nPileCount"], 2);

    const CRun none = Run("save-checked " + src + " --piles 9 -o " + (m_Dir / "none.wvf").string());
    EXPECT_EQ(none.code, 1);
    EXPECT_NE(none.err.find("您没有选择要保存的桩!"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_Dir / "none.wvf"));
    EXPECT_EQ(Run("save-checked " + src + " --piles 1,x -o " + out).code, 2);
}

TEST_F(Cli, TraceAppliesSettingsThenViewWidthThenProcesses) {
    const std::string path = std::string(PILEWAVE_SAMPLES) + "/demo.wvf";
    const CRun plain = Run("trace " + path + " --pile 1 --json --set m_bRemoveDC=0");
    ASSERT_EQ(plain.code, 0) << plain.err;
    const json p = json::parse(plain.out);
    pw::CProjectData data;
    ASSERT_TRUE(pw::LoadProjectFile(path, data).m_bOk);
    ASSERT_EQ(p["trace"].size(), 1024u);
    for (int k = 0; k < 1024; k += 37) EXPECT_EQ(p["trace"][k].get<float>(), data.m_Piles[0].m_fRaw[k]) << k;
    EXPECT_EQ(p["ToePoint"], 315); // 12 m at 3800 m/s and 20 us: trunc(2L/c / dt) = trunc(315.8)

    const CRun filtered = Run("trace " + path + " --pile 3 --view-points 200 --set m_fLowPass=1 --spectra --json");
    ASSERT_EQ(filtered.code, 0) << filtered.err;
    const json f = json::parse(filtered.out);
    EXPECT_GT(f["m_nStep"].get<int>(), 1); // a narrow view takes a larger step
    EXPECT_EQ(f["m_nFirTaps"], 41);        // 1 kHz at 25 us: trunc(1000 / 25) = 40, made odd
    for (const char* kind : {"amplitude", "power", "phase"}) {
        EXPECT_EQ(f["spectrum"][kind]["values"].size(), 1024u) << kind;
        EXPECT_GE(f["spectrum"][kind]["max"].get<double>(), 0.0) << kind;
    }

    const CRun csv = Run("trace " + path + " --pile 1 --csv");
    ASSERT_EQ(csv.code, 0);
    EXPECT_EQ(csv.out.rfind("sample,time_ms,depth_m,raw,trace\n0,0.0000,", 0), 0u) << csv.out.substr(0, 80);
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 1025);

    EXPECT_EQ(Run("trace " + path + " --pile 99").code, 1);
    EXPECT_EQ(Run("trace " + path + " --pile 1 --set m_nStep=70000").code, 2);
    EXPECT_EQ(Run("trace " + path + " --pile 1 --set m_fBogus=1").code, 2);
}

TEST_F(Cli, AverageAppendsOrRefuses) {
    const std::string path = std::string(PILEWAVE_SAMPLES) + "/demo.wvf";
    const std::string out = (m_Dir / "avg.wvf").string();
    const CRun ok = Run("average " + path + " --piles 1,2 -o " + out);
    ASSERT_EQ(ok.code, 0) << ok.err;
    const json j = json::parse(Run("info --json " + out).out);
    ASSERT_EQ(j["piles"].size(), 7u);
    EXPECT_EQ(j["piles"][6]["m_nPileNo"], 7);
    EXPECT_EQ(j["piles"][6]["m_szPileName"], "1#");

    for (const auto& [piles, message] : std::vector<std::pair<std::string, std::string>>{
             {"1", "请选择多个记录！"}, {"1,3", "请选择相同名字的桩"}}) {
        const CRun r = Run("average " + path + " --piles " + piles + " -o " + (m_Dir / "no.wvf").string());
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(m_Dir / "no.wvf"));
    }
}

TEST_F(Cli, ApplyRunsTheDocumentPathAndRefusesWithoutWriting) {
    const std::string path = std::string(PILEWAVE_SAMPLES) + "/demo.wvf";
    const std::string out = (m_Dir / "applied.wvf").string();
    const CRun ok = Run("apply " + path + " --pile 1 --scope 当前组 --lowpass 1.5 --gain 5 --gain-mode lin -o " + out);
    ASSERT_EQ(ok.code, 0) << ok.err;
    const json j = json::parse(Run("info --json " + out).out);
    for (int i : {0, 1}) { // the two blows of "1#"
        EXPECT_FLOAT_EQ(j["piles"][i]["m_fLowPass"].get<float>(), 1.5f);
        EXPECT_EQ(j["piles"][i]["m_nGainMode"], 1);
    }
    EXPECT_EQ(j["piles"][2]["m_fLowPass"], 0); // another pile

    for (const auto& [args, message] : std::vector<std::pair<std::string, std::string>>{
             {"--length 250", "桩长应在0.5到200.0米之间 "},
             {"--speed 99", "波速应在100到10000m/s之间 "},
             {"--pre-zero 2000", "前置零位置应在桩头之前！ "},
             {"--pile 42", "there is no pile 42"},
             // The filter and gain dialogs' checks, with their messages.
             {"--lowpass 50", "低通滤波频率应在0.0到5.0kHz之间 "},
             {"--highpass 90000", "高通滤波频率应在0.0到2000.0Hz之间 "},
             {"--lowpass 0.5 --highpass 600", "低通滤波不能小于高通滤波!"},
             {"--lowpass 2 --highpass 2000", "低通滤波不能小于高通滤波!"},
             {"--passes 6", "低通滤波次数应在1到5之间 "},
             {"--gain 0.5", "放大系数应在1.0到1000.0之间 "},
             {"--gain-delay 150", "放大延迟应在0到"},
             {"--length 10 --gain-delay 8.5", "放大延迟应在0到8.00之间"}}) {
        const std::string refused = (m_Dir / "refused.wvf").string();
        const CRun r = Run("apply " + path + " " + args + " -o " + refused);
        EXPECT_EQ(r.code, 1) << args;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(refused)) << args;
    }
}

// A class decision belongs to the pile: both blows of "1#" get it, info shows it beside the rule's
// class, the report counts it, and "rule" takes it back.
TEST_F(Cli, ApplyClassDecidesThePileAndInfoAndReportShowIt) {
    const std::string path = std::string(PILEWAVE_SAMPLES) + "/demo.wvf";
    const std::string decided = (m_Dir / "decided.wvf").string();
    ASSERT_EQ(Run("apply " + path + " --pile 1 --class III -o " + decided).code, 0);
    json j = json::parse(Run("info --json " + decided).out);
    for (int i : {0, 1}) {
        EXPECT_EQ(j["piles"][i]["class_decision"], "III") << i;
        EXPECT_EQ(j["piles"][i]["class"], "Ⅲ") << i;
        EXPECT_TRUE(j["piles"][i].contains("class_rule"));
    }
    EXPECT_TRUE(j["piles"][2]["class_decision"].is_null());
    const CRun reported = Run("report --json --piles 1,2 " + decided);
    const json report = json::parse(reported.out);
    EXPECT_EQ(report["class_counts"]["Ⅲ"], 1);
    EXPECT_EQ(report["piles"], 1) << "two blows, one pile";
    // The warnings the window asks about: the blow left out and the empty fields, on stderr.
    EXPECT_NE(reported.err.find("warning: 同一桩号勾选了多条记录"), std::string::npos) << reported.err;
    EXPECT_NE(reported.err.find("1#（第1条记录）"), std::string::npos) << reported.err;
    EXPECT_NE(reported.err.find("未填写：建设单位"), std::string::npos) << reported.err;

    const std::string back = (m_Dir / "back.wvf").string();
    ASSERT_EQ(Run("apply " + decided + " --pile 2 --class rule -o " + back).code, 0);
    j = json::parse(Run("info --json " + back).out);
    EXPECT_TRUE(j["piles"][0]["class_decision"].is_null());
    // The records themselves are as before: a file without decisions is the same bytes again.
    EXPECT_EQ(Slurp(back).size(), Slurp(path).size());
    // A class outside I..IV is refused by the option check, and nothing is written.
    EXPECT_NE(Run("apply " + path + " --class V -o " + (m_Dir / "v.wvf").string()).code, 0);
    EXPECT_FALSE(fs::exists(m_Dir / "v.wvf"));
}

// apply keeps the marks on their echoes. On the sample site a 20 Hz high-pass (125 taps) delays pile
// 1's trace by 62 samples and a 5 kHz low-pass (11 taps) by 5 more: its head goes along, so the head
// pulse stays where it was after the head.
// A new speed keeps the defects' times: 3#'s 缩径 at 5.2 m is at 4.7 m at 3400 m/s.
TEST_F(Cli, ApplyKeepsTheMarksOnTheirEchoes) {
    const std::string site = std::string(PILEWAVE_SAMPLES) + "/sample-site.wvf";
    // Samples from the head marker to the largest swing of the head pulse.
    auto pulseAfterHead = [&](const std::string& path, int pile) {
        const json info = json::parse(Run("info --json " + path).out);
        const int head = info["piles"][pile - 1]["m_nHeadSample"].get<int>();
        const json t = json::parse(Run("trace " + path + " --pile " + std::to_string(pile) + " --json").out);
        int peak = head;
        for (int i = std::max(head - 150, 0); i < std::min(head + 150, 1024); ++i)
            if (std::fabs(t["trace"][i].get<double>()) > std::fabs(t["trace"][peak].get<double>())) peak = i;
        return std::pair{head, peak - head};
    };
    const auto [head, before] = pulseAfterHead(site, 1);
    const std::string filtered = (m_Dir / "filtered.wvf").string();
    const CRun hp = Run("apply " + site + " --pile 1 --lowpass 5 --highpass 20 -o " + filtered);
    ASSERT_EQ(hp.code, 0) << hp.err;
    const auto [movedHead, after] = pulseAfterHead(filtered, 1);
    EXPECT_EQ(movedHead, head + 67);
    EXPECT_NEAR(after, before, 2);
    // Switched off again (恢复参数), the head is back where it was.
    const std::string restored = (m_Dir / "restored.wvf").string();
    ASSERT_EQ(Run("apply " + filtered + " --pile 1 --restore -o " + restored).code, 0);
    EXPECT_EQ(pulseAfterHead(restored, 1).first, head);

    const std::string slower = (m_Dir / "slower.wvf").string();
    const CRun speed = Run("apply " + site + " --pile 5 --speed 3400 -o " + slower);
    ASSERT_EQ(speed.code, 0) << speed.err;
    const json pile5 = json::parse(Run("info --json " + slower).out)["piles"][4];
    EXPECT_EQ(pile5["m_szPileName"], "3#");
    EXPECT_EQ(pile5["m_nWaveSpeed"], 3400);
    EXPECT_EQ(pile5["m_Defects"][0]["nType"], 2);
    EXPECT_FLOAT_EQ(pile5["m_Defects"][0]["fDepth"].get<float>(), 4.7f);

    // Five passes of the longest low-pass delay the trace by more than 1,000 samples: refused, nothing written.
    const std::string refused = (m_Dir / "refused.wvf").string();
    const CRun far = Run("apply " + site + " --pile 1 --lowpass 0.05 --passes 5 -o " + refused);
    EXPECT_EQ(far.code, 1);
    EXPECT_NE(far.err.find("滤波延迟会使桩头移出波形范围"), std::string::npos) << far.err;
    EXPECT_FALSE(fs::exists(refused));
}

// The class counts of site-speed count piles, as its pile list does: repeated blows are one pile.
TEST_F(Cli, SiteSpeedCountsPiles) {
    const CRun r = Run("site-speed --json " + std::string(PILEWAVE_SAMPLES) + "/sample-site.wvf");
    ASSERT_EQ(r.code, 0) << r.err;
    const json j = json::parse(r.out);
    int counted = 0;
    for (const auto& [cls, n] : j["class_counts"].items()) counted += n.get<int>();
    EXPECT_EQ(counted, static_cast<int>(j["piles"].size()));
    EXPECT_EQ(j["piles"].size(), 25u);
}

// The sample site: its records are long enough and finely sampled (the simulator fits Δt to each
// pile) and clean; only 1# was recorded with three blows, so every other pile has too few signals.
// The sampling rule needs the site's total: unknown without --total, met at 100 piles, not at 200.
TEST_F(Cli, CheckTheSampleSite) {
    const std::string site = std::string(PILEWAVE_SAMPLES) + "/sample-site.wvf";
    const CRun unknown = Run("check --json " + site);
    ASSERT_EQ(unknown.code, 0) << unknown.err;
    const json j = json::parse(unknown.out);
    ASSERT_EQ(j["piles"].size(), 25u);
    for (const auto& pile : j["piles"]) {
        SCOPED_TRACE(pile["name"].get<std::string>());
        if (pile["name"] == "1#") {
            EXPECT_TRUE(pile["findings"].empty());
            continue;
        }
        ASSERT_EQ(pile["findings"].size(), 1u);
        EXPECT_EQ(pile["findings"][0]["code"], "few_signals");
        EXPECT_EQ(pile["findings"][0]["record"], nullptr);
        EXPECT_EQ(pile["findings"][0]["figures"]["records"], pile["records"].size());
    }
    EXPECT_EQ(j["site"]["total"], nullptr);
    EXPECT_EQ(j["site"]["enough"], nullptr);
    EXPECT_EQ(j["site"]["class_counts"]["Ⅰ"], 16);
    EXPECT_EQ(j["site"]["site_speed"], 3807);
    EXPECT_EQ(j["quality_paragraph"], "数据检查：2#、3#、4#、5#、6#、7#等24根的有效信号少于3个。");

    const json met = json::parse(Run("check --json --total 100 " + site).out);
    EXPECT_EQ(met["site"]["required"], 20);
    EXPECT_EQ(met["site"]["enough"], true);
    const CRun shortRun = Run("check --total 200 " + site);
    EXPECT_EQ(shortRun.code, 0) << shortRun.err; // a finding is a result, not a failure
    EXPECT_NE(shortRun.out.find("受检桩25根，少于应检的40根（总桩数200根的20%且不少于10根）"), std::string::npos);
    // The ticked piles or the piles named: 1#'s three blows alone are clean.
    const json one = json::parse(Run("check --json --piles 1,2,3 " + site).out);
    ASSERT_EQ(one["piles"].size(), 1u);
    EXPECT_TRUE(one["piles"][0]["findings"].empty());
    EXPECT_EQ(one["quality_paragraph"], "");
}

// A record's finding carries its record number and figures; what cannot be read fails.
TEST_F(Cli, CheckFindingsOfARecordAndUnreadableInput) {
    std::vector<pw::CPileRecord> piles(3);
    for (std::size_t i = 0; i < piles.size(); ++i) {
        pw::CPileRecord& r = piles[i];
        r.m_nPileNo = static_cast<int16_t>(i + 1);
        r.SetPileName("P1");
        r.m_fPileLength = 10.f;
        r.m_nWaveSpeed = 4000;
        r.m_fSampleInterval = i == 1 ? 126.f : 20.f;
        r.m_nHeadSample = 50;
        for (int k = 0; k < pw::kSamples; ++k)
            r.m_fRaw[k] = static_cast<float>(100.0 * std::exp(-std::pow((k - 60) / 5.0, 2)));
    }
    const std::string path = Put("p.wvf", pw::test::ProjectBytes(3, piles, pw::test::MakeHeader()));
    const CRun r = Run("check --json " + path);
    ASSERT_EQ(r.code, 0) << r.err;
    const json j = json::parse(r.out);
    ASSERT_EQ(j["piles"].size(), 1u);
    const json& findings = j["piles"][0]["findings"];
    ASSERT_EQ(findings.size(), 1u) << findings.dump();
    EXPECT_EQ(findings[0]["code"], "spectrum_limit");
    EXPECT_EQ(findings[0]["record"], 2);
    EXPECT_EQ(findings[0]["figures"]["sample_interval_us"], 126.0);
    EXPECT_NEAR(findings[0]["figures"]["spectrum_limit_hz"].get<double>(), 1984.13, 0.01);
    EXPECT_EQ(findings[0]["text"], "采样间隔126μs大于125μs，频谱上限1984Hz低于2000Hz");
    EXPECT_EQ(j["piles"][0]["valid_signals"], 3); // a coarse interval is no distortion

    EXPECT_NE(Run("check " + (m_Dir / "missing.wvf").string()).code, 0);
    EXPECT_NE(Run("check " + Put("junk.wvf", {1, 2, 3})).code, 0);
}

// The tester emulator in a second process at the far end of a file-backed virtual cable: what the
// transfer fetches and converts is byte for byte what converting the same files directly gives.
TEST_F(Cli, TransferFromATesterInAnotherProcess) {
    const fs::path storage = m_Dir / "storage", direct = m_Dir / "direct", dest = m_Dir / "dest";
    fs::create_directories(storage);
    fs::create_directories(dest);
    std::string error;
    ASSERT_TRUE(pw::WriteSampleTesterStorage(storage.string(), error)) << error;
    fs::copy(storage / "DEMO1", direct);

    const std::string cable = (m_Dir / "cable").string();
    const std::string storageArg = storage.string();
    std::vector<std::string> args{PILEWAVE_CLI, "tester", "serve", "--storage", storageArg, "--cable", cable, "-q"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t server = 0;
    ASSERT_EQ(posix_spawn(&server, PILEWAVE_CLI, nullptr, nullptr, argv.data(), environ), 0);
    const CRun transfer = Run("transfer --port sim:" + cable + " --site DEMO1 --dest " + dest.string());
    kill(server, SIGTERM);
    int status = 0;
    waitpid(server, &status, 0);
    ASSERT_EQ(transfer.code, 0) << transfer.out << transfer.err;

    ASSERT_EQ(Run("convert-site " + direct.string() + " -o " + (m_Dir / "direct.wvf").string()).code, 0);
    ASSERT_TRUE(fs::exists(dest / "demo1.wvf"));
    EXPECT_EQ(Slurp(dest / "demo1.wvf"), Slurp(m_Dir / "direct.wvf"));
    for (const auto& entry : fs::directory_iterator(dest)) EXPECT_EQ(entry.path().filename(), "demo1.wvf");
}

// Exit status 0 only when every site came whole; each failure says what became of the site, and a
// file already in the destination survives any transfer of its site: the same data leave it
// unchanged, other data (a project edited after the first transfer) take the next free name.
TEST_F(Cli, TransferExitsNonZeroUnlessEverySiteIsComplete) {
    struct SCase {
        const char* szArgs; // after "transfer --demo", before "--dest"
        const char* szDest; // under the test folder
        int nCode;
        const char* szOut; // a line stdout must hold
        std::vector<const char*> files;
    };
    const SCase cases[] = {
        {"--site DEMO1", "d1", 0, "WVF文件传输结束!\n", {"demo1.wvf"}},
        {"--fault bad-header --site DEMO1",
         "d2",
         1,
         "DEMO1：5 根桩只收到 4 根，已存为 demo1.incomplete.wvf\n",
         {"demo1.wvf", "demo1.incomplete.wvf"}},
        {"--site ../evil", "d3", 1, "../evil：工地名称不能用作文件名\n", {}},
        {"--site LPT1 --site DEMO2", "d4", 1, "LPT1：工地名称不能用作文件名\n", {"demo2.wvf"}},
        {"--site DEMO2", "new/folder", 0, "DEMO2: 5 records", {"demo2.wvf"}},
        {"--site DEMO1", "d1", 0, "DEMO1：5 根桩，与已有的 demo1.wvf 相同，未改变\n", {"demo1.wvf"}},
        {"--site DEMO1",
         "d5",
         0,
         "DEMO1：5 根桩，已存为 demo1-2.wvf（demo1.wvf 已存在，没有覆盖）\n",
         {"demo1.wvf", "demo1-2.wvf"}},
        {"--site DEMO1",
         "d5",
         0,
         "DEMO1：5 根桩，与已有的 demo1-2.wvf 相同，未改变\n",
         {"demo1.wvf", "demo1-2.wvf"}},
    };
    const std::string earlier = "a complete file of an earlier transfer";
    for (const char* szDest : {"d2", "d5"}) {
        fs::create_directories(m_Dir / szDest);
        std::ofstream(m_Dir / szDest / "demo1.wvf") << earlier;
    }
    for (const SCase& c : cases) {
        const fs::path dest = m_Dir / c.szDest;
        const CRun r = Run(std::string("transfer --demo --read-cost-ns 0 ") + c.szArgs + " --dest " + dest.string());
        EXPECT_EQ(r.code, c.nCode) << c.szArgs << r.out << r.err;
        EXPECT_NE(r.out.find(c.szOut), std::string::npos) << c.szArgs << r.out;
        EXPECT_EQ(r.out.substr(r.out.size() - 1), "\n");
        std::set<std::string> files;
        for (const auto& entry : fs::directory_iterator(dest))
            files.insert(entry.path().filename().string());
        EXPECT_EQ(files, std::set<std::string>(c.files.begin(), c.files.end())) << c.szArgs;
    }
    EXPECT_EQ(Slurp(m_Dir / "d2" / "demo1.wvf"), earlier);
    EXPECT_EQ(Slurp(m_Dir / "d5" / "demo1.wvf"), earlier);
    EXPECT_TRUE(Slurp(m_Dir / "d5" / "demo1-2.wvf") ==
                Slurp(m_Dir / "d1" / "demo1.wvf")); // no dump of binary files
    const json incomplete = json::parse(Run("info --json " + (m_Dir / "d2" / "demo1.incomplete.wvf").string()).out);
    EXPECT_EQ(incomplete["piles"].size(), 4u);
}

// A tester that does not answer gives no site list at all, never the one an earlier run left behind.
TEST_F(Cli, SiteListIsTheTestersAnswerOrAnError) {
    const std::string cmd = std::string("XDG_CACHE_HOME=") + (m_Dir / "cache").string() + " " + PILEWAVE_CLI;
    ASSERT_EQ(std::system((cmd + " transfer --demo --list >" + (m_Dir / "out").string()).c_str()), 0);
    EXPECT_EQ(Slurp(m_Dir / "out"), "DEMO1\nDEMO2\n");
    const int status = std::system((cmd + " transfer --demo --list --fault no-handshake >" +
                                    (m_Dir / "out").string() + " 2>" + (m_Dir / "err").string())
                                       .c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(Slurp(m_Dir / "out"), "");
    EXPECT_NE(Slurp(m_Dir / "err").find("连接失败，请检查连接线后重试！"), std::string::npos);
}

// Missing record files, and record files shorter than a record (a missing record too): the file is
// written with the whole records, the rest are named and the exit status is 1.
TEST_F(Cli, ConvertSiteWithMissingRecordsWritesWhatIsThereAndNamesTheRest) {
    struct SCase {
        std::vector<const char*> removed;
        std::vector<const char*> cut; // to 120 bytes
        int nCode;
        std::vector<const char*> errors; // lines stderr must hold
        size_t nPiles;
    };
    const SCase cases[] = {
        {{"2.wvf", "4.wvf"}, {}, 1, {"missing record files: 2.wvf, 4.wvf"}, 3},
        {{},
         {"3.wvf"},
         1,
         {"record files shorter than a record (4338 bytes), not converted: 3.wvf (120 bytes)"},
         4},
        {{"2.wvf"}, {"5.wvf"}, 1, {"missing record files: 2.wvf\n", "not converted: 5.wvf (120 bytes)"}, 3},
    };
    for (const SCase& c : cases) {
        const fs::path storage = m_Dir / "storage";
        fs::remove_all(storage);
        fs::create_directories(storage);
        std::string error;
        ASSERT_TRUE(pw::WriteSampleTesterStorage(storage.string(), error)) << error;
        for (const char* szName : c.removed)
            fs::remove(storage / "DEMO1" / szName);
        for (const char* szName : c.cut)
            fs::resize_file(storage / "DEMO1" / szName, 120);
        const std::string out = (m_Dir / "site.wvf").string();
        const CRun r = Run("convert-site " + (storage / "DEMO1").string() + " -o " + out);
        EXPECT_EQ(r.code, c.nCode) << r.err;
        for (const char* szError : c.errors)
            EXPECT_NE(r.err.find(szError), std::string::npos) << r.err;
        EXPECT_EQ(json::parse(Run("info --json " + out).out)["piles"].size(), c.nPiles) << r.err;
        EXPECT_EQ(fs::file_size(storage / "DEMO1" / "1.wvf"), 4338u); // the user's folder stays as it was
    }
}

TEST_F(Cli, SimulateOnePileKnowsItsTruth) {
    const std::string out = (m_Dir / "one.wvf").string();
    const CRun r = Run("simulate --length 12 --speed 3800 --dt 20 --defect 5.5:缩径:0.3 --defect 8:扩径 "
                       "--noise 0.02 -o " + out + " --tester-folder " + (m_Dir / "folder").string());
    ASSERT_EQ(r.code, 0) << r.err;
    const json j = json::parse(Run("info --json " + out).out);
    ASSERT_EQ(j["piles"].size(), 1u);
    const json& p = j["piles"][0];
    EXPECT_FLOAT_EQ(p["m_fPileLength"].get<float>(), 12.f);
    EXPECT_EQ(p["m_nWaveSpeed"], 3800);
    EXPECT_FLOAT_EQ(p["m_fSampleInterval"].get<float>(), 20.f);
    EXPECT_EQ(p["m_Defects"][0]["nType"], 2); // by depth: the neck at 5.5 m first
    EXPECT_FLOAT_EQ(p["m_Defects"][0]["fDepth"].get<float>(), 5.5f);
    EXPECT_EQ(p["m_Defects"][1]["nType"], 1);
    const json folder = json::parse(Run("info --json " + (m_Dir / "folder").string()).out);
    EXPECT_EQ(folder["piles"][0]["m_fRaw"], p["m_fRaw"]);

    for (const char* bad : {"--length 12 --defect 5.5:凹陷:0.3", "--length 12 --defect 30:缩径",
                                   "--length -1", "--length 12 --dt 0"}) {
        const CRun refused = Run(std::string("simulate ") + bad + " -o " + (m_Dir / "bad.wvf").string());
        EXPECT_NE(refused.code, 0) << bad;
        EXPECT_FALSE(fs::exists(m_Dir / "bad.wvf")) << bad;
    }
}

// The bundled sample site in its three forms holds the same records, apart from what the tester's
// per-pile files have no room for.
TEST_F(Cli, SampleSiteFormsAgree) {
    const std::string samples = PILEWAVE_SAMPLES;
    const json project = json::parse(Run("info --json " + samples + "/sample-site.wvf").out);
    const json folder = json::parse(Run("info --json " + samples + "/sample-site").out);
    ASSERT_EQ(project["piles"].size(), 30u);
    ASSERT_EQ(folder["piles"].size(), 30u);
    const std::string storage = (m_Dir / "storage").string();
    fs::copy(samples + "/tester-storage", storage, fs::copy_options::recursive);
    std::string site;
    for (const auto& entry : fs::directory_iterator(storage))
        if (entry.is_directory()) site = entry.path().string();
    ASSERT_EQ(Run("convert-site " + site + " -o " + (m_Dir / "converted.wvf").string()).code, 0);
    const json converted = json::parse(Run("info --json " + (m_Dir / "converted.wvf").string()).out);
    ASSERT_EQ(converted["piles"].size(), 30u);
    for (std::size_t i = 0; i < 30; ++i) {
        for (const char* key : {"m_szPileName", "m_fPileLength", "m_nWaveSpeed", "m_fSampleInterval", "m_nHeadSample",
                                "m_Defects", "m_fRaw", "m_nDiameter"}) {
            EXPECT_EQ(folder["piles"][i][key], project["piles"][i][key]) << i << key;
            EXPECT_EQ(converted["piles"][i][key], project["piles"][i][key]) << i << key;
        }
        EXPECT_EQ(converted["piles"][i]["m_nPileType"], project["piles"][i]["m_nPileType"]) << i;
    }
    EXPECT_EQ(converted["header"]["m_szProjectName"], project["header"]["m_szProjectName"]);
}

// pilewave-cli report and table: the content as JSON, the refusal without piles, the files written.
const std::string kSite = std::string(PILEWAVE_SAMPLES) + "/sample-site.wvf";

TEST_F(Cli, ReportContentAsJsonFollowsTheNameOrderAndTheInformationFile) {
    std::ofstream(m_Dir / "info.json") << R"({"report_no": "JC-7", "client": "甲方", "test_date": "2024-05-11"})";
    const CRun r = Run("report " + kSite + " --piles 5,1,4 --info " + (m_Dir / "info.json").string() + " --json");
    ASSERT_EQ(r.code, 0) << r.err;
    const json j = json::parse(r.out);
    ASSERT_EQ(j["rows"].size(), 3u);
    EXPECT_EQ(j["rows"][0]["pile_no"], "1#"); // ascending pile-number text, not the order given
    EXPECT_EQ(j["rows"][1]["pile_no"], "2#");
    EXPECT_EQ(j["cover"]["report_no"], "JC-7");
    EXPECT_EQ(j["cover"]["test_date"], "2024年5月11日");
    EXPECT_EQ(j["cover"]["project_name"], "滨江花园二期桩基"); // from the project, as the window pre-fills it
    int total = 0;
    for (const char* cls : {"Ⅰ", "Ⅱ", "Ⅲ", "Ⅳ", "Ⅱ/Ⅲ"}) total += j["class_counts"][cls].get<int>();
    EXPECT_EQ(total, 3);
    EXPECT_NE(j["paragraphs"][1].get<std::string>().find("1#、2#、3#，共3根。"), std::string::npos);
}

// A current pile without a date gives no made-up date: the report leaves it empty and says so first.
TEST_F(Cli, ReportOfAPileWithoutADateLeavesTheDatesEmpty) {
    std::vector<pw::CPileRecord> piles;
    for (int i = 0; i < 2; ++i) {
        piles.push_back(pw::test::MakeRecord(static_cast<unsigned>(i + 1)));
        piles.back().m_nPileNo = static_cast<int16_t>(i + 1);
    }
    piles[0].SetTestDate("");
    const std::string path = Put("nodate.wvf", pw::test::ProjectBytes(3, piles));
    const CRun r = Run("report " + path + " --piles 1,2 --json");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("当前桩没有有效的检测日期"), std::string::npos) << r.err;
    const json j = json::parse(r.out);
    EXPECT_EQ(j["cover"]["test_date"], "");
    EXPECT_EQ(j["paragraphs"][0].get<std::string>().find("0000"), std::string::npos) << j["paragraphs"][0];
    // Dates given in the information file are used, and nothing is said.
    std::ofstream(m_Dir / "info.json") << R"({"test_date": "2024-05-11", "pour_date": "2024-04-01"})";
    const CRun given = Run("report " + path + " --piles 1,2 --info " + (m_Dir / "info.json").string() + " --json");
    ASSERT_EQ(given.code, 0) << given.err;
    EXPECT_EQ(given.err.find("当前桩没有有效的检测日期"), std::string::npos) << given.err;
    EXPECT_EQ(json::parse(given.out)["cover"]["test_date"], "2024年5月11日");
}

TEST_F(Cli, ReportRefusalsWriteNothing) {
    struct Case {
        std::string args;
        int code;
        const char* says;
    } const cases[] = {
        // The sample project has no ticks: nothing to report, and the shares would divide by zero.
        {"report " + kSite + " -o " + (m_Dir / "r.docx").string(), 1, "您没有选择要保存的桩!"},
        {"report " + kSite + " --piles 1,999 -o " + (m_Dir / "r.docx").string(), 1, "no pile 999"},
        {"report " + kSite + " --piles 1 --info " + (m_Dir / "missing.json").string() + " -o " +
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

TEST_F(Cli, ReportTableAndReportFiles) {
    const CRun t = Run("table " + kSite + " --piles 1,4,5 -o " + (m_Dir / "t.xlsx").string());
    ASSERT_EQ(t.code, 0) << t.err;
    EXPECT_GT(fs::file_size(m_Dir / "t.xlsx"), 1000u);
#ifdef PILEWAVE_HAVE_PICTURES
    const CRun r = Run("report " + kSite + " --piles 1,4,5 -o " + (m_Dir / "r.docx").string());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_GT(fs::file_size(m_Dir / "r.docx"), 10000u);
#endif
}

// print and picture: the PDF's pages, the pictures' files and names, and the refusals.
#ifdef PILEWAVE_HAVE_PICTURES

TEST_F(Cli, PrintPdfHoldsThePagesPrintingLaysOut) {
    // Seven piles, five rows, one column: two pages.
    const fs::path pdf = m_Dir / "site.pdf";
    const CRun r = Run("print " + kSite + " --piles 1,2,3,4,5,6,7 -o " + pdf.string());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("2 pages"), std::string::npos) << r.out;
    const std::string bytes = Slurp(pdf);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    std::size_t pages = 0;
    for (std::size_t at = bytes.find("/Type /Page\n"); at != std::string::npos;
         at = bytes.find("/Type /Page\n", at + 1))
        ++pages;
    EXPECT_EQ(pages, 2u);
}

TEST_F(Cli, PrintPicturesOneFileOrOnePerPile) {
    const fs::path bmp = m_Dir / "one.bmp";
    CRun r = Run("picture " + kSite + " --pile 2 --layout amplitude -o " + bmp.string());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(fs::file_size(bmp), 415014u);
    const fs::path png = m_Dir / "one.png";
    r = Run("picture " + kSite + " --pile 2 -o " + png.string());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Slurp(png).substr(1, 3), "PNG");
    const fs::path folder = m_Dir / "pics";
    r = Run("picture " + kSite + " --piles 1,3 -o " + folder.string() + "/");
    ASSERT_EQ(r.code, 0) << r.err;
    int files = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        EXPECT_EQ(e.path().extension(), ".bmp");
        ++files;
    }
    EXPECT_EQ(files, 2);
}

// What a PDF viewer's search and copy read from the printed pages is what was printed: the Chinese
// of the heading and the legends, not look-alike radicals. Outside a desktop session (no
// XDG_RUNTIME_DIR) the drawing verbs print nothing but their own lines.
TEST_F(Cli, PrintedPdfTextSearchesAndCopiesAsPrinted) {
    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = runtime ? runtime : "";
    unsetenv("XDG_RUNTIME_DIR");
    const fs::path pdf = m_Dir / "site.pdf";
    const CRun r = Run("print " + kSite + " --piles 1,2 -o " + pdf.string());
    if (runtime) setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(std::system(("pdftotext -enc UTF-8 '" + pdf.string() + "' '" + (m_Dir / "text").string() + "'").c_str()), 0);
    const std::string text = Slurp(m_Dir / "text");
    for (const char* word : {"工地名", "桩长", "打印日期", "检测单位名称", "文件名"})
        EXPECT_NE(text.find(word), std::string::npos) << word << "\n" << text;
    // Kangxi radicals (U+2F00..U+2FDF) and the radicals supplement (U+2E80..U+2EFF) in UTF-8.
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(text[i]), b1 = static_cast<unsigned char>(text[i + 1]);
        EXPECT_FALSE(b0 == 0xE2 && (b1 == 0xBA || b1 == 0xBB || b1 == 0xBC || b1 == 0xBD || b1 == 0xBE || b1 == 0xBF))
            << "a radical at " << i << ": " << text.substr(i, 3);
    }
}

// A batch of pictures writes every pile it can, then names each failure with its reason and exits
// non-zero.
TEST_F(Cli, PictureBatchWritesTheOthersAndNamesEachFailure) {
    const fs::path all = m_Dir / "all";
    CRun r = Run("picture " + kSite + " --piles 1,2,3 -o " + all.string() + "/");
    ASSERT_EQ(r.code, 0) << r.err;
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(all))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 3u);
    // The first pile's file cannot be written: a folder has its name.
    const fs::path some = m_Dir / "some";
    fs::create_directories(some / names[0] / "inside");
    r = Run("picture " + kSite + " --piles 1,2,3 -o " + some.string() + "/");
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_TRUE(fs::is_regular_file(some / names[1])) << r.err;
    EXPECT_TRUE(fs::is_regular_file(some / names[2])) << r.err;
    EXPECT_TRUE(fs::is_directory(some / names[0] / "inside"));
    EXPECT_NE(r.err.find(names[0] + ": 同名的文件夹已存在。"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(names[1]), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("wrote 2 pictures"), std::string::npos) << r.out;
}

TEST_F(Cli, PrintRefusalsWriteNothing) {
    const struct {
        const char* args;
        int code;
    } cases[] = {
        {"print SITE --piles 99 -o OUT/x.pdf", 1},
        {"picture SITE --piles 1,2 -o OUT/x.bmp", 2},
        {"picture SITE -o OUT/x.bmp", 2},
        {"print SITE --piles 1 --settings OUT/none.ini -o OUT/x.pdf", 1},
    };
    for (const auto& c : cases) {
        std::string args = c.args;
        for (std::size_t at; (at = args.find("SITE")) != std::string::npos;)
            args.replace(at, 4, kSite);
        for (std::size_t at; (at = args.find("OUT")) != std::string::npos;)
            args.replace(at, 3, m_Dir.string());
        const CRun r = Run(args);
        EXPECT_EQ(r.code, c.code) << c.args << "\n" << r.err;
        EXPECT_FALSE(fs::exists(m_Dir / "x.pdf")) << c.args;
        EXPECT_FALSE(fs::exists(m_Dir / "x.bmp")) << c.args;
    }
}

#endif

} // namespace

