// The main toolbar, whose right end is the estimate bar: the scope box and the estimated pile length
// and wave speed edits. The values live in the document's CEstimateState; the controls show them.
#pragma once

#include <QToolBar>

#include "core/CDEVAzazDoc.h"

class QComboBox;
class QLabel;

namespace pw {

class CShellPrompts;
class EstimateEdit;

class EstimateBar : public QToolBar, public IDocumentListener {
    Q_OBJECT
public:
    EstimateBar(CDEVAzazDoc& doc, CShellPrompts& prompts, QWidget* parent = nullptr);
    ~EstimateBar() override;

    void AddControls(); // after the buttons: three labels, the scope box and the two edits

    void CommitLength();
    void CommitSpeed();
    void ChooseScope(int index);
    void ShowFields(); // the state's values into the controls

    EstimateEdit* LengthEdit() const { return m_pLength; }
    EstimateEdit* SpeedEdit() const { return m_pSpeed; }
    QComboBox* ScopeBox() const { return m_pScope; }

    void OnDocumentChanged(unsigned changes) override;

signals:
    void ActionStarted(const QString& name); // an edit that may change records is about to run

private:
    // The edits into the state for the scope path: only values a commit would accept; the refusal
    // message of the first that is out of range, or "".
    std::string ReadControls();
    void EnterIn(EstimateEdit* edit);

    CDEVAzazDoc& m_doc;
    CShellPrompts& m_prompts;
    QComboBox* m_pScope = nullptr;
    EstimateEdit* m_pLength = nullptr;
    EstimateEdit* m_pSpeed = nullptr;
    bool m_bCommitting = false; // a message box steals the focus: its focus-out must not commit again
};

} // namespace pw
