// The program's command table as data: each command's stored menu text, the accelerators that really
// send it, who decides its state, and the layout of menu 128 and of the two toolbars. No widgets here,
// so tests read the same table the frame is built from.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

// Who decides whether a command is enabled and what it does.
enum class CommandRoute {
    Document, // the document's GetCommandState; a shell handler asks and calls the document
    Frame,    // the frame decides (toolbar, status bar, calculator, about, web site, recent files, the
              // view's marks at the cursor...)
    Later,    // the handler arrives with later work (dialogs, printing, reports, markers, transfer):
              // present in menus and accelerators, always disabled until then
    Inert,    // accelerators of standard edit/help/pane identifiers nothing handles
};

struct CommandEntry {
    int nId;
    const char* szText;    // menu text exactly as stored (tab and hint included); nullptr: no menu item
    const char* szKeys[2]; // accelerators in QKeySequence portable form; nullptr when unused
    CommandRoute route;
    const char* szWhy; // for Later: what brings the handler
};

inline constexpr int kSeparator = 0;
inline constexpr int kRecentSlot = -1; // where the recent-file items go

struct MenuEntry {
    const char* szTitle;
    std::vector<int> ids; // kSeparator and kRecentSlot allowed
};

std::span<const CommandEntry> CommandTable(); // every command, menu 128 order first
const CommandEntry* FindCommand(int id);
const std::vector<MenuEntry>& MainMenu(); // menu 128

// Toolbar slots in order, kSeparator between groups. The main toolbar's last six slots are the
// estimate bar's controls and are not listed here.
std::span<const int> MainToolbarButtons();
std::span<const int> EditToolbarButtons();

// The text before the tab without the "(&X)" mnemonic and the trailing "...": tool tips and prompts.
std::string_view CommandPrompt(const CommandEntry& desc, std::string& storage);

} // namespace pw
