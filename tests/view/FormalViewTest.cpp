// FormalView driven by synthetic mouse and key events: row choice, tools, cursor readouts, scrolling.
#include <functional>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <gtest/gtest.h>

#include "ViewFixtures.h"
#include "core/CommandIds.h"
#include "view/FormalView.h"
#include "view/TraceGeometry.h"

using namespace pw;
using namespace pw::test;

namespace {

class ViewWidget : public ::testing::Test {
protected:
    void Make(int piles, int current, int layout) {
        FillDoc(doc, std::vector<CPileRecord>(static_cast<std::size_t>(piles), PlainRecord(1, Spike)),
                current);
        doc.m_Display.m_nLayout = layout;
        doc.SetModified(false);
        view = std::make_unique<FormalView>(doc);
        view->resize(800, 640);
        view->show();
        QApplication::processEvents();
    }
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(
            type, at, view->viewport()->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button,
            type == QEvent::MouseMove && !view->State().m_bDragging ? Qt::NoButton : held, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &e);
    }
    void Key(int key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &e);
    }
    int RowY(int row) const { // the middle of a three-trace row
        const int hc = view->viewport()->height();
        return 10 + (2 * row - 1) * (hc - 20) / 6;
    }

    CDEVAzazDoc doc;
    std::unique_ptr<FormalView> view;
};

} // namespace

TEST_F(ViewWidget, PressInAnotherRowMakesItsPileCurrent) {
    Make(5, 3, 1); // rows: 2, 3, 4 with pile 3 in the middle
    Mouse(QEvent::MouseButtonPress, QPoint(300, RowY(1)));
    EXPECT_EQ(doc.GetCurrentPileNo(), 2);
    EXPECT_EQ(view->State().m_nThird, 1);
    Mouse(QEvent::MouseButtonRelease, QPoint(300, RowY(1)));
    // Now rows 2, 3, 4 with pile 2 on top: the bottom row holds pile 4.
    Mouse(QEvent::MouseButtonPress, QPoint(300, RowY(3)));
    EXPECT_EQ(doc.GetCurrentPileNo(), 4);
    EXPECT_EQ(view->State().m_nThird, 3);
    EXPECT_FALSE(doc.m_bModified) << "choosing a row edits nothing";
}

TEST_F(ViewWidget, PressOnAMissingRowEndsBeforeTheTool) {
    Make(1, 1, 1);
    doc.ChooseTool(cmd::kToolZoomIn);
    Mouse(QEvent::MouseButtonPress, QPoint(300, RowY(2)));
    EXPECT_EQ(doc.FindPile(1)->m_nZoom, 0);
    Mouse(QEvent::MouseButtonPress, QPoint(300, RowY(1)));
    EXPECT_EQ(doc.FindPile(1)->m_nZoom, 2);
    EXPECT_TRUE(doc.m_bModified);
}

TEST_F(ViewWidget, ZoomOutKeysStopAtTheFloor) {
    Make(3, 1, 0);
    doc.ChooseTool(cmd::kToolZoomOut);
    doc.FindPile(1)->m_nZoom = -10;
    Key(Qt::Key_Down);
    EXPECT_EQ(doc.FindPile(1)->m_nZoom, -10);
    EXPECT_FALSE(doc.m_bModified);
    Key(Qt::Key_Up);
    EXPECT_EQ(doc.FindPile(1)->m_nZoom, -9);
    EXPECT_EQ(doc.m_Pending.m_nZoom, -9) << "the pending set follows the pile";
    EXPECT_TRUE(doc.m_bModified);
}

TEST_F(ViewWidget, TranslateDragMovesThePileAndRightPressPutsTheToolAway) {
    Make(3, 2, 0);
    doc.ChooseTool(cmd::kToolShift);
    Mouse(QEvent::MouseButtonPress, QPoint(100, 100));
    Mouse(QEvent::MouseMove, QPoint(130, 90));
    Mouse(QEvent::MouseButtonRelease, QPoint(130, 90));
    EXPECT_EQ(doc.FindPile(2)->m_nShiftX, 30);
    EXPECT_EQ(doc.FindPile(2)->m_nShiftY, 10);
    EXPECT_EQ(doc.m_Pending.m_nShiftX, 30);
    EXPECT_FALSE(view->State().m_bDragging);
    Mouse(QEvent::MouseButtonPress, QPoint(100, 100), Qt::RightButton);
    EXPECT_EQ(doc.m_nToolCode, -1);
}

TEST_F(ViewWidget, CursorFollowsThePointerWithReadouts) {
    Make(3, 1, 0);
    EXPECT_EQ(view->CursorColumn(), -11);
    std::map<int, QString> panes;
    QObject::connect(view.get(), &FormalView::StatusText,
                     [&](int pane, const QString& t) { panes[pane] = t; });
    // Step 1, head column 40: column 50 + 40 is 50 points after the head, 20 µs each.
    Mouse(QEvent::MouseMove, QPoint(10 + 90, 200));
    EXPECT_EQ(view->CursorColumn(), 90);
    EXPECT_EQ(panes[1], QStringLiteral("声时: 1.00ms"));
    EXPECT_EQ(panes[3], QStringLiteral("深度: 2.0m"));
    EXPECT_EQ(panes[5], QStringLiteral("数据点数: 90"));
    Mouse(QEvent::MouseMove, QPoint(10 + 90, 590)); // below the trace box: the cursor stays
    EXPECT_EQ(view->CursorColumn(), 90);
    Key(Qt::Key_Escape);
    EXPECT_EQ(view->CursorColumn(), -11);
}

TEST_F(ViewWidget, AnotherLayoutOrProjectTakesTheCursorAndReadoutsAway) {
    Make(3, 1, 0);
    int resets = 0;
    QObject::connect(view.get(), &FormalView::StatusReset, [&] { ++resets; });
    struct Case {
        const char* what;
        std::function<void()> change;
        int resets;
    };
    const Case cases[] = {
        {"three traces", [&] { doc.SetLayout(cmd::kThreeTraces); }, 1},
        {"the same layout again", [&] { doc.SetLayout(cmd::kThreeTraces); }, 0},
        {"wave train", [&] { doc.SetLayout(cmd::kWaveTrain); }, 1},
        {"power spectrum", [&] { doc.SetLayout(cmd::kPowerSpectrum); }, 1},
        {"single trace", [&] { doc.SetLayout(cmd::kSingleTrace); }, 1},
        {"a new document", [&] { doc.NewDocument(); }, 1},
    };
    for (const Case& c : cases) {
        view->SetCursorX(200);
        view->State().m_nGrabbed = 1001;
        resets = 0;
        c.change();
        EXPECT_EQ(resets, c.resets) << c.what;
        EXPECT_EQ(view->CursorColumn(), c.resets ? -11 : 190) << c.what;
        EXPECT_EQ(view->State().m_nGrabbed, c.resets ? -1 : 1001) << c.what;
    }
}

TEST_F(ViewWidget, RightReleaseAsksForTheContextMenuOnTraceLayoutsOnly) {
    Make(3, 1, 0);
    int asked = 0;
    QObject::connect(view.get(), &FormalView::ContextMenuRequested, [&](const QPoint&) { ++asked; });
    Mouse(QEvent::MouseButtonPress, QPoint(200, 200), Qt::RightButton);
    Mouse(QEvent::MouseButtonRelease, QPoint(200, 200), Qt::RightButton);
    EXPECT_EQ(asked, 1);
    doc.SetLayout(cmd::kAmplitudeSpectrum);
    Mouse(QEvent::MouseMove, QPoint(200, 200));
    Mouse(QEvent::MouseButtonPress, QPoint(200, 200), Qt::RightButton);
    Mouse(QEvent::MouseButtonRelease, QPoint(200, 200), Qt::RightButton);
    EXPECT_EQ(asked, 1) << "the spectra have no context menu";
    EXPECT_EQ(doc.FindPile(1)->m_nMarkCount, 1) << "the right press set a mark instead";
    EXPECT_EQ(doc.FindPile(1)->m_nMarks[0], 190);
}

TEST_F(ViewWidget, WaveTrainScrollsOverThirtyUnitsPerPile) {
    Make(40, 1, 0);
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 0);
    doc.SetLayout(cmd::kWaveTrain); // the view hears it as a listener
    QApplication::processEvents();
    // Thirty units per pile and a row's swing of room above the first trace and below the last.
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 40 * 30 + 2 * 30 - view->viewport()->height());
}

// The tools shift, rotate and zoom the drawn trace: on the wave train and the spectra nothing of that
// is drawn, so no tool key or drag may change a record there. Switching to one of those layouts puts
// the tool away and the tools cannot be chosen there; a tool a loaded project left active does nothing.
TEST_F(ViewWidget, NoToolChangesARecordOnTheWaveTrainOrTheSpectra) {
    const int layouts[] = {cmd::kWaveTrain, cmd::kAmplitudeSpectrum, cmd::kPowerSpectrum};
    const int tools[] = {cmd::kToolShift, cmd::kToolRotate, cmd::kToolZoomIn, cmd::kToolZoomOut,
                         cmd::kToolLocalZoom};
    const int codes[] = {0, 1, 3, 4, 5};
    for (int layout : layouts) {
        for (int t = 0; t < 5; ++t) {
            const std::string what = std::to_string(layout) + " " + std::to_string(tools[t]);
            Make(3, 2, 0);
            doc.ChooseTool(tools[t]);
            ASSERT_EQ(doc.m_nToolCode, codes[t]) << what;
            doc.SetLayout(layout);
            EXPECT_EQ(doc.m_nToolCode, -1) << what << ": the layout puts the tool away";
            EXPECT_FALSE(doc.GetCommandState(tools[t]).enabled) << what;
            doc.ChooseTool(tools[t]);
            EXPECT_EQ(doc.m_nToolCode, -1) << what << ": not chosen here";

            doc.m_nToolCode = codes[t]; // as a loaded project may leave it
            const CPileRecord before = *doc.FindPile(2);
            for (int key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right})
                Key(key);
            Mouse(QEvent::MouseButtonPress, QPoint(200, 200));
            Mouse(QEvent::MouseMove, QPoint(260, 150));
            Mouse(QEvent::MouseButtonRelease, QPoint(260, 150));
            const CPileRecord& after = *doc.FindPile(2);
            EXPECT_EQ(after.m_nShiftX, before.m_nShiftX) << what;
            EXPECT_EQ(after.m_nShiftY, before.m_nShiftY) << what;
            EXPECT_EQ(after.m_nRotate, before.m_nRotate) << what;
            EXPECT_EQ(after.m_nZoom, before.m_nZoom) << what;
            EXPECT_EQ(after.GetSegmentCount(), before.GetSegmentCount()) << what;
            EXPECT_FALSE(doc.m_bModified) << what;
            doc.m_nToolCode = -1;
            for (int& f : doc.m_bToolFlags)
                f = 0;
        }
    }
}

// Enter with a tool active does not commit the marker the pointer hovered before the tool was chosen
// (the toe used to move and the speed to change), nor after the tool is put away again.
TEST_F(ViewWidget, EnterWithAToolDoesNotCommitTheHoveredMarker) {
    for (int tool : {cmd::kToolShift, cmd::kToolRotate, cmd::kToolZoomIn, cmd::kToolZoomOut}) {
        Make(3, 1, 0);
        view->grab(); // paints, which fits the step
        CPileRecord& rec = *doc.FindPile(1);
        int toe = 0;
        ASSERT_TRUE(ToeColumn(rec, toe));
        Mouse(QEvent::MouseMove, QPoint(10 + toe + 2, 200));
        ASSERT_EQ(view->State().m_nGrabbed, 1001) << tool;
        const int speed = rec.m_nWaveSpeed;
        const float length = rec.m_fPileLength;
        doc.ChooseTool(tool);
        Key(Qt::Key_Return);
        Mouse(QEvent::MouseButtonPress, QPoint(10 + toe + 2, 200), Qt::RightButton); // puts the tool away
        ASSERT_EQ(doc.m_nToolCode, -1);
        Key(Qt::Key_Return);
        EXPECT_EQ(rec.m_nWaveSpeed, speed) << tool;
        EXPECT_FLOAT_EQ(rec.m_fPileLength, length) << tool;
        EXPECT_FALSE(doc.m_bModified) << tool;
    }
}
