#include "startup/CommandParser.h"

#include <windows.h>
#include <shellapi.h>

#include <cwctype>

#include "platform/Handles.h"

namespace {

std::wstring Trim(const std::wstring& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::iswspace(text[begin])) ++begin;
    while (end > begin && std::iswspace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::wstring UpperCase(std::wstring text)
{
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

}  // namespace

int CCommandParser::SetCommandLine(const wchar_t* commandLine)
{
    commandLine_ = commandLine ? commandLine : L"";
    commandLineSet_ = 1;
    Parse();
    return 1;
}

bool CCommandParser::Parse()
{
    switches_.clear();

    int count = 0;
    platform::ScopedLocal argvOwner(
        reinterpret_cast<HLOCAL>(::CommandLineToArgvW(commandLine_.c_str(), &count)));
    if (!argvOwner) return false;
    auto argv = reinterpret_cast<wchar_t**>(argvOwner.get());

    for (int i = 0; i < count; ++i) {
        const std::wstring argument = argv[i];
        const size_t separator = argument.find(L'=');
        std::wstring key = Trim(argument.substr(0, separator));
        std::wstring value = separator == std::wstring::npos ? std::wstring() : Trim(argument.substr(separator + 1));

        // One leading and one trailing quote are dropped independently.
        if (!value.empty() && value.front() == L'"') value.erase(0, 1);
        if (!value.empty() && value.back() == L'"') value.pop_back();

        switches_[UpperCase(key)] = value;  // the last occurrence wins
    }
    return true;
}

bool CCommandParser::HasSwitch(const std::wstring& name) const
{
    return switches_.count(UpperCase(name)) != 0;
}

bool CCommandParser::GetSwitchValue(const std::wstring& name, std::wstring& value) const
{
    const auto found = switches_.find(UpperCase(name));
    if (found == switches_.end()) return false;
    value = found->second;
    return true;
}
