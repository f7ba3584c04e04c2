// The tester's site list on this PC: where it is kept, and fetching it so that an old copy can never
// pass for the tester's answer.
#pragma once

#include "link/CParallelLink.h"

#include <string>

namespace pw {

// The folder that holds the fetched site list: $XDG_CACHE_HOME/pilewave, else ~/.cache/pilewave.
std::string SiteListFolder();

// Fetches the tester's "c:\dat\rsite.par" into szFolder (made when missing); szPath receives the
// local file's path. A copy left by an earlier fetch is removed first, so that when the tester does
// not answer (or answers with something other than the file) there is no list at all rather than a
// stale one. False when no list arrived; the link's status text then says what the link saw.
bool FetchSiteList(CParallelLink& link, const std::string& szFolder, std::string& szPath);

} // namespace pw
