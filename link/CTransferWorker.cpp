// The transfer worker: sites are handled from the last entry of the list to the first; each is
// fetched into a work folder of its own inside the destination (a site named "3" must not meet the
// record file 3.wvf of another site), converted, and the work folder removed.
//
// A site reaches its own file name only when the fetch ended normally, no announced file was lost
// and every record "wvf.par" counts was read. Otherwise what did arrive is kept beside it as
// "<site>.incomplete.wvf" (numbered when that name is taken: an existing file is never replaced),
// so a pile the tester cannot deliver does not cost the others, and a complete file of the site from
// an earlier transfer stays as it was.
#include "link/CTransferWorker.h"

#include "core/GbkText.h"
#include "link/LinkTexts.h"
#include "link/TesterConversion.h"
#include "link/TesterFileName.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace pw {

namespace {

namespace fs = std::filesystem;

// printf into a string; the formats are the texts of LinkTexts.h.
template <class... TArgs> std::string Format(const char* szFormat, TArgs... args) {
    const int nLength = std::snprintf(nullptr, 0, szFormat, args...);
    if (nLength <= 0) return std::string();
    std::string szText(static_cast<size_t>(nLength), '\0');
    std::snprintf(szText.data(), szText.size() + 1, szFormat, args...);
    return szText;
}

// Moves szFrom to szTo only when szTo does not exist; false (szFrom untouched) when it does or the
// move fails otherwise. renameat2 where the file system knows it, else a hard link, else a check
// and a rename (a file system without links, such as a FAT memory stick).
bool MoveWithoutReplacing(const std::string& szFrom, const std::string& szTo, bool& bTaken) {
    bTaken = false;
    if (::renameat2(AT_FDCWD, szFrom.c_str(), AT_FDCWD, szTo.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EEXIST) {
        bTaken = true;
        return false;
    }
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (::link(szFrom.c_str(), szTo.c_str()) == 0) {
        ::unlink(szFrom.c_str());
        return true;
    }
    if (errno == EEXIST) {
        bTaken = true;
        return false;
    }
    std::error_code error;
    if (fs::exists(szTo, error) || error) {
        bTaken = true;
        return false;
    }
    return std::rename(szFrom.c_str(), szTo.c_str()) == 0;
}

} // namespace

std::string CTransferWorker::TargetFileName(const std::string& szSite) {
    std::string szPlain;
    if (!ReducePlainFileName(szSite, szPlain) || szPlain != szSite) return std::string();
    std::string szName = GbkToUtf8(szSite);
    // Only the file name is lowered: the destination folder is the user's and may hold capitals
    // (the folders of a case-sensitive file system would not be found otherwise).
    if (szName.size() < 4 || szName.compare(szName.size() - 4, 4, ".wvf") != 0) szName += ".wvf";
    for (char& c : szName)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return szName;
}

std::string CTransferWorker::SiteLine(const SSiteResult& result) {
    const std::string szSite = GbkToUtf8(result.szSite);
    const std::string szFile = fs::path(result.szFile).filename().string();
    switch (result.eOutcome) {
    case ESiteOutcome::Complete:
        return std::string();
    case ESiteOutcome::Incomplete:
        if (result.nWritten < result.nExpected)
            return Format(LinkText::kSiteIncomplete, szSite.c_str(), result.nExpected, result.nWritten,
                          szFile.c_str());
        return Format(LinkText::kSiteUnfinished, szSite.c_str(), result.nWritten, szFile.c_str());
    case ESiteOutcome::Failed:
        return Format(LinkText::kSiteFailed, szSite.c_str(), result.szReason.c_str());
    case ESiteOutcome::Cancelled:
        return Format(LinkText::kSiteCancelled, szSite.c_str());
    }
    return std::string();
}

std::string CTransferWorker::FinalMessage(const std::vector<SSiteResult>& results) {
    std::string szMessage = LinkText::kTransferDone;
    bool bFirst = true;
    for (const SSiteResult& result : results) {
        if (result.eOutcome == ESiteOutcome::Complete) continue;
        if (bFirst) szMessage += std::string("\n\n") + LinkText::kSitesNotComplete;
        bFirst = false;
        szMessage += "\n" + SiteLine(result);
    }
    return szMessage;
}

bool CTransferWorker::AllComplete() const {
    for (const SSiteResult& result : m_Results)
        if (result.eOutcome != ESiteOutcome::Complete) return false;
    return true;
}

void CTransferWorker::Log(const std::string& szText) {
    if (m_Events.onLog) m_Events.onLog(szText);
}

void CTransferWorker::Run() {
    auto Progress = [&](int nValue) {
        if (m_Events.onProgress) m_Events.onProgress(nValue);
    };
    m_Results.clear();
    m_Link.SetCancelFlag(&m_bStop);
    // A destination that does not exist yet is made (the user named it); one that cannot be made
    // fails every site with the reason, rather than as a failed fetch.
    std::error_code error;
    fs::create_directories(m_Job.szDestination, error);
    const std::string szNoDestination =
        error ? Format(LinkText::kNoDestination, m_Job.szDestination.c_str(), error.message().c_str())
              : std::string();
    const int nLast = static_cast<int>(m_Job.sites.size()) - 1;
    const int nStep = nLast >= 1 ? static_cast<int>(100.0f / static_cast<float>(nLast)) : 0;
    for (int k = 0; k <= nLast && !m_bStop; ++k) {
        const size_t nIndex = static_cast<size_t>(nLast - k);
        SSiteResult result;
        if (!szNoDestination.empty()) {
            result.szSite = m_Job.sites[nIndex];
            result.szReason = szNoDestination;
        } else {
            result = TransferSite(m_Job.sites[nIndex]);
        }
        m_Results.push_back(result);
        if (result.eOutcome == ESiteOutcome::Cancelled) break;
        if (result.eOutcome != ESiteOutcome::Complete)
            Log(SiteLine(result) + "\r\n");
        else
            Log(Format(LinkText::kSiteComplete, GbkToUtf8(result.szSite).c_str(), result.nWritten,
                       fs::path(result.szFile).filename().string().c_str()) +
                "\r\n");
        if (m_Events.onSiteDone) m_Events.onSiteDone(nIndex, result);
        Progress(k * nStep);
    }
    m_Link.SetCancelFlag(nullptr);
    const bool bCancelled = m_bStop.load();
    if (!bCancelled) Progress(100);
    // A stop the user asked for needs no message, unless a site went wrong before it.
    bool bProblems = false;
    for (const SSiteResult& result : m_Results)
        bProblems = bProblems ||
                    (result.eOutcome != ESiteOutcome::Complete && result.eOutcome != ESiteOutcome::Cancelled);
    if (m_Events.onMessage && (!bCancelled || bProblems)) m_Events.onMessage(FinalMessage(m_Results));
}

SSiteResult CTransferWorker::TransferSite(const std::string& szSite) {
    SSiteResult result;
    result.szSite = szSite;
    const std::string szFileName = TargetFileName(szSite);
    if (szFileName.empty()) {
        char szLine[256];
        std::snprintf(szLine, sizeof szLine, LinkText::kRefusedSite, GbkToUtf8(szSite).c_str());
        Log(szLine);
        result.szReason = LinkText::kBadSiteName;
        return result;
    }
    const fs::path destination(m_Job.szDestination);
    std::string szTemplate = (destination / ".pilewave-site-XXXXXX").string();
    std::vector<char> work(szTemplate.begin(), szTemplate.end());
    work.push_back('\0');
    if (!::mkdtemp(work.data())) {
        result.szReason = Format(LinkText::kNoWorkFolder, std::strerror(errno));
        return result;
    }
    const std::string szWork(work.data());
    // The converted file is made beside the target, so that the last step is a rename.
    std::string szConverted = szWork + ".wvf";

    std::string szTesterFolder = m_Job.szTesterPath + szSite + "\\";
    std::string szLocal = szWork;
    const bool bFetched = m_Link.Command(CParallelLink::kFetchDirectory, szTesterFolder, szLocal) == 1;
    const SFetchReport report = m_Link.LastFetch();
    if (!bFetched) Log(std::string(LinkText::kFetchFailed) + "\r\n");

    SConvertResult conversion;
    if (!report.bCancelled && !m_bStop)
        conversion = ConvertFolder(szWork, szConverted, [this](const std::string& sz) { Log(sz); });
    std::error_code error;
    fs::remove_all(szWork, error);
    result.nExpected = conversion.m_nExpected;
    result.nWritten = conversion.m_nRecords;
    if (report.bCancelled || m_bStop) {
        result.eOutcome = ESiteOutcome::Cancelled;
    } else if (!conversion.m_bWritten) {
        // No "wvf.par": after a fetch that broke off, the fetch is what went wrong.
        result.szReason = !bFetched                         ? LinkText::kFetchFailed
                          : !conversion.m_szMessage.empty() ? conversion.m_szMessage
                                                            : LinkText::kConvertOpenError;
    } else if (bFetched && report.failed.empty() && conversion.m_Missing.empty()) {
        const std::string szTarget = (destination / szFileName).string();
        if (std::rename(szConverted.c_str(), szTarget.c_str()) == 0) {
            result.eOutcome = ESiteOutcome::Complete;
            result.szFile = szTarget;
        } else {
            result.szReason = LinkText::kConvertOpenError;
        }
    } else {
        const std::string szStem = szFileName.substr(0, szFileName.size() - 4) + ".incomplete";
        for (int n = 1; n < 1000 && result.szFile.empty(); ++n) {
            const std::string szTarget =
                (destination / (szStem + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".wvf"))
                    .string();
            bool bTaken = false;
            if (MoveWithoutReplacing(szConverted, szTarget, bTaken)) {
                result.eOutcome = ESiteOutcome::Incomplete;
                result.szFile = szTarget;
            } else if (!bTaken) {
                break;
            }
        }
        if (result.szFile.empty()) result.szReason = LinkText::kConvertOpenError;
    }
    fs::remove(szConverted, error); // left only when it could not be placed
    return result;
}

void CTransferWorker::Start() {
    if (!m_Thread.joinable()) m_Thread = std::thread([this] { Run(); });
}

void CTransferWorker::Join() {
    if (m_Thread.joinable()) m_Thread.join();
}

} // namespace pw
