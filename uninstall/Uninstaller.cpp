#include "uninstall/Uninstaller.h"

void CUninstaller::TickFileProgress()
{
    filesDone += 1;
    if (filesDone >= filesTotal) filesDone = filesTotal;
    if (filesTotal <= 0) return;
    // Single precision, truncated toward zero, as the bar has always moved.
    const float share = static_cast<float>(filesDone) / static_cast<float>(filesTotal);
    lastFilePercent_ = static_cast<int>(share * 88.0f + 10.0f);
}
