// Project information: reading the dialog's fields and writing them back into the name group.
#include "core/ProjectInfo.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/PileOrder.h"

namespace pw {
namespace {

int NumberAt(const std::string& text, std::size_t at, std::size_t len) {
    return std::atoi(text.substr(at, len).c_str());
}

} // namespace

ProjectInfoRead ReadProjectInfo(CDEVAzazDoc& doc, CProjectInfo& info) {
    const CPileRecord* rec = doc.GetCurrentPile();
    if (!rec) return ProjectInfoRead::NoPile;
    const std::string date(FieldText(rec->m_szTestDate, sizeof rec->m_szTestDate));
    if (date.size() <= 7) return ProjectInfoRead::Incomplete;
    // The stored form is "yyyy-mm-dd"; a date picker cannot show a day that does not exist.
    const CDate parsed{NumberAt(date, 0, 4), NumberAt(date, 5, 2), NumberAt(date, 8, 2)};
    if (!parsed.IsValid()) return ProjectInfoRead::Incomplete;
    info.m_strTestUnit = doc.m_Header.GetTestUnit();
    info.m_strProjectName = doc.m_Header.GetProjectName();
    info.m_nDiameter = rec->m_nDiameter;
    info.m_strPileName = rec->GetPileName();
    info.m_nPileType = rec->m_nPileType >= 0 && rec->m_nPileType <= 7 ? rec->m_nPileType : -1;
    info.m_TestDate = parsed;
    return ProjectInfoRead::Ready;
}

std::vector<int> StoreProjectInfo(CDEVAzazDoc& doc, const CProjectInfo& info) {
    std::vector<int> changed;
    CPileRecord* current = doc.GetCurrentPile();
    if (!current) return changed;
    doc.SetModified(true);
    doc.m_Header.SetTestUnit(info.m_strTestUnit);
    doc.m_Header.SetProjectName(info.m_strProjectName);
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", info.m_TestDate.nYear, info.m_TestDate.nMonth,
                  info.m_TestDate.nDay);
    const std::string key = TrimmedPileName(*current);
    const int count = doc.GetPileCount();
    for (int pileNo = current->m_nPileNo; pileNo <= count; ++pileNo) {
        CPileRecord* rec = doc.FindPile(pileNo);
        if (!rec || TrimmedPileName(*rec) != key) continue;
        rec->SetPileName(info.m_strPileName);
        rec->SetTestDate(date);
        rec->m_nDiameter = static_cast<int16_t>(info.m_nDiameter);
        rec->m_nPileType = static_cast<int16_t>(info.m_nPileType);
        changed.push_back(pileNo);
    }
    doc.Notify(kChangedRecords);
    return changed;
}

} // namespace pw
