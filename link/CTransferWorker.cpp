// The transfer worker: sites are handled from the last entry of the list to the first; each is
// fetched into a work folder of its own inside the destination (a site named "3" must not meet the
// record file 3.wvf of another site), converted, and the work folder removed.
//
// A site reaches its own file name only when the fetch ended normally, no announced file was lost
// and every whole record "wvf.par" counts was read. Otherwise what did arrive is kept beside it as
// "<site>.incomplete.wvf" (numbered when that name is taken: an existing file is never replaced),
// so a pile the tester cannot deliver does not cost the others, and a complete file of the site from
// an earlier transfer stays as it was.
//
// A complete site never replaces a file either: the project the engineer edited from an earlier
// transfer lies under the same name. When that file holds exactly the new conversion nothing is
// written; otherwise the conversion takes the next free name ("site1-2.wvf"). Files of the site
// folder the conversion did not take (a record file shorter than a record, records beyond the
// count) are kept in "<site>.extra/" beside the target, also never over an existing file.
#include "link/CTransferWorker.h"

#include "core/GbkText.h"
#include "core/TextFormat.h"
#include "link/LinkTexts.h"
#include "link/TesterConversion.h"
#include "link/TesterFileName.h"

#include <algorithm>
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

// "name.ext" numbered: n = 1 gives it as it is, n = 2 "name-2.ext".
std::string NumberedName(const std::string& szName, int n) {
    if (n == 1) return szName;
    const size_t nDot = szName.rfind('.');
    const size_t nStem = nDot == std::string::npos || nDot == 0 ? szName.size() : nDot;
    return szName.substr(0, nStem) + "-" + std::to_string(n) + szName.substr(nStem);
}

bool SameBytes(const std::string& szA, const std::string& szB) {
    std::error_code error;
    const uintmax_t nA = fs::file_size(szA, error);
    if (error || fs::file_size(szB, error) != nA || error) return false;
    std::FILE* pA = std::fopen(szA.c_str(), "rb");
    std::FILE* pB = std::fopen(szB.c_str(), "rb");
    bool bSame = pA && pB;
    std::vector<char> a(65536), b(65536);
    while (bSame) {
        const size_t nReadA = std::fread(a.data(), 1, a.size(), pA);
        const size_t nReadB = std::fread(b.data(), 1, b.size(), pB);
        bSame = nReadA == nReadB && std::memcmp(a.data(), b.data(), nReadA) == 0;
        if (nReadA < a.size()) break;
    }
    if (pA) std::fclose(pA);
    if (pB) std::fclose(pB);
    return bSame;
}

// Moves szFrom into szFolder as szName, or the first free numbered name; a file there with exactly
// these bytes is taken as the one kept (szFrom is then removed). The name it went under, or empty
// with szReason set.
std::string KeepWithoutReplacing(const std::string& szFrom, const fs::path& folder, const std::string& szName,
                                 std::string& szReason) {
    for (int n = 1; n < 1000; ++n) {
        const std::string szCandidate = NumberedName(szName, n);
        const std::string szTo = (folder / szCandidate).string();
        bool bTaken = false;
        if (MoveWithoutReplacing(szFrom, szTo, bTaken)) return szCandidate;
        if (!bTaken) {
            szReason = std::strerror(errno);
            return std::string();
        }
        if (SameBytes(szFrom, szTo)) {
            std::remove(szFrom.c_str());
            return szCandidate;
        }
    }
    szReason = std::strerror(EEXIST);
    return std::string();
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

std::string CTransferWorker::CompleteLine(const SSiteResult& result) {
    if (result.eOutcome != ESiteOutcome::Complete) return std::string();
    const std::string szSite = GbkToUtf8(result.szSite);
    const std::string szFile = fs::path(result.szFile).filename().string();
    if (result.bUnchanged)
        return Format(LinkText::kSiteUnchanged, szSite.c_str(), result.nWritten, szFile.c_str());
    if (!result.szTakenName.empty())
        return Format(LinkText::kSiteSavedBeside, szSite.c_str(), result.nWritten, szFile.c_str(),
                      result.szTakenName.c_str());
    return Format(LinkText::kSiteComplete, szSite.c_str(), result.nWritten, szFile.c_str());
}

std::vector<std::string> CTransferWorker::SiteNotes(const SSiteResult& result) {
    std::vector<std::string> notes;
    const std::string szSite = GbkToUtf8(result.szSite);
    std::string szExtras;
    for (const SKeptFile& kept : result.kept) {
        if (kept.szKept.empty())
            notes.push_back(
                Format(LinkText::kExtraFileLost, szSite.c_str(), kept.szName.c_str(), kept.szReason.c_str()));
        else if (kept.bShortRecord)
            notes.push_back(Format(LinkText::kShortRecordKept, szSite.c_str(), kept.szName.c_str(),
                                   static_cast<unsigned long long>(kept.nSize), kept.szKept.c_str()));
        else
            szExtras += (szExtras.empty() ? "" : LinkText::kListSeparator) +
                        kept.szKept.substr(result.szExtraFolder.size());
    }
    if (!szExtras.empty())
        notes.push_back(Format(LinkText::kExtraFilesKept, szSite.c_str(), result.szExtraFolder.c_str(),
                               szExtras.c_str()));
    return notes;
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
    std::vector<std::string> notes;
    for (const SSiteResult& result : results) {
        if (result.eOutcome == ESiteOutcome::Complete && (result.bUnchanged || !result.szTakenName.empty()))
            notes.push_back(CompleteLine(result));
        for (std::string& szNote : SiteNotes(result))
            notes.push_back(std::move(szNote));
    }
    if (!notes.empty()) szMessage += std::string("\n\n") + LinkText::kSitesNoted;
    for (const std::string& szNote : notes)
        szMessage += "\n" + szNote;
    return szMessage;
}

bool CTransferWorker::AllComplete() const {
    for (const SSiteResult& result : m_Results)
        if (result.eOutcome != ESiteOutcome::Complete) return false;
    return true;
}

bool CTransferWorker::NothingToWarn() const {
    if (!AllComplete()) return false;
    for (const SSiteResult& result : m_Results)
        if (!result.szTakenName.empty() || !result.kept.empty()) return false;
    return true;
}

void CTransferWorker::Log(const std::string& szText) {
    if (m_Events.onLog) m_Events.onLog(szText);
}

void CTransferWorker::Run() {
    auto Progress = [&](int nValue) {
        if (!m_Events.pProgress) return;
        m_Events.pProgress->SetDone(nValue);
        if (m_Events.pProgress->IsCancelled()) RequestStop();
    };
    if (m_Events.pProgress) m_Events.pProgress->SetTotal(100);
    m_Results.clear();
    m_Written.clear();
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
        Log((result.eOutcome == ESiteOutcome::Complete ? CompleteLine(result) : SiteLine(result)) + "\r\n");
        for (const std::string& szNote : SiteNotes(result))
            Log(szNote + "\r\n");
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

    CConvertResult conversion;
    if (!report.bCancelled && !m_bStop)
        conversion = ConvertFolder(szWork, szConverted, [this](const std::string& sz) { Log(sz); });
    if (conversion.Done() && !report.bCancelled && !m_bStop)
        KeepLeftovers(szWork, szFileName, conversion.m_ShortFiles, result);
    std::error_code error;
    fs::remove_all(szWork, error);
    result.nExpected = conversion.m_nExpected;
    result.nWritten = conversion.m_nRecords;
    if (report.bCancelled || m_bStop) {
        result.eOutcome = ESiteOutcome::Cancelled;
    } else if (!conversion.Done()) {
        // No "wvf.par": after a fetch that broke off, the fetch is what went wrong.
        result.szReason = !bFetched                          ? LinkText::kFetchFailed
                          : !conversion.m_strMessage.empty() ? conversion.m_strMessage
                                                             : LinkText::kConvertOpenError;
    } else if (bFetched && report.failed.empty() && conversion.m_Missing.empty()) {
        PlaceComplete(szConverted, szFileName, result);
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

// The complete conversion goes under the site's file name, or the first numbered name that is free;
// a name holding exactly these bytes ends the search with nothing written. A name another site of
// this run wrote is passed over: two sites never share one file.
void CTransferWorker::PlaceComplete(const std::string& szConverted, const std::string& szFileName,
                                    SSiteResult& result) {
    const fs::path destination(m_Job.szDestination);
    for (int n = 1; n < 1000; ++n) {
        const std::string szName = NumberedName(szFileName, n);
        const std::string szTarget = (destination / szName).string();
        const auto itWritten = std::find_if(m_Written.begin(), m_Written.end(),
                                            [&](const auto& written) { return written.first == szTarget; });
        if (itWritten != m_Written.end() && itWritten->second != result.szSite) continue;
        bool bTaken = false;
        if (MoveWithoutReplacing(szConverted, szTarget, bTaken)) {
            result.eOutcome = ESiteOutcome::Complete;
            result.szFile = szTarget;
            if (n > 1) result.szTakenName = szFileName;
            m_Written.emplace_back(szTarget, result.szSite);
            return;
        }
        if (!bTaken) break;
        if (SameBytes(szConverted, szTarget)) {
            result.eOutcome = ESiteOutcome::Complete;
            result.szFile = szTarget;
            result.bUnchanged = true;
            m_Written.emplace_back(szTarget, result.szSite);
            return;
        }
    }
    result.szReason = LinkText::kConvertOpenError;
}

// Every file left in the work folder after the conversion goes into "<site>.extra/" beside the
// target, so that nothing the tester sent is thrown away.
void CTransferWorker::KeepLeftovers(const std::string& szWork, const std::string& szFileName,
                                    const std::vector<std::string>& shortFiles, SSiteResult& result) {
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(szWork, error))
        if (entry.is_regular_file(error)) files.push_back(entry.path());
    if (files.empty()) return;
    std::sort(files.begin(), files.end());
    const std::string szFolderName = szFileName.substr(0, szFileName.size() - 4) + ".extra";
    const fs::path folder = fs::path(m_Job.szDestination) / szFolderName;
    result.szExtraFolder = szFolderName + "/";
    fs::create_directory(folder, error);
    const std::string szNoFolder = error ? error.message() : std::string();
    for (const fs::path& file : files) {
        SKeptFile kept;
        const std::string szOnDisk = file.filename().string();
        kept.szName = GbkToUtf8(szOnDisk);
        kept.nSize = fs::file_size(file, error);
        if (error) kept.nSize = 0;
        kept.bShortRecord = std::find(shortFiles.begin(), shortFiles.end(), szOnDisk) != shortFiles.end();
        if (!szNoFolder.empty() || !fs::is_directory(folder, error)) {
            kept.szReason = szNoFolder.empty() ? std::strerror(ENOTDIR) : szNoFolder;
        } else {
            // Kept under its UTF-8 name, as the target is.
            const std::string szKept =
                KeepWithoutReplacing(file.string(), folder, kept.szName, kept.szReason);
            if (!szKept.empty()) kept.szKept = result.szExtraFolder + szKept;
        }
        result.kept.push_back(kept);
    }
}

void CTransferWorker::Start() {
    if (!m_Thread.joinable()) m_Thread = std::thread([this] { Run(); });
}

void CTransferWorker::Join() {
    if (m_Thread.joinable()) m_Thread.join();
}

} // namespace pw
