// Run-level edits of a filled document: the language every run names, and pile numbers that a word
// processor must not break across lines.
#pragma once

#include <pugixml.hpp>

#include "core/ReportContent.h"

namespace pw::report {

// Every run says it is Simplified Chinese, so a word processor picks the Simplified glyph forms of
// a font that has several (without it LibreOffice drew the Japanese forms). A run that names a
// language already keeps its own.
void TagRunsChinese(pugi::xml_node root);

// A pile number such as "3-7" or "12#" is not broken across lines in the paragraphs around the
// table (the tested piles, the records left out, the conclusions). Word keeps a run of Latin text
// whole, but LibreOffice breaks digits and signs that stand among Chinese characters as if they were
// Chinese: each pile number of the content's rows gets a run of its own tagged as Latin text (the
// East Asian language stays Simplified Chinese), and its hyphens become Word's non-breaking hyphen.
void KeepPileNumbersWhole(pugi::xml_node root, const CReportContent& content);

} // namespace pw::report
