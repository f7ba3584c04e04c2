// The .docx: the template's parts copied as they are, word/document.xml filled, the pictures added
// as word/media/pile<N>.png with their relationships; the archive is built in memory and saved by
// core's safe write (a temporary beside the target, flushed to disk, renamed when complete).
#include "report/WordReport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <list>
#include <memory>
#include <mutex>
#include <sstream>
#include <string_view>
#include <thread>
#include <tuple>

#include <pugixml.hpp>
#include <zip.h>

#include "core/CByteSource.h"
#include "core/WriteErrorText.h"
#include "report/DocxFields.h"
#include "report/DocxRuns.h"
#include "report/ReportTexts.h"

namespace pw::report {
namespace {

constexpr const char* kDocument = "word/document.xml";
constexpr const char* kDocumentRels = "word/_rels/document.xml.rels";
constexpr const char* kContentTypes = "[Content_Types].xml";
constexpr long long kEmuPerPoint = 12700;
constexpr int kPictureHeightPt = 150;
// Cell widths of the results table in points, and its font: 宋体 11 pt.
constexpr int kColumnPoints[6] = {45, 75, 45, 50, 60, 150};

std::string ReadEntry(zip_t* zip, const char* name, std::string& error) {
    zip_stat_t st;
    zip_file_t* f = zip_stat(zip, name, 0, &st) == 0 ? zip_fopen(zip, name, 0) : nullptr;
    if (!f) {
        error = std::string("the template has no ") + name;
        return {};
    }
    std::string data(static_cast<std::size_t>(st.size), '\0');
    const zip_int64_t n = zip_fread(f, data.data(), st.size);
    zip_fclose(f);
    if (n != static_cast<zip_int64_t>(st.size)) error = std::string("cannot read ") + name + " of the template";
    return data;
}

std::string Serialise(const pugi::xml_document& doc) {
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    return out.str();
}

// A run of the table's font with text, "\n" as line breaks.
void AppendRun(pugi::xml_node paragraph, const std::string& cellText, bool bold) {
    const std::string text = WordLines(cellText);
    pugi::xml_node run = paragraph.append_child("w:r");
    pugi::xml_node rpr = run.append_child("w:rPr");
    pugi::xml_node fonts = rpr.append_child("w:rFonts");
    for (const char* a : {"w:ascii", "w:hAnsi", "w:eastAsia"})
        fonts.append_attribute(a) = "宋体";
    if (bold) rpr.append_child("w:b");
    rpr.append_child("w:sz").append_attribute("w:val") = "22";
    rpr.append_child("w:szCs").append_attribute("w:val") = "22";
    std::size_t from = 0;
    while (true) {
        const std::size_t nl = text.find('\n', from);
        pugi::xml_node t = run.append_child("w:t");
        t.append_attribute("xml:space") = "preserve";
        t.text().set(text.substr(from, nl == std::string::npos ? std::string::npos : nl - from).c_str());
        if (nl == std::string::npos || nl + 1 == text.size()) break; // a trailing "\n" ends the last line
        run.append_child("w:br");
        from = nl + 1;
    }
}

void AppendRow(pugi::xml_node table, const std::array<std::string, 6>& cells, bool header) {
    pugi::xml_node tr = table.append_child("w:tr");
    if (header) tr.append_child("w:trPr").append_child("w:tblHeader"); // repeated on every page
    for (int c = 0; c < 6; ++c) {
        pugi::xml_node tc = tr.append_child("w:tc");
        pugi::xml_node w = tc.append_child("w:tcPr").append_child("w:tcW");
        w.append_attribute("w:w") = kColumnPoints[c] * 20;
        w.append_attribute("w:type") = "dxa";
        pugi::xml_node p = tc.append_child("w:p");
        pugi::xml_node ppr = p.append_child("w:pPr");
        pugi::xml_node spacing = ppr.append_child("w:spacing"); // single lines in the cells
        spacing.append_attribute("w:before") = 0;
        spacing.append_attribute("w:after") = 0;
        spacing.append_attribute("w:line") = 240;
        spacing.append_attribute("w:lineRule") = "auto";
        if (c < 5) ppr.append_child("w:jc").append_attribute("w:val") = "center";
        AppendRun(p, cells[static_cast<std::size_t>(c)], header);
    }
}

// The results table in place of the paragraph that holds its field.
void InsertResultsTable(pugi::xml_node at, const CReportContent& content) {
    pugi::xml_node table = at.parent().insert_child_before("w:tbl", at);
    pugi::xml_node tblPr = table.append_child("w:tblPr");
    pugi::xml_node width = tblPr.append_child("w:tblW");
    width.append_attribute("w:w") = 0;
    width.append_attribute("w:type") = "auto";
    tblPr.append_child("w:jc").append_attribute("w:val") = "center";
    // Borders of its own: the table stays ruled even in a template without our table style.
    pugi::xml_node borders = tblPr.append_child("w:tblBorders");
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
        pugi::xml_node b = borders.append_child(side);
        b.append_attribute("w:val") = "single";
        b.append_attribute("w:sz") = 4;
        b.append_attribute("w:space") = 0;
        b.append_attribute("w:color") = "000000";
    }
    tblPr.append_child("w:tblLayout").append_attribute("w:type") = "fixed";
    pugi::xml_node grid = table.append_child("w:tblGrid");
    for (int points : kColumnPoints)
        grid.append_child("w:gridCol").append_attribute("w:w") = points * 20;
    AppendRow(table, WordTableHeader(), true);
    for (const CReportRow& row : content.m_Rows)
        AppendRow(table, row.m_Cells, false);
    at.parent().remove_child(at);
}

// One centred paragraph holding the picture inline, 150 pt high.
void InsertPicture(pugi::xml_node before, const std::string& relId, int id, const CPicture& picture) {
    const long long cy = kPictureHeightPt * kEmuPerPoint;
    const long long cx = picture.m_nHeight > 0 ? cy * picture.m_nWidth / picture.m_nHeight : cy * 2;
    const std::string name = "pile" + std::to_string(id) + ".png";
    std::ostringstream xml;
    xml << "<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr><w:r><w:drawing>"
        << "<wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\"><wp:extent cx=\"" << cx << "\" cy=\"" << cy
        << "\"/><wp:docPr id=\"" << id << "\" name=\"" << name << "\"/>"
        << "<wp:cNvGraphicFramePr><a:graphicFrameLocks noChangeAspect=\"1\"/></wp:cNvGraphicFramePr>"
        << "<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
        << "<pic:pic><pic:nvPicPr><pic:cNvPr id=\"" << id << "\" name=\"" << name << "\"/><pic:cNvPicPr/></pic:nvPicPr>"
        << "<pic:blipFill><a:blip r:embed=\"" << relId << "\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
        << "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"" << cx << "\" cy=\"" << cy
        << "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>"
        << "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>";
    pugi::xml_document fragment;
    fragment.load_string(xml.str().c_str());
    before.parent().insert_copy_before(fragment.first_child(), before);
}

// The namespaces the inserted pictures use, declared on the root when an edited template lost them.
void DeclareNamespaces(pugi::xml_node root) {
    static const char* const kNames[][2] = {
        {"xmlns:r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships"},
        {"xmlns:wp", "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"},
        {"xmlns:a", "http://schemas.openxmlformats.org/drawingml/2006/main"},
        {"xmlns:pic", "http://schemas.openxmlformats.org/drawingml/2006/picture"},
    };
    for (const auto& ns : kNames)
        if (!root.attribute(ns[0])) root.append_attribute(ns[0]) = ns[1];
}

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};

// Drawing ids must be unique in the document: the pictures take numbers above every id the
// template's own drawings use.
int FirstFreeDrawingId(pugi::xml_node root) {
    int highest = 0;
    for (pugi::xpath_node x : root.select_nodes("//wp:docPr | //pic:cNvPr"))
        highest = std::max(highest, x.node().attribute("id").as_int());
    return highest + 1;
}

// The archive built in a memory buffer, read out once it is complete.
struct CMemoryZip {
    zip_source_t* m_pBuffer = nullptr;
    zip_t* m_pZip = nullptr;
    CMemoryZip() {
        zip_error_t error;
        zip_error_init(&error);
        m_pBuffer = zip_source_buffer_create(nullptr, 0, 0, &error);
        if (m_pBuffer) {
            zip_source_keep(m_pBuffer); // it outlives the archive: the bytes are read after closing
            m_pZip = zip_open_from_source(m_pBuffer, ZIP_TRUNCATE, &error);
        }
        zip_error_fini(&error);
    }
    ~CMemoryZip() {
        if (m_pZip) zip_discard(m_pZip);
        if (m_pBuffer) zip_source_free(m_pBuffer);
    }
    CMemoryZip(const CMemoryZip&) = delete;
    CMemoryZip& operator=(const CMemoryZip&) = delete;
    // Closes the archive and gives its bytes; false (with the reason in why) when it cannot.
    bool Finish(std::string& bytes, std::string& why) {
        if (zip_close(m_pZip) != 0) {
            why = zip_strerror(m_pZip);
            return false;
        }
        m_pZip = nullptr;
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_source_stat(m_pBuffer, &st) != 0 || zip_source_open(m_pBuffer) != 0) {
            why = "the archive cannot be read back";
            return false;
        }
        bytes.resize(static_cast<std::size_t>(st.size));
        const zip_int64_t n = zip_source_read(m_pBuffer, bytes.data(), st.size);
        zip_source_close(m_pBuffer);
        if (n != static_cast<zip_int64_t>(st.size)) {
            why = "the archive cannot be read back";
            return false;
        }
        return true;
    }
};

CResult Fail(const std::string& text, const std::string& detail, EResultCode eCode = EResultCode::Failed) {
    return CResult::Failure(eCode, text, detail);
}

} // namespace

std::map<std::string, std::string> TemplateFields(const CReportContent& c) {
    return {
        {"REPORT_NO", c.m_strReportNo},
        {"PROJECT_NAME", c.m_strProjectName},
        {"CLIENT", c.m_strClient},
        {"TEST_DATE", c.m_strTestDate},
        {"TEST_UNIT", c.m_strTestUnit},
        {"OWNER", c.m_strOwner},
        {"CONSTRUCTION_UNIT", c.m_strConstructionUnit},
        {"DESIGN_UNIT", c.m_strDesignUnit},
        {"SUPERVISION_UNIT", c.m_strSupervisionUnit},
        {"QUALITY_UNIT", c.m_strQualityUnit},
        {"ADDRESS", c.m_strAddress},
        {"PARAGRAPH_1", c.m_strParagraphs[0]},
        {"PARAGRAPH_2", c.m_strParagraphs[1]},
        {"PARAGRAPH_3", c.m_strParagraphs[2]},
        {"SITE_SPEED", c.m_strSiteSpeed},
        {"SUMMARY", c.m_strSummary},
        {"CLASS_1", c.m_strClassLines[0]},
        {"CLASS_2", c.m_strClassLines[1]},
        {"CLASS_3", c.m_strClassLines[2]},
        {"CLASS_4", c.m_strClassLines[3]},
        {"CLASS_UNDECIDED", c.m_strClassLines[4]},
        {"LEFT_OUT", c.m_strLeftOut},
        {"SURVEY_UNIT", c.m_strSurveyUnit},
        {"STANDARD", c.m_strStandard},
        {"METHOD", c.m_strMethod},
        {"INSTRUMENT", c.m_strInstrument},
        {"SENSOR", c.m_strSensor},
        {"SAMPLING", c.m_strSampling},
        {"FILTERS", c.m_strFilters},
        {"CONCLUSIONS", c.m_strConclusions},
        {"DATA_QUALITY", c.m_strDataQuality},
        {"INSPECTORS", c.m_strInspectors},
        {"TODAY", c.m_strToday},
        {"REVIEWER", c.m_strReviewer},
        {"REVIEW_DATE", c.m_strReviewDate},
        {"APPROVER", c.m_strApprover},
        {"APPROVE_DATE", c.m_strApproveDate},
        {"PILE_COUNT", std::to_string(c.m_Piles.size())},
    };
}

namespace {

// The pictures of the reported piles, in report order, drawn on nThreads threads (1: on this one).
// Progress advances on this thread, one step per picture in order, each named by its pile; a cancel
// seen between pictures stops the drawing. Ok, Cancelled, or the failure naming the first pile whose
// picture could not be drawn.
CResult DrawPictures(const CReportContent& content, const PictureSource& source, int nThreads,
                     CProgressReporter* pProgress, std::vector<CPicture>& out) {
    const int total = static_cast<int>(content.m_Piles.size());
    out.assign(static_cast<std::size_t>(total), CPicture{});
    auto name = [&content](int k) -> const std::string& { return content.m_Rows[static_cast<std::size_t>(k)].m_Cells[0]; };
    auto failed = [&](int k) {
        char text[256];
        std::snprintf(text, sizeof text, rtext::kPictureFailed, name(k).c_str());
        return Fail(text, "the picture of pile " + name(k) + " could not be drawn");
    };
    auto draw = [&](int k) {
        CPicture& picture = out[static_cast<std::size_t>(k)];
        return source && source(content.m_Piles[static_cast<std::size_t>(k)], picture) && !picture.m_Png.empty();
    };
    if (pProgress) pProgress->SetTotal(total);
    nThreads = std::clamp(nThreads, 1, std::max(total, 1));
    if (nThreads == 1) {
        for (int k = 0; k < total; ++k) {
            if (!draw(k)) return failed(k);
            if (pProgress) {
                pProgress->Advance(name(k));
                if (pProgress->IsCancelled()) return CResult::Cancel();
            }
        }
        return CResult::Success();
    }

    enum : char { kPending, kDrawn, kFailed };
    std::vector<char> state(static_cast<std::size_t>(total), kPending);
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    {
        std::vector<std::jthread> workers;
        // However this block is left, the workers are told to stop before they are joined.
        struct CStopper {
            std::atomic<bool>& stop;
            ~CStopper() { stop = true; }
        };
        for (int t = 0; t < nThreads; ++t)
            workers.emplace_back([&] {
                for (int k; !stop && (k = next++) < total;) {
                    const bool ok = draw(k);
                    {
                        const std::lock_guard<std::mutex> lock(mutex);
                        state[static_cast<std::size_t>(k)] = ok ? kDrawn : kFailed;
                    }
                    ready.notify_all();
                }
            });
        const CStopper stopper{stop};
        for (int k = 0; k < total; ++k) {
            char got = kPending;
            {
                std::unique_lock<std::mutex> lock(mutex);
                // Woken by each picture drawn, and now and then to see whether the user gave up.
                while ((got = state[static_cast<std::size_t>(k)]) == kPending) {
                    ready.wait_for(lock, std::chrono::milliseconds(100));
                    if (state[static_cast<std::size_t>(k)] == kPending && pProgress) {
                        lock.unlock();
                        const bool cancelled = pProgress->IsCancelled();
                        lock.lock();
                        if (cancelled) return CResult::Cancel();
                    }
                }
            }
            if (got == kFailed) return failed(k);
            if (pProgress) {
                pProgress->Advance(name(k));
                if (pProgress->IsCancelled()) return CResult::Cancel();
            }
        }
    }
    return CResult::Success();
}

CResult WriteReport(const std::string& templatePath, const std::string& outPath, const CReportContent& content,
                    const PictureSource& pictures, int nThreads, CProgressReporter* pProgress);

} // namespace

CResult WriteWordReport(const std::string& templatePath, const std::string& outPath,
                        const CReportContent& content, const PictureSource& pictures,
                        CProgressReporter* pProgress) {
    return WriteReport(templatePath, outPath, content, pictures, 1, pProgress);
}

CResult WriteWordReport(const std::string& templatePath, const std::string& outPath,
                        const CReportContent& content, const CParallelPictures& pictures,
                        CProgressReporter* pProgress) {
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return WriteReport(templatePath, outPath, content, pictures.Source,
                       pictures.nThreads > 0 ? pictures.nThreads : std::max(cores, 1), pProgress);
}

namespace {

CResult WriteReport(const std::string& templatePath, const std::string& outPath, const CReportContent& content,
                    const PictureSource& pictures, int nThreads, CProgressReporter* pProgress) {
    int zipError = 0;
    std::unique_ptr<zip_t, ZipCloser> source(zip_open(templatePath.c_str(), ZIP_RDONLY, &zipError));
    if (!source)
        return Fail(rtext::kTemplateMissing, "cannot open the report template " + templatePath,
                    EResultCode::ReadFailed);
    std::string error;
    const std::string documentXml = ReadEntry(source.get(), kDocument, error);
    const std::string relsXml = ReadEntry(source.get(), kDocumentRels, error);
    const std::string typesXml = ReadEntry(source.get(), kContentTypes, error);
    if (!error.empty())
        return Fail(rtext::kTemplateDamaged, error + " (" + templatePath + ")", EResultCode::ReadFailed);
    pugi::xml_document doc, rels, types;
    if (!doc.load_string(documentXml.c_str(), pugi::parse_default | pugi::parse_ws_pcdata) ||
        !rels.load_string(relsXml.c_str()) || !types.load_string(typesXml.c_str()))
        return Fail(rtext::kTemplateDamaged,
                    "the report template " + templatePath + " is damaged (its XML does not parse)",
                    EResultCode::ReadFailed);

    pugi::xml_node root = doc.document_element();
    FillTextFields(root, TemplateFields(content));
    for (pugi::xml_node at : FindBlockFields(root, "RESULTS_TABLE"))
        InsertResultsTable(at, content);
    KeepPileNumbersWhole(root, content);

    // Pictures: drawn into PNG parts (on several threads when the source allows it), placed where the
    // template asks for them.
    std::list<std::string> buffers; // alive until the archive is written
    std::vector<std::pair<std::string, const std::string*>> media;
    const auto pictureAt = FindBlockFields(root, "PILE_PICTURES");
    if (!pictureAt.empty()) {
        DeclareNamespaces(root);
        if (!types.document_element().find_child_by_attribute("Default", "Extension", "png")) {
            pugi::xml_node d = types.document_element().prepend_child("Default");
            d.append_attribute("Extension") = "png";
            d.append_attribute("ContentType") = "image/png";
        }
        int nextId = FirstFreeDrawingId(root);
        std::vector<CPicture> drawn;
        if (CResult result = DrawPictures(content, pictures, nThreads, pProgress, drawn); !result.Ok())
            return result;
        const int total = static_cast<int>(drawn.size());
        for (int k = 0; k < total; ++k) {
            CPicture& picture = drawn[static_cast<std::size_t>(k)];
            const std::string relId = "rIdPilePicture" + std::to_string(k + 1);
            const std::string part = "media/pile" + std::to_string(k + 1) + ".png";
            pugi::xml_node rel = rels.document_element().append_child("Relationship");
            rel.append_attribute("Id") = relId.c_str();
            rel.append_attribute("Type") = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";
            rel.append_attribute("Target") = part.c_str();
            for (pugi::xml_node at : pictureAt)
                InsertPicture(at, relId, nextId++, picture);
            buffers.emplace_back(picture.m_Png.begin(), picture.m_Png.end());
            picture.m_Png = {};
            media.emplace_back("word/" + part, &buffers.back());
        }
        for (pugi::xml_node at : pictureAt)
            at.parent().remove_child(at);
    }

    TagRunsChinese(root);
    CMemoryZip out;
    if (!out.m_pZip) return Fail(rtext::kBuildFailed, "cannot build the archive in memory");
    buffers.push_back(Serialise(doc));
    const std::string* newDocument = &buffers.back();
    buffers.push_back(Serialise(rels));
    const std::string* newRels = &buffers.back();
    buffers.push_back(Serialise(types));
    const std::string* newTypes = &buffers.back();
    // stored: a PNG is compressed already, and deflating it again costs as long as drawing it.
    auto addBuffer = [&](const std::string& name, const std::string* data, bool stored = false) {
        zip_source_t* src = zip_source_buffer(out.m_pZip, data->data(), data->size(), 0);
        const zip_int64_t at =
            src ? zip_file_add(out.m_pZip, name.c_str(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) : -1;
        if (at < 0) {
            if (src) zip_source_free(src);
            return false;
        }
        return !stored || zip_set_file_compression(out.m_pZip, static_cast<zip_uint64_t>(at), ZIP_CM_STORE, 0) == 0;
    };
    bool ok = true;
    const zip_int64_t entries = zip_get_num_entries(source.get(), 0);
    for (zip_int64_t i = 0; i < entries && ok; ++i) {
        const char* name = zip_get_name(source.get(), static_cast<zip_uint64_t>(i), 0);
        if (!name) continue;
        const std::string n = name;
        if (n == kDocument) ok = addBuffer(n, newDocument);
        else if (n == kDocumentRels) ok = addBuffer(n, newRels);
        else if (n == kContentTypes) ok = addBuffer(n, newTypes);
        else {
            zip_source_t* src = zip_source_zip(out.m_pZip, source.get(), static_cast<zip_uint64_t>(i), 0, 0, -1);
            ok = src && zip_file_add(out.m_pZip, name, src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) >= 0;
            if (!ok && src) zip_source_free(src);
        }
    }
    for (const auto& [name, data] : media)
        ok = ok && addBuffer(name, data, true);
    if (!ok)
        return Fail(rtext::kBuildFailed, std::string("cannot build the report: ") + zip_strerror(out.m_pZip));
    std::string bytes, why;
    if (!out.Finish(bytes, why)) return Fail(rtext::kBuildFailed, "cannot build the report: " + why);
    int nErrno = 0;
    const std::string written = WriteFileAtomically(
        outPath, [&bytes](CByteSink& sink) { return sink.Write(bytes.data(), bytes.size()); }, &nErrno);
    if (!written.empty())
        return Fail(nErrno ? WriteErrorReason(nErrno) : rtext::kNotWritten, written,
                    EResultCode::WriteFailed);
    return CResult::Success();
}

} // namespace

} // namespace pw::report
