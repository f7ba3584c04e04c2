// The transfer worker: sites are handled from the last entry of the list to the first; each is
// fetched into a work folder of its own inside the destination (a site named "3" must not meet the
// record file 3.wvf of another site), converted, and the work folder removed.
#include "link/CTransferWorker.h"

#include "core/GbkText.h"
#include "link/TesterConversion.h"
#include "link/TesterFileName.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace pw {

namespace {

constexpr const char* kFetchFailed = "获取目录下所有文件失败！";
constexpr const char* kTransferDone = "WVF文件传输结束!";
constexpr const char* kRefusedSite = "Refused site name: %s\r\n";

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

void CTransferWorker::Run() {
    auto Progress = [&](int nValue) {
        if (m_Events.onProgress) m_Events.onProgress(nValue);
    };
    const int nLast = static_cast<int>(m_Job.sites.size()) - 1;
    const int nStep = nLast >= 1 ? static_cast<int>(100.0f / static_cast<float>(nLast)) : 0;
    for (int k = 0; k <= nLast; ++k) {
        const size_t nIndex = static_cast<size_t>(nLast - k);
        TransferSite(m_Job.sites[nIndex]);
        if (m_Events.onSiteDone) m_Events.onSiteDone(nIndex);
        Progress(k * nStep);
    }
    Progress(100);
    if (m_Events.onMessage) m_Events.onMessage(kTransferDone);
}

void CTransferWorker::TransferSite(const std::string& szSite) {
    const std::string szFileName = TargetFileName(szSite);
    if (szFileName.empty()) {
        char szLine[256];
        std::snprintf(szLine, sizeof szLine, kRefusedSite, GbkToUtf8(szSite).c_str());
        if (m_Events.onLog) m_Events.onLog(szLine);
        return;
    }
    namespace fs = std::filesystem;
    const fs::path destination(m_Job.szDestination);
    std::string szTemplate = (destination / ".pilewave-site-XXXXXX").string();
    std::vector<char> work(szTemplate.begin(), szTemplate.end());
    work.push_back('\0');
    const bool bWork = ::mkdtemp(work.data()) != nullptr;
    std::string szWork = bWork ? std::string(work.data()) : m_Job.szDestination;

    std::string szTesterFolder = m_Job.szTesterPath + szSite + "\\";
    std::string szLocal = szWork;
    if (!bWork || m_Link.Command(CParallelLink::kFetchDirectory, szTesterFolder, szLocal) == 0) {
        if (m_Events.onMessage) m_Events.onMessage(kFetchFailed);
    }
    if (bWork) {
        const SConvertResult result =
            ConvertFolder(szWork, (destination / szFileName).string(), m_Events.onLog);
        if (!result.m_szMessage.empty() && m_Events.onMessage) m_Events.onMessage(result.m_szMessage);
        std::error_code error;
        fs::remove_all(szWork, error);
    }
}

void CTransferWorker::Start() {
    if (!m_Thread.joinable()) m_Thread = std::thread([this] { Run(); });
}

void CTransferWorker::Join() {
    if (m_Thread.joinable()) m_Thread.join();
}

} // namespace pw
