// Placement of a trace box's and a printed cell's texts by measuring them (see CellLayout.h).
#include "view/CellLayout.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <QHash>
#include <QPair>

#include "core/AxisTicks.h"
#include "core/TraceProcessing.h"
#include "view/CPlotCanvas.h"
#include "view/TraceGeometry.h"
#include "view/ViewTexts.h"

namespace pw {
namespace {

// The faces' ascent and descent as fractions of the font height, from the top of the text cell the
// canvas writes at (its baseline lies 0.86 h below it).
constexpr double kAbove = 0.30;
constexpr double kBelow = 1.15;

int Up(double v) { return static_cast<int>(std::ceil(v)); }

// A width function that measures each text at each height once: the layouts try many places and
// heights for the same few texts, and a report draws hundreds of cells.
TextWidthFn Remembered(const TextWidthFn& width) {
    auto known = std::make_shared<QHash<QPair<QString, int>, double>>();
    return [width, known](const QString& s, int h) {
        const QPair<QString, int> key(s, h);
        const auto it = known->constFind(key);
        if (it != known->constEnd()) return *it;
        const double w = width(s, h);
        known->insert(key, w);
        return w;
    };
}

bool Free(const QRect& r, const std::vector<QRect>& placed) {
    return std::none_of(placed.begin(), placed.end(), [&](const QRect& p) { return p.intersects(r); });
}

// The longest wording of a line that fits width at height h ("" when none does; an elidable line
// then loses characters at its end).
QString FittingWording(const CInfoLine& line, int h, double room, const TextWidthFn& width) {
    for (const std::string& v : line.m_Variants) {
        const QString text = QString::fromStdString(v);
        if (width(text, h) <= room) return text;
    }
    if (!line.m_bElidable || line.m_Variants.empty()) return {};
    QString text = QString::fromStdString(line.m_Variants.back());
    const QString ellipsis = QStringLiteral("…");
    while (text.size() > 1 && width(text + ellipsis, h) > room) {
        const int n = text.size() > 1 && text[text.size() - 1].isLowSurrogate() ? 2 : 1;
        text.chop(n);
    }
    return width(text + ellipsis, h) <= room ? text + ellipsis : QString();
}

int InfoPadX(int minHeight) { return std::max(1, Up(0.5 * minHeight)); }
int InfoMargin(int h) { return std::max(1, h / 4); }

// The room lines of height h take from the box's top edge to its bottom edge.
int InfoNeeds(int lines, int h) {
    return 2 * InfoMargin(h) + Up(kAbove * h) + (lines - 1) * LinePitch(h) + Up(kBelow * h);
}

} // namespace

int TextTop(int y, int height) { return y - Up(kAbove * height); }
int TextBottom(int y, int height) { return y + Up(kBelow * height); }
int LinePitch(int height) { return Up(kAbove * height) + Up(kBelow * height) + 1; }

QRect HorizontalTextRect(int x, int y, double width, int height) {
    const int top = TextTop(y, height);
    return QRect(x, top, std::max(1, Up(width)), TextBottom(y, height) - top);
}

std::vector<QRect> CTraceLabels::Rects() const {
    std::vector<QRect> out;
    for (const auto* t : {&T1, &T2, &Number})
        if (*t) out.push_back((*t)->Rect);
    for (const auto* list : {&m_TickLabels, &m_DefectLabels})
        for (const CPlacedText& t : *list) out.push_back(t.Rect);
    return out;
}

// --- the information box ---

int InfoBoxWidth(const std::vector<CInfoLine>& lines, int cellW, int nominal, int minHeight,
                 const TextWidthFn& width) {
    auto need = [&](int h, bool fullest) {
        double widest = 0;
        for (const CInfoLine& line : lines) {
            if (line.m_bElidable || line.m_Variants.empty()) continue;
            const std::string& v = fullest ? line.m_Variants.front() : line.m_Variants.back();
            widest = std::max(widest, width(QString::fromStdString(v), h));
        }
        return Up(widest) + 2 * InfoPadX(minHeight) + 1;
    };
    // What the fullest wordings need at the nominal height, up to 3/10 of the cell; what the shortest
    // need at the smallest height, up to 2/5.
    const int fifth = cellW / 5;
    return std::max({fifth, std::min(need(std::max(nominal, minHeight), true), 3 * cellW / 10),
                     std::min(need(minHeight, false), 2 * cellW / 5)});
}

CInfoBoxLayout LayoutInfoBox(const std::vector<CInfoLine>& lines, const QRect& box, int nominal, int minHeight,
                             const TextWidthFn& measure) {
    const TextWidthFn width = Remembered(measure);
    CInfoBoxLayout out;
    minHeight = std::max(1, minHeight);
    nominal = std::max(nominal, minHeight);
    const double room = box.width() - 2.0 * InfoPadX(minHeight);

    // Lines kept (by index) and their wordings at height h (the fullest only, or the longest that
    // fits); false when one does not fit.
    std::vector<std::size_t> kept(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) kept[i] = i;
    std::vector<QString> words;
    auto fits = [&](int h, bool fullest) {
        words.clear();
        for (const std::size_t i : kept) {
            const QString full = QString::fromStdString(lines[i].m_Variants.empty() ? std::string() : lines[i].m_Variants.front());
            words.push_back(!fullest ? FittingWording(lines[i], h, room, width)
                            : width(full, h) <= room ? full : QString());
            if (words.back().isEmpty()) return false;
        }
        return InfoNeeds(static_cast<int>(kept.size()), h) <= box.height();
    };

    // A smaller font before a shorter wording: the wordings give way only at the smallest height.
    // The search starts where the widths measured at the nominal height and the box's height say the
    // lines could fit.
    int h = nominal;
    for (const CInfoLine& line : lines) {
        if (line.m_Variants.empty()) continue;
        const double w = width(QString::fromStdString(line.m_Variants.front()), nominal);
        if (w > room && w > 0) h = std::min(h, static_cast<int>(nominal * room / w) + 1);
    }
    while (h > minHeight && InfoNeeds(static_cast<int>(kept.size()), h) > box.height()) --h;
    h = std::clamp(h, minHeight, nominal);
    bool found = false;
    for (;;) {
        if (fits(h, true)) {
            found = true;
            break;
        }
        if (h == minHeight) break;
        h = std::max(minHeight, h - std::max(1, h / 24));
    }
    found = found || fits(h, false);
    while (!found && !kept.empty()) {
        // At the smallest height: a line no wording of which fits goes first, then the highest rank.
        std::size_t drop = kept.size() - 1;
        bool narrow = false;
        for (std::size_t k = 0; k < kept.size(); ++k)
            if (FittingWording(lines[kept[k]], h, room, width).isEmpty()) {
                drop = k;
                narrow = true;
                break;
            }
        if (!narrow)
            for (std::size_t k = 0; k < kept.size(); ++k)
                if (lines[kept[k]].m_nDropRank >= lines[kept[drop]].m_nDropRank) drop = k;
        kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(drop));
        ++out.nDropped;
        found = fits(h, false);
    }
    out.nHeight = h;
    if (kept.empty()) return out;

    // Spread down the box, a little apart when there is room, never more than two heights.
    const int n = static_cast<int>(kept.size());
    int pitch = LinePitch(h);
    if (n > 1) {
        const int spare = box.height() - InfoNeeds(n, h);
        pitch = std::min(pitch + spare / (n - 1), 2 * h + 1);
    }
    const int x = box.left() + InfoPadX(minHeight);
    int y = box.top() + InfoMargin(h) + Up(kAbove * h);
    for (int k = 0; k < n; ++k, y += pitch) {
        CPlacedText t;
        t.strText = words[static_cast<std::size_t>(k)];
        t.At = QPoint(x, y);
        t.nHeight = h;
        t.Rect = HorizontalTextRect(x, y, width(t.strText, h), h);
        out.m_Lines.push_back(t);
    }
    return out;
}

// --- the texts of a trace box ---

CTraceLabels LayoutTraceLabels(const CTraceLabelInput& in, const TextWidthFn& plainMeasure,
                               const TextWidthFn& verticalWidth) {
    const TextWidthFn plainWidth = Remembered(plainMeasure);
    CTraceLabels out;
    const int h = std::max(1, in.nTextHeight);
    const int W = in.nW, H = in.nH;
    const int margin = std::max(1, h / 6);
    const int gap = std::max(1, h / 4);
    const int visible = in.nVisibleH >= 0 ? std::min(in.nVisibleH, H) : H;
    const QRect inner(margin, margin, std::max(0, W - 2 * margin), std::max(0, visible - 2 * margin));
    std::vector<QRect> placed;
    auto fits = [&](const QRect& r) { return inner.contains(r) && Free(r, placed); };
    auto text = [&](const QString& s, int x, int y) {
        CPlacedText t;
        t.strText = s;
        t.At = QPoint(x, y);
        t.nHeight = h;
        t.Rect = HorizontalTextRect(x, y, plainWidth(s, h), h);
        return t;
    };
    auto keep = [&](const CPlacedText& t) {
        placed.push_back(t.Rect);
        return t;
    };

    // The scale axis sits a tenth of the height above the bottom, or higher when its labels need it.
    out.nAxisY = std::min(H - H / 10, H - margin - gap - LinePitch(h));
    out.nMinorRise = H / 60;
    out.nMajorRise = H / 60 + H / 120;
    const int topY = std::max(H / 15, margin + Up(kAbove * h));

    // The head, toe and defect lines: T1, T2 and "#n" are written beside them, never across.
    std::vector<QRect> lines;
    auto addLine = [&](int x) { lines.emplace_back(x - in.nLineWidth / 2 - 1, 0, in.nLineWidth + 2, std::max(1, H)); };
    addLine(in.nHeadX);
    if (in.nToeX) addLine(*in.nToeX);
    for (const CTraceLabelInput::Defect& d : in.m_Defects) addLine(d.nX);
    auto clear = [&](const QRect& r) { return fits(r) && Free(r, lines); };

    // A mark's label just left of its line, else right of it; on the row below when both are taken.
    auto besideLine = [&](const QString& s, int lineX) -> std::optional<CPlacedText> {
        const int w = Up(plainWidth(s, h));
        for (const int y : {topY, topY + LinePitch(h)})
            for (const int x : {lineX - in.nLineWidth / 2 - gap - w, lineX + in.nLineWidth / 2 + gap + 1}) {
                const CPlacedText t = text(s, x, y);
                if (clear(t.Rect)) return keep(t);
            }
        ++out.nSkipped;
        return std::nullopt;
    };

    const bool scale = in.bScale && in.nToeX.has_value();
    if (scale) {
        out.T1 = besideLine(QString::fromUtf8(vtext::kHeadMark), in.nHeadX);
        out.T2 = besideLine(QString::fromUtf8(vtext::kToeMark), *in.nToeX);

        const double len = *in.nToeX - in.nHeadX;
        if (len > 0 && in.fLength > 0 && std::isfinite(in.fLength)) {
            const double perMetre = len / in.fLength;
            auto xOf = [&](double depth) { return in.nHeadX + static_cast<int>(std::lround(depth * perMetre)); };
            // As many round ticks as their labels leave room for.
            std::vector<double> ticks;
            double step = 0;
            for (int n = 12; n >= 1; --n) {
                ticks = RoundTicks(0, in.fLength, n);
                if (ticks.size() < 2) continue;
                step = ticks[1] - ticks[0];
                double widest = 0;
                for (const double v : ticks)
                    widest = std::max(widest, plainWidth(QString::fromStdString(TickLabel(v, step)), h));
                if (step * perMetre >= widest + gap) break;
            }
            if (ticks.size() >= 2) {
                const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
                const double minor = mantissa > 4 ? step / 5 : step / 2;
                for (long long k = 0; k * minor <= in.fLength * (1 + 1e-9) && k < 1000; ++k) {
                    const double v = k * minor;
                    (std::fabs(std::remainder(v, step)) < step * 1e-6 ? out.m_MajorTicks : out.m_MinorTicks)
                        .push_back(xOf(v));
                }
                const int y = out.nAxisY + gap + Up(kAbove * h);
                std::vector<CPlacedText> labels;
                for (const double v : ticks) {
                    const QString s = QString::fromStdString(TickLabel(v, step));
                    const CPlacedText t = text(s, xOf(v) - Up(plainWidth(s, h) / 2), y);
                    if (fits(t.Rect) && (labels.empty() || !labels.back().Rect.intersects(t.Rect.adjusted(-gap, 0, 0, 0))))
                        labels.push_back(t);
                    else
                        ++out.nSkipped;
                }
                // The unit after the last number; that number gives way when the unit finds no room.
                while (!labels.empty()) {
                    const CPlacedText unit = text(QStringLiteral("m"), labels.back().Rect.right() + 1 + gap, y);
                    if (fits(unit.Rect)) {
                        labels.push_back(unit);
                        break;
                    }
                    labels.pop_back();
                    ++out.nSkipped;
                }
                for (const CPlacedText& t : labels) out.m_TickLabels.push_back(keep(t));
            }
        }
    }

    // "#n" at its place a third across near the top, else beside or below the marks' labels.
    if (!in.strNumber.isEmpty()) {
        // Its place, or a little aside from it; then beside the marks' labels; then a row lower.
        const int w = Up(plainWidth(in.strNumber, h)) + 2 * gap;
        std::vector<QPoint> at;
        for (const int y : {std::max(H / 2 - 7 * H / 16 + 5, topY), topY + LinePitch(h)}) {
            for (const int k : {0, 1, -1, 2, -2, 3})
                at.emplace_back(W / 3 - 1 + k * w, y);
            for (const auto* mark : {&out.T2, &out.T1})
                if (*mark) at.emplace_back((*mark)->Rect.right() + 1 + 2 * gap, y);
        }
        at.emplace_back(inner.left() + gap, topY);
        for (const QPoint& p : at) {
            const CPlacedText t = text(in.strNumber, p.x(), p.y());
            if (clear(t.Rect)) {
                out.Number = keep(t);
                break;
            }
        }
        if (!out.Number) ++out.nSkipped;
    }

    // Defect labels: beside the line from the middle line on, the other side, then the other half.
    const int hd = std::max(1, in.nDefectHeight);
    const int thick = Up(kAbove * hd) + Up(kBelow * hd);
    const int dgap = std::max(1, hd / 4);
    const int mid = H / 2;
    for (const CTraceLabelInput::Defect& d : in.m_Defects) {
        const int length = std::max(1, Up(verticalWidth(d.strText, hd)));
        const int right = d.nX + dgap, left = d.nX - dgap - thick;
        const int first = in.bDefectsUpward ? mid - length : mid;
        const int second = in.bDefectsUpward ? mid + dgap : mid - dgap - length;
        bool done = false;
        for (const QRect& r : {QRect(right, first, thick, length), QRect(left, first, thick, length),
                               QRect(right, second, thick, length), QRect(left, second, thick, length)}) {
            if (!fits(r)) continue;
            CPlacedText t;
            t.strText = d.strText;
            t.nHeight = hd;
            t.Rect = r;
            t.bVertical = true;
            t.At = in.bDefectsUpward ? QPoint(r.left() + Up(kAbove * hd), r.top() + length)
                                     : QPoint(r.left() + Up(kBelow * hd), r.top());
            out.m_DefectLabels.push_back(keep(t));
            done = true;
            break;
        }
        // Across, beside the line, from below the marks' row down to the axis: clear of the other
        // lines if it can, else across them rather than not at all.
        const double across = plainWidth(d.strText, hd);
        std::vector<QRect> others;
        for (const QRect& l : lines)
            if (!(l.left() <= d.nX && d.nX <= l.right())) others.push_back(l);
        for (const bool clearOfLines : {true, false})
            for (int y = topY + LinePitch(h); !done && TextBottom(y, hd) <= out.nAxisY; y += LinePitch(hd) / 2)
                for (const int x : {d.nX + dgap, d.nX - dgap - Up(across)}) {
                    CPlacedText t;
                    t.strText = d.strText;
                    t.nHeight = hd;
                    t.At = QPoint(x, y);
                    t.Rect = HorizontalTextRect(x, y, across, hd);
                    if (fits(t.Rect) && (!clearOfLines || Free(t.Rect, others))) {
                        out.m_DefectLabels.push_back(keep(t));
                        done = true;
                        break;
                    }
                }
        if (!done) ++out.nSkipped;
    }
    return out;
}

CTraceLabelInput TraceLabelInputOf(const CPlotCanvas& canvas, const TraceBox& box, const CPileRecord& rec,
                                   bool scaleMarks) {
    const PlotScale& sc = canvas.Scale();
    CTraceLabelInput in;
    in.nW = box.nW * sc.nX;
    in.nH = box.nH * std::abs(sc.nY);
    in.nHeadX = HeadColumn(rec) * sc.nX;
    int toe = 0;
    if (ToeColumn(rec, toe)) in.nToeX = toe * sc.nX;
    in.fLength = rec.m_fPileLength;
    in.bScale = scaleMarks;
    in.strNumber = QStringLiteral("#%1").arg(rec.m_nPileNo);
    in.nTextHeight = std::max(canvas.StyleHeight(kTextPlain), canvas.MinTextHeight());
    in.nDefectHeight = std::max(canvas.StyleHeight(kTextVertical), canvas.MinTextHeight());
    in.bDefectsUpward = canvas.StyleEscapement(kTextVertical) > 0;
    in.nLineWidth = std::max(1, sc.nPen);
    for (int i = 0; i < rec.GetDefectCount(); ++i) {
        int type = 0, point = 0;
        std::string name;
        float depth = 0.f;
        if (!rec.GetDefect(i, type, point) || !rec.GetDefectText(i, name, depth)) continue;
        in.m_Defects.push_back({(HeadColumn(rec) + point) * sc.nX, QString::fromStdString(DefectLabel(name, depth))});
    }
    return in;
}

CTraceLabels TraceLabelsOf(const CPlotCanvas& canvas, const TraceBox& box, const CPileRecord& rec,
                           bool scaleMarks) {
    return LayoutTraceLabels(
        TraceLabelInputOf(canvas, box, rec, scaleMarks),
        [&](const QString& s, int h) { return canvas.TextWidth(s, kTextPlain, h); },
        [&](const QString& s, int h) { return canvas.TextWidth(s, kTextVertical, h); });
}

// --- a printed cell ---

CCellLayout LayoutPrintedCell(const CPlotCanvas& canvas, int w, int h, const CPileRecord& rec,
                              const CPrintSettings& settings, bool scaleMarks, int visibleH) {
    const PlotScale& sc = canvas.Scale();
    const int xs = std::max(1, sc.nX);
    CCellLayout out;
    out.nCellW = w * xs;
    out.nCellH = h * std::abs(sc.nY);
    const std::vector<CInfoLine> lines = CellInfoLines(rec, settings);
    const int minHeight = canvas.MinTextHeight();
    const int nominal = std::max(canvas.StyleHeight(kTextLegend), minHeight);
    const TextWidthFn legendWidth =
        Remembered([&](const QString& s, int height) { return canvas.TextWidth(s, kTextLegend, height); });
    const int boxW = InfoBoxWidth(lines, out.nCellW, nominal, minHeight, legendWidth);
    out.nTraceColumns = std::max(1, (out.nCellW - boxW) / xs);
    const int traceW = out.nTraceColumns * xs;
    out.TraceBox = QRect(0, 0, traceW, out.nCellH);
    out.InfoBox = QRect(traceW, 0, out.nCellW - traceW, out.nCellH);
    out.Drawn = rec;
    out.Drawn.m_nStep = static_cast<int16_t>(AreaStep(rec, out.nTraceColumns));
    const int shown = visibleH >= 0 ? std::min(visibleH, out.nCellH) : out.nCellH;
    out.Info = LayoutInfoBox(lines, QRect(out.InfoBox.left(), 0, out.InfoBox.width(), shown), nominal, minHeight,
                             legendWidth);
    CTraceLabelInput in = TraceLabelInputOf(canvas, TraceBox{0, 0, out.nTraceColumns, h}, out.Drawn, scaleMarks);
    in.nVisibleH = shown;
    out.Labels = LayoutTraceLabels(
        in, [&](const QString& s, int height) { return canvas.TextWidth(s, kTextPlain, height); },
        [&](const QString& s, int height) { return canvas.TextWidth(s, kTextVertical, height); });
    return out;
}

} // namespace pw
