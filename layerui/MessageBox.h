// The program's message box. In a silent run it shows nothing.
#pragma once

#include <windows.h>

namespace msgbox {

// Non-zero: Show returns -1 at once. Set by the entry point in a silent run.
extern volatile LONG g_suppressed;

// Shows `text` with the buttons of `type` (MB_OK, MB_YESNO); returns the id
// of the button pressed, or -1 when suppressed or when no box can be shown.
int Show(const wchar_t* text, UINT type);

}  // namespace msgbox
