// Tester folder writer: the mirror of ReadPileFile and ReadFolderCount, field by field.
#include "core/TesterFolderWriter.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/GbkText.h"
#include "core/ProjectFile.h"

namespace pw {
namespace {

// A text field of the folder's width: the record's text cut on a character boundary, zero-padded.
// When the text fills the width there is no terminator; the reader stops at the width.
void TextField(CBinWriter& out, const char* field, std::size_t fieldWidth, std::size_t width) {
    char buffer[64] = {};
    const std::string_view text = FieldText(field, fieldWidth);
    const std::size_t n = GbkCutLength(text.data(), text.size(), width);
    std::memcpy(buffer, text.data(), n);
    out.Bytes(buffer, width);
}

} // namespace

bool WriteFolderIndex(CByteSink& sink, int count) {
    uint8_t bytes[44] = {};
    bytes[42] = static_cast<uint8_t>(count & 0xFF);
    bytes[43] = static_cast<uint8_t>((count >> 8) & 0xFF);
    return sink.Write(bytes, sizeof bytes);
}

bool WritePileFile(CByteSink& sink, const CPileRecord& r) {
    CBinWriter out(sink);
    out.I16(r.m_nPileNo);
    TextField(out, r.m_szPileName, sizeof r.m_szPileName, 10);
    out.I16(r.m_nDiameter);
    out.I16(r.m_nSignalType);
    out.I16(r.m_nAux1);
    out.I16(r.m_nAux2);
    out.F32(r.m_fAux3);
    out.I16(r.m_bIntegrate);
    out.I16(r.m_nLowPassPasses);
    TextField(out, r.m_szRemark, sizeof r.m_szRemark, 26);
    WriteScaleAndDefects(out, r);
    const uint8_t unused[16] = {};
    out.Bytes(unused, sizeof unused);
    TextField(out, r.m_szInfo, sizeof r.m_szInfo, 34);
    WriteRawSamples(out, r.m_fRaw);
    return out.Ok();
}

std::string SaveTesterFolder(const std::string& dir, const std::vector<CPileRecord>& piles) {
    if (piles.size() > 32767) return "a tester folder holds at most 32767 piles";
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) return "cannot create " + dir + ": " + error.message();
    const std::filesystem::path folder(dir);
    std::string failure = WriteFileAtomically((folder / "idindx.par").string(), [&](CByteSink& sink) {
        return WriteFolderIndex(sink, static_cast<int>(piles.size()));
    });
    for (std::size_t i = 0; failure.empty() && i < piles.size(); ++i) {
        const std::string name = std::to_string(i + 1) + ".wvf";
        failure = WriteFileAtomically((folder / name).string(),
                                      [&](CByteSink& sink) { return WritePileFile(sink, piles[i]); });
    }
    return failure;
}

} // namespace pw
