// Path resolution and error reporting shared by the verbs.
#include "cli/CliLoad.h"

#include <cstdio>

#include "cli/CliCommands.h"
#include "core/PileSource.h"
#include "core/ReadErrorText.h"
#include "core/ReportContent.h"

namespace pw::cli {

CLoaded LoadAnyPath(const std::string& path) {
    CPileSource source = OpenPileSource(path);
    CLoaded loaded;
    loaded.m_nKind = source.m_nKind;
    loaded.m_bFolder =
        source.m_nKind == SourceKind::kTesterFolder || source.m_nKind == SourceKind::kNoIndexFolder;
    loaded.m_nVersion = source.m_nVersion;
    loaded.m_Data = std::move(source.m_Data);
    loaded.m_Report = std::move(source.m_Report);
    if (source.m_nKind == SourceKind::kNoIndexFolder && source.m_bNamedFile) {
        // A named file that is no project file, in a folder that is no tester folder: the window
        // shows an empty project, but a script asked for this file, so say what is wrong with it.
        loaded.m_Report = std::move(source.m_NotProject);
    }
    return loaded;
}

void ReportOrExit(const std::string& path, const CReadReport& report) {
    for (const auto& note : report.m_Notes) std::fprintf(stderr, "%s: note: %s\n", path.c_str(), note.c_str());
    if (!report.m_bOk) {
        // The sentence the window shows, then the technical detail.
        std::fprintf(stderr, "%s: %s (%s)\n", path.c_str(), ReadErrorText(report, "").c_str(),
                     report.m_strError.c_str());
        Exit(1);
    }
}

std::vector<int> ParsePileList(const std::string& text) {
    std::vector<int> out;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t comma = text.find(',', pos);
        const std::string item = text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        char* end = nullptr;
        const long v = std::strtol(item.c_str(), &end, 10);
        if (item.empty() || *end != '\0' || v < 1 || v > 32767) {
            std::fprintf(stderr, "--piles: \"%s\" is not a list of pile numbers such as 1,3,5\n", text.c_str());
            Exit(2);
        }
        out.push_back(static_cast<int>(v));
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return out;
}

std::vector<int> ChosenRecords(const std::string& path, const std::vector<CPileRecord>& records,
                               const std::string& piles, bool checked) {
    std::vector<int> indices;
    if (!piles.empty()) {
        for (int no : ParsePileList(piles)) {
            if (no < 1 || no > static_cast<int>(records.size())) {
                std::fprintf(stderr, "%s: no pile %d (the project holds %zu)\n", path.c_str(), no, records.size());
                Exit(1);
            }
            indices.push_back(no - 1);
        }
    } else if (checked) {
        indices = TickedPilesInNameOrder(records);
        if (indices.empty()) {
            std::fprintf(stderr, "%s: no pile is ticked\n", path.c_str());
            Exit(1);
        }
    }
    return indices;
}

CLoaded LoadWithTicks(const std::string& path, const CPileChoice& choice) {
    CLoaded loaded = LoadAnyPath(path);
    ReportOrExit(path, loaded.m_Report);
    if (!choice.m_strPiles.empty()) {
        const std::vector<int> numbers = ParsePileList(choice.m_strPiles);
        for (auto& rec : loaded.m_Data.m_Piles)
            rec.m_bChecked = 0;
        for (int no : numbers) {
            bool found = false;
            for (auto& rec : loaded.m_Data.m_Piles)
                if (rec.m_nPileNo == no) rec.m_bChecked = 1, found = true;
            if (!found) {
                std::fprintf(stderr, "%s: no pile %d (the project holds %zu)\n", path.c_str(), no,
                             loaded.m_Data.m_Piles.size());
                Exit(1);
            }
        }
    }
    return loaded;
}

std::shared_ptr<CRecordScope> AddRecordScope(CLI::App& cmd) {
    auto scope = std::make_shared<CRecordScope>();
    cmd.add_option("PATH", scope->m_strPath, "project file, tester folder, or a file inside one")->required();
    auto* piles = cmd.add_option("--piles", scope->m_Choice.m_strPiles, "only these piles (numbers such as 1,3)");
    cmd.add_flag("--checked", scope->m_Choice.m_bChecked, "only the ticked piles")->excludes(piles);
    return scope;
}

std::vector<int> LoadScope(const CRecordScope& scope, CLoaded& loaded) {
    loaded = LoadAnyPath(scope.m_strPath);
    ReportOrExit(scope.m_strPath, loaded.m_Report);
    return ChosenRecords(scope.m_strPath, loaded.m_Data.m_Piles, scope.m_Choice.m_strPiles, scope.m_Choice.m_bChecked);
}

} // namespace pw::cli
