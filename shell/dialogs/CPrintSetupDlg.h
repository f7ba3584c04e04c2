// The print settings dialog "打印设置" (157): the format and parameters pages on two tabs; OK checks
// the record in a fixed order and writes "set.ini".
#pragma once

#include <QDialog>

#include "core/PrintSettings.h"

class QTabWidget;

namespace pw {

class CPrintFormatPage;
class CPrintParamsPage;
class CShellPrompts;

class CPrintSetupDlg : public QDialog {
    Q_OBJECT
public:
    // path: the settings file, read now (missing: the defaults) and written on OK.
    CPrintSetupDlg(const QString& path, CShellPrompts& prompts, QWidget* parent = nullptr);
    const CPrintSettings& Settings() const { return m_Settings; } // what OK stored
    QTabWidget* Tabs() const { return m_pTabs; }
    CPrintFormatPage* FormatPage() const { return m_pFormat; }
    CPrintParamsPage* ParamsPage() const { return m_pParams; }
    void accept() override;

private:
    void ShowPage(int page, const std::string& message); // after a refusal

    QString m_strPath;
    CShellPrompts& m_prompts;
    CPrintSettings m_Settings;
    QTabWidget* m_pTabs;
    CPrintFormatPage* m_pFormat;
    CPrintParamsPage* m_pParams;
};

} // namespace pw
