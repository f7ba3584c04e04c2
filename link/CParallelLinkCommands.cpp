// The command client of the PC side: seven operations spoken as text blocks over the byte link, the
// tester acting as file server.
//
// Wire layout (each line one text block; PC lines left, tester lines right):
//   "HI"                                -> "HI <greeting>"
//   "quit"                              (no answer; also abandons a file the PC declines)
//   "DIR <folder>"                      -> listing text (the tester's format)
//   "CD <folder>"                       -> "OK..." ; then "PWD" -> current folder
//   "DOWNF <file>"                      -> "BEGIN<size> <name>" ; "SEND" ; data blocks
//   "DOWND <folder>"                    -> per file: "BEGIN<size> <name>" ; "SEND" ; data blocks ;
//                                          then "END"
//   "GETD <folder>" ; per local entry: "BEGIN<size> <name>" -> "SEND" ; data blocks, or
//                     "<name> CANNOT OPEN" ; then "END"
// A reply is recognised by a case-insensitive comparison of its first letters ("HI", "OK", "BEGIN",
// "END", "SEND"). In "BEGIN<size> <name>" the size is decimal right after the five letters and the
// name is everything after the one character that follows the number.
#include "link/CParallelLink.h"

#include "core/SafeWriteByName.h"
#include "link/LinkTexts.h"
#include "link/TesterFileName.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pw {

namespace {

bool StartsWithNoCase(const char* szText, const char* szWord) {
    return ::strncasecmp(szText, szWord, std::strlen(szWord)) == 0;
}

bool EqualNoCase(const std::string& szA, const std::string& szB) {
    return ::strcasecmp(szA.c_str(), szB.c_str()) == 0;
}

// Where a file with a repeated name is received to keep the conversation in step, then deleted.
constexpr const char* kDiscardName = ".pilewave-repeated";

// The local folder is extended in place: a separator is appended when missing.
void AppendSeparator(std::string& szFolder) {
    if (szFolder.empty() || szFolder.back() != '/') szFolder += '/';
}

std::string AnnouncedName(const char* szReply) {
    const char* pNumber = szReply + 5;
    char* pEnd = nullptr;
    std::strtol(pNumber, &pEnd, 10);
    if (*pEnd == '\0') return std::string();
    return std::string(pEnd + 1);
}

} // namespace

int CParallelLink::Command(int nSelector, std::string& szA, std::string& szB) {
    switch (nSelector) {
    case kHello:
        return Hello(szA);
    case kQuit:
        return Quit();
    case kListDirectory:
        return ListDirectory(szA, szB);
    case kChangeDirectory:
        return ChangeDirectory(szB);
    case kFetchFile:
        return FetchFile(szA, szB);
    case kFetchDirectory:
        return FetchDirectory(szA, szB);
    case kPutDirectory:
        return PutDirectory(szA, szB);
    default:
        ResetLines();
        return 1;
    }
}

int CParallelLink::SendFormatted(const char* szFormat, const std::string& szArgument) {
    char* szLine = reinterpret_cast<char*>(m_Buffer);
    const int nLength = std::snprintf(szLine, sizeof m_Buffer, szFormat, szArgument.c_str());
    if (nLength < 0 || nLength > kBufferSize) {
        SetStatus(LinkText::kTooLong);
        return -1;
    }
    return SendString(szLine);
}

// The size after "BEGIN": decimal, 0..the size limit; anything else is refused with a status text.
bool CParallelLink::ParseAnnouncement(const char* szReply, long& nSize, std::string& szName) {
    const char* pNumber = szReply + 5;
    char* pEnd = nullptr;
    errno = 0;
    nSize = std::strtol(pNumber, &pEnd, 10);
    szName = AnnouncedName(szReply);
    if (pEnd == pNumber || errno == ERANGE || nSize < 0 || nSize > m_Limits.nMaxFileSize) {
        SendString(LinkText::kWireQuit);
        SetStatus(LinkText::kRefusedSize, szReply);
        return false;
    }
    return true;
}

// "SEND", then the data through core's safe write: into a temporary file beside szTarget, renamed
// over it only when all bytes arrived, so an earlier file of that name survives a failed download.
// False with the status set on failure; m_bCannotCreate tells whether the temporary file could be
// made at all.
bool CParallelLink::ReceiveIntoTemporary(const std::string& szTarget, long nSize) {
    bool bOpened = false;
    int nResult = 0;
    const std::string szError = WriteFileAtomicallyByName(
        szTarget,
        [&](const std::string& szTemporary, int& nErrno) {
            std::FILE* pFile = std::fopen(szTemporary.c_str(), "wb");
            if (!pFile) {
                nErrno = errno;
                return false;
            }
            bOpened = true;
            nResult = SendString(LinkText::kWireSend);
            if (nResult == 1) nResult = ReceiveFile(pFile, nSize);
            const bool bClosed = std::fclose(pFile) == 0;
            if (!bClosed) nErrno = errno;
            return nResult == 1 && bClosed;
        },
        nullptr, false); // the tester waits for the next "SEND": no flush to disk per file
    m_bCannotCreate = !bOpened;
    if (szError.empty()) return true;
    SetStatus(!bOpened || nResult == 1 ? LinkText::kCannotWrite : LinkText::kReceiveFileFailed);
    return false;
}

int CParallelLink::Hello(std::string& szGreeting) {
    szGreeting.clear();
    ResetLines();
    if (SendString(LinkText::kWireHi) != 1) return 0;
    char* szReply = reinterpret_cast<char*>(m_Buffer);
    const int nLength = ReceiveString(szReply);
    if (nLength < 0) return 0; // the status already tells which reception failed
    if (!StartsWithNoCase(szReply, LinkText::kWireHi)) {
        SetStatus(LinkText::kBadResponse);
        ResetLines();
        return 0;
    }
    SetStatus(LinkText::kAlive);
    if (nLength > 3) szGreeting = szReply + 3;
    return 1;
}

int CParallelLink::Quit() {
    ResetLines();
    const int nResult = SendString(LinkText::kWireQuit);
    ResetLines();
    return nResult;
}

int CParallelLink::ListDirectory(std::string& szListing, const std::string& szTesterFolder) {
    szListing.clear();
    ResetLines();
    if (SendFormatted(LinkText::kWireDir, szTesterFolder) != 1) return 0;
    char* szReply = reinterpret_cast<char*>(m_Buffer);
    const int nLength = ReceiveString(szReply);
    if (nLength <= 0) return 0;
    szListing = szReply;
    return 1;
}

// Always 0, whatever the tester answered; the status text carries the new folder.
int CParallelLink::ChangeDirectory(const std::string& szTesterFolder) {
    ResetLines();
    if (SendFormatted(LinkText::kWireCd, szTesterFolder) != 1) return 0;
    char* szReply = reinterpret_cast<char*>(m_Buffer);
    if (ReceiveString(szReply) >= 2 && StartsWithNoCase(szReply, LinkText::kWireOk)) {
        if (SendString(LinkText::kWirePwd) == 1 && ReceiveString(szReply) >= 0)
            SetStatus(LinkText::kDirectoryNow, szReply);
    }
    return 0;
}

// szLocalFolder becomes the local file path (folder + name and extension of szTesterFile).
// Result 0: not sent, no reply, refused announcement, or the download failed (an earlier local file
// is kept); 1: received, not announced (no file made), or the local file cannot be created.
int CParallelLink::FetchFile(const std::string& szTesterFile, std::string& szLocalFolder) {
    ResetLines();
    AppendSeparator(szLocalFolder);
    std::string szName;
    if (!ReducePlainFileName(szTesterFile, szName)) {
        SetStatus(LinkText::kRefusedName, szTesterFile.c_str());
        return 0;
    }
    szLocalFolder += szName;
    if (SendFormatted(LinkText::kWireDownFile, szTesterFile) != 1) return 0;
    char* szReply = reinterpret_cast<char*>(m_Buffer);
    if (ReceiveString(szReply) < 0) return 0;
    if (!StartsWithNoCase(szReply, "BEGIN")) return 1;
    long nSize = 0;
    std::string szAnnounced;
    if (!ParseAnnouncement(szReply, nSize, szAnnounced)) return 0;
    if (!ReceiveIntoTemporary(szLocalFolder, nSize)) return m_bCannotCreate ? 1 : 0;
    SetStatus(LinkText::kReceived, szLocalFolder.c_str());
    return 1;
}

// Every announced file lands in szLocalFolder under its name reduced to a plain file name.
// Result 1 on "END" (files that failed are reported with "接收文件失败！" and skipped) or when a local
// file cannot be created; 0 when the command was not sent, the tester went silent or babbles, or an
// announcement was refused or the cancel flag was set (the tester is then told "quit"). LastFetch
// tells which files arrived and which did not: a result of 1 alone does not mean the folder is whole.
int CParallelLink::FetchDirectory(const std::string& szTesterFolder, std::string& szLocalFolder) {
    m_LastFetch = SFetchReport{};
    ResetLines();
    AppendSeparator(szLocalFolder);
    if (SendFormatted(LinkText::kWireDownDir, szTesterFolder) != 1) return 0;
    char* szReply = reinterpret_cast<char*>(m_Buffer);
    int nFailed = 0, nIgnored = 0, nFiles = 0;
    for (;;) {
        const int nLength = ReceiveString(szReply);
        if (nLength < 0) {
            if (++nFailed >= m_Limits.nMaxFailedReceptions) {
                SetStatus(LinkText::kNoAnswer);
                return 0;
            }
            continue;
        }
        nFailed = 0;
        if (nLength > 0 && StartsWithNoCase(szReply, LinkText::kWireEnd)) return 1;
        if (nLength == 0 || !StartsWithNoCase(szReply, "BEGIN")) {
            if (++nIgnored >= m_Limits.nMaxIgnoredReplies) {
                SetStatus(LinkText::kUnexpectedReplies);
                return 0;
            }
            continue;
        }
        nIgnored = 0;
        if (++nFiles > m_Limits.nMaxFilesPerFolder) {
            SendString(LinkText::kWireQuit);
            SetStatus(LinkText::kTooManyFiles);
            return 0;
        }
        long nSize = 0;
        std::string szAnnounced, szName;
        if (Cancelled()) {
            SendString(LinkText::kWireQuit);
            SetStatus(LinkText::kCancelled);
            m_LastFetch.bCancelled = true;
            return 0;
        }
        if (!ParseAnnouncement(szReply, nSize, szAnnounced)) {
            m_LastFetch.failed.push_back(szAnnounced);
            return 0;
        }
        if (!ReducePlainFileName(szAnnounced, szName)) {
            SendString(LinkText::kWireQuit);
            SetStatus(LinkText::kRefusedName, szAnnounced.c_str());
            m_LastFetch.failed.push_back(szAnnounced);
            return 0;
        }
        // Two announcements that come down to one name (in any letter case: the tester's file system
        // does not tell them apart) would overwrite each other: the first stays, the second is taken
        // off the line and dropped, and the fetch counts as failed for it.
        const bool bRepeated = std::any_of(m_LastFetch.received.begin(), m_LastFetch.received.end(),
                                           [&](const std::string& sz) { return EqualNoCase(sz, szName); });
        const std::string szTarget = szLocalFolder + (bRepeated ? kDiscardName : szName);
        const bool bReceived = ReceiveIntoTemporary(szTarget, nSize);
        if (bRepeated) {
            std::remove(szTarget.c_str());
            SetStatus(LinkText::kRepeatedName, szAnnounced.c_str());
            m_LastFetch.failed.push_back(szAnnounced);
        } else if (bReceived) {
            m_LastFetch.received.push_back(szName);
        } else {
            m_LastFetch.failed.push_back(szAnnounced);
            if (m_bCannotCreate) return 1;
        }
    }
}

// Sends every entry of szLocalFolder ("." and ".." and sub-folders included, announced as
// "<name> CANNOT OPEN") into the tester folder, then "END". 0 only when "GETD" was not sent.
int CParallelLink::PutDirectory(const std::string& szTesterFolder, std::string& szLocalFolder) {
    ResetLines();
    AppendSeparator(szLocalFolder);
    if (SendFormatted(LinkText::kWireGetDir, szTesterFolder) != 1) return 0;
    std::error_code error;
    std::filesystem::directory_iterator entries(szLocalFolder, error);
    if (error) {
        SetStatus(LinkText::kNoFiles);
    } else {
        std::vector<std::string> names = {".", ".."};
        for (const auto& entry : entries)
            names.push_back(entry.path().filename().string());
        char* szLine = reinterpret_cast<char*>(m_Buffer);
        for (const std::string& szName : names) {
            const std::string szPath = szLocalFolder + szName;
            std::FILE* pFile = nullptr;
            if (szName != "." && szName != ".." && std::filesystem::is_regular_file(szPath, error))
                pFile = std::fopen(szPath.c_str(), "rb");
            if (!pFile) {
                SendFormatted(LinkText::kWireCannotOpen, szName);
                continue;
            }
            const auto nSize = static_cast<long>(std::filesystem::file_size(szPath, error));
            const int nLength =
                std::snprintf(szLine, sizeof m_Buffer, LinkText::kWireBegin, nSize, szName.c_str());
            if (!error && nLength > 0 && nLength <= kBufferSize && SendString(szLine) == 1 &&
                ReceiveString(szLine) > 0 && StartsWithNoCase(szLine, LinkText::kWireSend))
                SendFile(nSize, pFile);
            std::fclose(pFile);
        }
    }
    SendString(LinkText::kWireEnd);
    return 1;
}

} // namespace pw
