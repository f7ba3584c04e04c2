// An up-down control beside an edit: a position in a range, moved by its two arrows. The position
// starts from the edit's number when that parses, so typing and clicking agree.
#pragma once

#include <QWidget>

#include <functional>

class QLineEdit;
class QToolButton;

namespace pw {

class CSpinButton : public QWidget {
    Q_OBJECT
public:
    // scale: the edit shows position x scale (0.1 for the margins in centimetres, 1 for counts).
    CSpinButton(QLineEdit* buddy, double scale, QWidget* parent = nullptr);

    void SetRange(int lo, int hi); // the position is brought into the new range
    int Minimum() const { return m_nLo; }
    int Maximum() const { return m_nHi; }
    void SetPosition(int position);
    int Position() const { return m_nPosition; }
    void Step(int delta); // +1 up arrow, -1 down arrow

signals:
    void Moved(int position); // by an arrow, after the position changed

private:
    QLineEdit* m_pBuddy;
    double m_fScale;
    int m_nLo = 0, m_nHi = 100, m_nPosition = 0;
};

} // namespace pw
