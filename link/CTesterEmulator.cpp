// The tester emulator: reads one command text at a time from the PC and answers it the way the
// instrument does, from a folder standing for the tester's C:\DAT.
//
// Conversation (each line one text block; PC lines left, tester lines right):
//   "HI"              -> "HI <greeting>"
//   "DIR <folder>"    -> listing, one "NAME  SIZE" or "NAME  <DIR>" line per entry, CR LF ended
//   "CD <folder>"     -> "OK" or "<folder> CANNOT OPEN";   "PWD" -> current folder ("C:\DAT\SITE1")
//   "DOWNF <file>"    -> "BEGIN<size> <name>"; on "SEND" the data blocks (4096 bytes each, the last
//                        shorter; none for an empty file); "<file> CANNOT OPEN" when missing
//   "DOWND <folder>"  -> the same for every file of the folder, then "END"; a reply other than
//                        "SEND" ends the folder ("quit": the PC declined; anything else is taken as
//                        the PC's next command)
//   "GETD <folder>"   <- per file "BEGIN<size> <name>" -> "SEND" + data blocks; "... CANNOT OPEN"
//                        lines are skipped; "END" ends
//   "quit"            -> no answer; the session starts over in C:\DAT
//   anything else     -> "BAD COMMAND"
// A file whose data blocks stopped because the PC stopped answering (it refused a block header) is
// skipped when the PC then says "quit", and the folder goes on with the next file.
// Names: the storage may name its folders and files in GBK bytes (as the tester does) or in UTF-8;
// UTF-8 names are served in GBK (listings, announcements, the names in RSITE.PAR), and the PC's GBK
// names find UTF-8 folders.
#include "link/CTesterEmulator.h"

#include "core/GbkText.h"
#include "core/SafeWriteByName.h"
#include "link/LinkTexts.h"
#include "link/TesterFileName.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <unistd.h>
#include <vector>

namespace pw {

namespace {

using namespace std::chrono_literals;

constexpr const char* kGreeting = "HI pile tester emulator";
constexpr long kHugeSize = 2147483648L; // 2 GB, one past the largest int32

bool IsWord(const std::string& szText, const char* szWord) {
    return ::strncasecmp(szText.c_str(), szWord, std::strlen(szWord)) == 0;
}

std::string Format(const char* szFormat, const std::string& szArgument) {
    std::vector<char> text(szArgument.size() + std::strlen(szFormat) + 1);
    std::snprintf(text.data(), text.size(), szFormat, szArgument.c_str());
    return text.data();
}

// Noise that begins with none of the reply words the PC looks for.
std::string Garbage(unsigned& nSeed) {
    std::string szText = "~";
    for (int i = 0; i < 12; ++i) {
        nSeed = nSeed * 1103515245u + 12345u;
        szText += static_cast<char>('!' + (nSeed >> 16) % 90);
    }
    return szText;
}

} // namespace

CTesterEmulator::CTesterEmulator(std::shared_ptr<CVirtualCable> pCable, STesterEmulatorOptions options)
    : m_pCable(std::move(pCable)), m_Options(std::move(options)), m_Link(*m_pCable, m_bStop),
      m_Storage(m_Options.szStorage) {
    m_Link.SetByteTimeout(m_Options.tByteTimeout);
    m_Link.SetReadyHold(m_Options.tReadyHold);
    m_Link.SetClock(m_Options.clock);

    if (m_Options.fault.eKind == ETesterFault::CutCable) m_Link.CutAfter(m_Options.fault.nCutAfterBytes);
}

CTesterEmulator::~CTesterEmulator() {
    Stop();
}

void CTesterEmulator::Start() {
    if (m_Thread.joinable()) return;
    m_bStop = false;
    m_pCable->Attach(ECableEnd::Tester); // before the caller's first command can be lost
    // Ready before Start returns: a PC that sends at once must find the handshake line high.
    if (m_Options.fault.eKind != ETesterFault::NoHandshake) m_Link.Idle();
    m_Thread = std::thread([this] { Loop(); });
}

void CTesterEmulator::Stop() {
    m_bStop = true;
    if (m_Thread.joinable() && m_Thread.get_id() != std::this_thread::get_id()) m_Thread.join();
}

void CTesterEmulator::Log(const std::string& szLine) {
    if (m_Options.onLog) m_Options.onLog(szLine);
}

void CTesterEmulator::Run() {
    m_pCable->Attach(ECableEnd::Tester);
    Loop();
}

void CTesterEmulator::Loop() {
    const bool bDead = m_Options.fault.eKind == ETesterFault::NoHandshake;
    if (!bDead) m_Link.Idle();
    std::string szPending;
    while (!m_bStop) {
        if (bDead || m_Link.IsCut()) {
            std::this_thread::sleep_for(5ms);
            m_Link.Now(); // a clock that counts the emulator's running time learns it runs
            continue;
        }
        std::string szCommand;
        if (!szPending.empty()) {
            szCommand.swap(szPending);
        } else if (!m_Link.ReceiveText(szCommand, 200ms)) {
            m_Link.Idle();
            continue;
        }
        Serve(szCommand);
        szPending.swap(m_szPending);
        m_Link.Idle();
    }
    m_pCable->Detach(ECableEnd::Tester);
}

void CTesterEmulator::Serve(const std::string& szCommand) {
    ++m_nCommands;
    Log(szCommand);
    const size_t nBlank = szCommand.find(' ');
    const std::string szVerb = szCommand.substr(0, nBlank);
    const std::string szArgument = nBlank == std::string::npos ? std::string() : szCommand.substr(nBlank + 1);
    const ETesterFault eFault = m_Options.fault.eKind;
    if (eFault == ETesterFault::NoReply) return;
    if (eFault == ETesterFault::Garbage) {
        unsigned nSeed = static_cast<unsigned>(m_nCommands.load());
        // A folder download becomes an endless stream of noise; it ends when the PC stops listening.
        if (::strcasecmp(szVerb.c_str(), "DOWND") == 0) {
            while (!m_bStop && m_Link.SendText(Garbage(nSeed))) {
            }
        } else if (::strcasecmp(szVerb.c_str(), "quit") != 0) {
            m_Link.SendText(Garbage(nSeed));
        }
        return;
    }
    if (::strcasecmp(szVerb.c_str(), "HI") == 0) {
        m_Link.SendText(kGreeting);
    } else if (::strcasecmp(szVerb.c_str(), "quit") == 0) {
        m_Storage.Reset();
    } else if (::strcasecmp(szVerb.c_str(), "DIR") == 0) {
        ListDirectory(szArgument);
    } else if (::strcasecmp(szVerb.c_str(), "CD") == 0) {
        ChangeDirectory(szArgument);
    } else if (::strcasecmp(szVerb.c_str(), "PWD") == 0) {
        m_Link.SendText(m_Storage.CurrentDirectory());
    } else if (::strcasecmp(szVerb.c_str(), "DOWNF") == 0) {
        DownloadFile(szArgument);
    } else if (::strcasecmp(szVerb.c_str(), "DOWND") == 0) {
        DownloadDirectory(szArgument);
    } else if (::strcasecmp(szVerb.c_str(), "GETD") == 0) {
        UploadDirectory(szArgument);
    } else if (::strcasecmp(szVerb.c_str(), "SEND") == 0 || ::strcasecmp(szVerb.c_str(), "END") == 0) {
        // Nothing announced: there is nothing to send or to end.
    } else {
        m_Link.SendText("BAD COMMAND");
    }
}

void CTesterEmulator::ListDirectory(const std::string& szPath) {
    std::filesystem::path local;
    std::string szCanonical;
    const auto ePlace = m_Storage.Resolve(szPath.empty() ? "." : szPath, false, local, szCanonical);
    if (ePlace == CTesterStorage::EPlace::Missing) {
        m_Link.SendText(Format(LinkText::kWireCannotOpen, szPath));
        return;
    }
    std::string szListing;
    char szLine[300];
    std::error_code error;
    if (ePlace == CTesterStorage::EPlace::DriveRoot) {
        szListing = "DAT          <DIR>\r\n";
    } else if (std::filesystem::is_directory(local, error)) {
        std::vector<std::filesystem::directory_entry> entries;
        for (const auto& entry : std::filesystem::directory_iterator(local, error))
            entries.push_back(entry);
        std::sort(entries.begin(), entries.end());
        for (const auto& entry : entries) {
            const std::string szName = ServedFileName(entry.path().filename().string());
            if (entry.is_directory(error))
                std::snprintf(szLine, sizeof szLine, "%-12s <DIR>\r\n", szName.c_str());
            else
                std::snprintf(szLine, sizeof szLine, "%-12s %ld\r\n", szName.c_str(),
                              static_cast<long>(entry.file_size(error)));
            if (szListing.size() + std::strlen(szLine) > static_cast<size_t>(CTesterLink::kBlockSize)) break;
            szListing += szLine;
        }
    } else {
        std::snprintf(szLine, sizeof szLine, "%-12s %ld\r\n",
                      ServedFileName(local.filename().string()).c_str(),
                      static_cast<long>(std::filesystem::file_size(local, error)));
        szListing = szLine;
    }
    m_Link.SendText(szListing);
}

void CTesterEmulator::ChangeDirectory(const std::string& szPath) {
    m_Link.SendText(m_Storage.ChangeDirectory(szPath) ? std::string(LinkText::kWireOk)
                                                      : Format(LinkText::kWireCannotOpen, szPath));
}

void CTesterEmulator::DownloadFile(const std::string& szPath) {
    std::filesystem::path local;
    std::string szCanonical;
    std::error_code error;
    if (m_Storage.Resolve(szPath, false, local, szCanonical) != CTesterStorage::EPlace::Inside ||
        !std::filesystem::is_regular_file(local, error)) {
        m_Link.SendText(Format(LinkText::kWireCannotOpen, szPath));
        return;
    }
    OfferFile(local, AnnouncedName(ServedFileName(local.filename().string()), 0), m_szPending);
}

void CTesterEmulator::DownloadDirectory(const std::string& szPath) {
    std::filesystem::path local;
    std::string szCanonical;
    std::error_code error;
    if (m_Storage.Resolve(szPath, false, local, szCanonical) != CTesterStorage::EPlace::Inside ||
        !std::filesystem::is_directory(local, error)) {
        if (m_Link.SendText(Format(LinkText::kWireCannotOpen, szPath))) m_Link.SendText(LinkText::kWireEnd);
        return;
    }
    int nIndex = 0;
    std::string szFirst;
    m_bInFolder = true;
    struct SLeave {
        bool& b;
        ~SLeave() { b = false; }
    } leave{m_bInFolder};
    for (const auto& file : CTesterStorage::FilesOf(local)) {
        std::string szName = AnnouncedName(ServedFileName(file.filename().string()), nIndex);
        if (nIndex == 0) szFirst = szName;
        if (nIndex == 1 && m_Options.fault.eKind == ETesterFault::RepeatedNames) szName = "OLD\\" + szFirst;
        ++nIndex;
        if (!OfferFile(file, szName, m_szPending)) return;
    }
    m_Link.SendText(LinkText::kWireEnd);
}

std::string CTesterEmulator::AnnouncedName(const std::string& szName, int nIndex) const {
    static const char* const kEvilPrefixes[] = {"..\\..\\",          "../",  "C:", "C:\\WINDOWS\\",
                                                "\\\\HOST\\SHARE\\", "/etc/"};
    static const char* const kBadNames[] = {"", "CON", "NUL", "LPT1", "a\x01z.wvf", ".."};
    switch (m_Options.fault.eKind) {
    case ETesterFault::EvilNames:
        return kEvilPrefixes[nIndex % 6] + szName;
    case ETesterFault::BadNames:
        return kBadNames[nIndex % 6];
    case ETesterFault::UpperNames: {
        std::string szUpper = szName;
        for (char& c : szUpper)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return szUpper;
    }
    default:
        return szName;
    }
}

bool CTesterEmulator::ServedBytes(const std::filesystem::path& file, std::vector<uint8_t>& bytes) const {
    bytes.clear();
    std::FILE* pFile = std::fopen(file.c_str(), "rb");
    if (!pFile) return false;
    uint8_t block[CTesterLink::kBlockSize];
    size_t nRead = 0;
    while ((nRead = std::fread(block, 1, sizeof block, pFile)) > 0)
        bytes.insert(bytes.end(), block, block + nRead);
    std::fclose(pFile);
    // RSITE.PAR at the top of the storage: int16 count, then 47-byte zero-terminated names.
    if (::strcasecmp(file.filename().string().c_str(), "RSITE.PAR") == 0 &&
        file.parent_path() == m_Storage.Root()) {
        for (size_t nAt = 2; nAt + 47 <= bytes.size(); nAt += 47) {
            char* pName = reinterpret_cast<char*>(bytes.data() + nAt);
            const std::string szName(FieldText(pName, 47));
            const std::string szServed = ServedFileName(szName);
            if (szServed != szName) StoreFieldText(pName, 47, szServed);
        }
    }
    return true;
}

bool CTesterEmulator::OfferFile(const std::filesystem::path& file, const std::string& szName,
                                std::string& szPending) {
    std::vector<uint8_t> bytes;
    ServedBytes(file, bytes); // an unreadable file is announced empty
    long nSize = static_cast<long>(bytes.size());
    if (m_Options.fault.eKind == ETesterFault::HugeSize) nSize = kHugeSize;
    char szAnnouncement[CTesterLink::kBlockSize + 1];
    std::snprintf(szAnnouncement, sizeof szAnnouncement, LinkText::kWireBegin, nSize, szName.c_str());
    if (!m_Link.SendText(szAnnouncement)) return false;
    std::string szReply;
    if (!m_Link.ReceiveText(szReply, m_Options.tSendWait)) return false;
    if (IsWord(szReply, LinkText::kWireSend)) {
        if (StreamFile(bytes)) return true;
        // The PC stopped answering in the middle of the data (it refused a block): once it says
        // "quit" this file is given up and the folder goes on, as the PC expects.
        if (m_bStop || m_Link.IsCut()) return false;
        m_Link.Idle();
        if (!m_Link.ReceiveText(szReply, m_Options.tSendWait)) return false;
        if (IsWord(szReply, LinkText::kWireQuit)) return true;
        szPending = szReply;
        return false;
    }
    if (!IsWord(szReply, LinkText::kWireQuit)) szPending = szReply;
    return false;
}

bool CTesterEmulator::StreamFile(const std::vector<uint8_t>& bytes) {
    if (m_Options.fault.eKind == ETesterFault::ZeroBlocks) {
        while (!m_bStop && m_Link.SendBlock(nullptr, 0)) {
        }
        return false;
    }
    for (size_t nAt = 0; nAt < bytes.size(); nAt += CTesterLink::kBlockSize) {
        const int nLength = static_cast<int>(std::min<size_t>(CTesterLink::kBlockSize, bytes.size() - nAt));
        const bool bCorrupt = m_Options.fault.eKind == ETesterFault::BadHeader && !m_bHeaderCorrupted && m_bInFolder;
        m_bHeaderCorrupted = m_bHeaderCorrupted || bCorrupt;
        if (!m_Link.SendBlock(bytes.data() + nAt, nLength, bCorrupt)) return false;
    }
    return true;
}

void CTesterEmulator::UploadDirectory(const std::string& szPath) {
    std::filesystem::path local;
    std::string szCanonical;
    std::error_code error;
    const bool bFolder =
        m_Storage.Resolve(szPath, true, local, szCanonical) == CTesterStorage::EPlace::Inside &&
        (std::filesystem::is_directory(local, error) || std::filesystem::create_directory(local, error));
    for (;;) {
        std::string szText;
        if (!m_Link.ReceiveText(szText, m_Options.tSendWait)) return;
        if (IsWord(szText, LinkText::kWireEnd)) return;
        if (!IsWord(szText, "BEGIN")) continue;
        char* pEnd = nullptr;
        const long nSize = std::strtol(szText.c_str() + 5, &pEnd, 10);
        std::string szName;
        const bool bUsable = bFolder && pEnd != szText.c_str() + 5 && *pEnd != '\0' && nSize >= 0 &&
                             nSize <= 16L * 1024 * 1024 && ReducePlainFileName(pEnd + 1, szName);
        if (!bUsable) {
            if (!m_Link.SendText("CANNOT WRITE")) return;
            continue;
        }
        // Received through the safe write: a broken upload leaves the stored file as it was.
        bool bReceived = false, bAnswered = true;
        const auto receive = [&](const std::string& szTemporary, int& nErrno) {
            std::FILE* pFile = std::fopen(szTemporary.c_str(), "wb");
            if (!pFile) {
                nErrno = errno;
                return false;
            }
            if (!m_Link.SendText(LinkText::kWireSend)) {
                bAnswered = false;
                std::fclose(pFile);
                return false;
            }
            bReceived = m_Link.ReceiveFile(pFile, nSize);
            const bool bClosed = std::fclose(pFile) == 0;
            return bReceived && bClosed;
        };
        WriteFileAtomicallyByName((local / szName).string(), receive, nullptr,
                                  false);     // the client waits as the tester does
        if (!bAnswered || !bReceived) return; // the link is out of step: the upload ends here
    }
}

} // namespace pw
