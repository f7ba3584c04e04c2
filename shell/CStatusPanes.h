// The status bar's panes 1-5 beside the prompt pane 0. Each pane is as wide as its initial text,
// trailing blanks included, and keeps that width when the view writes shorter readouts into it.
#pragma once

#include <QObject>
#include <QString>

#include <array>

class QLabel;
class QStatusBar;

namespace pw {

class CStatusPanes : public QObject {
    Q_OBJECT
public:
    static constexpr int kPanes = 6;
    static const std::array<const char*, kPanes> kInitialTexts; // pane 0 has none

    explicit CStatusPanes(QStatusBar* bar);
    QString Text(int pane) const;

public slots:
    void SetText(int pane, const QString& text); // panes 1-5; pane 0 shows a transient message
    void Reset();                                // every pane back to its initial text, no hint

private:
    QStatusBar* m_pBar;
    std::array<QLabel*, kPanes> m_pPanes{};
};

} // namespace pw
