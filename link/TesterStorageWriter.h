// Writing the tester's storage (the folder that stands for its C:\DAT): the site list RSITE.PAR and
// one folder per site with wvf.par, pindex.par and the 4338-byte record files 1.wvf .. n.wvf, for
// the tester emulator to serve and the conversion to read.
#pragma once

#include "core/CByteSource.h"
#include "core/CPileRecord.h"
#include "core/CProjectHeader.h"

#include <string>
#include <vector>

namespace pw {

inline constexpr size_t kSiteNameWidth = 47; // one entry of RSITE.PAR

// One test site as the tester keeps it.
struct CTesterSite {
    std::string m_szName;             // UTF-8; the site's folder name, stored as GBK (at most 46 bytes)
    CProjectHeader m_Header;          // test unit and project name; the count is taken from m_Piles
    std::vector<CPileRecord> m_Piles; // record n is file n.wvf
};

// RSITE.PAR: int16 count, then one zero-padded 47-byte GBK name per site.
bool WriteSiteList(CByteSink& sink, const std::vector<std::string>& gbkNames);

// wvf.par (72 bytes): int16 record count, the 50-byte test unit, the 20-byte project name.
bool WriteFolderParameters(CByteSink& sink, const CProjectHeader& header, int nCount);

// One record file (4338 bytes) of record number n. Beyond what the conversion reads back, the file
// holds the 46-byte remark (the record's 40 bytes, zero-padded) and has no place for pre-zero,
// post-cut, shift y, display settings, segments and marks.
bool WriteInstrumentRecord(CByteSink& sink, const CPileRecord& rec, int n);

// The GBK folder name of a site, or false with the reason: empty, ".", "..", a separator ("\", "/",
// ":"), a control character, or more than 46 GBK bytes.
bool SiteFolderName(const std::string& szUtf8, std::string& szGbk, std::string& szError);

// One site folder under szRoot (created when missing); every file written atomically. The site
// list is not touched. False with the reason in szError.
bool WriteTesterSite(const std::string& szRoot, const CTesterSite& site, std::string& szError);

// Every site folder, then RSITE.PAR in szRoot naming exactly these sites in this order.
bool WriteTesterStorage(const std::string& szRoot, const std::vector<CTesterSite>& sites,
                        std::string& szError);

} // namespace pw
