// Layouts rendered offscreen: the single-trace frame at the left margin.
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "core/CDEVAzazDoc.h"
#include "view/CLayoutRenderer.h"

TEST(ViewLayout, SingleTraceFrames) {
    pw::CDEVAzazDoc doc;
    ASSERT_TRUE(doc.Open(PILEWAVE_SAMPLE).m_bOk);
    pw::ViewState state;
    pw::CPlotFonts fonts;
    pw::CLayoutRenderer r(doc, state, fonts);
    QImage img(800, 600, QImage::Format_RGB32);
    QPainter p(&img);
    r.Render(p, img.size(), 0, true);
    p.end();
    EXPECT_EQ(img.pixelColor(10, 300), QColor(0, 0, 0));
}
