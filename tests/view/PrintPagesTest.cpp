// The printed pages and the export picture: what lands where, the .bmp file, and that drawing leaves
// the records and the project as they were.
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "ViewFixtures.h"
#include "core/CDEVAzazDoc.h"
#include "tests/FileSizeLimit.h"
#include "view/CPagePrinter.h"
#include "view/CPilePicture.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

// Twips per pixel of a page image at 72 dpi: 20.
constexpr double kDpi = 72.0;

QImage PageImage(const CPagePrinter& printer, int page) {
    const CPageGrid& g = printer.Grid();
    QImage img(static_cast<int>(g.nPaperW / 25.4 * kDpi), static_cast<int>(g.nPaperH / 25.4 * kDpi),
               QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    printer.DrawPage(p, page, kDpi, kDpi);
    return img;
}

// Non-white pixels inside a twip rectangle (x from left, y0 > y1 since y points up).
int InkIn(const QImage& img, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = -top / 20; y < -bottom / 20; ++y)
        for (int x = left / 20; x < right / 20; ++x)
            if (img.rect().contains(x, y) && img.pixelColor(x, y) != QColor(Qt::white)) ++n;
    return n;
}

std::vector<CPileRecord> Piles(int n) {
    std::vector<CPileRecord> piles;
    for (int i = 0; i < n; ++i) {
        piles.push_back(test::PlainRecord(i + 1, [i](int s) { return s == 100 + 10 * i ? 100.f : 0.f; }));
        piles.back().SetPileName(std::to_string(i + 1));
    }
    return piles;
}

CPrintJob Job(int piles, int columns, int rows, bool pairs) {
    CPrintJob job;
    job.m_Piles = Piles(piles);
    job.m_Settings = CPrintSettings::Defaults();
    job.m_Settings.m_nColumns = static_cast<int16_t>(columns);
    job.m_Settings.m_nRows = static_cast<int16_t>(rows);
    job.m_Settings.m_bSpectra = pairs;
    return job;
}

TEST(PrintedPages, CellsLandInTheirRows) {
    // Five piles, two columns, three rows: the third row's second cell stays empty.
    const CPrintJob job = Job(5, 2, 3, false);
    const CPagePrinter printer(job);
    ASSERT_EQ(printer.PageCount(), 1);
    const QImage img = PageImage(printer, 1);
    const CPageGrid& g = printer.Grid();
    const int top = g.Top() - kHeadingHeight;
    const int rh = static_cast<int>(g.fRowH);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 2; ++col) {
            const int left = g.Left() + col * g.nCellW + 100;
            const int ink =
                InkIn(img, left, top - row * rh - 100, left + g.nCellW - 200, top - (row + 1) * rh + 100);
            if (row == 2 && col == 1)
                EXPECT_EQ(ink, 0) << row << "," << col;
            else
                EXPECT_GT(ink, 50) << row << "," << col;
        }
    // Heading block text and the page's header and footer are drawn.
    EXPECT_GT(InkIn(img, g.Left() + 100, g.Top() - 100, g.Right() - 100, g.Top() - 900), 50);
    const CBand header = HeaderBand(g);
    EXPECT_GT(InkIn(img, header.nLeft, header.nTop, header.nRight, header.nBottom - 40), 20);
    const CBand footer = FooterBand(g);
    EXPECT_GT(InkIn(img, footer.nLeft, footer.nTop + 40, footer.nRight, footer.nBottom), 20);
}

TEST(PrintedPages, PairsPutTheSpectrumBelowItsTrace) {
    // Pairs with three rows: one pair row per page, the third band stays empty.
    const CPrintJob job = Job(2, 1, 3, true);
    const CPagePrinter printer(job);
    ASSERT_EQ(printer.PageCount(), 2);
    const QImage img = PageImage(printer, 2);
    const CPageGrid& g = printer.Grid();
    const int top = g.Top() - kHeadingHeight;
    const int rh = static_cast<int>(g.fRowH);
    const int left = g.Left() + 100, right = g.Right() - 100;
    EXPECT_GT(InkIn(img, left, top - 100, right, top - rh + 100), 50);
    EXPECT_GT(InkIn(img, left, top - rh - 100, right, top - 2 * rh + 100), 50);
    EXPECT_EQ(InkIn(img, left, top - 2 * rh - 100, right, top - 3 * rh + 100), 0);
}

TEST(PrintedPages, DrawingLeavesTheProjectAsItWas) {
    CDEVAzazDoc doc;
    test::FillDoc(doc, Piles(3), 2);
    doc.m_Piles[0].m_bChecked = 1;
    doc.m_Piles[2].m_bChecked = 1;
    doc.m_Piles[2].m_nStep = 3;
    doc.m_Piles[2].m_nViewPoints = 700;
    doc.SetModified(false);
    const std::vector<CPileRecord> before = doc.m_Piles;

    const CPrintJob job = MakePrintJob(doc, CPrintSettings::Defaults(), CDate{2026, 3, 9});
    ASSERT_EQ(job.m_Piles.size(), 2u); // the ticked ones, in list order
    EXPECT_EQ(job.m_Piles[0].m_nPileNo, 1);
    EXPECT_EQ(job.m_Piles[1].m_nPileNo, 3);
    const CPagePrinter printer(job);
    PageImage(printer, 1);
    for (const PictureLayout layout : {PictureLayout::Single, PictureLayout::Amplitude})
        RenderPilePicture(doc.m_Piles[2], layout);

    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(doc.m_Piles[i].m_nStep, before[i].m_nStep) << i;
        EXPECT_EQ(doc.m_Piles[i].m_nRevision, before[i].m_nRevision) << i;
        EXPECT_EQ(doc.m_Piles[i].m_nSettledRevision, before[i].m_nSettledRevision) << i;
        EXPECT_EQ(doc.m_Piles[i].m_nViewPoints, before[i].m_nViewPoints) << i;
        EXPECT_EQ(doc.m_Piles[i].m_nFitHeadPoint, before[i].m_nFitHeadPoint) << i;
    }
    EXPECT_EQ(doc.m_bModified, 0);
}

TEST(Picture, BmpFileDecodesToTheRenderedPicture) {
    const CPileRecord rec = Piles(1).front();
    const QImage picture = RenderPilePicture(rec, PictureLayout::Single);
    ASSERT_EQ(picture.size(), QSize(532, 260));
    const fs::path dir = fs::temp_directory_path() / "pw-picture-test";
    fs::create_directories(dir);
    for (const char* name : {"p.bmp", "p.png"}) {
        const std::string path = (dir / name).string();
        ASSERT_EQ(WritePilePicture(rec, PictureLayout::Single, {}, path).CliText(), "") << name;
        if (std::string(name) == "p.bmp") {
            EXPECT_EQ(fs::file_size(path), 415014u);
        }
        QImage decoded(QString::fromStdString(path));
        ASSERT_FALSE(decoded.isNull()) << name;
        EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32), picture) << name;
    }
    // A picture that cannot be written leaves nothing behind and says so.
    EXPECT_EQ(WritePilePicture(rec, PictureLayout::Single, {}, (dir / "missing" / "p.bmp").string()).m_eCode,
              EResultCode::WriteFailed);
    fs::remove_all(dir);
}

TEST(Picture, SpectrumAboveTheCellBelow) {
    const CPileRecord rec = Piles(1).front();
    const QImage img = RenderPilePicture(rec, PictureLayout::Amplitude);
    ASSERT_EQ(img.size(), QSize(532, 260));
    // The spectrum's frame from y 10 to 210, the cell's top frame line at 213; its top 47 rows show.
    EXPECT_GT(test::CountInRow(img, 213, 10, 521, QColor(0, 0, 0)), 400);
    EXPECT_GT(test::CountInRow(img, 210, 10, 521, QColor(0, 0, 0)), 400);
    EXPECT_GT(test::CountInColumn(img, 10, 214, 259, QColor(0, 0, 0)), 40); // the cell's left frame
}

// The PNG (written with a palette when the picture has few enough colours) holds exactly the pixels
// drawn, in every layout.
TEST(Picture, PngHoldsThePixelsDrawn) {
    CPileRecord rec = Piles(1).front();
    rec.m_nMarks[0] = 40;
    rec.m_nMarkCount = 1;
    for (const PictureLayout layout : {PictureLayout::Single, PictureLayout::Amplitude, PictureLayout::Power}) {
        const QImage drawn = RenderPilePicture(rec, layout);
        const std::vector<uint8_t> png = PilePicturePng(rec, layout);
        QImage decoded;
        ASSERT_TRUE(decoded.loadFromData(png.data(), static_cast<int>(png.size()), "PNG"));
        EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32), drawn) << static_cast<int>(layout);
    }
}

// The report draws its pictures on several threads at once: every picture, in each layout, is the
// same PNG byte for byte as the one drawn alone on the main thread.
TEST(Picture, DrawnOnSeveralThreadsAsDrawnAlone) {
    std::vector<CPileRecord> piles = Piles(12);
    for (std::size_t i = 0; i < piles.size(); i += 3) { // some with spectrum marks and their spacing
        piles[i].m_nMarks[0] = 40;
        piles[i].m_nMarks[1] = 120;
        piles[i].m_nMarkCount = 2;
    }
    const PictureLayout layouts[] = {PictureLayout::Single, PictureLayout::Amplitude, PictureLayout::Power};
    std::vector<std::vector<uint8_t>> alone;
    for (const PictureLayout layout : layouts)
        for (const CPileRecord& rec : piles)
            alone.push_back(PilePicturePng(rec, layout));
    std::vector<std::vector<uint8_t>> together(alone.size());
    std::atomic<std::size_t> next{0};
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&] {
                for (std::size_t k; (k = next++) < together.size();)
                    together[k] = PilePicturePng(piles[k % piles.size()], layouts[k / piles.size()]);
            });
    }
    for (std::size_t k = 0; k < alone.size(); ++k) {
        ASSERT_FALSE(alone[k].empty()) << k;
        EXPECT_TRUE(together[k] == alone[k]) << "picture " << k % piles.size() << ", layout " << k / piles.size();
    }
}

// A printer built from a job that then goes away (a temporary, a job replaced in its place) keeps
// drawing the job it was given.
TEST(PrintedPages, APrinterKeepsItsJob) {
    std::optional<CPrintJob> job = Job(2, 1, 2, false);
    const CPagePrinter printer(*job);
    const QImage expected = PageImage(CPagePrinter(Job(2, 1, 2, false)), 1);
    job.emplace(Job(0, 1, 2, false)); // another job in the same place: no cells at all
    EXPECT_EQ(PageImage(printer, 1), expected);
    const CPagePrinter fromTemporary(Job(2, 1, 2, false));
    EXPECT_EQ(PageImage(fromTemporary, 1), expected);
}

// A result as the Chinese sentence, with the English detail put aside.
std::string Split(const CResult& result, std::string* detail) {
    if (detail) *detail = result.m_strDetail;
    return result.m_strMessage;
}

// The PDF and the pictures are saved the way every file is: a failure gives the reason in Chinese
// (the English detail apart) and leaves no temporary; temporaries a killed save left are cleared.
TEST(Picture, PdfAndPicturesAreSavedSafely) {
    const fs::path dir = fs::temp_directory_path() / "pw-safe-output-test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const CPileRecord rec = Piles(1).front();
    using Writer = std::function<std::string(const std::string&, std::string*)>;
    const struct {
        const char* name;
        Writer write;
    } cases[] = {
        {"pages.pdf",
         [](const std::string& path, std::string* detail) {
             return Split(WritePrintPdf(Job(2, 1, 2, false), path), detail);
         }},
        {"p.bmp",
         [&rec](const std::string& path, std::string* detail) {
             return Split(WritePilePicture(rec, PictureLayout::Single, {}, path), detail);
         }},
        {"p.png",
         [&rec](const std::string& path, std::string* detail) {
             return Split(WritePilePicture(rec, PictureLayout::Single, {}, path), detail);
         }},
    };
    for (const auto& c : cases) {
        std::string detail;
        EXPECT_EQ(c.write((dir / "missing" / c.name).string(), &detail), "文件夹不存在。") << c.name;
        EXPECT_NE(detail.find("missing"), std::string::npos) << c.name << ": " << detail;
        const fs::path folder = dir / (std::string("folder-") + c.name);
        fs::create_directories(folder / "inside");
        EXPECT_EQ(c.write(folder.string(), &detail), "同名的文件夹已存在。") << c.name;
        const fs::path stale = dir / ("." + std::string(c.name) + ".tmp-AbC123");
        std::ofstream(stale) << "half a file";
        fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::hours(1));
        EXPECT_EQ(c.write((dir / c.name).string(), &detail), "") << c.name << ": " << detail;
        EXPECT_FALSE(fs::exists(stale)) << c.name;
        EXPECT_GT(fs::file_size(dir / c.name), 1000u) << c.name;
    }
    for (const auto& e : fs::directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
    // A cancelled PDF leaves the earlier one as it was.
    const fs::path pdf = dir / "pages.pdf";
    const auto before = fs::file_size(pdf);
    CFunctionProgress stopAfterOne([](int done, int, const std::string&) { return done < 1; });
    EXPECT_TRUE(WritePrintPdf(Job(9, 1, 2, false), pdf.string(), &stopAfterOne).Cancelled());
    EXPECT_EQ(fs::file_size(pdf), before);
    fs::remove_all(dir);
}

// A write that fails after it began (the disk full, a quota) leaves the file it would have replaced
// as it was, and no temporary beside it.
TEST(Picture, AWriteThatFailsHalfWayLeavesTheOldFile) {
    const fs::path dir = fs::temp_directory_path() / "pw-failed-output-test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const CPileRecord rec = Piles(1).front();
    const struct {
        const char* name;
        std::function<CResult(const std::string&)> write;
    } cases[] = {
        {"pages.pdf", [](const std::string& path) { return WritePrintPdf(Job(2, 1, 2, false), path); }},
        {"p.bmp", [&rec](const std::string& path) { return WritePilePicture(rec, PictureLayout::Single, {}, path); }},
        {"p.png", [&rec](const std::string& path) { return WritePilePicture(rec, PictureLayout::Single, {}, path); }},
    };
    for (const auto& c : cases) {
        const fs::path target = dir / c.name;
        std::ofstream(target) << "the user's earlier file";
        CResult result;
        {
            const pwtest::CFileSizeLimit limit(512);
            result = c.write(target.string());
        }
        EXPECT_EQ(result.m_eCode, EResultCode::WriteFailed) << c.name;
        EXPECT_FALSE(result.m_strMessage.empty()) << c.name;
        std::ifstream in(target);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the user's earlier file") << c.name;
    }
    for (const auto& e : fs::directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
    fs::remove_all(dir);
}

} // namespace
} // namespace pw
