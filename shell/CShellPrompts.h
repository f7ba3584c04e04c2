// Every question and message the shell puts to the user goes through here, so commands can be
// driven by tests with scripted answers (a subclass) instead of modal boxes.
#pragma once

#include <QMessageBox>
#include <QString>

#include <optional>
#include <utility>

class QDialog;
class QWidget;

namespace pw {

class CShellPrompts {
public:
    explicit CShellPrompts(QWidget* parent) : m_pParent(parent) {}
    virtual ~CShellPrompts() = default;

    // A modal box with OK and the application's caption; text exactly as given.
    virtual void Tell(const QString& text, QMessageBox::Icon icon = QMessageBox::Warning);
    virtual QMessageBox::StandardButton Ask(const QString& caption, const QString& text,
                                            QMessageBox::StandardButtons buttons);
    // The numeric-input dialog: the title names what is asked, one 16-bit integer edit.
    virtual std::optional<int> AskInt(const QString& title, int value);
    // Runs a modal dialog (exec); tests fill its controls and press its buttons instead.
    virtual int RunDialog(QDialog& dialog);
    virtual QString AskOpenPath(const QString& filter);
    virtual QString AskSavePath(const QString& filter, const QString& suggested);
    virtual std::optional<std::pair<QString, QString>> AskMergePaths();
    // A folder, starting from the current one; "" when cancelled.
    virtual QString AskFolder(const QString& title);

protected:
    QWidget* m_pParent;
};

} // namespace pw
