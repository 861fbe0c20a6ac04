// The process command line as a table of switches.
#pragma once

#include <map>
#include <string>

#include "startup/Singleton.h"

class CCommandParser : public CSingletonT<CCommandParser> {
public:
    virtual ~CCommandParser() = default;

    // Stores the text (null counts as empty), parses it; always returns 1.
    int SetCommandLine(const wchar_t* commandLine);
    // Rebuilds the table; false when the platform cannot split the line.
    bool Parse();

    bool HasSwitch(const std::wstring& name) const;
    // Leaves `value` untouched when the switch is absent.
    bool GetSwitchValue(const std::wstring& name, std::wstring& value) const;
    bool IsSilent() const { return HasSwitch(L"/S"); }

private:
    friend class CSingletonT<CCommandParser>;
    CCommandParser() = default;

    std::wstring commandLine_;
    unsigned long commandLineSet_ = 0;
    std::map<std::wstring, std::wstring> switches_;
};
