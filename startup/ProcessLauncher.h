// Starting the product's and the system's programs.
#pragma once

#include <windows.h>

// Starts `path` with `parameters`; with `checkSigner` only a file signed by
// the trusted publisher is started. With `wait` waits up to `waitMs`
// (INFINITE waits without limit). Returns non-zero when the start succeeded.
BOOL RunProcess(const wchar_t* path, const wchar_t* parameters, int showCommand, BOOL checkSigner, BOOL wait,
                DWORD* exitCode, DWORD waitMs);
