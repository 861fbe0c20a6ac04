#include "uninstall/RunOnceBatch.h"

#include <shlwapi.h>

#include <vector>

#include "startup/SmartLogger.h"

namespace {

constexpr wchar_t kRunOnceKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

bool IsAscii(const std::wstring& text)
{
    for (wchar_t c : text)
        if (c >= 0x80) return false;
    return true;
}

// Writes "<command> \"<path>\" \r\n" to the batch; logs what it could not write.
bool AppendPathCommand(RunOnceBatFile& batch, const char* command, const std::wstring& path)
{
    std::string quoted;
    if (!BatchQuotedPath(path, quoted)) {
        WriteLog(L"cannot write %s to runonce bat", path.c_str());
        return false;
    }
    return batch.AppendLine(std::string(command) + " \"" + quoted + "\" \r\n");
}

// A kept directory, or a file, is moved away and scheduled; the batch file
// takes what the system would not schedule.
void CutAndSchedule(const std::wstring& path, const char* batchCommand, const wchar_t* cutFailedLine,
                    RunOnceBatFile& batch, ScheduleDelete schedule)
{
    std::wstring moved;
    if (!CutToTemp(path.c_str(), moved)) {
        WriteLog(cutFailedLine, path.c_str());
        DeleteFileOrSchedule(path.c_str());
        return;
    }
    WriteLog(L"cut %s to %s success", path.c_str(), moved.c_str());
    if (schedule(moved.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        WriteLog(L"write %s to pending success", moved.c_str());
    } else {
        AppendPathCommand(batch, batchCommand, moved);
        WriteLog(L"write to runonce bat: %s", moved.c_str());
    }
}

}  // namespace

bool BatchQuotedPath(const std::wstring& path, std::string& text)
{
    std::wstring usable = path;
    if (!IsAscii(usable)) {
        // cmd reads a batch file in the console's code page, which need not be
        // the ANSI one: a short 8.3 name is plain ASCII in every code page.
        wchar_t shortPath[MAX_PATH] = {};
        const DWORD length = ::GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
        if (length > 0 && length < MAX_PATH && IsAscii(shortPath)) usable = shortPath;
    }
    if (!IsAscii(usable)) {
        BOOL lossy = FALSE;
        const int bytes = ::WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, usable.c_str(), -1, nullptr, 0,
                                                nullptr, &lossy);
        if (bytes <= 1 || lossy) return false;
        std::string ansi(static_cast<size_t>(bytes), '\0');
        ::WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, usable.c_str(), -1, ansi.data(), bytes, nullptr,
                              &lossy);
        ansi.resize(static_cast<size_t>(bytes - 1));
        text.clear();
        for (char c : ansi) text += (c == '%') ? std::string("%%") : std::string(1, c);
        return !lossy;
    }
    text.clear();
    for (wchar_t c : usable) text += (c == L'%') ? std::string("%%") : std::string(1, static_cast<char>(c));
    return true;
}

bool RunOnceBatFile::AppendLine(const std::string& line)
{
    if (!file_) {
        wchar_t temp[MAX_PATH + 1] = {};
        wchar_t name[MAX_PATH] = {};
        const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
        if (length == 0 || length > MAX_PATH || !::GetTempFileNameW(temp, L"vrk", 0, name)) return false;
        // GetTempFileName made an empty ".tmp" file: the batch takes its name.
        ::DeleteFileW(name);
        ::PathRenameExtensionW(name, L".bat");
        ::DeleteFileW(name);
        file_.reset(::CreateFileW(name, GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_) return false;
        path_ = name;
    }
    const std::string text = line.substr(0, 519);
    DWORD written = 0;
    return ::WriteFile(file_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

bool CreateRunOnceBat(PendingPaths& pending, const wchar_t* installDir, ScheduleDelete schedule)
{
    RunOnceBatFile batch;
    std::vector<std::wstring> directories;

    for (const std::wstring& path : pending) {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            directories.push_back(path);
            continue;
        }
        CutAndSchedule(path, "del /q", L"cut %s to temp failed, delete by pending", batch, schedule);
    }
    pending.clear();

    for (const std::wstring& directory : directories) {
        if (TryRemove(directory.c_str())) continue;
        CutAndSchedule(directory, "rd /s /q", L"cut %s to temp failed,delete by pending", batch, schedule);
    }

    // The drive's hidden temporary directory goes after the files moved into
    // it: the system handles its rename list in order.
    if (installDir && *installDir) {
        wchar_t driveTemp[16];
        _snwprintf(driveTemp, 16, L"%c:\\.temp", installDir[0]);
        driveTemp[15] = L'\0';
        if (schedule(driveTemp, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
            WriteLog(L"write %s to pending success", driveTemp);
        } else {
            AppendPathCommand(batch, "rd /q", driveTemp);
            WriteLog(L"write to runonce bat: %s", driveTemp);
        }
    }

    if (batch.Created()) {
        // Last line: the batch deletes itself.
        AppendPathCommand(batch, "del /q", batch.Path());
        WriteLog(L"write to runonce bat: %s", batch.Path().c_str());
        const std::wstring name = ::PathFindFileNameW(batch.Path().c_str());
        const DWORD bytes = static_cast<DWORD>((batch.Path().size() + 1) * sizeof(wchar_t));
        ::SHSetValueW(HKEY_LOCAL_MACHINE, kRunOnceKey, name.c_str(), REG_SZ, batch.Path().c_str(), bytes);
        WriteLog(L"write runonce bat to registry");
    }

    if (installDir && *installDir) ::RemoveDirectoryW(installDir);
    batch.Close();
    return true;
}
