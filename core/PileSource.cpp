// The one rule for what a path names.
#include "core/PileSource.h"

#include <sys/stat.h>

#include <filesystem>

#include "core/TesterFolder.h"

namespace pw {

CPileSource OpenPileSource(const std::string& path) {
    CPileSource out;
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0) {
        out.m_Report.Fail(ReadError::kCannotOpen, 0, -1, "cannot open: no such file or folder");
        return out;
    }
    out.m_bNamedFile = !S_ISDIR(st.st_mode);
    if (out.m_bNamedFile) {
        out.m_Report = LoadProjectFile(path, out.m_Data, &out.m_nVersion);
        if (out.m_nVersion != 0) {
            out.m_nKind = SourceKind::kProjectFile;
            return out;
        }
        if (out.m_Report.m_nError == ReadError::kCannotOpen) return out; // exists, but cannot be read
        // Not a project file: the tester folder it lies in.
        out.m_NotProject = std::move(out.m_Report);
        out.m_Report = CReadReport{};
        out.m_Data = CProjectData{};
    }
    out.m_strFolder = FolderOfPath(path);
    if (out.m_strFolder.empty()) out.m_strFolder = ".";
    CDirectoryFolder folder(out.m_strFolder);
    const bool hasIndex = folder.Open("idindx.par") != nullptr;
    out.m_Report = LoadFolder(folder, out.m_Data);
    out.m_nKind = hasIndex ? SourceKind::kTesterFolder : SourceKind::kNoIndexFolder;
    if (!hasIndex)
        out.m_Report.m_Notes.push_back("no idindx.par in " + out.m_strFolder + ": an empty project");
    return out;
}

std::string ProjectPathBesideFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path dir = fs::absolute(fs::path(folder.empty() ? "." : folder), ec).lexically_normal();
    if (!dir.has_filename()) dir = dir.parent_path(); // "/a/site/" names the folder "site"
    if (dir.filename().empty() || dir == dir.root_path()) return (dir / "New_Data.wvf").string();
    return (dir.parent_path() / (dir.filename().string() + ".wvf")).string();
}

bool IsReplaceableByProject(const std::string& path, std::string* why) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return true; // a new file
    auto refuse = [why](const char* text) {
        if (why) *why = text;
        return false;
    };
    if (S_ISDIR(st.st_mode)) return refuse("is a folder");
    if (!S_ISREG(st.st_mode)) return refuse("is not a regular file");
    if (st.st_size == 0) return true;
    std::string error;
    auto src = CFileSource::Open(path, &error);
    if (!src) return refuse("cannot be read");
    if (ReadVersion(*src) == 0) return refuse("exists and is not a project file");
    return true;
}

const char* SourceKindName(SourceKind kind) {
    switch (kind) {
    case SourceKind::kProjectFile:
        return "project file";
    case SourceKind::kTesterFolder:
        return "tester folder";
    case SourceKind::kNoIndexFolder:
        return "folder without idindx.par";
    case SourceKind::kUnreadable:
        break;
    }
    return "unreadable";
}

} // namespace pw
