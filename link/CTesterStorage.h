// The tester's storage as the emulator serves it: a local folder standing for the tester's C:\DAT
// (the site list RSITE.PAR and one folder per site), reached through the tester's DOS-style paths.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pw {

class CTesterStorage {
public:
    // What a tester path names.
    enum class EPlace { Missing, DriveRoot, Inside };

    explicit CTesterStorage(std::filesystem::path root) : m_Root(std::move(root)) {}

    // Resolves szPath (absolute "C:\DAT\X", or relative to the current folder; "/" works like "\")
    // case-insensitively, as DOS does. The drive root C:\ holds only DAT, and DAT is the storage
    // folder. With bMayCreate the last part need not exist (the local path then uses it as given).
    // Nothing outside the storage folder can be named: ".." stops at the drive root.
    EPlace Resolve(const std::string& szPath, bool bMayCreate, std::filesystem::path& local,
                   std::string& szCanonical) const;

    // CD: true when the folder exists.
    bool ChangeDirectory(const std::string& szPath);
    const std::string& CurrentDirectory() const { return m_szCurrent; }
    void Reset() { m_szCurrent = "C:\\DAT"; }
    const std::filesystem::path& Root() const { return m_Root; }

    // Regular files of a storage folder, sorted by name.
    static std::vector<std::filesystem::path> FilesOf(const std::filesystem::path& folder);

private:
    std::filesystem::path m_Root;
    std::string m_szCurrent = "C:\\DAT";
};

} // namespace pw
