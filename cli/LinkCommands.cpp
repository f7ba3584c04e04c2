// pilewave-cli tester serve / transfer / convert-site: the tester emulator on a cable file, a
// transfer from a tester (real port or virtual cable), and the conversion of a copied site folder.
#include "cli/LinkCommands.h"

#include "cli/CConsoleProgress.h"
#include "cli/CliCommands.h"
#include "core/GbkText.h"
#include "link/CParallelLink.h"
#include "link/CTesterEmulator.h"
#include "link/CTransferWorker.h"
#include "link/TesterConversion.h"
#include "link/TesterFault.h"
#include "link/TesterSampleStorage.h"
#include "link/TesterSiteList.h"
#include "link/platform/CPortAccess.h"
#include "link/platform/CVirtualCablePort.h"

#include <algorithm>
#include <atomic>
#include <cctype>
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

bool EqualsNoCase(const std::string& szA, const std::string& szB) {
    return szA.size() == szB.size() && std::equal(szA.begin(), szA.end(), szB.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

std::atomic<bool> g_bInterrupted{false};
extern "C" void OnInterrupt(int) {
    g_bInterrupted = true;
}

struct STransferOptions {
    std::string szPort, szDest;
    std::vector<std::string> sites;
    bool bList = false;
    bool bDemo = false;
    std::string szFault = "none"; // with --demo: the emulator's fault
    int64_t nReadCostNs = kDefaultReadCostNs;
};

// Log texts come "\r\n"-framed as the tester's own program wrote them: one line each here.
void PrintLog(const std::string& szText) {
    size_t nStart = 0;
    while (nStart < szText.size()) {
        size_t nEnd = szText.find_first_of("\r\n", nStart);
        if (nEnd == std::string::npos) nEnd = szText.size();
        if (nEnd > nStart) std::fprintf(stderr, "%s\n", szText.substr(nStart, nEnd - nStart).c_str());
        nStart = nEnd + 1;
    }
}

void RunTransfer(const STransferOptions& options, std::shared_ptr<CPortAccess> pPort,
                 const std::string& szError) {
    CParallelLink link(std::move(pPort), szError);
    if (!link.HasPort()) {
        std::fprintf(stderr, "%s\n", szError.c_str());
        Exit(1);
    }
    if (options.bList) {
        std::string szPath;
        if (!FetchSiteList(link, SiteListFolder(), szPath)) {
            // Never an earlier run's list in place of the tester's answer.
            std::fprintf(stderr, "%s (the tester did not send its site list: %s)\n", kConnectFailed,
                         link.StatusText());
            Exit(1);
        }
        std::vector<std::string> sites;
        if (!ReadSiteList(szPath, sites)) {
            std::fprintf(stderr, "%s (%s)\n", kSiteListOpenFailed, szPath.c_str());
            Exit(1);
        }
        for (const std::string& szSite : sites)
            std::printf("%s\n", GbkToUtf8(szSite).c_str());
        std::fflush(stdout);
    }
    if (options.sites.empty()) return;
    STransferJob job;
    job.szDestination = options.szDest;
    for (const std::string& szSite : options.sites)
        job.sites.push_back(Utf8ToGbk(szSite));
    // Progress and log on stderr as they happen; what became of each site and the final message on
    // stdout, flushed line by line so that both streams read in order on one terminal.
    STransferEvents events;
    CConsoleProgress progress(0); // Ctrl-C stops after the site being fetched, which stays whole
    events.pProgress = &progress;
    events.onLog = PrintLog;
    events.onSiteDone = [](size_t, const SSiteResult& result) {
        if (result.eOutcome == ESiteOutcome::Complete) {
            std::string szDetail;
            if (result.bUnchanged)
                szDetail = " (unchanged: the file holds this conversion already)";
            else if (!result.szTakenName.empty())
                szDetail = " (" + result.szTakenName + " exists and was not replaced)";
            std::printf("%s: %d records -> %s%s\n", GbkToUtf8(result.szSite).c_str(), result.nWritten,
                        result.szFile.c_str(), szDetail.c_str());
        } else {
            std::printf("%s\n", CTransferWorker::SiteLine(result).c_str());
        }
        for (const std::string& szNote : CTransferWorker::SiteNotes(result))
            std::printf("%s\n", szNote.c_str());
        std::fflush(stdout);
    };
    CTransferWorker worker(link, job, events);
    worker.Run();
    std::printf("%s\n", CTransferWorker::FinalMessage(worker.Results()).c_str());
    std::fflush(stdout);
    if (!worker.AllComplete()) {
        if (*link.StatusText())
            std::fprintf(stderr, "not every site arrived complete (link status: %s)\n", link.StatusText());
        else
            std::fprintf(stderr, "not every site arrived complete\n");
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
    ParseTesterFault(options.szFault, emulatorOptions.fault); // checked by the caller
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
                        "folder laid out like the tester's C:\\DAT (RSITE.PAR, one folder per site). Folder "
                        "and file names may be in GBK bytes, as the tester keeps them, or in UTF-8: UTF-8 "
                        "names (also those inside RSITE.PAR) are served in GBK")
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
            "transfer",
            "List the tester's sites, or fetch and convert sites into WVF02 files. Exit status 0 only when "
            "every site arrived complete; a site with missing or short piles is kept as "
            "<site>.incomplete.wvf. No file is ever replaced: a site whose file exists with other data "
            "takes the next free name (<site>-2.wvf), one with the same data leaves it unchanged; files "
            "beyond the record count and short record files are kept in <site>.extra/");
        auto options = std::make_shared<STransferOptions>();
        auto* port = cmd->add_option("--port", options->szPort,
                                     "sim:PATH (virtual cable file) or ppdev:/dev/parportN");
        cmd->add_flag("--demo", options->bDemo,
                      "run the tester emulator in this process on a sample storage (sites DEMO1, DEMO2)")
            ->excludes(port);
        cmd->add_flag("--list", options->bList, "print the tester's site list");
        cmd->add_option("--site", options->sites, "a site to fetch and convert (repeatable)");
        cmd->add_option("--dest", options->szDest, "destination folder of the converted files");
        cmd->add_option("--fault", options->szFault,
                        std::string("with --demo, a fault the emulator injects: ") + TesterFaultList());
        cmd->add_option("--read-cost-ns", options->nReadCostNs,
                        "cost of one port read on the virtual cable, ns");
        cmd->callback([options] {
            if (!options->bDemo && options->szPort.empty()) {
                std::fprintf(stderr, "give --port or --demo\n");
                Exit(2);
            }
            STesterFault fault;
            if (!ParseTesterFault(options->szFault, fault) || (!options->bDemo && fault.eKind != ETesterFault::None)) {
                std::fprintf(stderr, "--fault takes one of %s, and only with --demo\n", TesterFaultList());
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
            "convert-site", "Convert a folder of tester files (wvf.par, n.wvf) into one WVF02 file; exit "
                            "status 1 (the file still written) when record files are missing or shorter "
                            "than a record");
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
            const CConvertResult result =
                error ? CConvertResult{} : ConvertFolder(szTemplate, *out, PrintLog);
            // What the conversion left in the copy: short record files, and files it did not take.
            std::string szShort, szLeft;
            for (const auto& entry : fs::directory_iterator(szTemplate, error)) {
                const std::string szName = entry.path().filename().string();
                std::error_code sizeError;
                const uintmax_t nSize = fs::file_size(entry.path(), sizeError);
                if (std::find(result.m_ShortFiles.begin(), result.m_ShortFiles.end(), szName) !=
                    result.m_ShortFiles.end())
                    szShort +=
                        (szShort.empty() ? "" : ", ") + szName + " (" + std::to_string(nSize) + " bytes)";
                else if (result.Done())
                    szLeft += (szLeft.empty() ? "" : ", ") + GbkToUtf8(szName);
            }
            fs::remove_all(szTemplate, error);
            if (!result.Done()) {
                std::fprintf(stderr, "%s\n", result.CliText().c_str());
                Exit(1);
            }
            std::printf("wrote %s (%d of %d records)\n", out->c_str(), result.m_nRecords, result.m_nExpected);
            std::fflush(stdout);
            if (!szLeft.empty())
                std::fprintf(stderr,
                             "not converted (beyond the record count of wvf.par, or not record files): %s\n",
                             szLeft.c_str());
            if (!result.m_Missing.empty()) {
                std::string szMissing;
                for (const int n : result.m_Missing) {
                    const std::string szName = std::to_string(n) + ".wvf";
                    const bool bShort =
                        std::any_of(result.m_ShortFiles.begin(), result.m_ShortFiles.end(),
                                    [&](const std::string& sz) { return EqualsNoCase(sz, szName); });
                    if (!bShort) szMissing += (szMissing.empty() ? "" : ", ") + szName;
                }
                if (!szMissing.empty()) std::fprintf(stderr, "missing record files: %s\n", szMissing.c_str());
                if (!szShort.empty())
                    std::fprintf(stderr,
                                 "record files shorter than a record (%zu bytes), not converted: %s\n",
                                 kInstrumentRecordSize, szShort.c_str());
                Exit(1);
            }
        });
    }
}

} // namespace pw::cli
