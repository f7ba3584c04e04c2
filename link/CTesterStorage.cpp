// Tester paths onto the emulator's storage folder.
#include "link/CTesterStorage.h"

#include "link/TesterFileName.h"

#include <algorithm>
#include <strings.h>

namespace pw {

namespace {

std::string Upper(std::string sz) {
    for (char& c : sz)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return sz;
}

bool UsablePart(const std::string& szPart) {
    for (const char c : szPart) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == ':') return false;
    }
    return true;
}

} // namespace

CTesterStorage::EPlace CTesterStorage::Resolve(const std::string& szPath, bool bMayCreate,
                                               std::filesystem::path& local, std::string& szCanonical) const {
    std::string szDrive;
    std::vector<std::string> given = SplitTesterPath(szPath, &szDrive);
    if (!szDrive.empty() && Upper(szDrive) != "C:") return EPlace::Missing;
    const bool bAbsolute = !szDrive.empty() || (!szPath.empty() && (szPath[0] == '\\' || szPath[0] == '/'));
    std::vector<std::string> parts = bAbsolute ? std::vector<std::string>{} : SplitTesterPath(m_szCurrent);
    for (const std::string& szPart : given) {
        if (szPart == ".") continue;
        if (szPart == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        if (!UsablePart(szPart)) return EPlace::Missing;
        parts.push_back(szPart);
    }
    szCanonical = "C:";
    if (parts.empty()) {
        szCanonical += "\\";
        return EPlace::DriveRoot;
    }
    if (Upper(parts[0]) != "DAT") return EPlace::Missing;
    local = m_Root;
    szCanonical += "\\DAT";
    std::error_code error;
    for (size_t i = 1; i < parts.size(); ++i) {
        std::filesystem::path found;
        for (const auto& entry : std::filesystem::directory_iterator(local, error)) {
            const std::string szEntry = entry.path().filename().string();
            if (::strcasecmp(szEntry.c_str(), parts[i].c_str()) == 0 ||
                ::strcasecmp(ServedFileName(szEntry).c_str(), parts[i].c_str()) == 0) {
                found = entry.path();
                break;
            }
        }
        if (found.empty()) {
            if (!bMayCreate || i + 1 != parts.size() || error) return EPlace::Missing;
            found = local / parts[i];
        }
        local = found;
        szCanonical += "\\" + Upper(ServedFileName(found.filename().string()));
    }
    return EPlace::Inside;
}

bool CTesterStorage::ChangeDirectory(const std::string& szPath) {
    std::filesystem::path local;
    std::string szCanonical;
    const EPlace ePlace = Resolve(szPath, false, local, szCanonical);
    std::error_code error;
    if (ePlace == EPlace::Missing ||
        (ePlace == EPlace::Inside && !std::filesystem::is_directory(local, error)))
        return false;
    m_szCurrent = szCanonical;
    return true;
}

std::vector<std::filesystem::path> CTesterStorage::FilesOf(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.is_regular_file(error)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace pw
