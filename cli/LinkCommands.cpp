// pilewave-cli tester serve / transfer / convert-site: the tester emulator on a cable file, a
// transfer from a tester (real port or virtual cable), and the conversion of a copied site folder.
#include "cli/LinkCommands.h"

#include "cli/CliCommands.h"
#include "core/GbkText.h"
#include "link/CParallelLink.h"
#include "link/CTesterEmulator.h"
#include "link/CTransferWorker.h"
#include "link/TesterConversion.h"
#include "link/TesterFault.h"
#include "link/TesterSampleStorage.h"
#include "link/platform/CPortAccess.h"
#include "link/platform/CVirtualCablePort.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

namespace pw::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kConnectFailed = "连接失败，请检查连接线后重试！";
constexpr const char* kSiteListOpenFailed = "打开文件失败!";
constexpr const char* kTransferDone = "WVF文件传输结束!";

std::atomic<bool> g_bInterrupted{false};
extern "C" void OnInterrupt(int) {
    g_bInterrupted = true;
}

// Where the tester's site list is kept between runs (the user's cache folder).
fs::path SiteListFolder() {
    const char* szCache = std::getenv("XDG_CACHE_HOME");
    const char* szHome = std::getenv("HOME");
    fs::path folder = szCache && *szCache ? fs::path(szCache) : fs::path(szHome ? szHome : "/tmp") / ".cache";
    return folder / "pilewave";
}

struct STransferOptions {
    std::string szPort, szDest;
    std::vector<std::string> sites;
    bool bList = false;
    bool bDemo = false;
    int64_t nReadCostNs = kDefaultReadCostNs;
};

void RunTransfer(const STransferOptions& options, std::shared_ptr<CPortAccess> pPort,
                 const std::string& szError) {
    CParallelLink link(std::move(pPort), szError);
    if (!link.HasPort()) {
        link.ResetLines(); // refused: the status text says why
        std::fprintf(stderr, "%s\n", link.StatusText());
        Exit(1);
    }
    if (options.bList) {
        std::error_code error;
        const fs::path cache = SiteListFolder();
        fs::create_directories(cache, error);
        std::string szTesterFile = "c:\\dat\\rsite.par", szLocal = cache.string();
        if (link.Command(CParallelLink::kFetchFile, szTesterFile, szLocal) == 0) {
            std::fprintf(stderr, "%s (%s)\n", kConnectFailed, link.StatusText());
            Exit(1);
        }
        std::vector<std::string> sites;
        if (!ReadSiteList(szLocal, sites)) {
            std::fprintf(stderr, "%s\n", kSiteListOpenFailed);
            Exit(1);
        }
        for (const std::string& szSite : sites)
            std::printf("%s\n", GbkToUtf8(szSite).c_str());
    }
    if (options.sites.empty()) return;
    STransferJob job;
    job.szDestination = options.szDest;
    for (const std::string& szSite : options.sites)
        job.sites.push_back(Utf8ToGbk(szSite));
    int nProblems = 0;
    STransferEvents events;
    events.onProgress = [](int n) { std::fprintf(stderr, "progress %d%%\n", n); };
    events.onLog = [](const std::string& sz) { std::fprintf(stderr, "%s", sz.c_str()); };
    events.onMessage = [&](const std::string& sz) {
        if (sz != kTransferDone) ++nProblems;
        std::printf("%s\n", sz.c_str());
    };
    events.onSiteDone = [&](size_t n) { std::fprintf(stderr, "done %s\n", options.sites[n].c_str()); };
    CTransferWorker(link, job, events).Run();
    if (nProblems) {
        std::fprintf(stderr, "link status: %s\n", link.StatusText());
        Exit(1);
    }
}

// The emulator on an in-process cable, serving a sample storage made for the occasion.
void RunDemo(const STransferOptions& options) {
    char szTemplate[] = "/tmp/pilewave-demo-XXXXXX";
    if (!::mkdtemp(szTemplate)) {
        std::perror("mkdtemp");
        Exit(1);
    }
    std::string szError;
    if (!WriteSampleTesterStorage(szTemplate, szError)) {
        std::fprintf(stderr, "%s\n", szError.c_str());
        Exit(1);
    }
    std::shared_ptr<CVirtualCable> pCable = CVirtualCable::CreateInMemory();
    STesterEmulatorOptions emulatorOptions;
    emulatorOptions.szStorage = szTemplate;
    CTesterEmulator emulator(pCable, emulatorOptions);
    emulator.Start();
    int nExit = 0;
    try {
        RunTransfer(options, std::make_shared<CVirtualCablePort>(pCable, options.nReadCostNs), "");
    } catch (const CLI::RuntimeError& exit) {
        nExit = exit.get_exit_code();
    }
    emulator.Stop();
    std::error_code error;
    fs::remove_all(szTemplate, error);
    if (nExit) Exit(nExit);
}

} // namespace

void AddLinkCommands(CLI::App& app) {
    {
        auto* tester = app.add_subcommand("tester", "The tester's side of the cable");
        tester->require_subcommand(1);
        auto* cmd =
            tester->add_subcommand("serve", "Run the tester emulator on a virtual cable until interrupted");
        auto storage = std::make_shared<std::string>();
        auto cable = std::make_shared<std::string>();
        auto fault = std::make_shared<std::string>("none");
        auto quiet = std::make_shared<bool>(false);
        cmd->add_option("--storage", *storage,
                        "folder laid out like the tester's C:\\DAT (RSITE.PAR, one folder per site)")
            ->required();
        cmd->add_option("--cable", *cable,
                        "cable file (created if missing; under /dev/shm for POSIX shared memory)")
            ->required();
        cmd->add_option("--fault", *fault, std::string("fault to inject: ") + TesterFaultList());
        cmd->add_flag("-q,--quiet", *quiet, "do not print the commands served");
        cmd->callback([storage, cable, fault, quiet] {
            STesterEmulatorOptions options;
            options.szStorage = *storage;
            if (!ParseTesterFault(*fault, options.fault)) {
                std::fprintf(stderr, "unknown fault \"%s\" (%s)\n", fault->c_str(), TesterFaultList());
                Exit(2);
            }
            if (!fs::is_directory(*storage)) {
                std::fprintf(stderr, "%s: not a folder\n", storage->c_str());
                Exit(1);
            }
            std::string szError;
            std::shared_ptr<CVirtualCable> pCable = CVirtualCable::OpenFile(*cable, szError);
            if (!pCable) {
                std::fprintf(stderr, "%s\n", szError.c_str());
                Exit(1);
            }
            if (!*quiet)
                options.onLog = [](const std::string& sz) {
                    std::printf("%s\n", sz.c_str()), std::fflush(stdout);
                };
            std::signal(SIGINT, OnInterrupt);
            std::signal(SIGTERM, OnInterrupt);
            CTesterEmulator emulator(pCable, options);
            emulator.Start();
            std::fprintf(stderr, "serving %s on %s\n", storage->c_str(), cable->c_str());
            while (!g_bInterrupted)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            emulator.Stop();
        });
    }
    {
        auto* cmd = app.add_subcommand(
            "transfer", "List the tester's sites, or fetch and convert sites into WVF02 files");
        auto options = std::make_shared<STransferOptions>();
        auto* port = cmd->add_option("--port", options->szPort,
                                     "sim:PATH (virtual cable file) or ppdev:/dev/parportN");
        cmd->add_flag("--demo", options->bDemo,
                      "run the tester emulator in this process on a sample storage (sites DEMO1, DEMO2)")
            ->excludes(port);
        cmd->add_flag("--list", options->bList, "print the tester's site list");
        cmd->add_option("--site", options->sites, "a site to fetch and convert (repeatable)");
        cmd->add_option("--dest", options->szDest, "destination folder of the converted files");
        cmd->add_option("--read-cost-ns", options->nReadCostNs,
                        "cost of one port read on the virtual cable, ns");
        cmd->callback([options] {
            if (!options->bDemo && options->szPort.empty()) {
                std::fprintf(stderr, "give --port or --demo\n");
                Exit(2);
            }
            if (options->bDemo && !options->bList && options->sites.empty())
                options->sites = {"DEMO1", "DEMO2"};
            if (!options->sites.empty() && options->szDest.empty()) {
                std::fprintf(stderr, "--dest is required with --site\n");
                Exit(2);
            }
            if (!options->bList && options->sites.empty()) {
                std::fprintf(stderr, "nothing to do: give --list or --site\n");
                Exit(2);
            }
            if (!options->bDemo) {
                std::string szError;
                std::shared_ptr<CPortAccess> pPort =
                    OpenPortAccess(options->szPort, szError, options->nReadCostNs);
                RunTransfer(*options, std::move(pPort), szError);
                return;
            }
            RunDemo(*options);
        });
    }
    {
        auto* cmd = app.add_subcommand(
            "convert-site", "Convert a folder of tester files (wvf.par, n.wvf) into one WVF02 file");
        auto folder = std::make_shared<std::string>();
        auto out = std::make_shared<std::string>();
        cmd->add_option("FOLDER", *folder, "folder holding wvf.par, pindex.par and 1.wvf ... n.wvf")
            ->required();
        cmd->add_option("-o,--output", *out, "the WVF02 file to write")->required();
        cmd->callback([folder, out] {
            // The conversion deletes what it read: work on a copy, the user's folder stays as it is.
            char szTemplate[] = "/tmp/pilewave-convert-XXXXXX";
            if (!::mkdtemp(szTemplate)) {
                std::perror("mkdtemp");
                Exit(1);
            }
            std::error_code error;
            fs::copy(*folder, szTemplate, fs::copy_options::recursive | fs::copy_options::overwrite_existing,
                     error);
            const SConvertResult result =
                error ? SConvertResult{} : ConvertFolder(szTemplate, *out, [](const std::string& sz) {
                    std::fprintf(stderr, "%s", sz.c_str());
                });
            fs::remove_all(szTemplate, error);
            if (!result.m_szMessage.empty()) std::fprintf(stderr, "%s\n", result.m_szMessage.c_str());
            if (!result.m_bWritten) Exit(1);
            std::printf("wrote %s (%d records)\n", out->c_str(), result.m_nRecords);
        });
    }
}

} // namespace pw::cli
