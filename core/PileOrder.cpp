// Name trimming, the date column and the selection order of the pile list.
#include "core/PileOrder.h"

#include <algorithm>

namespace pw {

std::string TrimmedPileName(const CPileRecord& rec) {
    std::string_view s = FieldText(rec.m_szPileName, sizeof rec.m_szPileName);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return std::string(s);
}

std::string ListDateText(const CPileRecord& rec) {
    const std::string_view s = FieldText(rec.m_szTestDate, sizeof rec.m_szTestDate);
    auto part = [&](std::size_t from, std::size_t n) {
        return from < s.size() ? s.substr(from, n) : std::string_view{};
    };
    std::string out(part(0, 4));
    out += '-';
    out += part(5, 2);
    out += '-';
    out += part(8, 2);
    return out;
}

std::vector<CRowPile> SortByPileName(CDEVAzazDoc& doc, std::vector<CRowPile> rows) {
    auto name = [&](const CRowPile& r) {
        const CPileRecord* rec = doc.FindPile(r.nPileNo);
        return rec ? TrimmedPileName(*rec) : std::string();
    };
    std::vector<std::pair<std::string, CRowPile>> keyed;
    keyed.reserve(rows.size());
    for (const auto& r : rows)
        keyed.emplace_back(name(r), r);
    // std::string compares as unsigned bytes (char_traits<char>::compare is memcmp), so GBK lead
    // bytes sort after ASCII. Stable: equal names keep list order, as the neighbour-exchange sort did.
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].second;
    return rows;
}

} // namespace pw
