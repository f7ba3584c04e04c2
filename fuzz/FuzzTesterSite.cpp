// Fuzz target: the readers of a tester site folder, from memory. The input is cut into "wvf.par"
// (its first 72 bytes) and record files of 4338 bytes, 1.wvf, 2.wvf, ... (the last may be short),
// read in order through one work area as the conversion reads them. Every converted record keeps
// the promises of the WVF02 layout (integrate 0 or 1, 1..5 low-pass passes, no pre-zero, post-cut,
// shift or marks), and the project made of them reads back whole with its count. The
// tester_site_files target runs the conversion itself, through files on disk.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "core/ProjectFile.h"
#include "link/TesterConversion.h"

namespace {

constexpr int kMaxRecordFiles = 16;

int16_t I16(const uint8_t* p) {
    return static_cast<int16_t>(p[0] | p[1] << 8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t parameters = size < 72 ? size : 72;
    pw::CMemorySource par(data, parameters);
    pw::CProjectHeader header;
    if (!pw::ReadFolderParameters(par, header)) std::abort();
    if (header.m_szTestUnit[49] != 0 || header.m_szProjectName[19] != 0) std::abort();

    // Record files beyond those the input holds are missing: no need to count up to 32767.
    std::vector<uint8_t> records;
    auto work = std::make_unique<pw::SInstrumentWorkArea>();
    uint8_t record[pw::kWvf02RecordSize];
    size_t at = parameters;
    for (int n = 1; n <= header.m_nPileCount && n <= kMaxRecordFiles && at < size; ++n) {
        const size_t len = size - at < pw::kInstrumentRecordSize ? size - at : pw::kInstrumentRecordSize;
        pw::CMemorySource file(data + at, len);
        at += len;
        if (!pw::ReadInstrumentRecord(file, *work, record)) std::abort();
        const int16_t integrate = I16(record + 46), passes = I16(record + 48);
        if ((integrate != 0 && integrate != 1) || passes < 1 || passes > 5) std::abort();
        for (size_t i : {50u, 51u, 52u, 53u, 54u, 55u, 4338u, 4339u})
            if (record[i] != 0) std::abort();
        records.insert(records.end(), record, record + sizeof record);
    }

    const int count = static_cast<int>(records.size() / pw::kWvf02RecordSize);
    header.m_nPileCount = static_cast<int16_t>(count);
    pw::CMemorySink sink;
    if (!sink.Write("WVF02", 5) || !pw::WriteHeader(sink, header) ||
        (count && !sink.Write(records.data(), records.size())))
        std::abort();
    pw::CMemorySource project(sink.m_Bytes);
    pw::CProjectData read;
    int version = 0;
    const pw::CReadReport report = pw::ReadProject(project, read, &version);
    if (!report.m_bOk || version != 2 || static_cast<int>(read.m_Piles.size()) != count) std::abort();
    return 0;
}
