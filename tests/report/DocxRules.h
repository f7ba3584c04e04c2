// The structural rules Word enforces on a .docx and LibreOffice forgives: a file breaking one opens in
// Word only after "unreadable content" and a repair.
#pragma once

#include <string>
#include <vector>

namespace pw::test {

// What in the package at path breaks a rule, one line each (empty: none):
// - every table cell holds a paragraph and ends with one;
// - every table has its w:tblGrid and rows, every row its cells;
// - drawing ids (wp:docPr) are unique across the document's parts;
// - every internal relationship target is a part of the package, every r:id / r:embed a relationship
//   of its part, relationship ids unique per part;
// - every part has a content type (an Override by name or a Default by extension).
std::vector<std::string> DocxRuleBreaks(const std::string& path);

} // namespace pw::test
