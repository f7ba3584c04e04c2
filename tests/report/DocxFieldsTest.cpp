// Template fields found and filled however an editor split them into runs.
#include "report/DocxFields.h"

#include <gtest/gtest.h>

namespace {

using namespace pw::report;

std::string Fill(const std::string& body, const std::map<std::string, std::string>& values, int* count = nullptr) {
    pugi::xml_document doc;
    const std::string xml = "<w:document xmlns:w=\"w\"><w:body>" + body + "</w:body></w:document>";
    EXPECT_TRUE(doc.load_string(xml.c_str(), pugi::parse_default | pugi::parse_ws_pcdata));
    const int n = FillTextFields(doc.document_element(), values);
    if (count) *count = n;
    std::string out;
    for (pugi::xpath_node p : doc.select_nodes("//w:p")) {
        out += ParagraphText(p.node());
        out += "|";
    }
    return out;
}

TEST(DocxFields, FieldsAreFoundWhereverTheRunsSplitThem) {
    const std::map<std::string, std::string> values = {
        {"NAME", "滨江花园"}, {"NO", "2024-01"}, {"EMPTY", ""}, {"BREAKS", "\r\n\r\n"}};
    struct Case {
        const char* body;
        const char* expected;
        int replaced;
    } const cases[] = {
        {"<w:p><w:r><w:t>工程：{{NAME}}。</w:t></w:r></w:p>", "工程：滨江花园。|", 1},
        // Word splits on spelling marks and formatting changes: the braces and the name in three runs.
        {"<w:p><w:r><w:t>工程：{{</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>NA</w:t></w:r><w:r><w:t>ME}}</w:t></w:r>"
         "<w:r><w:t>。</w:t></w:r></w:p>",
         "工程：滨江花园。|", 1},
        {"<w:p><w:r><w:t>{</w:t></w:r><w:r><w:t>{NO}</w:t></w:r><w:r><w:t>} / {{NAME}}</w:t></w:r></w:p>",
         "2024-01 / 滨江花园|", 2},
        {"<w:p><w:r><w:t>{{UNKNOWN}} {{NAME}}</w:t></w:r></w:p>", "{{UNKNOWN}} 滨江花园|", 1},
        {"<w:p><w:r><w:t>no field</w:t></w:r></w:p>", "no field|", 0},
        // A paragraph holding only an empty field goes; one with other text stays.
        {"<w:p><w:r><w:t> {{EMPTY}} </w:t></w:r></w:p><w:p><w:r><w:t>a{{EMPTY}}b</w:t></w:r></w:p>", "ab|", 2},
        {"<w:p><w:r><w:t>{{NAME</w:t></w:r></w:p>", "{{NAME|", 0},
        // A table cell must hold a paragraph and end with one: an emptied field's paragraph stays
        // where it is the cell's only one, or its last after a nested table.
        {"<w:tbl><w:tr><w:tc><w:tcPr/><w:p><w:r><w:t>{{EMPTY}}</w:t></w:r></w:p></w:tc></w:tr></w:tbl>", "|", 1},
        {"<w:tbl><w:tr><w:tc><w:p><w:r><w:t>{{EMPTY}}</w:t></w:r></w:p><w:p><w:r><w:t>x</w:t></w:r></w:p></w:tc>"
         "</w:tr></w:tbl>",
         "x|", 1},
        {"<w:tbl><w:tr><w:tc><w:p><w:r><w:t>a</w:t></w:r></w:p><w:tbl><w:tr><w:tc><w:p><w:r><w:t>b</w:t></w:r>"
         "</w:p></w:tc></w:tr></w:tbl><w:p><w:r><w:t>{{EMPTY}}</w:t></w:r></w:p></w:tc></w:tr></w:tbl>",
         "a|b||", 1},
        // A value of line ends only is empty too.
        {"<w:p><w:r><w:t>{{BREAKS}}</w:t></w:r></w:p><w:p><w:r><w:t>x</w:t></w:r></w:p>", "x|", 1},
    };
    for (const Case& c : cases) {
        int n = -1;
        EXPECT_EQ(Fill(c.body, values, &n), c.expected) << c.body;
        EXPECT_EQ(n, c.replaced) << c.body;
    }
}

TEST(DocxFields, LineBreaksInValuesBecomeBreaks) {
    pugi::xml_document doc;
    doc.load_string("<w:document xmlns:w=\"w\"><w:body><w:p><w:r><w:t>{{G}}</w:t></w:r></w:p></w:body></w:document>");
    FillTextFields(doc.document_element(), {{"G", "粉土\n黏土"}});
    EXPECT_EQ(doc.select_nodes("//w:br").size(), 1u);
    EXPECT_EQ(ParagraphText(doc.select_node("//w:p").node()), "粉土黏土");
}

// Line ends as the dialog (CR LF), old files (CR) or the CLI (LF) give them: each is one break, no CR
// reaches the text, trailing ones leave no empty line.
TEST(DocxFields, EveryKindOfLineEndIsOneBreak) {
    struct Case {
        const char* value;
        const char* text; // the w:t pieces joined by "/"
        std::size_t breaks;
    } const cases[] = {
        {"粉土\r\n黏土", "粉土/黏土", 1},
        {"粉土\r黏土\n砂", "粉土/黏土/砂", 2},
        {"粉土\r\n黏土\r\n", "粉土/黏土", 1},
        {"粉土\r\n\r\n  \r\n", "粉土", 0},
        {"粉土\r\n\r\n黏土", "粉土//黏土", 2},
        {"粉土  ", "粉土  ", 0},
    };
    for (const Case& c : cases) {
        pugi::xml_document doc;
        doc.load_string("<w:document xmlns:w=\"w\"><w:body><w:p><w:r><w:t>{{G}}</w:t></w:r></w:p></w:body></w:document>");
        FillTextFields(doc.document_element(), {{"G", c.value}});
        std::string text;
        for (pugi::xpath_node t : doc.select_nodes("//w:t"))
            text += (text.empty() ? "" : "/") + std::string(t.node().text().get());
        EXPECT_EQ(text, c.text) << c.value;
        EXPECT_EQ(doc.select_nodes("//w:br").size(), c.breaks) << c.value;
    }
}

TEST(DocxFields, BlockFieldsAreWholeParagraphs) {
    pugi::xml_document doc;
    doc.load_string("<w:document xmlns:w=\"w\"><w:body><w:p><w:r><w:t> {{RESULTS_</w:t></w:r><w:r><w:t>TABLE}}</w:t>"
                    "</w:r></w:p><w:p><w:r><w:t>see {{RESULTS_TABLE}}</w:t></w:r></w:p></w:body></w:document>");
    EXPECT_EQ(FindBlockFields(doc.document_element(), "RESULTS_TABLE").size(), 1u);
}

} // namespace
