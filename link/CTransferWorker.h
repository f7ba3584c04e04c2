// The transfer of chosen tester sites: each site folder is fetched over the link and converted into
// one WVF02 file in the destination. GUI-free: inputs are copied at construction, progress, log
// texts and messages leave through callbacks (on the worker's thread).
#pragma once

#include "link/CParallelLink.h"

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace pw {

struct STransferJob {
    std::string szTesterPath = "C:\\DAT\\"; // tester folder holding the sites, with its backslash
    std::string szDestination;              // local destination folder
    std::vector<std::string> sites;         // site names as the tester lists them (GBK)
};

struct STransferEvents {
    std::function<void(int)> onProgress;               // 0..100
    std::function<void(const std::string&)> onLog;     // log texts, "\r\n"-ended as the tester's
    std::function<void(const std::string&)> onMessage; // texts for a message box
    std::function<void(size_t)> onSiteDone;            // index in sites of the entry just handled
};

class CTransferWorker {
public:
    CTransferWorker(CParallelLink& link, STransferJob job, STransferEvents events)
        : m_Link(link), m_Job(std::move(job)), m_Events(std::move(events)) {}
    ~CTransferWorker() { Join(); }
    CTransferWorker(const CTransferWorker&) = delete;
    CTransferWorker& operator=(const CTransferWorker&) = delete;

    // Runs the whole transfer on the calling thread; the link is used only from there.
    void Run();
    // Runs it on a thread of its own; Join waits for the end. Do NOT use the link while it runs.
    void Start();
    void Join();

    // The local file name of a site's WVF02 file: the site name (GBK, shown as UTF-8), ".wvf"
    // appended unless it ends in ".wvf" already, in lower case. Empty when the name is not a plain
    // file name (separators, "..", device names...).
    static std::string TargetFileName(const std::string& szSite);

private:
    void TransferSite(const std::string& szSite);

    CParallelLink& m_Link;
    STransferJob m_Job;
    STransferEvents m_Events;
    std::thread m_Thread;
};

} // namespace pw
