// The print format page (159) of the print settings dialog: header and footer texts, page numbers,
// margins with their spins, rows and columns, and the miniature page.
#pragma once

#include <QWidget>

#include "core/PrintSettings.h"

class QComboBox;
class QDialog;
class QLineEdit;

namespace pw {

class CFieldGuard;
class CPrintPreviewBox;
class CShellPrompts;
class CSpinButton;

class CPrintFormatPage : public QWidget {
    Q_OBJECT
public:
    CPrintFormatPage(const CPrintSettings& s, QDialog& dialog, CShellPrompts& prompts,
                     QWidget* parent = nullptr);
    // The controls into s. False after a field that does not parse (its message shown).
    bool Read(CPrintSettings& s);

    CSpinButton* RowsSpin() const { return m_pRowsSpin; }
    CSpinButton* ColumnsSpin() const { return m_pColumnsSpin; }

private:
    void ColumnsMoved(int columns);
    void UpdatePreview();

    QLineEdit *m_pHeader, *m_pFooter, *m_pStart, *m_pTotal, *m_pRows, *m_pColumns;
    QComboBox *m_pFormat, *m_pPosition;
    QLineEdit* m_pMargins[6]; // top, bottom, left, right, header, footer
    CSpinButton* m_pRowsSpin;
    CSpinButton* m_pColumnsSpin;
    CPrintPreviewBox* m_pPreview;
    CFieldGuard* m_pGuard;
};

} // namespace pw
