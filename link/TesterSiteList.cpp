// Fetching the tester's site list.
#include "link/TesterSiteList.h"

#include <cstdlib>
#include <filesystem>

namespace pw {

namespace fs = std::filesystem;

std::string SiteListFolder() {
    const char* szCache = std::getenv("XDG_CACHE_HOME");
    const char* szHome = std::getenv("HOME");
    const fs::path folder =
        szCache && *szCache ? fs::path(szCache) : fs::path(szHome && *szHome ? szHome : "/tmp") / ".cache";
    return (folder / "pilewave").string();
}

bool FetchSiteList(CParallelLink& link, const std::string& szFolder, std::string& szPath) {
    std::error_code error;
    fs::create_directories(szFolder, error);
    szPath = (fs::path(szFolder) / "rsite.par").string();
    fs::remove(szPath, error);
    std::string szTesterFile = "c:\\dat\\rsite.par", szLocal = szFolder;
    const int nResult = link.Command(CParallelLink::kFetchFile, szTesterFile, szLocal);
    szPath = szLocal;
    return nResult != 0 && fs::is_regular_file(szPath, error);
}

} // namespace pw
