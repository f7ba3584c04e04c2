// Face mapping and the eight prebuilt fonts of the waveform view, and the Chinese faces registered
// with a character map a PDF's text can be read back through.
#include "view/CPlotFonts.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include <fontconfig/fontconfig.h>

#include <QFile>
#include <QFontDatabase>
#include <QStringList>

namespace pw {
namespace {

const QString kCopyPrefix = QStringLiteral("pilewave ");

// --- Chinese faces for text that must search and copy as printed --------------------------------
//
// A PDF's text is its fonts' glyphs mapped back to characters, and the PDF writer takes, for each
// glyph, the lowest character the font's character map sends to it. The Noto CJK faces map the
// Kangxi radicals, the CJK radicals supplement and the CJK strokes (U+2E80..U+31EF) to the very glyphs
// of the ideographs they look like, so "工" came back as "⼯" (U+2F2F), "长" as "⻓" and "日" as "⽇",
// and a search for "工地名" found nothing. The faces are therefore registered once more, read from
// their font file with those aliases left out of the character map (and under a family name of their
// own): they draw the same glyphs, and every glyph maps back to its ideograph.

uint32_t Get16(const QByteArray& b, qsizetype at) {
    if (at < 0 || at + 2 > b.size()) return 0;
    const auto* p = reinterpret_cast<const uint8_t*>(b.constData()) + at;
    return uint32_t{p[0]} << 8 | p[1];
}

uint32_t Get32(const QByteArray& b, qsizetype at) { return Get16(b, at) << 16 | Get16(b, at + 2); }

void Put16(QByteArray& b, uint32_t v) {
    b.append(static_cast<char>(v >> 8));
    b.append(static_cast<char>(v));
}

void Put32(QByteArray& b, uint32_t v) {
    Put16(b, v >> 16);
    Put16(b, v & 0xFFFF);
}

struct CTable {
    uint32_t nTag;
    QByteArray data;
};

uint32_t Tag(const char* t) {
    return uint32_t(uint8_t(t[0])) << 24 | uint32_t(uint8_t(t[1])) << 16 | uint32_t(uint8_t(t[2])) << 8 |
           uint8_t(t[3]);
}

bool IsIdeograph(uint32_t c) {
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}

bool IsRadicalOrStroke(uint32_t c) { return c >= 0x2E80 && c <= 0x31EF; }

// The character map (format 12 groups: first, last, first glyph) of a cmap table; empty when it has
// no full Unicode subtable.
std::vector<std::array<uint32_t, 3>> ReadGroups(const QByteArray& cmap) {
    const uint32_t count = Get16(cmap, 2);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t platform = Get16(cmap, 4 + 8 * i), encoding = Get16(cmap, 6 + 8 * i);
        const qsizetype at = Get32(cmap, 8 + 8 * i);
        const bool full = (platform == 3 && encoding == 10) || (platform == 0 && (encoding == 4 || encoding == 6));
        if (!full || Get16(cmap, at) != 12) continue;
        const uint32_t groups = Get32(cmap, at + 12);
        if (at + 16 + qsizetype(groups) * 12 > cmap.size()) return {};
        std::vector<std::array<uint32_t, 3>> out(groups);
        for (uint32_t g = 0; g < groups; ++g)
            out[g] = {Get32(cmap, at + 16 + 12 * g), Get32(cmap, at + 20 + 12 * g), Get32(cmap, at + 24 + 12 * g)};
        return out;
    }
    return {};
}

// A cmap with one format 12 subtable: the groups without the radicals and strokes whose glyph is
// also an ideograph's.
QByteArray WithoutAliases(const std::vector<std::array<uint32_t, 3>>& groups) {
    std::vector<bool> ideographGlyph;
    for (const auto& [first, last, glyph] : groups)
        for (uint32_t c = first; c <= last && c >= first; ++c)
            if (IsIdeograph(c)) {
                const uint32_t g = glyph + (c - first);
                if (g >= ideographGlyph.size()) ideographGlyph.resize(g + 1);
                ideographGlyph[g] = true;
            }
    std::vector<std::array<uint32_t, 3>> kept;
    for (const auto& [first, last, glyph] : groups)
        for (uint32_t c = first; c <= last && c >= first; ++c) {
            const uint32_t g = glyph + (c - first);
            if (IsRadicalOrStroke(c) && g < ideographGlyph.size() && ideographGlyph[g]) continue;
            if (!kept.empty() && kept.back()[1] + 1 == c && kept.back()[2] + (c - kept.back()[0]) == g)
                kept.back()[1] = c;
            else
                kept.push_back({c, c, g});
        }
    QByteArray sub;
    Put16(sub, 12);
    Put16(sub, 0);
    Put32(sub, static_cast<uint32_t>(16 + 12 * kept.size()));
    Put32(sub, 0);
    Put32(sub, static_cast<uint32_t>(kept.size()));
    for (const auto& g : kept)
        for (uint32_t v : g)
            Put32(sub, v);
    // One subtable under two records, Unicode full repertoire (0, 4) and Windows full Unicode (3, 10):
    // without a platform 0 or (3, 1) record FreeType would synthesise a (3, 1) map of its own from
    // glyph names, which a CID-keyed face does not have, and Qt takes the last Unicode map it sees.
    QByteArray cmap;
    Put16(cmap, 0);
    Put16(cmap, 2);
    Put16(cmap, 0);
    Put16(cmap, 4);
    Put32(cmap, 20);
    Put16(cmap, 3);
    Put16(cmap, 10);
    Put32(cmap, 20);
    return cmap + sub;
}

// A name table naming the family (and its full and PostScript names) for Windows in English.
QByteArray NameTable(const QString& family) {
    const QString postscript = QString(family).remove(QLatin1Char(' ')) + QStringLiteral("-Regular");
    const std::vector<std::pair<int, QString>> names = {
        {1, family}, {2, QStringLiteral("Regular")}, {4, family}, {6, postscript}};
    QByteArray strings;
    QByteArray table;
    Put16(table, 0);
    Put16(table, static_cast<uint32_t>(names.size()));
    Put16(table, static_cast<uint32_t>(6 + 12 * names.size()));
    for (const auto& [id, text] : names) {
        QByteArray utf16;
        for (const QChar ch : text)
            Put16(utf16, ch.unicode());
        Put16(table, 3);
        Put16(table, 1);
        Put16(table, 0x409);
        Put16(table, static_cast<uint32_t>(id));
        Put16(table, static_cast<uint32_t>(utf16.size()));
        Put16(table, static_cast<uint32_t>(strings.size()));
        strings += utf16;
    }
    return table + strings;
}

uint32_t Checksum(const QByteArray& data) {
    uint32_t sum = 0;
    const qsizetype whole = data.size() / 4 * 4;
    for (qsizetype i = 0; i < whole; i += 4)
        sum += Get32(data, i);
    uint32_t tail = 0;
    for (qsizetype i = whole; i < data.size(); ++i)
        tail |= uint32_t(uint8_t(data[i])) << (24 - 8 * (i - whole));
    return sum + tail;
}

// The face at index of a font file or collection, rebuilt as one font with the given cmap and name
// tables; empty when the file is not a font this understands.
QByteArray RebuildFace(const QByteArray& file, int index, const QString& family) {
    qsizetype face = 0;
    if (file.startsWith("ttcf")) {
        if (index < 0 || uint32_t(index) >= Get32(file, 8)) return {};
        face = Get32(file, 12 + 4 * index);
    }
    const uint32_t version = Get32(file, face);
    const uint32_t count = Get16(file, face + 4);
    if (count == 0 || face + 12 + qsizetype(count) * 16 > file.size()) return {};
    std::vector<CTable> tables;
    for (uint32_t i = 0; i < count; ++i) {
        const qsizetype rec = face + 12 + 16 * i;
        const uint32_t tag = Get32(file, rec), at = Get32(file, rec + 8), length = Get32(file, rec + 12);
        if (qsizetype(at) + length > file.size()) return {};
        tables.push_back({tag, file.mid(at, length)});
    }
    bool haveCmap = false;
    for (CTable& t : tables) {
        if (t.nTag == Tag("cmap")) {
            const auto groups = ReadGroups(t.data);
            if (groups.empty()) return {};
            t.data = WithoutAliases(groups);
            haveCmap = true;
        } else if (t.nTag == Tag("name")) {
            t.data = NameTable(family);
        }
    }
    if (!haveCmap) return {};
    std::sort(tables.begin(), tables.end(), [](const CTable& a, const CTable& b) { return a.nTag < b.nTag; });
    uint32_t power = 1, log2 = 0;
    while (power * 2 <= tables.size())
        power *= 2, ++log2;
    QByteArray out;
    Put32(out, version);
    Put16(out, static_cast<uint32_t>(tables.size()));
    Put16(out, power * 16);
    Put16(out, log2);
    Put16(out, static_cast<uint32_t>(tables.size()) * 16 - power * 16);
    uint32_t at = 12 + 16 * static_cast<uint32_t>(tables.size());
    for (const CTable& t : tables) {
        Put32(out, t.nTag);
        Put32(out, Checksum(t.data));
        Put32(out, at);
        Put32(out, static_cast<uint32_t>(t.data.size()));
        at += (static_cast<uint32_t>(t.data.size()) + 3) & ~3u;
    }
    for (const CTable& t : tables) {
        out += t.data;
        out += QByteArray((4 - t.data.size() % 4) % 4, '\0');
    }
    return out;
}

// The file and face index fontconfig gives for a family, if that family is installed.
bool FindFace(const QString& family, QByteArray& path, int& index) {
    FcPattern* pattern = FcPatternCreate();
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    bool found = false;
    FcChar8* matched = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &matched) == FcResultMatch; ++i)
        found = found || QString::fromUtf8(reinterpret_cast<const char*>(matched)) == family;
    FcChar8* file = nullptr;
    found = found && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
            FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch;
    if (found) path = reinterpret_cast<const char*>(file);
    index &= 0xFFFF; // the upper bits name an instance of a variable font
    FcPatternDestroy(match);
    return found;
}

// The registered copy of a Chinese family ("" when it is not installed or cannot be read).
QString CopyOf(const QString& family) {
    // Pictures are drawn on several threads at once: one registers a face, the others wait for it.
    static std::mutex guard;
    const std::lock_guard<std::mutex> lock(guard);
    static std::map<QString, QString> copies;
    const auto known = copies.find(family);
    if (known != copies.end()) return known->second;
    QString registered;
    QByteArray path;
    int index = 0;
    if (FindFace(family, path, index)) {
        QFile file(QString::fromLocal8Bit(path));
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray face = RebuildFace(file.readAll(), index, kCopyPrefix + family);
            const int id = face.isEmpty() ? -1 : QFontDatabase::addApplicationFontFromData(face);
            const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
            if (!families.isEmpty()) registered = families.front();
        }
    }
    copies[family] = registered;
    return registered;
}

// Families tried in order; each list ends in a Simplified Chinese family so that Chinese text inside
// a Latin face (the paper legends are "Arial") still gets its characters in their Chinese forms.
QStringList FamiliesOf(const QString& face) {
    if (face == kFaceArial)
        return {QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC")};
    if (face == kFaceKai)
        return {QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL KaitiM GB"),
                QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")};
    // "宋体" and anything unknown: a serif Chinese face.
    return {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
            QStringLiteral("Noto Sans CJK SC")};
}

// Only the installed families: an absent first family would otherwise make fontconfig substitute a
// face of its own choosing before the later entries are tried. A Chinese family is taken as its
// registered copy (see above), which draws the same and reads back right from a PDF.
QStringList InstalledFamilies(const QString& face) {
    static const QStringList installed = QFontDatabase::families();
    QStringList out;
    for (const QString& f : FamiliesOf(face)) {
        if (!installed.contains(f)) continue;
        const QString copy = f.contains(QStringLiteral("CJK")) ? CopyOf(f) : QString();
        out << (copy.isEmpty() ? f : copy);
    }
    if (out.isEmpty()) out << FamiliesOf(face).front();
    return out;
}

} // namespace

QFont MakeFaceFont(const QString& face, int weight) {
    QFont font;
    font.setFamilies(InstalledFamilies(face));
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    if (weight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(weight < 100 ? 100 : weight, 100, 900)));
    return font;
}

PlotFont MakePlotFont(const QString& face, int height, int escapement, int weight) {
    PlotFont f;
    f.m_Font = MakeFaceFont(face, weight);
    f.m_nHeight = height;
    f.m_nEscapement = escapement;
    return f;
}

CPlotFonts::CPlotFonts()
    : m_Fonts{MakePlotFont(kFaceSong, 12, 0),   MakePlotFont(kFaceSong, 210, 0),
              MakePlotFont(kFaceArial, 16, 0),  MakePlotFont(kFaceArial, 240, 0),
              MakePlotFont(kFaceKai, 20, 0),    MakePlotFont(kFaceKai, 300, 0),
              MakePlotFont(kFaceSong, 12, 900), MakePlotFont(kFaceSong, 180, -900)} {}

} // namespace pw
