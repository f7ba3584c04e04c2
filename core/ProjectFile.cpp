// Project file reader and writers.
//
// File layout (little-endian, no padding, texts GBK and NUL-terminated inside their field):
//   0  char[5]  magic "ZOV01" | "WVF02" | "WVF03"
//   5  int16    N, number of records
//   7  char[50] test unit
//  57  char[20] project name
//  77  N records
//
// Record, version 3 (S segments, M marks; 4352 + 8S + 2M bytes; R = 68 + 8S):
//   0 int16 pile no | 2 char[10] name | 12 int16 pile type | 14 int16 diameter | 16 char[20] date
//  36 int16 signal type | 38 int16 aux1 | 40 int16 aux2 | 42 float aux3 | 46 int16 integrate
//  48 int16 low-pass passes | 50 int16 pre-zero | 52 int16 post-cut | 54 int16 shift y
//  56 int32 checked | 60 int16 shift x | 62 int16 zoom | 64 int32 S | 68 S x {float factor, int16 from, int16
//  to} R+0 char[40] remark | R+40 float length | R+44 int16 speed | R+46 float dt | R+50 int16 aux4 R+52
//  int16 gain mode | R+54 float gain | R+58 float gain delay | R+62 float low-pass | R+66 float high-pass
//  R+70 int16 rotate | R+72 int16 head sample | R+74 int16 step | R+76 10 x {int16 type, float depth}
//  R+136 12 bytes skipped by readers (the writer puts the first 12 bytes of info there)
//  R+148 int16 smooth | R+150 char[36] info | R+186 float[1024] raw | R+4282 int16 M | R+4284 int16[M] marks
//
// Records, versions 1 and 2 (4340 + 2M bytes): offsets 0..45 as above, then
//   version 2: 46 int16 integrate, passes, pre-zero, post-cut, shift y | 56 char[40] remark
//   version 1: 46 char[50] remark (the processing words are not stored)
// and from 96 on as version 3 from R+40 (R = 56).
//
// After the last counted record a version-3 file may carry our block (marker "PWBLOCK1", version,
// length, CRC-32, tagged sections; core/ProjectBlock.cpp and docs/project-block.md): the integrity
// classes the engineer decided, which the record layout has no room for. Readers that follow the
// layout above read exactly N records and never see it. This reader looks for it only when it read
// all N records of a version-3 file; a damaged block is ignored with a note. ZOV01 and WVF02 files
// are never given one.
#include "core/ProjectFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/CoreMessages.h"
#include "dsp/Round1.h"

namespace pw {
namespace {

constexpr const char* kMagics[] = {"ZOV01", "WVF02", "WVF03"};

void ReadDefects(CBinReader& in, CPileRecord& rec) {
    for (auto& d : rec.m_Defects) {
        d.nType = in.I16();
        d.fDepth = in.F32();
    }
}

void ReadRaw(CBinReader& in, float* raw) {
    uint8_t bytes[kSamples * 4];
    if (!in.Bytes(bytes, sizeof bytes)) return;
    for (int i = 0; i < kSamples; ++i) {
        const uint32_t u = uint32_t{bytes[4 * i]} | (uint32_t{bytes[4 * i + 1]} << 8) |
                           (uint32_t{bytes[4 * i + 2]} << 16) | (uint32_t{bytes[4 * i + 3]} << 24);
        std::memcpy(&raw[i], &u, 4);
    }
}

void ReadText(CBinReader& in, char* field, std::size_t fieldWidth, std::size_t fileWidth) {
    char buf[64] = {};
    in.Bytes(buf, fileWidth);
    ReadFieldText(field, fieldWidth, buf, fileWidth);
}

// The part every version shares from the pile length on (R+40 in version 3).
void ReadTail(CBinReader& in, CPileRecord& rec, std::vector<std::string>* notes) {
    // Lengths are kept to one decimal, as every depth derived from them is.
    rec.m_fPileLength = static_cast<float>(Round1(in.F32()));
    rec.m_nWaveSpeed = in.I16();
    rec.m_fSampleInterval = in.F32();
    rec.m_nAux4 = in.I16();
    rec.m_nGainMode = in.I16();
    rec.m_fGain = in.F32();
    rec.m_fGainDelay = in.F32();
    rec.m_fLowPass = in.F32();
    rec.m_fHighPass = in.F32();
    rec.m_nRotate = in.I16();
    rec.m_nHeadSample = in.I16();
    rec.m_nStep = in.I16();
    ReadDefects(in, rec);
    in.Skip(12);
    rec.m_nSmooth = in.I16();
    if (rec.m_nSmooth > 32 || rec.m_nSmooth < 1) rec.m_nSmooth = 1;
    ReadText(in, rec.m_szInfo, sizeof rec.m_szInfo, 36);
    ReadRaw(in, rec.m_fRaw);
    const int16_t marks = in.I16();
    rec.m_nMarkCount = 0;
    if (marks < 0 && in.Ok() && notes) notes->push_back("negative mark count " + std::to_string(marks) + " read as 0");
    for (int i = 0; i < marks && in.Ok(); ++i) {
        const int16_t m = in.I16();
        if (in.Ok() && i < kMaxMarks) rec.m_nMarks[rec.m_nMarkCount++] = m;
    }
    if (marks > kMaxMarks && in.Ok() && notes)
        notes->push_back("mark count " + std::to_string(marks) + ": marks beyond the fifth dropped");
}

void WriteTail(CBinWriter& out, const CPileRecord& rec, int markCount) {
    WriteScaleAndDefects(out, rec);
    out.Bytes(rec.m_szInfo, 12);
    out.I16(rec.m_nSmooth);
    out.Bytes(rec.m_szInfo, sizeof rec.m_szInfo);
    WriteRawSamples(out, rec.m_fRaw);
    out.I16(static_cast<int16_t>(markCount));
    for (int i = 0; i < markCount; ++i) out.I16(rec.m_nMarks[i]);
}

void WriteHead(CBinWriter& out, const CPileRecord& rec) {
    out.I16(rec.m_nPileNo);
    out.Bytes(rec.m_szPileName, sizeof rec.m_szPileName);
    out.I16(rec.m_nPileType);
    out.I16(rec.m_nDiameter);
    out.Bytes(rec.m_szTestDate, sizeof rec.m_szTestDate);
    out.I16(rec.m_nSignalType);
    out.I16(rec.m_nAux1);
    out.I16(rec.m_nAux2);
    out.F32(rec.m_fAux3);
}

void WriteProcessingWords(CBinWriter& out, const CPileRecord& rec) {
    out.I16(rec.m_bIntegrate);
    out.I16(rec.m_nLowPassPasses);
    out.I16(rec.m_nPreZero);
    out.I16(rec.m_nPostCut);
    out.I16(rec.m_nShiftY);
}

// Texts in memory are cut and terminated already; writing the whole field keeps that.
template <std::size_t N> void WriteField(CBinWriter& out, const char (&field)[N]) {
    char buf[N];
    StoreFieldText(buf, N, FieldText(field, N));
    out.Bytes(buf, N);
}

} // namespace

void WriteScaleAndDefects(CBinWriter& out, const CPileRecord& rec) {
    out.F32(rec.m_fPileLength);
    out.I16(rec.m_nWaveSpeed);
    out.F32(rec.m_fSampleInterval);
    out.I16(rec.m_nAux4);
    out.I16(rec.m_nGainMode);
    out.F32(rec.m_fGain);
    out.F32(rec.m_fGainDelay);
    out.F32(rec.m_fLowPass);
    out.F32(rec.m_fHighPass);
    out.I16(rec.m_nRotate);
    out.I16(rec.m_nHeadSample);
    out.I16(rec.m_nStep);
    for (const auto& d : rec.m_Defects) {
        out.I16(d.nType);
        out.F32(d.fDepth);
    }
}

void WriteRawSamples(CBinWriter& out, const float* raw) {
    uint8_t bytes[kSamples * 4];
    for (int i = 0; i < kSamples; ++i) {
        uint32_t u;
        std::memcpy(&u, &raw[i], 4);
        for (int k = 0; k < 4; ++k) bytes[4 * i + k] = static_cast<uint8_t>(u >> (8 * k));
    }
    out.Bytes(bytes, sizeof bytes);
}

const char* MagicOfVersion(int version) { return version >= 1 && version <= 3 ? kMagics[version - 1] : nullptr; }

int ReadVersion(CByteSource& src, std::string* magic) {
    char buf[6] = {};
    const std::size_t n = src.Read(buf, 5);
    if (magic) magic->assign(buf, n);
    for (int v = 1; v <= 3; ++v)
        if (std::strcmp(buf, kMagics[v - 1]) == 0) return v;
    return 0;
}

bool ReadHeader(CByteSource& src, CProjectHeader& header) {
    CBinReader in(src);
    header.m_nPileCount = in.I16();
    ReadText(in, header.m_szTestUnit, sizeof header.m_szTestUnit, 50);
    ReadText(in, header.m_szProjectName, sizeof header.m_szProjectName, 20);
    return in.Ok();
}

bool WriteHeader(CByteSink& sink, const CProjectHeader& header) {
    CBinWriter out(sink);
    out.I16(header.m_nPileCount);
    WriteField(out, header.m_szTestUnit);
    WriteField(out, header.m_szProjectName);
    return out.Ok();
}

bool ReadPile(CByteSource& src, CPileRecord& rec, int version, std::vector<std::string>* notes) {
    CBinReader in(src);
    rec.m_nPileNo = in.I16();
    ReadText(in, rec.m_szPileName, sizeof rec.m_szPileName, 10);
    rec.m_nPileType = in.I16();
    rec.m_nDiameter = in.I16();
    ReadText(in, rec.m_szTestDate, sizeof rec.m_szTestDate, 20);
    rec.m_nSignalType = in.I16();
    rec.m_nAux1 = in.I16();
    rec.m_nAux2 = in.I16();
    rec.m_fAux3 = in.F32();
    if (version == 1) {
        rec.m_bIntegrate = rec.m_nSignalType >= 2 ? 1 : 0;
        rec.m_nLowPassPasses = 1;
        rec.m_nPreZero = rec.m_nPostCut = rec.m_nShiftY = 0;
        ReadText(in, rec.m_szRemark, sizeof rec.m_szRemark, 50);
    } else {
        rec.m_bIntegrate = in.I16();
        rec.m_nLowPassPasses = in.I16();
        rec.m_nPreZero = in.I16();
        rec.m_nPostCut = in.I16();
        rec.m_nShiftY = in.I16();
        rec.m_pSegments.clear();
        if (version == 3) {
            rec.m_bChecked = in.I32();
            rec.m_nShiftX = in.I16();
            rec.m_nZoom = in.I16();
            const int32_t segments = in.I32();
            if (segments < 0 && in.Ok() && notes)
                notes->push_back("negative segment count " + std::to_string(segments) + " read as 0");
            // One segment at a time: a damaged count costs at most what the file really holds.
            for (int32_t i = 0; i < segments && in.Ok(); ++i) {
                AmpSegment seg;
                seg.fFactor = in.F32();
                seg.nFrom = in.I16();
                seg.nTo = in.I16();
                if (in.Ok()) rec.m_pSegments.push_back(seg);
            }
        }
        ReadText(in, rec.m_szRemark, sizeof rec.m_szRemark, 40);
    }
    ReadTail(in, rec, notes);
    rec.Touch();
    return in.Ok();
}

bool WritePile(CByteSink& sink, const CPileRecord& rec) {
    CBinWriter out(sink);
    WriteHead(out, rec);
    WriteProcessingWords(out, rec);
    out.I32(rec.m_bChecked);
    out.I16(rec.m_nShiftX);
    out.I16(rec.m_nZoom);
    out.I32(rec.GetSegmentCount());
    for (const auto& seg : rec.m_pSegments) {
        out.F32(seg.fFactor);
        out.I16(seg.nFrom);
        out.I16(seg.nTo);
    }
    WriteField(out, rec.m_szRemark);
    WriteTail(out, rec, std::clamp<int>(rec.m_nMarkCount, 0, kMaxMarks));
    return out.Ok();
}

CReadReport ReadProject(CByteSource& src, CProjectData& out, int* version) {
    CReadReport report;
    out = CProjectData{};
    std::string magic;
    const int v = ReadVersion(src, &magic);
    if (version) *version = v;
    if (magic.size() < 5) {
        if (magic.empty())
            report.Fail(ReadError::kEmpty, 0, 0, "empty file");
        else
            report.Fail(ReadError::kTooShort, 0, static_cast<long long>(magic.size()),
                        "too short for a project file (" + std::to_string(magic.size()) + " bytes)");
        return report;
    }
    if (v == 0) {
        std::string shown;
        for (unsigned char c : magic)
            shown += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
        report.Fail(ReadError::kBadMagic, 0, 0, "bad magic \"" + shown + "\"");
        return report;
    }
    if (!ReadHeader(src, out.m_Header)) {
        out.m_Header = CProjectHeader{};
        report.Fail(ReadError::kTruncatedHeader, 0, static_cast<long long>(src.Tell()),
                    "truncated in the header at byte " + std::to_string(src.Tell()));
        return report;
    }
    const int count = out.m_Header.m_nPileCount;
    if (count < 0)
        report.Fail(ReadError::kNegativeCount, 0, 5, "negative pile count " + std::to_string(count));
    // Reserve no more than a project holds and the data can hold, whatever the count says: every
    // record carries its 1024 raw samples.
    std::size_t reserve = static_cast<std::size_t>(std::clamp(count, 0, kMaxPiles));
    if (const auto left = src.Remaining())
        reserve = std::min<std::size_t>(reserve, static_cast<std::size_t>(*left / (kSamples * sizeof(float))));
    out.m_Piles.reserve(reserve);
    // A project holds at most kMaxPiles records: stop there, so a hostile count cannot take memory
    // for 32767 records that the document would drop anyway.
    const int toRead = std::min(count, kMaxPiles);
    report.m_nRecordsLeft = count - toRead > 0 ? count - toRead : 0;
    if (count > kMaxPiles)
        report.m_Notes.push_back("the header counts " + std::to_string(count) + " records; the first " +
                                 std::to_string(kMaxPiles) + " are read");
    for (int i = 0; i < toRead; ++i) {
        if (!ReadPile(src, out.m_Piles.emplace_back(), v, &report.m_Notes)) {
            out.m_Piles.pop_back();
            report.Fail(ReadError::kTruncatedRecord, i + 1, static_cast<long long>(src.Tell()),
                        "truncated in record " + std::to_string(i + 1) + " at byte " +
                            std::to_string(src.Tell()) + " (the header counts " + std::to_string(count) +
                            " records)");
            break;
        }
    }
    if (v == 3 && report.m_bOk && count <= kMaxPiles)
        ReadBlock(src, out.m_Piles, out.m_UnknownSections, report.m_Notes);
    // Piles are addressed by number: whatever a file stored (the rows a checked-piles file was made
    // from, two short tester files both numbered 5), the project numbers them 1..N in file order.
    out.m_StoredPileNos.clear();
    for (std::size_t i = 0; i < out.m_Piles.size(); ++i) {
        out.m_StoredPileNos.push_back(out.m_Piles[i].m_nPileNo);
        out.m_Piles[i].m_nPileNo = static_cast<int16_t>(i + 1);
    }
    out.m_Header.m_nPileCount = static_cast<int16_t>(out.m_Piles.size());
    return report;
}

CReadReport LoadProjectFile(const std::string& path, CProjectData& out, int* version) {
    std::string error;
    auto src = CFileSource::Open(path, &error);
    if (!src) {
        out = CProjectData{};
        if (version) *version = 0;
        CReadReport report;
        report.Fail(ReadError::kCannotOpen, 0, -1, "cannot open: " + error);
        return report;
    }
    return ReadProject(*src, out, version);
}

bool WriteProject(CByteSink& sink, const CProjectHeader& header, const std::vector<CPileRecord>& piles,
                  const std::vector<CBlockSection>& kept) {
    if (piles.size() > 32767) return false; // the count is a 16-bit field
    CProjectHeader h = header;
    h.m_nPileCount = static_cast<int16_t>(piles.size());
    if (!sink.Write(kMagics[2], 5) || !WriteHeader(sink, h)) return false;
    for (const auto& rec : piles)
        if (!WritePile(sink, rec)) return false;
    return WriteBlock(sink, piles, kept);
}

std::string SaveProjectFile(const std::string& path, const CProjectHeader& header,
                            const std::vector<CPileRecord>& piles, int* pErrno,
                            const std::vector<CBlockSection>& kept) {
    if (pErrno) *pErrno = 0;
    if (piles.size() > 32767) return "too many records for one project file";
    return WriteFileAtomically(path, [&](CByteSink& sink) { return WriteProject(sink, header, piles, kept); },
                               pErrno);
}

bool WriteCheckedPiles(CByteSink& sink, const CProjectHeader& header, const std::vector<CPileRecord>& piles,
                       const std::vector<int>& pileNos) {
    std::vector<const CPileRecord*> chosen;
    for (int no : pileNos)
        for (const auto& rec : piles)
            if (rec.m_nPileNo == no) {
                chosen.push_back(&rec);
                break;
            }
    if (chosen.size() > 32767) return false;
    CProjectHeader h = header;
    h.m_nPileCount = static_cast<int16_t>(chosen.size());
    if (!sink.Write(kMagics[0], 5) || !WriteHeader(sink, h)) return false;
    // Under "ZOV01" a reader takes bytes 46..95 as a 50-byte remark and resets the processing words:
    // the layout other readers of this file type expect.
    for (const CPileRecord* rec : chosen)
        if (!WriteLegacyPile(sink, *rec, false)) return false;
    return true;
}

bool WriteLegacyPile(CByteSink& sink, const CPileRecord& rec, bool withMarks) {
    CBinWriter out(sink);
    WriteHead(out, rec);
    WriteProcessingWords(out, rec);
    WriteField(out, rec.m_szRemark);
    WriteTail(out, rec, withMarks ? std::clamp<int>(rec.m_nMarkCount, 0, kMaxMarks) : 0);
    return out.Ok();
}

bool WriteProjectV2(CByteSink& sink, const CProjectHeader& header, const std::vector<CPileRecord>& piles) {
    if (piles.size() > 32767) return false;
    CProjectHeader h = header;
    h.m_nPileCount = static_cast<int16_t>(piles.size());
    if (!sink.Write(kMagics[1], 5) || !WriteHeader(sink, h)) return false;
    for (const auto& rec : piles)
        if (!WriteLegacyPile(sink, rec, true)) return false;
    return true;
}

CReadReport MergeProjects(CByteSource& file1, CByteSource& file2, CProjectData& out) {
    CReadReport report;
    out = CProjectData{};
    CProjectData a, b;
    CReadReport r1 = ReadProject(file1, a);
    CReadReport r2 = ReadProject(file2, b);
    if (!r1.m_bOk || !r2.m_bOk) {
        report.Fail(std::string(msg::kMergeFailed) + " " + (!r1.m_bOk ? "file 1: " + r1.m_strError : "file 2: " + r2.m_strError));
        return report;
    }
    // Count what the files hold, not only what was read: a reader stops at kMaxPiles.
    const std::size_t total = a.m_Piles.size() + b.m_Piles.size() +
                              static_cast<std::size_t>(r1.m_nRecordsLeft) +
                              static_cast<std::size_t>(r2.m_nRecordsLeft);
    if (total > static_cast<std::size_t>(kMaxPiles)) {
        report.Fail(ReadError::kTooManyToMerge, static_cast<int>(total), -1,
                    std::string(msg::kMergeFailed) + " " + std::to_string(total) +
                        " records together; a project holds at most " + std::to_string(kMaxPiles));
        return report;
    }
    out.m_Header = a.m_Header;
    out.m_Piles = std::move(a.m_Piles);
    for (auto& rec : b.m_Piles) out.m_Piles.push_back(std::move(rec));
    for (std::size_t i = 0; i < out.m_Piles.size(); ++i) out.m_Piles[i].m_nPileNo = static_cast<int16_t>(i + 1);
    out.m_Header.m_nPileCount = static_cast<int16_t>(out.m_Piles.size());
    report.m_Notes = std::move(r1.m_Notes);
    for (auto& n : r2.m_Notes) report.m_Notes.push_back(std::move(n));
    if (!a.m_UnknownSections.empty() || !b.m_UnknownSections.empty())
        report.m_Notes.push_back("sections of the block after the records that this program does not know are "
                                 "dropped: the merge renumbers the records they belong to");
    return report;
}

CReadReport MergeProjectFiles(const std::string& path1, const std::string& path2, CProjectData& out) {
    out = CProjectData{};
    std::string e1, e2;
    auto f1 = CFileSource::Open(path1, &e1);
    auto f2 = CFileSource::Open(path2, &e2);
    if (!f1 || !f2) {
        CReadReport report;
        report.Fail(std::string(msg::kMergeFailed) + " cannot open " + (!f1 ? path1 + ": " + e1 : path2 + ": " + e2));
        return report;
    }
    return MergeProjects(*f1, *f2, out);
}

} // namespace pw
