// The run log: one plain-text file appended to by every run, written in the
// ANSI code page of the process locale.
#pragma once

#include <string>
#include <vector>

#include "startup/Locks.h"

class CSmartLogger {
public:
    CSmartLogger() = default;
    virtual ~CSmartLogger() = default;  // drops unwritten lines
    CSmartLogger(const CSmartLogger&) = delete;
    CSmartLogger& operator=(const CSmartLogger&) = delete;

    // Deletes the file when it has grown past 1 GiB.
    void SetLogPath(const wchar_t* path);
    // Stamps and buffers one message; returns the number of buffered lines.
    size_t AddLine(const std::wstring& text);
    // Appends the buffered lines to the file; 1 when it was written.
    int Flush();
    void Clear();

    static constexpr unsigned long long kMaxFileSize = 1ull << 30;

private:
    _BaseModule::CCriticalSection lock_;
    std::vector<std::wstring> lines_;
    std::wstring path_;
    unsigned long bannerPending_ = 1;
};

// The program's one logger.
CSmartLogger& Logger();

// printf-style (wide, Microsoft "%s" = wide string); messages needing more
// than 511 characters are dropped whole.
void WriteLog(const wchar_t* format, ...);
