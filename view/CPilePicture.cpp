// The export picture of a pile (see CPilePicture.h).
#include "view/CPilePicture.h"

#include <optional>
#include <unordered_map>

#include <QBuffer>
#include <QPainter>

#include "core/CByteSource.h"
#include "core/PictureFiles.h"
#include "core/TraceProcessing.h"
#include "core/WriteErrorText.h"
#include "view/CPlotFonts.h"
#include "view/CSpectrumPlotter.h"
#include "view/ViewTexts.h"

namespace pw {
namespace {

constexpr int kPlotWidth = 512;
constexpr int kPlotHeight = 200;
constexpr int kBinWidth = 5;
// The PNG writer's quality, which sets zlib's effort: at 80 it deflates at level 1, whose files of
// these plots are about an eighth larger than at the default level and take a third less time.
constexpr int kPngQuality = 80;

// Each thread that draws pictures has fonts of its own (the report draws them on all cores).
const CPlotFonts& Fonts() {
    thread_local const CPlotFonts fonts;
    return fonts;
}

bool EndsWithPng(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".png";
}

// The picture with a palette when it has at most 256 colours (lines and text on white always have):
// the very same pixels, a third of the bytes to filter and compress, so several times faster to
// encode. A picture of more colours is returned as it is.
QImage Paletted(const QImage& image) {
    std::unordered_map<QRgb, uchar> index;
    QList<QRgb> table;
    QImage out(image.size(), QImage::Format_Indexed8);
    if (out.isNull()) return image;
    const int width = image.width(), height = image.height();
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* line = out.scanLine(y);
        QRgb last = 0;
        int lastIndex = -1;
        for (int x = 0; x < width; ++x) {
            const QRgb c = in[x] | 0xff000000u;
            if (c != last || lastIndex < 0) {
                auto [it, added] = index.try_emplace(c, static_cast<uchar>(table.size()));
                if (added) {
                    if (table.size() == 256) return image;
                    table.push_back(c);
                }
                last = c;
                lastIndex = it->second;
            }
            line[x] = static_cast<uchar>(lastIndex);
        }
    }
    out.setColorTable(table);
    return out;
}

} // namespace

PictureLayout PictureLayoutOf(Layout viewLayout) {
    return viewLayout == Layout::AmplitudeSpectrum ? PictureLayout::Amplitude
           : viewLayout == Layout::PowerSpectrum   ? PictureLayout::Power
                                                   : PictureLayout::Single;
}

QImage RenderPilePicture(const CPileRecord& rec, PictureLayout layout, const CPictureOptions& options) {
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.fill(kColorBackground);
    QPainter painter(&image);
    CPlotCanvas canvas(painter, Fonts(), PlotScale{}, false);
    if (layout == PictureLayout::Single) {
        DrawPrintedCell(canvas, 10, 10, kPlotWidth, kPlotHeight * 6 / 5, rec, options.m_Settings,
                        options.m_Cell);
    } else {
        // The spectrum above, the printed cell below it (only its top rows fall inside the picture, and
        // its texts are placed there).
        std::optional<CPileRecord> scratch;
        const CPileRecord& shown = ShownRecord(rec, scratch);
        CSpectrumPlotter(canvas).Draw(TraceBox{10, 10, kPlotWidth, kPlotHeight}, shown, ProcessedTrace(shown),
                                      layout == PictureLayout::Power ? 1 : 0, kBinWidth, kTextVertical);
        const int top = 10 + kPlotHeight + 3;
        DrawPrintedCell(canvas, 10, top, kPlotWidth, kPlotHeight, rec, options.m_Settings, options.m_Cell,
                        kPictureHeight - top);
    }
    painter.end();
    return image;
}

std::vector<uint8_t> PilePicturePng(const CPileRecord& rec, PictureLayout layout, int* width, int* height,
                                    const CPictureOptions& options) {
    const QImage image = RenderPilePicture(rec, layout, options);
    if (image.isNull()) return {};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!Paletted(image).save(&buffer, "PNG", kPngQuality)) return {};
    if (width) *width = image.width();
    if (height) *height = image.height();
    return std::vector<uint8_t>(buffer.data().begin(), buffer.data().end());
}

CResult WritePilePicture(const CPileRecord& rec, PictureLayout layout, const CPictureOptions& options,
                         const std::string& path) {
    std::vector<uint8_t> bytes;
    if (EndsWithPng(path)) {
        bytes = PilePicturePng(rec, layout, nullptr, nullptr, options);
    } else {
        const QImage image = RenderPilePicture(rec, layout, options);
        if (!image.isNull())
            bytes = EncodeBmp24Xrgb(image.width(), image.height(),
                                    reinterpret_cast<const uint32_t*>(image.constBits()),
                                    static_cast<int>(image.bytesPerLine()));
    }
    if (bytes.empty())
        return CResult::Failure(EResultCode::Failed, vtext::kPictureNotDrawn,
                                "the picture could not be drawn");
    int nErrno = 0;
    const std::string written = WriteFileAtomically(
        path, [&bytes](CByteSink& sink) { return sink.Write(bytes.data(), bytes.size()); }, &nErrno);
    if (written.empty()) return CResult::Success();
    return CResult::Failure(EResultCode::WriteFailed,
                            nErrno ? WriteErrorReason(nErrno) : vtext::kFileNotWritten, written);
}

} // namespace pw
