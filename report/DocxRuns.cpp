// Run-level edits of a filled document (see DocxRuns.h).
#include "report/DocxRuns.h"

#include <algorithm>
#include <string_view>
#include <tuple>

namespace pw::report {
namespace {

// Characters a pile number is made of, in the texts around the table.
bool IsPileNumberChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '#' || c == '-' ||
           c == '_' || c == '.';
}

// Where a pile number stands in text at or after from: the longest of names that starts there and is
// not part of a longer number ("1#" in "11#" is not a match).
std::pair<std::size_t, std::size_t> NextPileNumber(const std::string& text, std::size_t from,
                                                   const std::vector<std::string>& names) {
    for (std::size_t at = from; at < text.size(); ++at) {
        if (at > 0 && IsPileNumberChar(text[at - 1]) && IsPileNumberChar(text[at])) continue;
        for (const std::string& name : names) { // longest first
            if (text.compare(at, name.size(), name) != 0) continue;
            const std::size_t end = at + name.size();
            if (end < text.size() && IsPileNumberChar(text[end]) && IsPileNumberChar(name.back())) continue;
            return {at, name.size()};
        }
    }
    return {std::string::npos, 0};
}

} // namespace

void TagRunsChinese(pugi::xml_node root) {
    for (pugi::xpath_node x : root.select_nodes("//w:r")) {
        pugi::xml_node run = x.node();
        pugi::xml_node rpr = run.child("w:rPr");
        if (!rpr) rpr = run.prepend_child("w:rPr");
        if (rpr.child("w:lang")) continue;
        pugi::xml_node lang = rpr.append_child("w:lang");
        lang.append_attribute("w:val") = "zh-CN";
        lang.append_attribute("w:eastAsia") = "zh-CN";
    }
}

void KeepPileNumbersWhole(pugi::xml_node root, const CReportContent& content) {
    std::vector<std::string> names;
    for (const CReportRow& row : content.m_Rows)
        if (row.m_Cells[0].size() > 1) names.push_back(row.m_Cells[0]);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    if (names.empty()) return;

    std::vector<pugi::xml_node> texts;
    for (pugi::xpath_node x : root.select_nodes("//w:body/w:p/w:r/w:t")) texts.push_back(x.node());
    for (pugi::xml_node t : texts) {
        const std::string text = t.text().get();
        if (NextPileNumber(text, 0, names).first == std::string::npos) continue;
        pugi::xml_node run = t.parent();
        // The text after this w:t stays in the run that holds it; the pieces go in runs of their own
        // between the two.
        pugi::xml_node tail = run.parent().insert_copy_after(run, run);
        for (pugi::xml_node n = tail.first_child(); n;) {
            const pugi::xml_node next = n.next_sibling();
            tail.remove_child(n);
            n = next;
        }
        pugi::xml_node afterT = t.next_sibling();
        while (afterT) {
            const pugi::xml_node next = afterT.next_sibling();
            tail.append_move(afterT);
            afterT = next;
        }
        const pugi::xml_node rPr = run.child("w:rPr");
        if (rPr) tail.prepend_copy(rPr);
        run.remove_child(t);

        pugi::xml_node last = run;
        auto piece = [&](const std::string& part, bool number) {
            if (part.empty()) return;
            pugi::xml_node r = run.parent().insert_child_after("w:r", last);
            last = r;
            pugi::xml_node props = rPr ? r.append_copy(rPr) : r.append_child("w:rPr");
            if (number) {
                props.remove_child("w:rFonts");
                props.remove_child("w:lang");
                // Schema order: w:rStyle, w:rFonts, ... w:lang, then w:eastAsianLayout, w:specVanish, w:oMath.
                const pugi::xml_node style = props.child("w:rStyle");
                pugi::xml_node fonts = style ? props.insert_child_after("w:rFonts", style) : props.prepend_child("w:rFonts");
                fonts.append_attribute("w:hint") = "default";
                pugi::xml_node tailing;
                for (const char* name : {"w:oMath", "w:specVanish", "w:eastAsianLayout"})
                    if (props.child(name)) tailing = props.child(name);
                pugi::xml_node lang = tailing ? props.insert_child_before("w:lang", tailing) : props.append_child("w:lang");
                lang.append_attribute("w:val") = "en-US";
                lang.append_attribute("w:eastAsia") = "zh-CN";
            }
            std::size_t from = 0;
            while (true) {
                const std::size_t dash = number ? part.find('-', from) : std::string::npos;
                pugi::xml_node tt = r.append_child("w:t");
                tt.append_attribute("xml:space") = "preserve";
                tt.text().set(part.substr(from, dash == std::string::npos ? std::string::npos : dash - from).c_str());
                if (dash == std::string::npos) break;
                r.append_child("w:noBreakHyphen");
                from = dash + 1;
            }
        };
        std::size_t from = 0;
        for (auto [at, size] = NextPileNumber(text, 0, names); at != std::string::npos;
             std::tie(at, size) = NextPileNumber(text, from, names)) {
            piece(text.substr(from, at - from), false);
            piece(text.substr(at, size), true);
            from = at + size;
        }
        piece(text.substr(from), false);
        // The run now holds only its properties (and what stood before the w:t); the tail what stood after.
        bool runHasContent = false, tailHasContent = false;
        for (pugi::xml_node n : run.children()) runHasContent |= std::string_view(n.name()) != "w:rPr";
        for (pugi::xml_node n : tail.children()) tailHasContent |= std::string_view(n.name()) != "w:rPr";
        if (!tailHasContent) tail.parent().remove_child(tail);
        if (!runHasContent) run.parent().remove_child(run);
    }
}

} // namespace pw::report
