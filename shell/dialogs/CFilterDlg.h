// The filter dialog "低通、高通滤波" (174): low-pass cut-off, passes and high-pass cut-off.
#pragma once

#include <QDialog>

#include "core/ValueRules.h"

class QLineEdit;

namespace pw {

class CFieldGuard;
class CShellPrompts;

class CFilterDlg : public QDialog {
    Q_OBJECT
public:
    CFilterDlg(const FilterValues& values, CShellPrompts& prompts, QWidget* parent = nullptr);
    const FilterValues& Values() const { return m_Values; } // after OK
    void accept() override;

private:
    FilterValues m_Values;
    CShellPrompts& m_prompts;
    QLineEdit* m_pLowPass;
    QLineEdit* m_pPasses;
    QLineEdit* m_pHighPass;
    CFieldGuard* m_pGuard;
};

} // namespace pw
