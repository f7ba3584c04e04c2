// The estimate bar's number edits: they commit when Enter is pressed or when they lose the focus.
#pragma once

#include <QLineEdit>

namespace pw {

class EstimateEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit EstimateEdit(QWidget* parent = nullptr);

signals:
    void EnterPressed();
    void FocusLeft();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace pw
