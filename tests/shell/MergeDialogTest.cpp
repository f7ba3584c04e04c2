// The merge dialog "wvf文件合并": its texts, and the two paths it hands to the merge.
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "shell/dialogs/CMergeDlg.h"

namespace pw {
namespace {

TEST(MergeDialog, TextsAndPaths) {
    CMergeDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "wvf文件合并");
    QStringList labels, buttons;
    for (const QLabel* label : dlg.findChildren<QLabel*>())
        labels << label->text();
    for (const QPushButton* button : dlg.findChildren<QPushButton*>())
        buttons << button->text();
    labels.sort();
    buttons.sort();
    EXPECT_EQ(labels, QStringList({"文件1：", "文件2："}));
    EXPECT_EQ(buttons, QStringList({"取消", "合并", "浏览...", "浏览..."}));
    const QList<QLineEdit*> fields = dlg.findChildren<QLineEdit*>();
    ASSERT_EQ(fields.size(), 2);
    fields[0]->setText("/a/1.wvf");
    fields[1]->setText("/b/2.wvf");
    EXPECT_EQ(dlg.Path1(), "/a/1.wvf");
    EXPECT_EQ(dlg.Path2(), "/b/2.wvf");
}

} // namespace
} // namespace pw
