// Finding and filling "{{NAME}}" fields across the runs of a paragraph.
#include "report/DocxFields.h"


namespace pw::report {
namespace {

// The w:t nodes of a paragraph in document order, with their texts.
struct TextPiece {
    pugi::xml_node node;
    std::string text;
};

std::vector<TextPiece> Pieces(pugi::xml_node paragraph) {
    std::vector<TextPiece> out;
    for (pugi::xpath_node x : paragraph.select_nodes(".//w:t"))
        out.push_back({x.node(), x.node().text().get()});
    return out;
}

void SetText(pugi::xml_node t, const std::string& text) {
    t.text().set(text.c_str());
    if (!t.attribute("xml:space")) t.append_attribute("xml:space") = "preserve";
}

// A "\n" inside a w:t becomes <w:br/> between two w:t of the same run.
void SplitLineBreaks(pugi::xml_node paragraph) {
    for (TextPiece& piece : Pieces(paragraph)) {
        std::size_t nl = piece.text.find('\n');
        if (nl == std::string::npos) continue;
        pugi::xml_node run = piece.node.parent();
        pugi::xml_node after = piece.node;
        SetText(piece.node, piece.text.substr(0, nl));
        std::size_t from = nl + 1;
        while (true) {
            pugi::xml_node br = run.insert_child_after("w:br", after);
            const std::size_t next = piece.text.find('\n', from);
            const std::string part = piece.text.substr(from, next == std::string::npos ? std::string::npos : next - from);
            pugi::xml_node t = run.insert_child_after("w:t", br);
            SetText(t, part);
            after = t;
            if (next == std::string::npos) break;
            from = next + 1;
        }
    }
}

std::string Trimmed(const std::string& s) {
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

// Replaces the characters [s, e) of the paragraph's joined text by value, which goes into the piece
// where s lies.
void ReplaceSpan(std::vector<TextPiece>& pieces, std::size_t s, std::size_t e, const std::string& value) {
    std::size_t offset = 0;
    bool placed = false;
    for (TextPiece& piece : pieces) {
        const std::size_t begin = offset, end = offset + piece.text.size();
        offset = end;
        if (begin >= e || end <= s) continue; // no part of the field lies in this piece
        std::string text = piece.text.substr(0, (s > begin ? s : begin) - begin);
        if (!placed) text += value; // the field's formatting is that of the run it starts in
        placed = true;
        text += piece.text.substr((e < end ? e : end) - begin);
        piece.text = text;
        SetText(piece.node, text);
    }
}

// Whether the paragraph can go without breaking its container: a table cell (and a text box, a
// comment, a note) must keep at least one paragraph and, in a cell, end with one; Word refuses a
// file whose cell holds none ("unreadable content").
bool MayRemoveParagraph(pugi::xml_node p) {
    pugi::xml_node container = p.parent();
    bool otherParagraph = false;
    pugi::xml_node lastBlock;
    for (pugi::xml_node child : container.children()) {
        if (child == p || child.type() != pugi::node_element) continue;
        const std::string name = child.name();
        if (name == "w:p") otherParagraph = true;
        if (name != "w:tcPr" && name != "w:sectPr") lastBlock = child;
    }
    if (!otherParagraph) return false;
    return std::string(container.name()) != "w:tc" || std::string(lastBlock.name()) == "w:p";
}

} // namespace

std::string WordLines(const std::string& text) {
    // Line ends as the dialog gives them (CR LF), as old files hold them (CR) or as typed here (LF).
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') out += text[i];
        else if (i + 1 >= text.size() || text[i + 1] != '\n') out += '\n';
    }
    // Trailing line ends would leave empty lines under the text; blanks on those lines go with them.
    const std::size_t last = out.find_last_not_of(" \t\n");
    const std::size_t cut = last == std::string::npos ? 0 : last + 1;
    if (out.find('\n', cut) != std::string::npos) out.erase(cut);
    return out;
}

std::string ParagraphText(pugi::xml_node paragraph) {
    std::string out;
    for (const TextPiece& piece : Pieces(paragraph))
        out += piece.text;
    return out;
}

int FillTextFields(pugi::xml_node root, const std::map<std::string, std::string>& values) {
    int replaced = 0;
    std::vector<pugi::xml_node> paragraphs;
    for (pugi::xpath_node x : root.select_nodes("//w:p"))
        paragraphs.push_back(x.node());
    for (pugi::xml_node p : paragraphs) {
        std::vector<TextPiece> pieces = Pieces(p);
        std::string full;
        for (const TextPiece& piece : pieces)
            full += piece.text;
        if (full.find("{{") == std::string::npos) continue;
        const std::string before = Trimmed(full);
        bool emptied = false;
        std::size_t pos = 0;
        while (true) {
            const std::size_t s = full.find("{{", pos);
            if (s == std::string::npos) break;
            const std::size_t close = full.find("}}", s + 2);
            if (close == std::string::npos) break;
            const std::string name = full.substr(s + 2, close - s - 2);
            const auto it = values.find(name);
            if (it == values.end()) { // not ours (or a block field): leave it
                pos = s + 2;
                continue;
            }
            const std::string value = WordLines(it->second);
            ReplaceSpan(pieces, s, close + 2, value);
            full = full.substr(0, s) + value + full.substr(close + 2);
            pos = s + value.size();
            ++replaced;
            emptied = before == "{{" + name + "}}" && value.empty();
        }
        if (emptied && MayRemoveParagraph(p)) {
            p.parent().remove_child(p);
            continue;
        }
        SplitLineBreaks(p);
    }
    return replaced;
}

std::vector<pugi::xml_node> FindBlockFields(pugi::xml_node root, const std::string& name) {
    std::vector<pugi::xml_node> out;
    const std::string wanted = "{{" + name + "}}";
    for (pugi::xpath_node x : root.select_nodes("//w:p"))
        if (Trimmed(ParagraphText(x.node())) == wanted) out.push_back(x.node());
    return out;
}

} // namespace pw::report
