// The project information dialog "工程信息" (132): inspection unit, project name, pile diameter, pile
// name, pile type and test date of the current pile.
#pragma once

#include <QDialog>

#include "core/ProjectInfo.h"

class QButtonGroup;
class QDateEdit;
class QLineEdit;

namespace pw {

class CFieldGuard;
class CShellPrompts;

class CProjectInfoDlg : public QDialog {
    Q_OBJECT
public:
    CProjectInfoDlg(const CProjectInfo& info, CShellPrompts& prompts, QWidget* parent = nullptr);
    const CProjectInfo& Info() const { return m_Info; } // after OK
    void accept() override;

private:
    CProjectInfo m_Info;
    CShellPrompts& m_prompts;
    QLineEdit* m_pUnit;
    QLineEdit* m_pProject;
    QLineEdit* m_pDiameter;
    QLineEdit* m_pPileName;
    QButtonGroup* m_pPileType;
    QDateEdit* m_pDate;
    CFieldGuard* m_pGuard;
};

} // namespace pw
