// The named fields of the report template: "{{NAME}}" written anywhere in the text of a paragraph
// (an editor may split it over several runs, with other formatting on each piece), and block fields,
// a paragraph holding nothing but "{{RESULTS_TABLE}}" or "{{PILE_PICTURES}}", which the writer
// replaces by what it stands for.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace pw::report {

// Replaces every {{NAME}} of values in the paragraphs under root, keeping the formatting of the run
// the field starts in; a line end in a value (LF, CR LF or CR) becomes a line break, and trailing line
// ends are dropped. A paragraph that held only a field whose value is empty is removed where its
// container keeps another paragraph (a table cell must hold one and end with one); otherwise it stays,
// empty. Unknown names stay as they are. Returns the number replaced.
int FillTextFields(pugi::xml_node root, const std::map<std::string, std::string>& values);

// A value's lines as a paragraph holds them: CR LF and lone CR become LF, trailing line ends (and the
// blanks on those empty lines) go.
std::string WordLines(const std::string& text);

// The paragraphs whose whole text (blanks aside) is "{{name}}", in document order.
std::vector<pugi::xml_node> FindBlockFields(pugi::xml_node root, const std::string& name);

// The text of a paragraph, its runs joined (what a reader sees, without the field instructions).
std::string ParagraphText(pugi::xml_node paragraph);

} // namespace pw::report
