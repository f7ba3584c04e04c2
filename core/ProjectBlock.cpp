// The block after the last record of a version-3 project file.
//
// Layout (little-endian), starting right after the last record the header counts:
//   0 char[8]  marker "PWBLOCK1"
//   8 uint16   block version (1)
//  10 uint32   L, bytes of the sections that follow
//  14 uint32   CRC-32 of those L bytes
//  18 L bytes  sections, each: char[4] tag | uint16 tag version | uint16 flags | uint32 n | n bytes body
// A section with flag 1 (per record) has the common body every per-record tag shares, so that a
// program can renumber or drop the entries of a tag it does not understand:
//   uint16 entry count, then each entry: uint16 record (1-based place in the file) | char[10] pile
//   name as the record stores it | uint16 m | m bytes data
// Tag "CLAS", version 1, per record: data is one byte, the class the engineer decided (1 Ⅰ .. 4 Ⅳ);
// records that follow the defect rule have no entry.
// Readers that follow the record layout read exactly the counted records and never see the block.
#include "core/ProjectBlock.h"

#include <array>
#include <cstring>
#include <string_view>

namespace pw {
namespace {

// A block larger than this is not ours (a class per record for 500 records is a few KiB).
constexpr std::size_t kMaxBlockBytes = 16u << 20;

void Put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int k = 0; k < 4; ++k) v.push_back(static_cast<uint8_t>(x >> (8 * k)));
}

// Reads little-endian fields from a byte span; after a short read every later one fails.
struct CSpan {
    const uint8_t* p;
    std::size_t n;
    std::size_t at = 0;
    bool ok = true;
    bool Has(std::size_t k) {
        if (!ok || n - at < k) ok = false;
        return ok;
    }
    uint16_t U16() {
        if (!Has(2)) return 0;
        const uint16_t x = static_cast<uint16_t>(p[at] | (p[at + 1] << 8));
        at += 2;
        return x;
    }
    uint32_t U32() {
        if (!Has(4)) return 0;
        uint32_t x = 0;
        for (int k = 0; k < 4; ++k) x |= uint32_t{p[at + static_cast<std::size_t>(k)]} << (8 * k);
        at += 4;
        return x;
    }
    const uint8_t* Take(std::size_t k) {
        if (!Has(k)) return nullptr;
        const uint8_t* q = p + at;
        at += k;
        return q;
    }
};

// Names compare as texts: what follows the terminator inside the field is not part of the name.
std::string_view NameText(const char* field) { return std::string_view(field, strnlen(field, 10)); }
bool SameName(const char* a, const char* b) { return NameText(a) == NameText(b); }

std::string TagText(const std::string& tag) {
    std::string shown;
    for (unsigned char c : tag) shown += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    return shown;
}

void TakeClasses(const CBlockSection& s, std::vector<CPileRecord>& piles, std::vector<std::string>& notes) {
    std::vector<CRecordEntry> entries;
    if (s.m_nVersion != 1 || !(s.m_nFlags & kSectionPerRecord) || !ParseRecordEntries(s.m_Body, entries)) {
        notes.push_back("the class decisions after the records cannot be read (section version " +
                        std::to_string(s.m_nVersion) + "); the piles follow the defect rule");
        return;
    }
    int dropped = 0;
    for (const CRecordEntry& e : entries) {
        // An entry is trusted only for the record it names by place and pile name both.
        if (e.m_nRecord < 1 || e.m_nRecord > static_cast<int>(piles.size()) || e.m_Data.size() != 1 ||
            e.m_Data[0] < 1 || e.m_Data[0] > 4) {
            ++dropped;
            continue;
        }
        CPileRecord& rec = piles[static_cast<std::size_t>(e.m_nRecord - 1)];
        if (!SameName(rec.m_szPileName, e.m_szPileName)) {
            ++dropped;
            continue;
        }
        rec.m_nClassDecision = e.m_Data[0];
    }
    if (dropped > 0)
        notes.push_back(std::to_string(dropped) +
                        " class decisions name records the file does not hold; those piles follow the defect rule");
}

} // namespace

uint32_t Crc32(const uint8_t* data, std::size_t n) {
    static const std::array<uint32_t, 256> kTable = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) crc = kTable[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

bool ParseRecordEntries(const std::vector<uint8_t>& body, std::vector<CRecordEntry>& out) {
    out.clear();
    CSpan in{body.data(), body.size()};
    const uint16_t count = in.U16();
    for (uint16_t i = 0; i < count && in.ok; ++i) {
        CRecordEntry e;
        e.m_nRecord = in.U16();
        if (const uint8_t* name = in.Take(10)) std::memcpy(e.m_szPileName, name, 10);
        const uint16_t m = in.U16();
        if (const uint8_t* data = in.Take(m)) e.m_Data.assign(data, data + m);
        if (in.ok) out.push_back(std::move(e));
    }
    return in.ok && in.at == body.size();
}

std::vector<uint8_t> RecordEntriesBody(const std::vector<CRecordEntry>& entries) {
    std::vector<uint8_t> body;
    Put16(body, static_cast<uint16_t>(entries.size()));
    for (const CRecordEntry& e : entries) {
        Put16(body, static_cast<uint16_t>(e.m_nRecord));
        body.insert(body.end(), e.m_szPileName, e.m_szPileName + 10);
        Put16(body, static_cast<uint16_t>(e.m_Data.size()));
        body.insert(body.end(), e.m_Data.begin(), e.m_Data.end());
    }
    return body;
}

void ReadBlock(CByteSource& src, std::vector<CPileRecord>& piles, std::vector<CBlockSection>& unknown,
               std::vector<std::string>& notes) {
    unknown.clear();
    std::vector<uint8_t> bytes;
    uint8_t chunk[4096];
    while (bytes.size() <= kMaxBlockBytes) {
        const std::size_t n = src.Read(chunk, sizeof chunk);
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    if (bytes.empty()) return;
    const std::string after = std::to_string(bytes.size()) + " bytes after the last record";
    if (bytes.size() < 18 || std::memcmp(bytes.data(), kBlockMarker, 8) != 0) {
        notes.push_back(after + " are not a block this program knows; ignored");
        return;
    }
    CSpan head{bytes.data(), bytes.size(), 8};
    const uint16_t version = head.U16();
    const uint32_t length = head.U32();
    const uint32_t crc = head.U32();
    if (version != kBlockVersion) {
        notes.push_back("the block after the records has version " + std::to_string(version) +
                        ", which this program does not read; ignored");
        return;
    }
    if (length != bytes.size() - 18 || Crc32(bytes.data() + 18, length) != crc) {
        notes.push_back("the block after the records is damaged (" + after +
                        (length != bytes.size() - 18 ? ", its length says " + std::to_string(length + 18)
                                                     : ", its checksum does not match") +
                        "); ignored: the records are read, class decisions are not");
        return;
    }
    CSpan in{bytes.data() + 18, length};
    std::vector<CBlockSection> sections;
    while (in.ok && in.at < in.n) {
        CBlockSection s;
        if (const uint8_t* tag = in.Take(4)) s.m_strTag.assign(reinterpret_cast<const char*>(tag), 4);
        s.m_nVersion = in.U16();
        s.m_nFlags = in.U16();
        const uint32_t n = in.U32();
        if (const uint8_t* body = in.Take(n)) s.m_Body.assign(body, body + n);
        if (in.ok) sections.push_back(std::move(s));
    }
    if (!in.ok) {
        notes.push_back("the block after the records has a damaged section; ignored: class decisions are not read");
        return;
    }
    for (CBlockSection& s : sections) {
        if (s.m_strTag == kClassTag)
            TakeClasses(s, piles, notes);
        else {
            notes.push_back("the block after the records holds \"" + TagText(s.m_strTag) +
                            "\", which this program does not know; it is kept while the records stay as they are");
            unknown.push_back(std::move(s));
        }
    }
}

bool WriteBlock(CByteSink& sink, const std::vector<CPileRecord>& piles, const std::vector<CBlockSection>& kept) {
    std::vector<CRecordEntry> classes;
    for (std::size_t i = 0; i < piles.size(); ++i) {
        const CPileRecord& rec = piles[i];
        if (rec.m_nClassDecision < 1 || rec.m_nClassDecision > 4) continue;
        CRecordEntry e;
        e.m_nRecord = static_cast<int>(i + 1);
        const std::string_view name = NameText(rec.m_szPileName); // zero-padded, as the record stores it
        std::memcpy(e.m_szPileName, name.data(), name.size());
        e.m_Data = {static_cast<uint8_t>(rec.m_nClassDecision)};
        classes.push_back(std::move(e));
    }
    if (classes.empty() && kept.empty()) return true;
    std::vector<CBlockSection> sections;
    if (!classes.empty()) sections.push_back({kClassTag, 1, kSectionPerRecord, RecordEntriesBody(classes)});
    for (const CBlockSection& s : kept)
        if (s.m_strTag != kClassTag) sections.push_back(s);
    std::vector<uint8_t> body;
    for (const CBlockSection& s : sections) {
        std::string tag = s.m_strTag;
        tag.resize(4, ' ');
        body.insert(body.end(), tag.begin(), tag.end());
        Put16(body, s.m_nVersion);
        Put16(body, s.m_nFlags);
        Put32(body, static_cast<uint32_t>(s.m_Body.size()));
        body.insert(body.end(), s.m_Body.begin(), s.m_Body.end());
    }
    std::vector<uint8_t> block(kBlockMarker, kBlockMarker + 8);
    Put16(block, kBlockVersion);
    Put32(block, static_cast<uint32_t>(body.size()));
    Put32(block, Crc32(body.data(), body.size()));
    block.insert(block.end(), body.begin(), body.end());
    return sink.Write(block.data(), block.size());
}

} // namespace pw
