// Undo and redo in the window: the 编辑 menu's two items and their toolbar buttons, named after the
// step they take back or do again, and the recording of one step per user action.
#pragma once

#include <QObject>
#include <QString>

#include "core/CDEVAzazDoc.h"

namespace pw {

class CCommandRouter;

class CUndoCommands : public QObject, public IDocumentListener {
    Q_OBJECT
public:
    CUndoCommands(CDEVAzazDoc& doc, CCommandRouter& router, QObject* parent = nullptr);
    ~CUndoCommands() override;

    // The name of the action about to change the document, for changes that do not come through a
    // command (the estimate bar, the pile list's boxes, the view's pointer).
    void NameNextStep(const QString& name);
    // Records what changed since the last step, under the pending name; the window calls it after each
    // action, and a change the window did not announce is recorded when the event loop is idle again.
    void RecordNow();

    void OnDocumentChanged(unsigned changes) override;

private:
    void UpdateTexts();
    QString NameOfCommand(int id) const;
    QString FallbackName() const;

    CDEVAzazDoc& m_doc;
    CCommandRouter& m_router;
    QString m_strPending;
    bool m_bScheduled = false;
    bool m_bRestoring = false;
};

} // namespace pw
