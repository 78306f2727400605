#pragma once

#include <QIcon>

namespace zorvan::icons {

// Toolbar images 1 to 10.
QIcon ToolbarImage(int number);

// Row icons: 1 an item without expiry date, 2 an expired item, 3 an item whose
// expiry date has not come.
QIcon RowIcon(int number);

// The program's own icon, for its windows and the desktop.
QIcon ProgramIcon();

}  // namespace zorvan::icons
