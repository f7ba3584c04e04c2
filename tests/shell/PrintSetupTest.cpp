// The print settings dialog offscreen: what it shows with and without set.ini, OK's checks in their
// order, the spins, and the file it writes, read back byte by byte at the layout's offsets.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <cstring>
#include <gtest/gtest.h>

#include "ShellFixtures.h"
#include "core/GbkText.h"
#include "core/PrintSettings.h"
#include "shell/dialogs/CPrintFormatPage.h"
#include "shell/dialogs/CPrintSetupDlg.h"
#include "shell/dialogs/CSpinButton.h"
#include "shell/dialogs/FieldExchange.h"

namespace pw {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct PrintSetupTest : ::testing::Test {
    QTemporaryDir dir;
    test::CScriptedPrompts prompts;
    QString path = dir.filePath("set.ini");

    template <class T = QLineEdit> static T* Find(QDialog& d, int id) {
        T* w = d.findChild<T*>(ControlName(id));
        EXPECT_NE(w, nullptr) << id;
        return w;
    }
    static bool Checked(QDialog& d, int id) {
        if (auto* c = d.findChild<QCheckBox*>(ControlName(id))) return c->isChecked();
        return Find<QRadioButton>(d, id)->isChecked();
    }
    QByteArray FileBytes() const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void WriteFile(const CPrintSettings& s) { ASSERT_EQ(SavePrintSettings(path.toStdString(), s), ""); }
};

int16_t I16(const QByteArray& b, int at) {
    return static_cast<int16_t>(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}
int32_t I32(const QByteArray& b, int at) {
    return static_cast<int32_t>(uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
                                uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24);
}
float F32(const QByteArray& b, int at) {
    const uint32_t u = static_cast<uint32_t>(I32(b, at));
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}
std::string Text(const QByteArray& b, int at) {
    return GbkToUtf8(FieldText(b.constData() + at, 200));
}

TEST_F(PrintSetupTest, WithoutSetIniTheDefaultsShow) {
    CPrintSetupDlg dialog(path, prompts);
    EXPECT_EQ(dialog.windowTitle(), U("打印设置"));
    EXPECT_EQ(dialog.Tabs()->count(), 2);
    EXPECT_EQ(dialog.Tabs()->tabText(0), U("打印格式"));
    EXPECT_EQ(dialog.Tabs()->tabText(1), U("打印参数"));
    EXPECT_EQ(dialog.Tabs()->currentIndex(), 0);
    EXPECT_EQ(Find(dialog, 1063)->text(), U("[检测单位]"));
    EXPECT_EQ(Find(dialog, 1065)->text(), U("[检测单位]"));
    EXPECT_EQ(Find<QComboBox>(dialog, 1102)->currentText(), U("共1页   第1页"));
    EXPECT_EQ(Find<QComboBox>(dialog, 1091)->currentText(), U("底部居右"));
    EXPECT_EQ(Find(dialog, 1068)->text(), "1");
    EXPECT_EQ(Find(dialog, 1069)->text(), U("自动"));
    for (int id : {1070, 1071, 1080, 1082, 1076, 1078})
        EXPECT_EQ(Find(dialog, id)->text().toDouble(), 2.0) << id;
    EXPECT_EQ(Find(dialog, 1084)->text(), "5");
    EXPECT_EQ(Find(dialog, 1087)->text(), "1");
    EXPECT_TRUE(Checked(dialog, 1048));  // A4
    EXPECT_FALSE(Checked(dialog, 1018)); // spectra
    for (int id : {1019, 1065, 1066, 1027, 1020, 1021, 1023, 1024, 1025, 1022, 1026})
        EXPECT_TRUE(Checked(dialog, id)) << id;
    EXPECT_FALSE(dialog.findChild<QCheckBox*>(ControlName(1066))->isEnabled()); // wave train shown disabled
    EXPECT_TRUE(Find(dialog, 1051)->isReadOnly());
    // The defaults pass the dialog's own OK.
    dialog.show();
    ASSERT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Accepted);
    EXPECT_TRUE(prompts.m_Told.isEmpty());
    EXPECT_EQ(FileBytes().size(), 500);
}

TEST_F(PrintSetupTest, CancelWritesNothing) {
    CPrintSetupDlg dialog(path, prompts);
    dialog.show();
    dialog.reject();
    EXPECT_FALSE(QFile::exists(path));
}

struct OkCase {
    const char* name;
    std::vector<std::pair<int, const char*>> edits; // control, text
    std::vector<std::pair<int, bool>> checks;       // check box or radio, state
    int position;                                   // page-number position, -1 unchanged
    const char* message;                            // "" accepted
};

struct PrintSetupOk : PrintSetupTest, ::testing::WithParamInterface<OkCase> {};

TEST_P(PrintSetupOk, ChecksInOrder) {
    const OkCase& c = GetParam();
    CPrintSetupDlg dialog(path, prompts);
    dialog.show();
    for (const auto& [id, text] : c.edits)
        Find(dialog, id)->setText(U(text));
    for (const auto& [id, on] : c.checks) {
        if (auto* box = dialog.findChild<QCheckBox*>(ControlName(id)))
            box->setChecked(on);
        else
            Find<QRadioButton>(dialog, id)->setChecked(on);
    }
    if (c.position >= 0) Find<QComboBox>(dialog, 1091)->setCurrentIndex(c.position);
    const bool accepted = test::CScriptedPrompts::PressOk(dialog) == QDialog::Accepted;
    EXPECT_EQ(accepted, !*c.message);
    EXPECT_EQ(prompts.m_Told, *c.message ? QStringList{U(c.message)} : QStringList{});
    EXPECT_EQ(QFile::exists(path), accepted); // a refusal writes nothing
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintSetupOk,
    ::testing::Values(
        OkCase{"FooterMarginEqualsBottom", {{1078, "2.0"}, {1071, "2.0"}}, {}, -1, ""},
        OkCase{
            "FooterMarginBelowBottom", {{1078, "2.1"}, {1071, "2.0"}}, {}, -1, "打印页脚边距必须小于下边距!"},
        OkCase{"HeaderMarginBelowTop", {{1076, "3"}, {1070, "2.5"}}, {}, -1, "打印页眉边距必须小于上边距!"},
        // A margin below 0 is named by its own field, not blamed on the header or footer margin.
        OkCase{"TopMarginBelowZero", {{1070, "-1"}}, {}, -1, "上边距不能小于0!"},
        OkCase{"BottomMarginBelowZero", {{1071, "-0.5"}}, {}, -1, "下边距不能小于0!"},
        OkCase{"LeftMarginBelowZero", {{1080, "-2"}}, {}, -1, "左边距不能小于0!"},
        OkCase{"FooterMarginBelowZero", {{1078, "-0.1"}}, {}, -1, "页脚边距不能小于0!"},
        OkCase{"MarginsOfZero", {{1070, "0"}, {1076, "0"}, {1080, "0"}}, {}, -1, ""},
        OkCase{
            "BothMarginsWrongFooterFirst", {{1078, "3"}, {1076, "3"}}, {}, -1, "打印页脚边距必须小于下边距!"},
        OkCase{"SpectraWithOneRow",
               {{1084, "1"}},
               {{1018, true}},
               -1,
               "如果打印图谱，则每页行数必须最小设置为2"},
        OkCase{"SpectraWithTwoRows", {{1084, "2"}}, {{1018, true}}, -1, ""},
        OkCase{"FooterAndCentredPageNumber", {}, {}, 1, "页脚和页码重叠打印!"},
        OkCase{"EmptyFooterAndCentredPageNumber", {{1065, ""}}, {}, 1, ""},
        OkCase{"NoRows", {{1084, "0"}}, {}, -1, "每页行数应在1到5之间!"},
        OkCase{"EightRowsWithOneColumn", {{1084, "8"}}, {}, -1, "每页行数应在1到5之间!"},
        OkCase{"TenRowsWithTwoColumns", {{1084, "10"}, {1087, "2"}}, {}, -1, ""},
        OkCase{"ElevenRowsWithThreeColumns", {{1084, "11"}, {1087, "3"}}, {}, -1, "每页行数应在1到10之间!"},
        OkCase{"FourColumns", {{1087, "4"}}, {}, -1, "每页列数应在1到3之间!"},
        OkCase{"NoColumns", {{1087, "0"}}, {}, -1, "每页列数应在1到3之间!"},
        OkCase{"MarginNotANumber", {{1080, "2,5"}}, {}, -1, "请键入一个数。"},
        OkCase{"StartPageNotANumber", {{1068, "x"}}, {}, -1, "请键入一个整数。"},
        OkCase{"CustomSizeNotANumber", {{1051, "abc"}}, {{1050, true}}, -1, "请键入一个整数。"},
        OkCase{"CustomSizeZero", {{1052, "0"}}, {{1050, true}}, -1, "自定义纸张的高和宽必须大于0!"},
        OkCase{"ReadOnlyCustomSizeIsNotRead", {{1051, "abc"}}, {}, -1, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintSetupTest, B5StoresItsOwnSizeWhateverTheCustomEditsHold) {
    CPrintSetupDlg dialog(path, prompts);
    dialog.show();
    Find<QRadioButton>(dialog, 1049)->setChecked(true);
    Find(dialog, 1051)->setText("999");
    Find(dialog, 1052)->setText("888");
    ASSERT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Accepted);
    const QByteArray b = FileBytes();
    EXPECT_EQ(I32(b, 412), 1);
    EXPECT_EQ(I32(b, 416), 250);
    EXPECT_EQ(I32(b, 420), 176);
}

TEST_F(PrintSetupTest, ColumnsBackToOneCutsEightRowsToFive) {
    CPrintSetupDlg dialog(path, prompts);
    CSpinButton* rows = dialog.FormatPage()->RowsSpin();
    CSpinButton* columns = dialog.FormatPage()->ColumnsSpin();
    EXPECT_EQ(rows->Maximum(), 5);
    for (int i = 0; i < 5; ++i)
        rows->Step(1);
    EXPECT_EQ(Find(dialog, 1084)->text(), "5"); // the spin stops at 5 with one column
    columns->Step(1);
    EXPECT_EQ(Find(dialog, 1087)->text(), "2");
    EXPECT_EQ(rows->Maximum(), 10);
    for (int i = 0; i < 3; ++i)
        rows->Step(1);
    EXPECT_EQ(Find(dialog, 1084)->text(), "8");
    columns->Step(-1);
    EXPECT_EQ(Find(dialog, 1087)->text(), "1");
    EXPECT_EQ(Find(dialog, 1084)->text(), "5");
    EXPECT_EQ(rows->Position(), 5);
    EXPECT_EQ(rows->Maximum(), 5);
}

TEST_F(PrintSetupTest, MarginSpinsStepByATenthFromWhatIsTyped) {
    CPrintSetupDlg dialog(path, prompts);
    auto* spin = dialog.findChild<CSpinButton*>(ControlName(1075)); // bottom margin
    ASSERT_NE(spin, nullptr);
    spin->Step(1);
    EXPECT_EQ(Find(dialog, 1071)->text(), "2.1");
    Find(dialog, 1071)->setText("4.0");
    spin->Step(-1);
    EXPECT_EQ(Find(dialog, 1071)->text(), "3.9");
    Find(dialog, 1071)->setText("5");
    spin->Step(1); // 50 is the top of the range
    EXPECT_EQ(Find(dialog, 1071)->text(), "5");
    auto* start = dialog.findChild<CSpinButton*>(ControlName(1072));
    start->Step(-1);
    start->Step(-1);
    EXPECT_EQ(Find(dialog, 1068)->text(), "0");
}

// The total pages field: 0 is the automatic total and shows as "自动", which reads back as 0; a stored
// total (the old default 10 among them) shows and is kept as typed, and the user can set it to 0.
TEST_F(PrintSetupTest, TotalPagesZeroIsAutomatic) {
    struct Case {
        int stored;
        const char* shown;
        const char* typed; // nullptr: left as shown
        int written;
    };
    const Case cases[] = {
        {0, "自动", nullptr, 0}, {10, "10", nullptr, 10}, {10, "10", "0", 0},
        {10, "10", "自动", 0},   {7, "7", " 自动 ", 0},   {0, "自动", "12", 12},
    };
    for (const Case& c : cases) {
        CPrintSettings s = CPrintSettings::Defaults();
        s.m_nTotalPages = static_cast<int16_t>(c.stored);
        WriteFile(s);
        CPrintSetupDlg dialog(path, prompts);
        dialog.show();
        EXPECT_EQ(Find(dialog, 1069)->text(), U(c.shown)) << c.stored;
        if (c.typed) Find(dialog, 1069)->setText(U(c.typed));
        ASSERT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Accepted) << c.stored;
        EXPECT_EQ(I16(FileBytes(), 406), c.written) << c.stored << " typed " << (c.typed ? c.typed : "-");
    }
    // The spin reaches 0 as the word.
    CPrintSettings s = CPrintSettings::Defaults();
    s.m_nTotalPages = 1;
    WriteFile(s);
    CPrintSetupDlg dialog(path, prompts);
    auto* total = dialog.findChild<CSpinButton*>(ControlName(1073));
    ASSERT_NE(total, nullptr);
    total->Step(-1);
    EXPECT_EQ(Find(dialog, 1069)->text(), U("自动"));
    total->Step(1);
    EXPECT_EQ(Find(dialog, 1069)->text(), "1");
}

// What the dialog writes lies at the layout's offsets, read here without the reader.
TEST_F(PrintSetupTest, TheFileIsByteExactToTheLayout) {
    CPrintSetupDlg dialog(path, prompts);
    dialog.show();
    Find(dialog, 1063)->setText(U("页眉文字"));
    Find(dialog, 1065)->setText(U("页脚文字"));
    Find<QComboBox>(dialog, 1102)->setCurrentIndex(3);
    Find<QComboBox>(dialog, 1091)->setCurrentIndex(4);
    Find(dialog, 1068)->setText("3");
    Find(dialog, 1069)->setText("12");
    const char* margins[] = {"2.5", "2.2", "1.8", "1.6", "1.2", "1.4"}; // top bottom left right header footer
    const int marginIds[] = {1070, 1071, 1080, 1082, 1076, 1078};
    for (int i = 0; i < 6; ++i)
        Find(dialog, marginIds[i])->setText(margins[i]);
    Find(dialog, 1084)->setText("7");
    Find(dialog, 1087)->setText("2");
    Find<QRadioButton>(dialog, 1050)->setChecked(true);
    Find(dialog, 1051)->setText("280");
    Find(dialog, 1052)->setText("190");
    const std::pair<int, bool> flags[] = {{1018, true},  {1019, false}, {1027, false}, {1020, true},
                                          {1021, false}, {1023, true},  {1024, false}, {1025, true},
                                          {1022, false}, {1026, false}};
    for (auto [id, on] : flags)
        dialog.findChild<QCheckBox*>(ControlName(id))->setChecked(on);
    dialog.findChild<QCheckBox*>(ControlName(1065))->setChecked(false); // print footer
    ASSERT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Accepted);

    const QByteArray b = FileBytes();
    ASSERT_EQ(b.size(), 500);
    EXPECT_EQ(Text(b, 0), "页眉文字");
    EXPECT_EQ(Text(b, 200), "页脚文字");
    const int16_t ints[] = {3, 4, 3, 12, 7, 2}; // format, position, start, total, rows, columns
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(I16(b, 400 + 2 * i), ints[i]) << 400 + 2 * i;
    EXPECT_EQ(I32(b, 412), 2);
    EXPECT_EQ(I32(b, 416), 280);
    EXPECT_EQ(I32(b, 420), 190);
    const float want[] = {2.5f, 2.2f, 1.8f, 1.6f, 1.2f, 1.4f};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(F32(b, 424 + 4 * i), want[i]) << 424 + 4 * i;
    // spectra, header, footer, train, site, unit, test date, pile no, report date, type, diameter,
    // site again, file name
    const int32_t stored[] = {1, 0, 0, 1, 0, 1, 1, 0, 0, 1, 0, 0, 0};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(I32(b, 448 + 4 * i), stored[i]) << 448 + 4 * i;
    // Both copies of the site-name flag follow the box.
    EXPECT_EQ(I32(b, 464), I32(b, 492));
}

TEST_F(PrintSetupTest, AHandMadeFileIsShown) {
    CPrintSettings s;
    s.SetHeader("甲方页眉");
    s.SetFooter("");
    s.m_nPageFormat = 2;
    s.m_nPagePosition = 3;
    s.m_nStartPage = 4;
    s.m_nTotalPages = 40;
    s.m_nRows = 9;
    s.m_nColumns = 3;
    s.m_nPaperKind = kPaperCustom;
    s.m_nPaperHeight = 300;
    s.m_nPaperWidth = 200;
    s.m_fTopMargin = 3.5f;
    s.m_fBottomMargin = 1.5f;
    s.m_fLeftMargin = 0.5f;
    s.m_fRightMargin = 4.5f;
    s.m_fHeaderMargin = 1.f;
    s.m_fFooterMargin = 0.f;
    s.m_bSpectra = 1;
    s.m_bHeader = 0;
    s.m_bFooter = 0;
    s.m_bWaveTrain = 0;
    s.m_bSiteName = 0;
    s.m_bTestUnit = 1;
    s.m_bTestDate = 0;
    s.m_bPileNo = 1;
    s.m_bReportDate = 0;
    s.m_bPileType = 1;
    s.m_bDiameter = 0;
    s.m_bFileName = 1;
    WriteFile(s);
    QByteArray raw = FileBytes();
    raw[464] = 1; // the first site-name copy disagrees: the one at 492 counts
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(raw);
    f.close();

    CPrintSetupDlg dialog(path, prompts);
    EXPECT_EQ(Find(dialog, 1063)->text(), U("甲方页眉"));
    EXPECT_EQ(Find(dialog, 1065)->text(), "");
    EXPECT_EQ(Find<QComboBox>(dialog, 1102)->currentIndex(), 2);
    EXPECT_EQ(Find<QComboBox>(dialog, 1091)->currentText(), U("顶部居右"));
    EXPECT_EQ(Find(dialog, 1068)->text(), "4");
    EXPECT_EQ(Find(dialog, 1069)->text(), "40");
    EXPECT_EQ(Find(dialog, 1070)->text(), "3.5");
    EXPECT_EQ(Find(dialog, 1071)->text(), "1.5");
    EXPECT_EQ(Find(dialog, 1080)->text(), "0.5");
    EXPECT_EQ(Find(dialog, 1082)->text(), "4.5");
    EXPECT_EQ(Find(dialog, 1076)->text(), "1");
    EXPECT_EQ(Find(dialog, 1078)->text(), "0");
    EXPECT_EQ(Find(dialog, 1084)->text(), "9");
    EXPECT_EQ(Find(dialog, 1087)->text(), "3");
    EXPECT_EQ(dialog.FormatPage()->RowsSpin()->Maximum(), 10);
    EXPECT_TRUE(Checked(dialog, 1050));
    EXPECT_FALSE(Find(dialog, 1051)->isReadOnly());
    EXPECT_EQ(Find(dialog, 1051)->text(), "300"); // height in the height edit
    EXPECT_EQ(Find(dialog, 1052)->text(), "200");
    const std::pair<int, bool> flags[] = {{1018, true}, {1019, false}, {1066, false}, {1027, false},
                                          {1020, true}, {1023, false}, {1024, true},  {1021, false},
                                          {1025, true}, {1022, false}, {1026, true}};
    for (auto [id, on] : flags)
        EXPECT_EQ(dialog.findChild<QCheckBox*>(ControlName(id))->isChecked(), on) << id;
    EXPECT_FALSE(dialog.findChild<QCheckBox*>(ControlName(1065))->isChecked());

    // OK without a change writes the same record back (the custom size is not swapped).
    dialog.show();
    ASSERT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Accepted);
    const CPrintSettings back = LoadPrintSettings(path.toStdString());
    EXPECT_EQ(std::memcmp(&back, &s, sizeof s), 0);
}

TEST_F(PrintSetupTest, AFileThatCannotBeWrittenIsReportedAndTheDialogCloses) {
    QDir(dir.path()).mkdir("set.ini"); // a folder in the way
    CPrintSetupDlg dialog(path, prompts);
    dialog.show();
    EXPECT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Accepted);
    EXPECT_EQ(prompts.m_Told, QStringList{U("写设置文件失败！")});
}

TEST_F(PrintSetupTest, ARefusalOnTheOtherPageBringsItToTheFront) {
    CPrintSetupDlg dialog(path, prompts);
    dialog.show();
    Find<QRadioButton>(dialog, 1050)->setChecked(true);
    Find(dialog, 1052)->setText("x");
    EXPECT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Rejected);
    EXPECT_EQ(dialog.Tabs()->currentIndex(), 1);
    Find(dialog, 1052)->setText("200");
    Find(dialog, 1078)->setText("9");
    EXPECT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Rejected);
    EXPECT_EQ(dialog.Tabs()->currentIndex(), 0);
}

} // namespace
} // namespace pw
