// Deleting files and directory trees; what cannot go now goes at the next
// start of Windows.
#pragma once

// Deletes a file, clearing its attributes if needed; otherwise schedules it
// for deletion at restart and returns false. A missing path counts as deleted.
bool DeleteFileOrSchedule(const wchar_t* path);
// Silent, unconfirmed shell delete without the recycle bin; true for any non-null path.
bool ShellDelete(const wchar_t* path);
// Deletes a directory with everything in it, file by file.
bool DeleteTree(const wchar_t* directory);
