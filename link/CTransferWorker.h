// The transfer of chosen tester sites: each site folder is fetched over the link and converted into
// one WVF02 file in the destination. GUI-free: inputs are copied at construction, progress, log
// texts and messages leave through callbacks (on the worker's thread).
#pragma once

#include "core/CProgressReporter.h"
#include "link/CParallelLink.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace pw {

struct STransferJob {
    std::string szTesterPath = "C:\\DAT\\"; // tester folder holding the sites, with its backslash
    std::string szDestination;              // local destination folder (made when missing)
    std::vector<std::string> sites;         // site names as the tester lists them (GBK)
};

enum class ESiteOutcome {
    Complete,   // every record arrived: written under the site's file name, or the next free one
                // ("<site>-2.wvf") when that name holds other data; never over an existing file
    Incomplete, // records are missing: what arrived is kept under "<site>.incomplete.wvf", never
                // over an existing file
    Failed,     // nothing written
    Cancelled   // stopped by RequestStop before the site was whole: nothing written
};

// A file of the site folder that the conversion did not take, kept beside the target.
struct SKeptFile {
    std::string szName;        // as fetched (UTF-8)
    std::string szKept;        // where it is kept, relative to the destination ("bjhy2.extra/3.wvf");
                               // empty when it could not be kept
    std::string szReason;      // why it could not be kept (UTF-8)
    uintmax_t nSize = 0;       // bytes
    bool bShortRecord = false; // a record file shorter than a record, counted as missing
};

struct SSiteResult {
    std::string szSite; // GBK, as listed
    ESiteOutcome eOutcome = ESiteOutcome::Failed;
    int nExpected = 0;    // records the site's "wvf.par" announced
    int nWritten = 0;     // records in the file written
    std::string szFile;   // the file written (full path, UTF-8), empty when none
    std::string szReason; // Failed: the message saying why (UTF-8)
    // Complete: the site's own file name, when a file there held other data and szFile is the next
    // free name; empty otherwise.
    std::string szTakenName;
    bool bUnchanged = false;     // Complete: szFile held exactly this conversion already; nothing written
    std::vector<SKeptFile> kept; // files kept in "<site>.extra/" (short records, files beyond the count)
    std::string szExtraFolder;   // that folder, relative to the destination, with its "/" ("site1.extra/")
};

struct STransferEvents {
    // 0..100 on the worker's thread (the total is 100); its cancel stops the transfer as RequestStop
    // does, at the next site.
    CProgressReporter* pProgress = nullptr;
    std::function<void(const std::string&)> onLog;     // log texts, "\r\n"-ended as the tester's
    std::function<void(const std::string&)> onMessage; // the final message (UTF-8)
    // A site was handled (whatever its outcome): its index in sites and what became of it. Not
    // called for a site the stop request interrupted.
    std::function<void(size_t, const SSiteResult&)> onSiteDone;
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
    // From any thread: stop after the file being received (that site is not written), leaving the
    // sites not yet handled alone.
    void RequestStop() { m_bStop = true; }
    bool StopRequested() const { return m_bStop.load(); }

    // After Run (or Join): one entry per site handled, in the order handled.
    const std::vector<SSiteResult>& Results() const { return m_Results; }
    bool AllComplete() const;
    // Every site complete, under its own name (or unchanged there), nothing kept beside it.
    bool NothingToWarn() const;

    // The local file name of a site's WVF02 file: the site name (GBK, shown as UTF-8), ".wvf"
    // appended unless it ends in ".wvf" already, in lower case. Empty when the name is not a plain
    // file name (separators, "..", device names...).
    static std::string TargetFileName(const std::string& szSite);
    // One line for the user about a site that is not complete ("SITE1：3 根桩只收到 2 根，…").
    static std::string SiteLine(const SSiteResult& result);
    // The line of a complete site: saved ("…，已存为 site1.wvf"), saved beside a file that holds
    // other data, or unchanged. Empty for a site that is not complete.
    static std::string CompleteLine(const SSiteResult& result);
    // What else the user must know about a site: its file did not go under its own name or was
    // not written, files kept in "<site>.extra/". One line each; none for a plain site.
    static std::vector<std::string> SiteNotes(const SSiteResult& result);
    // "WVF文件传输结束!", followed by a line per site that is not complete, then the notes.
    static std::string FinalMessage(const std::vector<SSiteResult>& results);

private:
    SSiteResult TransferSite(const std::string& szSite);
    void PlaceComplete(const std::string& szConverted, const std::string& szFileName, SSiteResult& result);
    void KeepLeftovers(const std::string& szWork, const std::string& szFileName,
                       const std::vector<std::string>& shortFiles, SSiteResult& result);
    void Log(const std::string& szText);

    CParallelLink& m_Link;
    STransferJob m_Job;
    STransferEvents m_Events;
    std::atomic<bool> m_bStop{false};
    std::vector<SSiteResult> m_Results;
    // Files this run wrote, with the site that wrote each (GBK): another site of the same run never
    // takes one of them for its own, even with equal bytes.
    std::vector<std::pair<std::string, std::string>> m_Written;
    std::thread m_Thread;
};

} // namespace pw
