// The real dialogs behind CShellPrompts.
#include "shell/CShellPrompts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "shell/dialogs/CMergeDlg.h"
#include "shell/ShellMessages.h"
#include "shell/dialogs/CNumberDlg.h"

namespace pw {

void CShellPrompts::Tell(const QString& text, QMessageBox::Icon icon) {
    QMessageBox box(icon, QString::fromUtf8(msg::kAppTitle), text, QMessageBox::Ok, m_pParent);
    box.exec();
}

QMessageBox::StandardButton CShellPrompts::Ask(const QString& caption, const QString& text,
                                               QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::Question, caption, text, buttons, m_pParent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::optional<int> CShellPrompts::AskInt(const QString& title, int value) {
    CNumberDlg dialog(title, value, *this, m_pParent);
    return RunDialog(dialog) == QDialog::Accepted ? std::optional<int>(dialog.Value()) : std::nullopt;
}

int CShellPrompts::RunDialog(QDialog& dialog) {
    return dialog.exec();
}

QString CShellPrompts::AskOpenPath(const QString& filter) {
    return QFileDialog::getOpenFileName(m_pParent, QString(), QString(), filter);
}

QString CShellPrompts::AskSavePath(const QString& filter, const QString& suggested) {
    QFileDialog dialog(m_pParent, QString(), suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The suggested name's suffix (.docx, .xlsx), else a project file's.
    const QString suffix = QFileInfo(suggested).suffix();
    dialog.setDefaultSuffix(suffix.isEmpty() ? QStringLiteral("wvf") : suffix);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().front()
               : QString();
}

QString CShellPrompts::AskFolder(const QString& title) {
    return QFileDialog::getExistingDirectory(m_pParent, title, QDir::currentPath());
}

std::optional<std::pair<QString, QString>> CShellPrompts::AskMergePaths() {
    CMergeDlg dialog(m_pParent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return std::make_pair(dialog.Path1(), dialog.Path2());
}

} // namespace pw
