// Everything a user reads is Chinese: Qt's own buttons through its translation, and an interface
// font that keeps Simplified Chinese glyph forms.
#include <QApplication>
#include <QFileDialog>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>

#include <gtest/gtest.h>

#include "shell/ShellFonts.h"

namespace pw {
namespace {

TEST(ChineseInterface, QtsOwnButtonsAreTranslated) {
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
    struct Case {
        QMessageBox::StandardButton button;
        const char* text;
    } const cases[] = {{QMessageBox::Yes, "是"},
                       {QMessageBox::No, "否"},
                       {QMessageBox::Cancel, "取消"},
                       {QMessageBox::Ok, "确定"}};
    for (const Case& c : cases) {
        ASSERT_TRUE(box.button(c.button));
        EXPECT_TRUE(box.button(c.button)->text().contains(QString::fromUtf8(c.text)))
            << box.button(c.button)->text().toStdString();
    }
}

TEST(ChineseInterface, TheFileDialogSpeaksChinese) {
    QFileDialog dialog(nullptr, QString(), QString(), QStringLiteral("*.wvf"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    bool fileNameLabel = false;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (label->text().contains(QString::fromUtf8("文件名"))) fileNameLabel = true;
    EXPECT_TRUE(fileNameLabel);
}

// The file dialog's columns: dates in the system locale's short format, file types by their MIME
// comments in the default locale's language.
TEST(ChineseInterface, TheFileDialogsDatesAndTypesAreChinese) {
    const QDateTime when(QDate(2026, 12, 10), QTime(9, 31));
    EXPECT_EQ(QLocale::system().toString(when, QLocale::ShortFormat), QStringLiteral("2026/12/10 09:31"));
    EXPECT_EQ(QMimeDatabase().mimeTypeForName(QStringLiteral("application/octet-stream")).comment(),
              QString::fromUtf8("未知"));
}

TEST(ChineseInterface, TheInterfaceFontIsSimplifiedChineseFirst) {
    const QStringList families = QApplication::font().families();
    ASSERT_FALSE(families.isEmpty());
    EXPECT_EQ(families.front(), QStringLiteral("Noto Sans CJK SC"));
    EXPECT_EQ(InterfaceFont().families().front(), QStringLiteral("Noto Sans CJK SC"));
}

} // namespace
} // namespace pw
