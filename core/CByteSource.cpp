// Memory and file byte sources and sinks, the atomic file writer, little-endian field access.
#include "core/CByteSource.h"
#include "core/SafeWriteByName.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pw {
namespace {

std::string SystemError(int err) { return std::strerror(err); }

class CFdSink final : public CByteSink {
public:
    explicit CFdSink(std::FILE* f) : m_pFile(f) {}
    bool Write(const void* src, std::size_t n) override {
        if (n == 0) return true;
        if (std::fwrite(src, 1, n, m_pFile) == n) return true;
        if (!m_nErrno) m_nErrno = errno ? errno : EIO;
        return false;
    }
    int m_nErrno = 0;

private:
    std::FILE* m_pFile;
};

} // namespace

int RemoveStaleTemporaries(const std::string& path, long long olderThanSeconds) {
    const auto slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    // Only the names WriteFileAtomically makes for this target: "." + base + ".tmp-" + six characters.
    const std::string prefix = "." + base + ".tmp-";
    DIR* d = opendir(dir.c_str());
    if (!d) return 0;
    int removed = 0;
    const std::time_t now = std::time(nullptr);
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string full = (slash == std::string::npos ? std::string() : dir) + name;
        struct stat st {};
        // A save running right now (another process) has a fresh file: leave it alone.
        if (lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || now - st.st_mtime < olderThanSeconds)
            continue;
        if (unlink(full.c_str()) == 0) ++removed;
    }
    closedir(d);
    return removed;
}

std::size_t CMemorySource::Read(void* dst, std::size_t n) {
    const std::size_t k = std::min(n, m_nSize - m_nPos);
    if (k) std::memcpy(dst, m_pData + m_nPos, k);
    m_nPos += k;
    return k;
}

std::unique_ptr<CFileSource> CFileSource::Open(const std::string& path, std::string* error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (error) *error = SystemError(errno);
        return nullptr;
    }
    std::optional<uint64_t> size;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long end = std::ftell(f);
        if (end >= 0) size = static_cast<uint64_t>(end);
    }
    if (std::fseek(f, 0, SEEK_SET) != 0) size.reset();
    return std::unique_ptr<CFileSource>(new CFileSource(f, size));
}

std::optional<uint64_t> CFileSource::Remaining() const {
    if (!m_nSize) return std::nullopt;
    return *m_nSize > m_nPos ? *m_nSize - m_nPos : 0; // a file grown or cut since: never below 0
}

CFileSource::~CFileSource() { std::fclose(m_pFile); }

std::size_t CFileSource::Read(void* dst, std::size_t n) {
    const std::size_t k = std::fread(dst, 1, n, m_pFile);
    m_nPos += k;
    return k;
}

bool CMemorySink::Write(const void* src, std::size_t n) {
    const auto* p = static_cast<const uint8_t*>(src);
    m_Bytes.insert(m_Bytes.end(), p, p + n);
    return true;
}

namespace {

// The temporary file beside path, created empty with the mode the target has (or rw-r--r--); stale
// temporaries of earlier killed saves are cleared first. -1 and the error number when it cannot be.
int CreateTemporary(const std::string& path, std::string& tmp, int& nErrno, std::string& error) {
    const auto slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    // A save killed half-way leaves its temporary behind; the next save of the same target clears them.
    RemoveStaleTemporaries(path, kStaleTemporarySeconds);
    tmp = (slash == std::string::npos ? std::string() : dir) + "." + base + ".tmp-XXXXXX";
    std::vector<char> name(tmp.begin(), tmp.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        nErrno = errno;
        error = "cannot create a file in " + dir + ": " + SystemError(nErrno);
        return -1;
    }
    tmp = name.data();
    // mkstemp creates the file for its owner only: keep the mode of the file being replaced, or
    // give a new one the usual rw-r--r--.
    struct stat old {};
    fchmod(fd, stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    return fd;
}

// The complete temporary renamed over path; on failure it is removed.
std::string Commit(const std::string& tmp, const std::string& path, int& nErrno) {
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        nErrno = errno;
        unlink(tmp.c_str());
        return "cannot replace " + path + ": " + SystemError(nErrno);
    }
    return {};
}

// Ends a write: a complete temporary is renamed over path, a failed one is removed.
std::string Finish(const std::string& tmp, const std::string& path, bool written, int err, int& nErrno) {
    if (err || !written) {
        unlink(tmp.c_str());
        nErrno = err;
        return "cannot write " + path + ": " + (err ? SystemError(err) : std::string("the data could not be written"));
    }
    return Commit(tmp, path, nErrno);
}

} // namespace

std::string WriteFileAtomically(const std::string& path, const std::function<bool(CByteSink&)>& body,
                                int* pErrno) {
    int nUnused = 0;
    int& nErrno = pErrno ? *pErrno : nUnused;
    nErrno = 0;
    std::string tmp, error;
    const int fd = CreateTemporary(path, tmp, nErrno, error);
    if (fd < 0) return error;
    std::FILE* f = fdopen(fd, "wb");
    if (!f) {
        const int err = errno;
        close(fd);
        unlink(tmp.c_str());
        nErrno = err;
        return "cannot write " + path + ": " + SystemError(err);
    }
    CFdSink sink(f);
    const bool written = body(sink);
    int err = sink.m_nErrno;
    if (std::fflush(f) != 0 && !err) err = errno;
    if (!err && fsync(fileno(f)) != 0) err = errno;
    if (std::fclose(f) != 0 && !err) err = errno;
    return Finish(tmp, path, written, err, nErrno);
}

std::string
WriteFileAtomicallyByName(const std::string& path,
                          const std::function<bool(const std::string& tmpPath, int& nErrno)>& body,
                          int* pErrno, bool bDurable) {
    int nUnused = 0;
    int& nErrno = pErrno ? *pErrno : nUnused;
    nErrno = 0;
    std::string tmp, error;
    const int fd = CreateTemporary(path, tmp, nErrno, error);
    if (fd < 0) return error;
    close(fd);
    int err = 0;
    const bool written = body(tmp, err);
    if (written && bDurable) {
        // The writer closed its file; what it wrote reaches the disk before the rename.
        const int check = open(tmp.c_str(), O_RDONLY);
        if (check < 0) err = errno;
        else {
            if (fsync(check) != 0) err = errno;
            close(check);
        }
    }
    return Finish(tmp, path, written, err, nErrno);
}

bool CBinReader::Bytes(void* dst, std::size_t n) {
    if (!m_bOk) return false;
    if (m_Src.Read(dst, n) != n) m_bOk = false;
    return m_bOk;
}

bool CBinReader::Skip(std::size_t n) {
    uint8_t buf[256];
    while (m_bOk && n > 0) {
        const std::size_t k = std::min(n, sizeof buf);
        Bytes(buf, k);
        n -= k;
    }
    return m_bOk;
}

int16_t CBinReader::I16() {
    uint8_t b[2] = {};
    if (!Bytes(b, 2)) return 0;
    return static_cast<int16_t>(b[0] | (b[1] << 8));
}

int32_t CBinReader::I32() {
    uint8_t b[4] = {};
    if (!Bytes(b, 4)) return 0;
    return static_cast<int32_t>(uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) |
                                (uint32_t{b[3]} << 24));
}

float CBinReader::F32() {
    const auto bits = static_cast<uint32_t>(I32());
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

void CBinWriter::Bytes(const void* src, std::size_t n) {
    if (m_bOk && !m_Sink.Write(src, n)) m_bOk = false;
}

void CBinWriter::I16(int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    const uint8_t b[2] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8)};
    Bytes(b, 2);
}

void CBinWriter::I32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    const uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                          static_cast<uint8_t>(u >> 24)};
    Bytes(b, 4);
}

void CBinWriter::F32(float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    I32(static_cast<int32_t>(u));
}

} // namespace pw
