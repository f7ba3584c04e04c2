// Toolbar and menu icons, drawn in code for each command that has a toolbar button.
#pragma once

#include <QIcon>

namespace pw {

QIcon ToolbarIcon(int commandId); // a null icon for commands without a button

} // namespace pw
