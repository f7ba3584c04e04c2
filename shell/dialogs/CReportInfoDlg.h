// The report information dialog "工程信息" (197): the report's header fields. Opening loads the kept
// ones from the report settings file; OK writes them back.
#pragma once

#include <QDialog>

#include <string>
#include <utility>
#include <vector>

#include "core/ReportSettings.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;

namespace pw {

class CFieldGuard;
class CShellPrompts;

class CReportInfoDlg : public QDialog {
    Q_OBJECT
public:
    // info: the caller's fields; those the settings file keeps are replaced by the file's. folder:
    // where the settings files live.
    CReportInfoDlg(const CReportInfo& info, const QString& folder, CShellPrompts& prompts,
                   QWidget* parent = nullptr);
    const CReportInfo& Info() const { return m_Info; } // after OK
    void accept() override;

private:
    void Show();    // the fields into the controls
    bool ReadAll(); // the controls into the fields; false after a refusal
    void KeepDigits(QLineEdit* edit);

    CReportInfo m_Info;
    QString m_strFolder;
    CShellPrompts& m_prompts;
    CFieldGuard* m_pGuard = nullptr;
    QLineEdit *m_pReportNo, *m_pAddress, *m_pOwner, *m_pProject, *m_pDesign, *m_pSupervision,
        *m_pConstruction, *m_pQuality, *m_pClient, *m_pUnit, *m_pInspectors, *m_pTotal, *m_pDiameter;
    QComboBox *m_pStrength, *m_pPileType;
    QDateEdit *m_pPourDate, *m_pTestDate;
    QPlainTextEdit* m_pGeology;
    // What the report states beyond the kept record: the survey unit, the standard and method, the
    // instrument, the sign-off, the site's total number of piles (empty = the project's count).
    std::vector<std::pair<QLineEdit*, std::string CReportInfo::*>> m_MoreTexts;
    QLineEdit* m_pSiteTotal = nullptr;
};

} // namespace pw
