// About box: the product line, the version and the program's own legal lines.
#include "shell/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "shell/ShellMessages.h"

namespace pw {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(msg::kAboutTitle));
    auto* layout = new QVBoxLayout(this);
    for (const char* line :
         {msg::kFrameTitle, msg::kVersion, "pilewave 开发组", "本软件按原样提供，不附带任何担保。"})
        layout->addWidget(new QLabel(QString::fromUtf8(line), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace pw
