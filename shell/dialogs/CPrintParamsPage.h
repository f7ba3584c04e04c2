// The print parameters page (160) of the print settings dialog: what is printed and the paper.
#pragma once

#include <QWidget>

#include "core/PrintSettings.h"

class QCheckBox;
class QDialog;
class QLineEdit;
class QRadioButton;

namespace pw {

class CFieldGuard;
class CShellPrompts;

class CPrintParamsPage : public QWidget {
    Q_OBJECT
public:
    CPrintParamsPage(const CPrintSettings& s, QDialog& dialog, CShellPrompts& prompts,
                     QWidget* parent = nullptr);
    // The controls into s: flags, then the paper (A4 and B5 store their own sizes whatever the
    // custom edits hold). False after a custom size that does not parse.
    bool Read(CPrintSettings& s);

private:
    void PaperChosen();

    QCheckBox *m_pSpectra, *m_pHeader, *m_pFooter, *m_pTrain;
    QCheckBox *m_pSiteName, *m_pUnit, *m_pReportDate, *m_pTestDate, *m_pPileNo, *m_pPileType, *m_pDiameter,
        *m_pFileName;
    QRadioButton *m_pA4, *m_pB5, *m_pCustom;
    QLineEdit *m_pHeight = nullptr, *m_pWidth = nullptr;
    CFieldGuard* m_pGuard;
};

} // namespace pw
