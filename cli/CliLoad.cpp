// Path resolution and error reporting shared by the verbs.
#include "cli/CliLoad.h"

#include <cstdio>
#include <sys/stat.h>

#include "cli/CliCommands.h"
#include "core/TesterFolder.h"

namespace pw::cli {
namespace {

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

CLoaded LoadAnyPath(const std::string& path) {
    CLoaded loaded;
    const std::string dir = FolderOfPath(path).empty() ? "." : FolderOfPath(path);
    CDirectoryFolder folder(dir);
    const bool hasIndex = folder.Open("idindx.par") != nullptr;
    if (!IsDirectory(path)) {
        loaded.m_Report = LoadProjectFile(path, loaded.m_Data, &loaded.m_nVersion);
        // Not a project file: the open command's rule reads the folder the file lies in.
        if (loaded.m_nVersion != 0 || !hasIndex) return loaded;
        loaded = CLoaded{};
    }
    loaded.m_bFolder = true;
    loaded.m_Report = LoadFolder(folder, loaded.m_Data);
    if (!hasIndex) loaded.m_Report.m_Notes.push_back("no idindx.par in " + dir + ": an empty project");
    return loaded;
}

void ReportOrExit(const std::string& path, const CReadReport& report) {
    for (const auto& note : report.m_Notes) std::fprintf(stderr, "%s: note: %s\n", path.c_str(), note.c_str());
    if (!report.m_bOk) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), report.m_strError.c_str());
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

} // namespace pw::cli
