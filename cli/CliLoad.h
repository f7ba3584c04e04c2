// Reading whatever path the user names, as the window's open and merge do.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/PileSource.h"
#include "core/ProjectFile.h"

namespace CLI {
class App;
}

namespace pw::cli {

struct CLoaded {
    CProjectData m_Data;
    SourceKind m_nKind = SourceKind::kUnreadable;
    bool m_bFolder = false; // read as a tester folder
    int m_nVersion = 0;     // project file version, 0 for a folder
    CReadReport m_Report;
};

// What the window would open (OpenPileSource): a project file of any version, otherwise the tester
// folder the path names or lies in. A named file that is neither fails with why it is no project file.
CLoaded LoadAnyPath(const std::string& path);

// Prints the repairs of a read to stderr; on failure one line naming the file and what is wrong,
// then ends the verb with exit code 1.
void ReportOrExit(const std::string& path, const CReadReport& report);

// Parses "1,3,5" into pile numbers; exits 1 with a message on anything else.
std::vector<int> ParsePileList(const std::string& text);

// The records a verb looks at: those numbered in `piles` ("1,3": 1..N in file order), else with
// `checked` the ticked ones in name order, else none (the verb then takes all). A number outside the
// project, or no tick at all, ends the verb with exit code 1.
std::vector<int> ChosenRecords(const std::string& path, const std::vector<CPileRecord>& records,
                               const std::string& piles, bool checked);

// The piles the report and the table cover: the named ones, else the ticked ones.
struct CPileChoice {
    std::string m_strPiles; // "1,3,5": these piles are reported, whatever their ticks
    bool m_bChecked = false;
};

// The project, with the ticks the report and the table go by (a pile not in it ends the verb).
CLoaded LoadWithTicks(const std::string& path, const CPileChoice& choice);

// What a verb that looks at a site (check, site-speed) is given: PATH, then --piles or --checked.
struct CRecordScope {
    std::string m_strPath;
    CPileChoice m_Choice;
};
// Adds PATH, --piles and --checked to the verb; the values land in the returned scope.
std::shared_ptr<CRecordScope> AddRecordScope(CLI::App& cmd);
// Loads the scope's path (repairs on stderr; a failed read ends the verb) and returns the records it
// chooses (none: every record), as ChosenRecords.
std::vector<int> LoadScope(const CRecordScope& scope, CLoaded& loaded);

} // namespace pw::cli
