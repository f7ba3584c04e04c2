// The numeric-input dialog (175): the caller's title, "请输入数据" and one 16-bit integer.
#pragma once

#include <QDialog>

class QLineEdit;

namespace pw {

class CFieldGuard;
class CShellPrompts;

class CNumberDlg : public QDialog {
    Q_OBJECT
public:
    CNumberDlg(const QString& title, int value, CShellPrompts& prompts, QWidget* parent = nullptr);
    int Value() const { return m_nValue; } // after OK
    void accept() override;

private:
    int m_nValue;
    QLineEdit* m_pEdit;
    CFieldGuard* m_pGuard;
};

} // namespace pw
