// What a path the user names holds, decided in one place for the window and the command line: a
// project file by its magic, otherwise the tester folder the path names or lies in.
#pragma once

#include <string>

#include "core/ProjectFile.h"

namespace pw {

enum class SourceKind {
    kUnreadable,    // the path does not exist or cannot be read at all
    kProjectFile,   // a project file of any version ("ZOV01", "WVF02", "WVF03")
    kTesterFolder,  // a folder with idindx.par and its per-pile files 1.wvf, 2.wvf, ...
    kNoIndexFolder, // a folder without idindx.par: an empty project
};

struct CPileSource {
    SourceKind m_nKind = SourceKind::kUnreadable;
    int m_nVersion = 0;        // project file version; 0 for a folder
    std::string m_strFolder;   // the folder read, for the two folder kinds
    bool m_bNamedFile = false; // the path named a file rather than a folder
    CProjectData m_Data;       // numbered 1..N
    CReadReport m_Report;      // what the read met
    // For a file read as its folder: why it is not a project file ("bad magic ...").
    CReadReport m_NotProject;
};

CPileSource OpenPileSource(const std::string& path);

// The project file a tester folder is saved to: "<folder name>.wvf" beside the folder, never inside
// it (in a tester folder named "3" that name is the per-pile file 3.wvf).
std::string ProjectPathBesideFolder(const std::string& folder);

// Whether a project file may be written at path: a path that does not exist yet, an empty file, or
// a project file. Anything else (a tester folder's idindx.par or per-pile file, a folder, another
// program's file) is refused, and why says why in English.
bool IsReplaceableByProject(const std::string& path, std::string* why = nullptr);

// "project file", "tester folder", "folder without idindx.par", "unreadable".
const char* SourceKindName(SourceKind kind);

} // namespace pw
