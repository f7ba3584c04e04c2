// Merge dialog: "文件1：" and "文件2：" with "浏览..." buttons, "合并" and "取消".
#include "shell/dialogs/CMergeDlg.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "shell/ShellMessages.h"

namespace pw {

CMergeDlg::CMergeDlg(QWidget* parent)
    : QDialog(parent), m_pFile1(new QLineEdit(this)), m_pFile2(new QLineEdit(this)) {
    setWindowTitle(QString::fromUtf8(msg::kMergeTitle));
    auto* grid = new QGridLayout(this);
    int row = 0;
    for (auto [label, field] : {std::pair{"文件1：", m_pFile1}, std::pair{"文件2：", m_pFile2}}) {
        field->setMinimumWidth(320);
        auto* browse = new QPushButton(QStringLiteral("浏览..."), this);
        connect(browse, &QPushButton::clicked, this, [this, f = field] { Browse(f); });
        grid->addWidget(new QLabel(QString::fromUtf8(label), this), row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(browse, row, 2);
        ++row;
    }
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("合并"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, row, 0, 1, 3);
}

QString CMergeDlg::Path1() const {
    return m_pFile1->text();
}
QString CMergeDlg::Path2() const {
    return m_pFile2->text();
}

void CMergeDlg::Browse(QLineEdit* field) {
    const QString path =
        QFileDialog::getOpenFileName(this, QString(), field->text(), QString::fromUtf8(msg::kFileFilter));
    if (!path.isEmpty()) field->setText(path);
}

} // namespace pw
