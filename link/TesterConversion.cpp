// Tester site folder -> "WVF02" project file.
//
// Tester record file (4338 bytes, little-endian) -> WVF02 record (4340 bytes):
//   tester  width  WVF02  field
//        0     46      0  pile no .. aux3, copied as they are
//       46      2     46  integrate: 0 or 1 kept, anything else 0
//       48      2     48  low-pass passes: <= 0 -> 1, > 5 -> 5
//        -      6     50  pre-zero, post-cut, shift-y: 0
//       50     46     56  remark: first 40 bytes copied, last 6 dropped
//       96   4242     96  pile length .. defects, the 50-byte block at 192, 1024 raw samples: copied
//        -      2   4338  mark count 0
// Project file: "WVF02", int16 count, 50-byte test unit, 20-byte project name, then the records.
#include "link/TesterConversion.h"

#include "core/CByteSource.h"
#include "core/ProjectFile.h"
#include "link/LinkTexts.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

namespace pw {

namespace {

constexpr const char* kParameterOpenError = "\r\nParameter file open error!\r\n";
constexpr const char* kTargetOpenError = "\r\nTarget file open error!\r\n";
constexpr const char* kConvertOpenError = "转换文件打开错误!\r\n";
constexpr const char* kNotTesterData = "所传输的文件不是测桩仪数据文件！";
constexpr const char kPreset[] = "qelvora";

int16_t GetI16(const uint8_t* p) {
    return static_cast<int16_t>(p[0] | p[1] << 8);
}
void PutI16(uint8_t* p, int16_t v) {
    p[0] = static_cast<uint8_t>(v & 0xFF);
    p[1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}

std::string InFolder(const std::string& szFolder, const std::string& szName) {
    return szFolder.empty() || szFolder.back() == '/' ? szFolder + szName : szFolder + "/" + szName;
}

std::string Lower(std::string sz) {
    for (char& c : sz)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return sz;
}

// The files of a folder by their lower-case names. Where two names differ in case only, the one in
// lower case wins (the name the tester's own reader would open on a case-sensitive disk), else the
// first in sorted order.
std::map<std::string, std::string> FilesByLowerName(const std::string& szFolder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(szFolder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::map<std::string, std::string> files;
    for (const std::string& szName : names) {
        auto [it, bNew] = files.emplace(Lower(szName), szName);
        if (!bNew && szName == it->first) it->second = szName;
    }
    return files;
}

} // namespace

bool ReadFolderParameters(CByteSource& src, CProjectHeader& header) {
    uint8_t bytes[72] = {};
    src.Read(bytes, sizeof bytes); // a short file leaves the rest zero
    header = CProjectHeader{};
    header.m_nPileCount = GetI16(bytes);
    std::memcpy(header.m_szTestUnit, bytes + 2, 50);
    std::memcpy(header.m_szProjectName, bytes + 52, 20);
    // The fields are zero-terminated inside their width on the PC side.
    header.m_szTestUnit[49] = '\0';
    header.m_szProjectName[19] = '\0';
    return true;
}

bool ReadFolderParameters(const std::string& szPath, CProjectHeader& header) {
    const auto pSource = CFileSource::Open(szPath, nullptr);
    return pSource && ReadFolderParameters(*pSource, header);
}

bool ReadInstrumentRecord(CByteSource& src, SInstrumentWorkArea& work, uint8_t (&record)[kWvf02RecordSize]) {
    uint8_t* img = work.m_Image;
    std::memset(img + 242, 0, 4096);
    std::memset(img + 50, 0, 46);
    std::memcpy(img + 50, kPreset, sizeof kPreset - 1);
    std::memset(img + 192, 0, 50);
    std::memcpy(img + 192, kPreset, sizeof kPreset - 1);
    // A short file leaves the presets (and the previous record's fields) beyond its end.
    src.Read(img, kInstrumentRecordSize);

    std::memset(record, 0, sizeof record);
    std::memcpy(record, img, 46);
    const int16_t nIntegrate = GetI16(img + 46);
    PutI16(record + 46, nIntegrate == 0 || nIntegrate == 1 ? nIntegrate : 0);
    int16_t nPasses = GetI16(img + 48);
    if (nPasses <= 0) nPasses = 1;
    if (nPasses > 5) nPasses = 5;
    PutI16(record + 48, nPasses);
    std::memcpy(record + 56, img + 50, 40);
    std::memcpy(record + 96, img + 96, kInstrumentRecordSize - 96);
    return true;
}

bool ReadInstrumentRecord(const std::string& szPath, SInstrumentWorkArea& work,
                          uint8_t (&record)[kWvf02RecordSize]) {
    const auto pSource = CFileSource::Open(szPath, nullptr);
    return pSource && ReadInstrumentRecord(*pSource, work, record);
}

CConvertResult ConvertFolder(const std::string& szFolder, const std::string& szTarget,
                             const std::function<void(const std::string&)>& onLog) {
    CConvertResult result;
    auto Log = [&](const char* szText) {
        if (onLog) onLog(szText);
    };
    const auto files = FilesByLowerName(szFolder);
    auto Path = [&](const std::string& szName) {
        const auto it = files.find(szName);
        return InFolder(szFolder, it == files.end() ? szName : it->second);
    };
    CProjectHeader header;
    const std::string szParameters = Path("wvf.par");
    if (!ReadFolderParameters(szParameters, header)) {
        Log(kParameterOpenError);
        result.m_eCode = EResultCode::ReadFailed;
        result.m_strMessage = kNotTesterData;
        result.m_strDetail = szParameters + " cannot be read as the tester's parameter file";
        return result;
    }
    std::remove(szParameters.c_str());
    std::remove(Path("pindex.par").c_str());
    result.m_nExpected = header.m_nPileCount;

    // Records first, header after: the count written is the count of records that were there.
    std::vector<uint8_t> records;
    auto pWork = std::make_unique<SInstrumentWorkArea>();
    uint8_t record[kWvf02RecordSize];
    for (int n = 1; n <= header.m_nPileCount; ++n) {
        const std::string szRecord = Path(std::to_string(n) + ".wvf");
        std::error_code error;
        const uintmax_t nSize = std::filesystem::file_size(szRecord, error);
        if (!error && nSize < kInstrumentRecordSize) {
            char szLine[512];
            const std::string szName = std::filesystem::path(szRecord).filename().string();
            std::snprintf(szLine, sizeof szLine, LinkText::kShortRecordLog, szName.c_str(),
                          static_cast<unsigned long long>(nSize),
                          static_cast<unsigned long long>(kInstrumentRecordSize));
            if (onLog) onLog(szLine);
            result.m_Missing.push_back(n);
            result.m_ShortFiles.push_back(szName);
            continue;
        }
        if (!ReadInstrumentRecord(szRecord, *pWork, record)) {
            Log(kTargetOpenError);
            result.m_Missing.push_back(n);
            continue;
        }
        std::remove(szRecord.c_str());
        records.insert(records.end(), record, record + kWvf02RecordSize);
    }
    header.m_nPileCount = static_cast<int16_t>(records.size() / kWvf02RecordSize);
    const std::string szError = WriteFileAtomically(szTarget, [&](CByteSink& sink) {
        return sink.Write("WVF02", 5) && WriteHeader(sink, header) &&
               (records.empty() || sink.Write(records.data(), records.size()));
    });
    if (!szError.empty()) {
        Log(kConvertOpenError);
        result.m_eCode = EResultCode::WriteFailed;
        result.m_strDetail = szError;
        return result;
    }
    result.m_eCode = result.m_Missing.empty() ? EResultCode::Ok : EResultCode::Partial;
    result.m_nRecords = header.m_nPileCount;
    return result;
}

} // namespace pw

namespace pw {

bool ReadSiteList(CByteSource& src, std::vector<std::string>& sites) {
    sites.clear();
    uint8_t count[2] = {};
    if (src.Read(count, 2) == 2) {
        const int16_t nCount = GetI16(count);
        char szName[48] = {};
        for (int i = 0; i < nCount && src.Read(szName, 47) == 47; ++i) {
            szName[47] = '\0';
            sites.emplace_back(szName);
        }
    }
    return true;
}

bool ReadSiteList(const std::string& szPath, std::vector<std::string>& sites) {
    sites.clear();
    const auto pSource = CFileSource::Open(szPath, nullptr);
    return pSource && ReadSiteList(*pSource, sites);
}

} // namespace pw
