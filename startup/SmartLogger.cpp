#include "startup/SmartLogger.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdarg>
#include <cstdio>

#include "platform/Handles.h"

namespace {

constexpr size_t kMessageBuffer = 512;

std::wstring Stamp()
{
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t text[32];
    _snwprintf(text, 32, L"%04d-%02d-%02d %02d:%02d:%02d ", now.wYear, now.wMonth, now.wDay, now.wHour,
               now.wMinute, now.wSecond);
    text[31] = L'\0';
    return text;
}

std::wstring DirectoryOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

CSmartLogger& Logger()
{
    static CSmartLogger logger;
    return logger;
}

void CSmartLogger::SetLogPath(const wchar_t* path)
{
    _BaseModule::CAutoLocker hold(&lock_);
    path_ = path ? path : L"";
    if (path_.empty() || !::PathFileExistsW(path_.c_str())) return;

    LARGE_INTEGER size{};
    {
        // Opened without sharing only to read the size; an unreadable file counts as empty.
        platform::ScopedHandle file(::CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || !::GetFileSizeEx(file.get(), &size)) size.QuadPart = 0;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > kMaxFileSize) ::DeleteFileW(path_.c_str());
}

size_t CSmartLogger::AddLine(const std::wstring& text)
{
    _BaseModule::CAutoLocker hold(&lock_);
    std::wstring line = text;
    if (!line.empty() && line.back() != L'\n') line += L'\n';
    lines_.push_back(Stamp() + line);
    if (lines_.size() > 100) Flush();
    return lines_.size();
}

int CSmartLogger::Flush()
{
    _BaseModule::CAutoLocker hold(&lock_);
    // Without a path the lines wait for one.
    if (path_.empty()) return 0;

    int written = 0;
    const std::wstring directory = DirectoryOf(path_);
    if (!directory.empty() && !::PathIsDirectoryW(directory.c_str()))
        ::SHCreateDirectoryExW(nullptr, directory.c_str(), nullptr);

    if (directory.empty() || ::PathIsDirectoryW(directory.c_str())) {
        const std::wstring stamp = Stamp();
        // Text mode: the C runtime converts to the locale's code page and LF to CR LF.
        if (FILE* file = _wfopen(path_.c_str(), L"a")) {
            if (bannerPending_) {
                const std::wstring banner =
                    L"\r\n================== Start Log:" + stamp + L" ==================\n";
                fputws(banner.c_str(), file);
                bannerPending_ = 0;
            }
            for (const std::wstring& line : lines_) fputws(line.c_str(), file);
            fflush(file);
            fclose(file);
            written = 1;
        }
    }
    Clear();
    return written;
}

void CSmartLogger::Clear()
{
    _BaseModule::CAutoLocker hold(&lock_);
    lines_.clear();
}

void WriteLog(const wchar_t* format, ...)
{
    if (!format) return;
    wchar_t message[kMessageBuffer];
    va_list args;
    va_start(args, format);
    // The C runtime's own formatter: "%s" takes a wide string, as in every caller.
    const int length = _vsnwprintf(message, kMessageBuffer - 1, format, args);
    va_end(args);
    if (length < 0 || static_cast<size_t>(length) > kMessageBuffer - 1) return;
    message[length] = L'\0';

    CSmartLogger& logger = Logger();
    logger.AddLine(message);
    if (logger.Flush() == 1) logger.Clear();
}
