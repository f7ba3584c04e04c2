// Menu 135, the waveform view's context menu on the single and three-trace layouts: its items as data
// (texts, tabs and accelerator hints of its own, which differ from menu 128's) and the QMenu built from
// them over the command router, so every item runs the command the router knows and is enabled and
// checked as the router says.
#pragma once

#include <QObject>
#include <QPoint>

#include <span>

class QMenu;
class QWidget;

namespace pw {

class CCommandRouter;

struct ContextItem {
    int nId;            // command; 0 a separator; -1 opens the sub-menu szText, -2 closes it
    const char* szText; // exactly as the menu shows it
};

std::span<const ContextItem> ContextMenuItems();
// The five options that carry a check mark in this menu when they are on.
bool ContextItemCheckable(int id);

class CContextMenu : public QObject {
    Q_OBJECT
public:
    CContextMenu(CCommandRouter& router, QObject* parent = nullptr) : QObject(parent), m_router(router) {}

    // A new menu with the router's current states; the caller owns it.
    QMenu* Build(QWidget* parent);
    // Builds it and shows it at the screen position until an item is chosen or it is dismissed.
    void Popup(QWidget* parent, const QPoint& globalPos);

private:
    CCommandRouter& m_router;
};

} // namespace pw
