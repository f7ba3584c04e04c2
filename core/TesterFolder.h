// The tester folder: "idindx.par" (pile count) and one per-pile file "%d.wvf" for piles 1..N.
// The folder is reached through CFolderSource so tests and fuzzers can serve it from memory.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/CByteSource.h"
#include "core/ProjectFile.h"

namespace pw {

class CFolderSource {
public:
    virtual ~CFolderSource() = default;
    // The named file of the folder, or nullptr when it cannot be opened.
    virtual std::unique_ptr<CByteSource> Open(const std::string& name) = 0;
};

class CDirectoryFolder final : public CFolderSource {
public:
    explicit CDirectoryFolder(std::string dir) : m_strDir(std::move(dir)) {}
    std::unique_ptr<CByteSource> Open(const std::string& name) override;

private:
    std::string m_strDir;
};

// Files held in memory, by name (tests, fuzzing).
class CMemoryFolder final : public CFolderSource {
public:
    std::unique_ptr<CByteSource> Open(const std::string& name) override;
    std::map<std::string, std::vector<uint8_t>> m_Files;
};

// The folder of a path the user opened: everything up to its last separator ('/' or '\\'); a path
// that is a directory is its own folder. Empty text for a bare file name means the current folder.
std::string FolderOfPath(const std::string& path);

// N from "idindx.par" (the int16 at offset 42); 0 when the file is missing or too short.
int ReadFolderCount(CFolderSource& folder);

// One per-pile file (4296 bytes) into rec; the pile number becomes n, the date "2013-12-12",
// pre-zero, post-cut, shift y and smoothing 0. False (rec untouched) when src ends early.
bool ReadPileFile(CPileRecord& rec, CByteSource& src, int n);

// Every pile of the folder. A missing per-pile file leaves its record as constructed (numbered n);
// a count above kMaxPiles reads the first kMaxPiles. The header texts of out are left as they are.
CReadReport LoadFolder(CFolderSource& folder, CProjectData& out);

} // namespace pw
