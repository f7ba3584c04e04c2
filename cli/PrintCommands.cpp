// pilewave-cli print / picture: the printed pages as a PDF and the pictures of piles, drawn by the
// same code as the window's printing and picture export.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "cli/CConsoleProgress.h"
#include "cli/CliCommands.h"
#include "cli/CliText.h"
#include "cli/CliLoad.h"
#include "cli/ReportCommands.h"
#include "core/CByteSource.h"
#include "core/PictureFiles.h"
#include "view/CPagePrinter.h"
#include "view/CPilePicture.h"

namespace pw::cli {
namespace {

namespace fs = std::filesystem;

struct CChoice {
    std::string m_strPiles;
    int m_nPile = 0;
    bool m_bChecked = false;
    std::string m_strSettings;
};

CPrintSettings SettingsOrExit(const std::string& path) {
    if (path.empty()) return CPrintSettings::Defaults();
    if (!fs::is_regular_file(path)) {
        std::fprintf(stderr, "%s: no such settings file\n", path.c_str());
        Exit(1);
    }
    std::vector<std::string> notes;
    CPrintSettings s = LoadPrintSettings(path, &notes);
    for (const std::string& n : notes)
        std::fprintf(stderr, "%s: %s\n", path.c_str(), n.c_str());
    return s;
}

// Indices of the piles named, else of the ticked piles; in list order either way.
std::vector<int> ChosenPiles(const std::string& path, const CLoaded& loaded, const CChoice& choice) {
    const std::vector<CPileRecord>& piles = loaded.m_Data.m_Piles;
    std::vector<int> numbers;
    if (choice.m_nPile > 0) numbers.push_back(choice.m_nPile);
    if (!choice.m_strPiles.empty()) numbers = ParsePileList(choice.m_strPiles);
    std::vector<int> out;
    for (const int no : numbers) {
        bool found = false;
        for (std::size_t i = 0; i < piles.size() && !found; ++i)
            if (piles[i].m_nPileNo == no) out.push_back(static_cast<int>(i)), found = true;
        if (!found) {
            std::fprintf(stderr, "%s: no pile %d (the project holds %zu)\n", path.c_str(), no, piles.size());
            Exit(1);
        }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    if (numbers.empty()) out = PrintedPiles(piles, {});
    if (out.empty()) {
        std::fprintf(stderr, "%s: no pile is ticked; name them with --piles\n", path.c_str());
        Exit(1);
    }
    return out;
}

CLoaded LoadOrExit(const std::string& path) {
    CLoaded loaded = LoadAnyPath(path);
    ReportOrExit(path, loaded.m_Report);
    return loaded;
}

void RunPrint(const std::string& path, const CChoice& choice, const std::string& out) {
    CLoaded loaded = LoadOrExit(path);
    const std::vector<int> piles = ChosenPiles(path, loaded, choice);
    EnsureGuiApplication();
    CPrintJob job;
    for (const int i : piles)
        job.m_Piles.push_back(loaded.m_Data.m_Piles[static_cast<std::size_t>(i)]);
    job.m_Settings = SettingsOrExit(choice.m_strSettings);
    job.m_strTitle = fs::path(path).filename().string();
    job.m_strTestUnit = loaded.m_Data.m_Header.GetTestUnit();
    job.m_strSiteName = loaded.m_Data.m_Header.GetProjectName();
    job.m_Today = Today();
    CConsoleProgress progress;
    const CResult written = WritePrintPdf(job, out, &progress);
    if (written.Cancelled()) {
        std::fprintf(stderr, "%s: 已取消，未写文件 (cancelled, nothing written)\n", out.c_str());
        Exit(1);
    }
    if (!written.Ok()) {
        std::fprintf(stderr, "%s: %s\n", out.c_str(), written.CliText().c_str());
        Exit(1);
    }
    std::printf("wrote %s (%d pages, %zu piles)\n", out.c_str(), CPagePrinter(job).PageCount(), piles.size());
}

void RunPicture(const std::string& path, const CChoice& choice, const std::string& layoutName,
                const std::string& out) {
    CLoaded loaded = LoadOrExit(path);
    const std::vector<int> piles = ChosenPiles(path, loaded, choice);
    EnsureGuiApplication();
    CPictureOptions options;
    options.m_Settings = SettingsOrExit(choice.m_strSettings);
    const PictureLayout layout = layoutName == "amplitude" ? PictureLayout::Amplitude
                                 : layoutName == "power"   ? PictureLayout::Power
                                                           : PictureLayout::Single;
    const bool folder = fs::is_directory(out) || (!out.empty() && out.back() == '/');
    if (!folder && piles.size() > 1) {
        std::fprintf(stderr, "%s: several piles need a folder for -o\n", out.c_str());
        Exit(2);
    }
    if (folder) {
        std::error_code ec;
        fs::create_directories(out, ec);
    }
    // A file that cannot be written does not stop the others: every failure is named at the end.
    int written = 0;
    std::vector<std::string> failures;
    CConsoleProgress progress;
    progress.SetTotal(static_cast<int>(piles.size()));
    for (const int i : piles) {
        if (progress.IsCancelled()) break; // the pictures written so far stay; none is half written
        const CPileRecord& rec = loaded.m_Data.m_Piles[static_cast<std::size_t>(i)];
        const std::string file =
            folder ? (fs::path(out) / PictureFileName(rec.GetPileName(), rec.m_nPileNo)).string() : out;
        if (const CResult result = WritePilePicture(rec, layout, options, file); !result.Ok())
            failures.push_back(file + ": " + result.CliText());
        else
            ++written;
        progress.Advance();
    }
    std::printf("wrote %d picture%s\n", written, written == 1 ? "" : "s");
    if (progress.IsCancelled()) {
        std::fprintf(stderr, "已取消 (cancelled after %d of %zu)\n", progress.Done(), piles.size());
        Exit(1);
    }
    if (!failures.empty()) {
        std::fprintf(stderr, "%zu个波形图没有保存 (%zu picture%s not written):\n", failures.size(), failures.size(),
                     failures.size() == 1 ? "" : "s");
        for (const std::string& f : failures)
            std::fprintf(stderr, "  %s\n", f.c_str());
        Exit(1);
    }
}

} // namespace

void AddPrintCommands(CLI::App& app) {
    {
        auto* cmd = app.add_subcommand("print", "The printed pages of the ticked (or named) piles as a PDF");
        auto path = std::make_shared<std::string>();
        auto out = std::make_shared<std::string>();
        auto choice = std::make_shared<CChoice>();
        cmd->add_option("PATH", *path, "project file, tester folder, or a file inside one")->required();
        auto* piles =
            cmd->add_option("--piles", choice->m_strPiles, "print these piles (numbers such as 1,3)");
        cmd->add_flag("--checked", choice->m_bChecked, "print the ticked piles (the default)")
            ->excludes(piles);
        cmd->add_option("--settings", choice->m_strSettings,
                        "print settings (set.ini; default: the defaults)");
        cmd->add_option("-o,--output", *out, "the .pdf to write")->required();
        cmd->callback([=] { RunPrint(*path, *choice, *out); });
    }
    {
        auto* cmd =
            app.add_subcommand("picture", "Pictures of piles as .bmp or .png, one file or one per pile");
        auto path = std::make_shared<std::string>();
        auto out = std::make_shared<std::string>();
        auto layout = std::make_shared<std::string>("single");
        auto choice = std::make_shared<CChoice>();
        cmd->add_option("PATH", *path, "project file, tester folder, or a file inside one")->required();
        auto* pile = cmd->add_option("--pile", choice->m_nPile, "the picture of this pile");
        auto* piles = cmd->add_option("--piles", choice->m_strPiles, "these piles (numbers such as 1,3)")
                          ->excludes(pile);
        cmd->add_flag("--checked", choice->m_bChecked, "the ticked piles")->excludes(pile)->excludes(piles);
        cmd->add_option("--layout", *layout, "single, amplitude or power")
            ->check(CLI::IsMember({"single", "amplitude", "power"}));
        cmd->add_option("--settings", choice->m_strSettings, "print settings (set.ini): the information box");
        cmd->add_option("-o,--output", *out, "OUT.bmp, OUT.png, or a folder (one .bmp per pile)")->required();
        cmd->callback([=] {
            if (choice->m_nPile <= 0 && choice->m_strPiles.empty() && !choice->m_bChecked) {
                std::fprintf(stderr, "picture: name the piles with --pile, --piles or --checked\n");
                Exit(2);
            }
            RunPicture(*path, *choice, *layout, *out);
        });
    }
}

} // namespace pw::cli
