// Which runs of pilewave-cli load the GUI toolkit: only the verbs that draw, which it hands over to
// pilewave-cli-draw; every other verb starts without it. The dynamic loader's own log (LD_DEBUG=libs)
// names every library a process and the programs it starts map, dlopen included.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

#include "CliFixture.h"

namespace {

namespace fs = std::filesystem;

using pw::test::Slurp;

class CliToolkit : public pw::test::CScratchFolderTest {
protected:

    // Runs a program with the loader's log on; the log goes to its own files (one per process).
    int RunLogged(const std::string& program, const std::string& args) {
        fs::remove_all(m_Dir / "ld");
        fs::create_directories(m_Dir / "ld");
        const std::string cmd = "LD_DEBUG=libs LD_DEBUG_OUTPUT=" + (m_Dir / "ld" / "log").string() + " " +
                                program + " " + args + " >" + (m_Dir / "out").string() + " 2>" +
                                (m_Dir / "err").string();
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string LoaderLog() const {
        std::string log;
        for (const auto& entry : fs::directory_iterator(m_Dir / "ld"))
            log += Slurp(entry.path());
        return log;
    }
};

TEST_F(CliToolkit, OnlyTheVerbsThatDrawLoadIt) {
    const std::string samples = PILEWAVE_SAMPLES, dir = m_Dir.string();
    struct SCase {
        std::string szArgs;
        bool bDraws;
    };
    const SCase cases[] = {
        {"--version", false},
        {"--help", false},
        {"info " + samples + "/sample-site.wvf", false},
        {"trace " + samples + "/demo.wvf --pile 1 --json", false},
        {"site-speed " + samples + "/sample-site.wvf", false},
        {"save " + samples + "/demo.wvf -o " + dir + "/saved.wvf", false},
        {"merge " + samples + "/demo.wvf " + samples + "/demo.wvf -o " + dir + "/merged.wvf", false},
        {"apply " + samples + "/demo.wvf --pile 1 --gain 5 -o " + dir + "/applied.wvf", false},
        {"table " + samples + "/sample-site.wvf --piles 1,2 -o " + dir + "/table.xlsx", false},
        {"transfer --demo --read-cost-ns 0 --site DEMO1 --dest " + dir, false},
#ifdef PILEWAVE_HAVE_PICTURES
        // The other side: the log does see the toolkit where it is loaded.
        {"report " + samples + "/sample-site.wvf --piles 1,2 --json", true},
        {"picture " + samples + "/sample-site.wvf --pile 1 -o " + dir + "/pile1.png", true},
#else
        {"report " + samples + "/sample-site.wvf --piles 1,2 --json", false},
#endif
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.szArgs);
        ASSERT_EQ(RunLogged(PILEWAVE_CLI, c.szArgs), 0) << Slurp(m_Dir / "err");
        const std::string log = LoaderLog();
        ASSERT_NE(log.find("libc.so"), std::string::npos) << "the loader wrote no log";
        EXPECT_EQ(log.find("libQt6Gui") != std::string::npos, c.bDraws);
    }
}

#ifdef PILEWAVE_HAVE_PICTURES
// Without the drawing program beside it (or in ../libexec) the verbs that draw say so and fail;
// nothing is written and nothing crashes.
TEST_F(CliToolkit, MissingDrawingProgramIsNamedAndNothingIsWritten) {
    const fs::path alone = m_Dir / "bin" / "pilewave-cli";
    fs::create_directories(alone.parent_path());
    fs::copy_file(PILEWAVE_CLI, alone);
    const std::string site = std::string(PILEWAVE_SAMPLES) + "/sample-site.wvf";
    for (const std::string& args : {"print " + site + " --piles 1 -o " + (m_Dir / "out.pdf").string(),
                                   "picture " + site + " --pile 1 -o " + (m_Dir / "out.png").string(),
                                   "report " + site + " --piles 1 -o " + (m_Dir / "out.docx").string()}) {
        SCOPED_TRACE(args);
        EXPECT_EQ(RunLogged(alone.string(), args), 1);
        const std::string err = Slurp(m_Dir / "err");
        EXPECT_NE(err.find("无法启动绘图程序"), std::string::npos) << err;
        EXPECT_NE(err.find("cannot start the drawing program"), std::string::npos) << err;
        EXPECT_NE(err.find("pilewave-cli-draw"), std::string::npos) << err;
    }
    for (const char* name : {"out.pdf", "out.png", "out.docx"})
        EXPECT_FALSE(fs::exists(m_Dir / name)) << name;
}
#endif

} // namespace
