// Enter and focus loss of the estimate edits.
#include "shell/EstimateEdit.h"

#include <QKeyEvent>

namespace pw {

EstimateEdit::EstimateEdit(QWidget* parent) : QLineEdit(parent) {}

void EstimateEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit EnterPressed();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void EstimateEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A pop-up (the edit's own context menu) takes the focus only for a moment: not a commit.
    if (event->reason() != Qt::PopupFocusReason) emit FocusLeft();
}

} // namespace pw
