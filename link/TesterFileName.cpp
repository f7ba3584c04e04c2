// Tester path splitting and reduction of announced names to plain file names.
#include "link/TesterFileName.h"

#include "core/GbkText.h"

#include <cctype>

namespace pw {

namespace {

bool IsGbkLead(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

// A two-byte character starts at i: a lead byte followed by a trail byte (0x40-0xFE but 0x7F). The
// trail may be 0x5C ("\"), which then is no separator; "/" (0x2F) is never a trail, so a lead byte
// before "/" is a broken character and the "/" still separates (do NOT pair it: on this system "/"
// inside a file name would make it a path).
bool IsGbkPair(const std::string& sz, size_t i) {
    if (i + 1 >= sz.size() || !IsGbkLead(static_cast<unsigned char>(sz[i]))) return false;
    const auto t = static_cast<unsigned char>(sz[i + 1]);
    return t >= 0x40 && t <= 0xFE && t != 0x7F;
}

std::string Upper(std::string sz) {
    for (char& c : sz)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return sz;
}

// True when the last character is "\" or "/" (a folder, not a file), reading two-byte characters whole.
bool EndsWithSeparator(const std::string& szPath) {
    bool bSeparator = false;
    for (size_t i = 0; i < szPath.size(); ++i) {
        const auto c = static_cast<unsigned char>(szPath[i]);
        bSeparator = c == '\\' || c == '/';
        if (IsGbkPair(szPath, i)) ++i;
    }
    return bSeparator;
}

} // namespace

std::vector<std::string> SplitTesterPath(const std::string& szPath, std::string* pDrive) {
    std::vector<std::string> parts;
    size_t nStart = 0;
    if (szPath.size() >= 2 && szPath[1] == ':' && std::isalpha(static_cast<unsigned char>(szPath[0]))) {
        if (pDrive) *pDrive = szPath.substr(0, 2);
        nStart = 2;
    } else if (pDrive) {
        pDrive->clear();
    }
    std::string szPart;
    for (size_t i = nStart; i < szPath.size(); ++i) {
        const auto c = static_cast<unsigned char>(szPath[i]);
        if (IsGbkPair(szPath, i)) {
            szPart += szPath[i];
            szPart += szPath[++i];
            continue;
        }
        if (c == '\\' || c == '/') {
            if (!szPart.empty()) parts.push_back(szPart);
            szPart.clear();
            continue;
        }
        szPart += static_cast<char>(c);
    }
    if (!szPart.empty()) parts.push_back(szPart);
    return parts;
}

std::string TesterBaseName(const std::string& szPath) {
    const auto parts = SplitTesterPath(szPath);
    return parts.empty() ? std::string() : parts.back();
}

bool IsDeviceName(const std::string& szName) {
    std::string szBase = Upper(szName.substr(0, szName.find('.')));
    while (!szBase.empty() && szBase.back() == ' ')
        szBase.pop_back();
    if (szBase == "CON" || szBase == "PRN" || szBase == "AUX" || szBase == "NUL" || szBase == "CLOCK$")
        return true;
    return szBase.size() == 4 && (szBase.rfind("COM", 0) == 0 || szBase.rfind("LPT", 0) == 0) &&
           szBase[3] >= '1' && szBase[3] <= '9';
}

bool ReducePlainFileName(const std::string& szAnnounced, std::string& szPlain) {
    szPlain.clear();
    if (EndsWithSeparator(szAnnounced)) return false;
    std::string szName = TesterBaseName(szAnnounced);
    // "C:evil" inside a path part (after "..\" for instance): a colon never belongs to a file name.
    const size_t nColon = szName.rfind(':');
    if (nColon != std::string::npos) szName = szName.substr(nColon + 1);
    if (szName.empty() || szName == "." || szName == ".." || szName.size() > 255) return false;
    for (const char c : szName) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return false;
    }
    if (IsDeviceName(szName)) return false;
    szPlain = szName;
    return true;
}

bool IsNonAsciiUtf8(const std::string& szText) {
    bool bWide = false;
    for (size_t i = 0; i < szText.size();) {
        const auto c = static_cast<unsigned char>(szText[i]);
        size_t nMore = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF)
            nMore = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            nMore = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            nMore = 3;
        else
            return false;
        if (i + nMore >= szText.size()) return false;
        for (size_t k = 1; k <= nMore; ++k)
            if ((static_cast<unsigned char>(szText[i + k]) & 0xC0) != 0x80) return false;
        bWide = true;
        i += nMore + 1;
    }
    return bWide;
}

std::string ServedFileName(const std::string& szLocal) {
    return IsNonAsciiUtf8(szLocal) ? Utf8ToGbk(szLocal) : szLocal;
}

} // namespace pw
