// Checking a .docx package against the rules in DocxRules.h.
#include "DocxRules.h"

#include <algorithm>
#include <map>
#include <set>

#include <pugixml.hpp>
#include <zip.h>

namespace pw::test {
namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// "word/" for "word/_rels/document.xml.rels", "" for "_rels/.rels".
std::string SourceFolder(const std::string& relsName) {
    const auto at = relsName.rfind("_rels/");
    return relsName.substr(0, at);
}

// folder + target with "../" and "./" resolved; a leading "/" means the package root.
std::string Resolve(const std::string& folder, const std::string& target) {
    std::string joined = !target.empty() && target[0] == '/' ? target.substr(1) : folder + target;
    std::vector<std::string> parts;
    std::size_t from = 0;
    while (from <= joined.size()) {
        const auto slash = joined.find('/', from);
        const std::string part = joined.substr(from, slash == std::string::npos ? std::string::npos : slash - from);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        if (slash == std::string::npos) break;
        from = slash + 1;
    }
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : "/") + p;
    return out;
}

// "word/_rels/document.xml.rels" for "word/document.xml".
std::string RelsOf(const std::string& part) {
    const auto slash = part.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : part.substr(0, slash + 1);
    return folder + "_rels/" + part.substr(slash == std::string::npos ? 0 : slash + 1) + ".rels";
}

} // namespace

std::vector<std::string> DocxRuleBreaks(const std::string& path) {
    std::vector<std::string> out;
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!z) return {"not a zip archive: " + path};
    std::map<std::string, std::string> parts;
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
        zip_stat_t st;
        if (zip_stat_index(z, static_cast<zip_uint64_t>(i), 0, &st) != 0 || !st.name) continue;
        const std::string name = st.name;
        if (name.empty() || name.back() == '/') continue;
        std::string data(static_cast<std::size_t>(st.size), '\0');
        if (zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(i), 0)) {
            zip_fread(f, data.data(), st.size);
            zip_fclose(f);
        }
        parts[name] = data;
    }
    zip_discard(z);

    // Content types.
    pugi::xml_document types;
    if (!parts.count("[Content_Types].xml") || !types.load_string(parts["[Content_Types].xml"].c_str()))
        return {"no [Content_Types].xml"};
    std::set<std::string> defaults, overrides;
    for (pugi::xml_node d : types.document_element().children("Default"))
        defaults.insert(Lower(d.attribute("Extension").value()));
    for (pugi::xml_node o : types.document_element().children("Override"))
        overrides.insert(o.attribute("PartName").value());
    for (const auto& [name, data] : parts) {
        if (name == "[Content_Types].xml") continue;
        const auto dot = name.rfind('.');
        const std::string ext = dot == std::string::npos ? "" : Lower(name.substr(dot + 1));
        if (!overrides.count("/" + name) && !defaults.count(ext)) out.push_back("no content type for " + name);
    }

    // Relationships: targets present, ids unique.
    std::map<std::string, std::set<std::string>> relIds; // rels part -> its ids
    for (const auto& [name, data] : parts) {
        if (name.size() < 5 || name.substr(name.size() - 5) != ".rels") continue;
        pugi::xml_document rels;
        if (!rels.load_string(data.c_str())) {
            out.push_back(name + " does not parse");
            continue;
        }
        std::set<std::string>& ids = relIds[name];
        for (pugi::xml_node r : rels.document_element().children("Relationship")) {
            if (!ids.insert(r.attribute("Id").value()).second)
                out.push_back(name + ": relationship id " + r.attribute("Id").value() + " twice");
            if (std::string(r.attribute("TargetMode").value()) == "External") continue;
            const std::string target = Resolve(SourceFolder(name), r.attribute("Target").value());
            if (!parts.count(target)) out.push_back(name + ": target " + target + " is missing");
        }
    }

    // The WordprocessingML parts.
    std::set<int> drawingIds;
    for (const auto& [name, data] : parts) {
        if (name.rfind("word/", 0) != 0 || name.size() < 4 || name.substr(name.size() - 4) != ".xml") continue;
        pugi::xml_document doc;
        if (!doc.load_string(data.c_str())) {
            out.push_back(name + " does not parse");
            continue;
        }
        int cell = 0;
        for (pugi::xpath_node x : doc.select_nodes("//w:tc")) {
            ++cell;
            pugi::xml_node last;
            for (pugi::xml_node c : x.node().children())
                if (c.type() == pugi::node_element && std::string(c.name()) != "w:tcPr") last = c;
            if (std::string(last.name()) != "w:p")
                out.push_back(name + ": table cell " + std::to_string(cell) + " does not end with a paragraph");
        }
        for (pugi::xpath_node x : doc.select_nodes("//w:tbl")) {
            if (!x.node().child("w:tblGrid")) out.push_back(name + ": a table has no w:tblGrid");
            if (!x.node().child("w:tr")) out.push_back(name + ": a table has no row");
        }
        for (pugi::xpath_node x : doc.select_nodes("//w:tr"))
            if (!x.node().child("w:tc")) out.push_back(name + ": a table row has no cell");
        for (pugi::xpath_node x : doc.select_nodes("//wp:docPr"))
            if (!drawingIds.insert(x.node().attribute("id").as_int()).second)
                out.push_back(name + ": drawing id " + x.node().attribute("id").value() + " twice");
        const std::set<std::string>& ids = relIds[RelsOf(name)];
        for (pugi::xpath_node x : doc.select_nodes("//@r:id | //@r:embed | //@r:link"))
            if (!ids.count(x.attribute().value()))
                out.push_back(name + ": relationship " + x.attribute().value() + " is not in " + RelsOf(name));
    }
    return out;
}

} // namespace pw::test
