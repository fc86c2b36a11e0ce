// The numbers of the resources the window loads itself, shared by its code and its script.
#pragma once

// A macro, not a constant: the resource compiler reads this file through the C preprocessor.
// The icon has the lowest number, so Explorer shows it for the exe.
#define VOLARIN_ICON_ID 1
