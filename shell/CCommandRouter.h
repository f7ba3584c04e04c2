// Routes command numbers to their handlers: one QAction per command (shared by menus and toolbars),
// the accelerator table as window shortcuts, and the update pass that sets enable and check marks.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <map>

#include "core/CDEVAzazDoc.h"

class QAction;
class QShortcut;
class QWidget;

namespace pw {

class CCommandRouter : public QObject {
    Q_OBJECT
public:
    CCommandRouter(CDEVAzazDoc& doc, QWidget* window);

    // The handler of a command. Commands routed to the document are enabled by the document's state;
    // Frame commands need a state rule too, or they stay enabled while they have a handler.
    void Handle(int id, std::function<void()> run);
    void SetStateRule(int id, std::function<CommandState()> rule);
    // Why a command cannot run now, for a key that sends it while it is disabled ("" when there is
    // nothing to say): such a key never does nothing without a word.
    void SetRefusal(int id, std::function<QString()> why);

    QAction* Action(int id); // the menu/toolbar action of a command of the table; nullptr otherwise
    CommandState StateOf(int id) const;
    // Runs the command when it is enabled now (as an accelerator or a click would). True when it ran.
    bool Dispatch(int id);
    void UpdateAll(); // enable and check every action from the current state

    // The command an accelerator key sends, 0 when none: what the window really does with the key.
    int CommandForKey(const QKeySequence& key) const;

signals:
    void CommandRequested(int id); // every dispatch attempt, also of disabled commands
    void CommandRefused(int id, const QString& why); // a disabled command was sent, and why it cannot run
    void CommandDone(int id);                        // a command ran (before the update pass)
    void Updated();                                  // the update pass ended

private:
    CDEVAzazDoc& m_doc;
    QWidget* m_pWindow;
    std::map<int, QAction*> m_Actions;
    std::map<int, std::function<void()>> m_Handlers;
    std::map<int, std::function<CommandState()>> m_Rules;
    std::map<int, std::function<QString()>> m_Refusals;
    std::map<QString, int> m_KeyCommands; // portable key text -> command
};

} // namespace pw
