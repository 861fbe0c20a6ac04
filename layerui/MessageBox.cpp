#include "layerui/MessageBox.h"

namespace msgbox {

volatile LONG g_suppressed = 0;

int Show(const wchar_t* text, UINT type)
{
    if (g_suppressed) return -1;
    // The skinned dialog replaces the system box once the layered toolkit
    // provides it; until then the system's own box carries the text.
    const int result = ::MessageBoxW(::GetActiveWindow(), text, L"卸载", type | MB_SETFOREGROUND);
    return result == 0 ? -1 : result;
}

}  // namespace msgbox
