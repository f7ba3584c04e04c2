// The gain dialog "波形放大" (173): gain mode, gain factor and gain delay.
#pragma once

#include <QDialog>

#include "core/ValueRules.h"

class QLineEdit;
class QRadioButton;

namespace pw {

class CFieldGuard;
class CShellPrompts;

class CGainDlg : public QDialog {
    Q_OBJECT
public:
    // barLength: the estimate bar's pile length; the delay may reach eight tenths of it.
    CGainDlg(const GainValues& values, float barLength, CShellPrompts& prompts, QWidget* parent = nullptr);
    const GainValues& Values() const { return m_Values; } // after OK
    void accept() override;

private:
    GainValues m_Values;
    QRadioButton* m_pExponential;
    QRadioButton* m_pLinear;
    QLineEdit* m_pGain;
    QLineEdit* m_pDelay;
    CFieldGuard* m_pGuard;
};

} // namespace pw
