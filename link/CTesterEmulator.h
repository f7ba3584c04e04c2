// The tester emulator: the instrument's end of the virtual cable, serving a folder laid out like the
// tester's storage, in a thread of this process or as the whole of another one.
#pragma once

#include "link/CTesterLink.h"
#include "link/CTesterStorage.h"
#include "link/LinkClock.h"
#include "link/TesterFault.h"
#include "link/platform/CVirtualCable.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace pw {

struct STesterEmulatorOptions {
    std::string szStorage; // local folder standing for the tester's C:\DAT
    STesterFault fault;
    std::chrono::milliseconds tByteTimeout{1000};  // longest wait for the PC's next edge in an exchange
    std::chrono::milliseconds tSendWait{2000};     // longest wait for "SEND" after an announcement
    std::chrono::microseconds tReadyHold{5000};    // ready line held before an answer (CTesterLink)
    std::function<void(const std::string&)> onLog; // one line per command served (optional)
    // What the waits above are measured on (empty: the steady clock). The emulator reads it at least
    // every few milliseconds while it runs, resting included.
    LinkClock clock;
};

class CTesterEmulator {
public:
    CTesterEmulator(std::shared_ptr<CVirtualCable> pCable, STesterEmulatorOptions options);
    ~CTesterEmulator();
    CTesterEmulator(const CTesterEmulator&) = delete;
    CTesterEmulator& operator=(const CTesterEmulator&) = delete;

    // Serves on a thread of its own until Stop.
    void Start();
    // Serves on the calling thread until Stop is called from another thread (or a signal handler
    // sets the flag through Stop).
    void Run();
    void Stop();
    long CommandsServed() const { return m_nCommands.load(); }

private:
    void Loop();
    void Serve(const std::string& szCommand);
    void Hello();
    void ListDirectory(const std::string& szPath);
    void ChangeDirectory(const std::string& szPath);
    void DownloadFile(const std::string& szPath);
    void DownloadDirectory(const std::string& szPath);
    void UploadDirectory(const std::string& szPath);
    // Announces one file and, on "SEND", streams it. False when the folder transfer must end;
    // szPending receives a command the PC sent instead of "SEND".
    bool OfferFile(const std::filesystem::path& file, const std::string& szName, std::string& szPending);
    bool StreamFile(const std::vector<uint8_t>& bytes);
    std::string AnnouncedName(const std::string& szName, int nIndex) const;
    // The bytes served for a storage file: the file as it is, except the site list, whose names are
    // turned into GBK when the storage was written with UTF-8 names.
    bool ServedBytes(const std::filesystem::path& file, std::vector<uint8_t>& bytes) const;
    void Log(const std::string& szLine);

    std::shared_ptr<CVirtualCable> m_pCable;
    STesterEmulatorOptions m_Options;
    std::atomic<bool> m_bStop{false};
    CTesterLink m_Link;
    CTesterStorage m_Storage;
    std::thread m_Thread;
    std::atomic<long> m_nCommands{0};
    bool m_bHeaderCorrupted = false;
    bool m_bInFolder = false; // serving a folder download (a bad header is injected only there)
    std::string m_szPending; // a command the PC sent where "SEND" was expected
};

} // namespace pw
