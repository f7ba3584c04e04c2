// About box: the product line, the program's own version and its legal lines.
#include "shell/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "PilewaveVersion.h"
#include "shell/ShellMessages.h"

namespace pw {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(msg::kAboutTitle));
    auto* layout = new QVBoxLayout(this);
    // The version the box shows is the one --version prints.
    const QString lines[] = {QString::fromUtf8(msg::kFrameTitle),
                             QString::fromUtf8(msg::kVersion).arg(QStringLiteral(PILEWAVE_VERSION)),
                             QStringLiteral("pilewave 开发组"), QStringLiteral("本软件按原样提供，不附带任何担保。")};
    for (const QString& line : lines)
        layout->addWidget(new QLabel(line, this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace pw
