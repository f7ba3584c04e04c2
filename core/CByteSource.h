// Byte sources and sinks for the readers and writers: files and memory look the same to them, so
// tests and fuzzers feed memory. Little-endian field access on top (CBinReader, CBinWriter).
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pw {

class CByteSource {
public:
    virtual ~CByteSource() = default;
    // Reads up to n bytes; fewer only at the end of the data.
    virtual std::size_t Read(void* dst, std::size_t n) = 0;
    // Bytes consumed so far.
    virtual uint64_t Tell() const = 0;
    // Bytes left to read, when the source knows (readers size their buffers by it, not by a count
    // the data claims).
    virtual std::optional<uint64_t> Remaining() const { return std::nullopt; }
};

class CMemorySource final : public CByteSource {
public:
    CMemorySource(const void* data, std::size_t size)
        : m_pData(static_cast<const uint8_t*>(data)), m_nSize(size) {}
    explicit CMemorySource(const std::vector<uint8_t>& bytes) : CMemorySource(bytes.data(), bytes.size()) {}
    std::size_t Read(void* dst, std::size_t n) override;
    uint64_t Tell() const override { return m_nPos; }
    std::optional<uint64_t> Remaining() const override { return m_nSize - m_nPos; }

private:
    const uint8_t* m_pData;
    std::size_t m_nSize;
    std::size_t m_nPos = 0;
};

class CFileSource final : public CByteSource {
public:
    // nullptr and a reason in error when the file cannot be opened.
    static std::unique_ptr<CFileSource> Open(const std::string& path, std::string* error);
    ~CFileSource() override;
    CFileSource(const CFileSource&) = delete;
    CFileSource& operator=(const CFileSource&) = delete;
    std::size_t Read(void* dst, std::size_t n) override;
    uint64_t Tell() const override { return m_nPos; }
    std::optional<uint64_t> Remaining() const override;

private:
    CFileSource(std::FILE* f, std::optional<uint64_t> size) : m_pFile(f), m_nSize(size) {}
    std::FILE* m_pFile;
    std::optional<uint64_t> m_nSize; // at opening; unknown for what cannot seek (a pipe)
    uint64_t m_nPos = 0;
};

class CByteSink {
public:
    virtual ~CByteSink() = default;
    virtual bool Write(const void* src, std::size_t n) = 0;
};

class CMemorySink final : public CByteSink {
public:
    bool Write(const void* src, std::size_t n) override;
    std::vector<uint8_t> m_Bytes;
};

// Writes a file so that the previous one survives any failure: the body writes into a temporary
// file beside path, which is flushed to disk and renamed over path only when everything succeeded.
// Returns "" or what went wrong (the temporary file is removed then); *pErrno, when given, receives
// the system's error number behind a failure (0 on success, and when the body gave up by itself).
std::string WriteFileAtomically(const std::string& path, const std::function<bool(CByteSink&)>& body,
                                int* pErrno = nullptr);

// Temporaries of path that a killed save left behind (".<name>.tmp-XXXXXX" beside it) and that are
// older than the given age are removed; WriteFileAtomically does this before each save. Returns the
// number removed.
inline constexpr long long kStaleTemporarySeconds = 600;
int RemoveStaleTemporaries(const std::string& path, long long olderThanSeconds);

// Little-endian fields from a source. After the first short read every later read fails too and
// Ok() stays false; Failed() tells where the data ended.
class CBinReader {
public:
    explicit CBinReader(CByteSource& src) : m_Src(src) {}
    bool Ok() const { return m_bOk; }
    uint64_t Tell() const { return m_Src.Tell(); }
    bool Bytes(void* dst, std::size_t n);
    bool Skip(std::size_t n);
    int16_t I16();
    int32_t I32();
    float F32();

private:
    CByteSource& m_Src;
    bool m_bOk = true;
};

class CBinWriter {
public:
    explicit CBinWriter(CByteSink& sink) : m_Sink(sink) {}
    bool Ok() const { return m_bOk; }
    void Bytes(const void* src, std::size_t n);
    void I16(int16_t v);
    void I32(int32_t v);
    void F32(float v);

private:
    CByteSink& m_Sink;
    bool m_bOk = true;
};

} // namespace pw
