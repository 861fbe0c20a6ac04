#include "uninstall/DriverService.h"

#include <windows.h>
#include <winsvc.h>

#include <string>

#include "platform/Handles.h"
#include "report/CipherKeys.h"
#include "report/TextCipher.h"
#include "startup/SmartLogger.h"

namespace {

// Control codes of the driver's device: read the challenge, send the response.
constexpr DWORD kIoctlGetChallenge = 0x8000C010;
constexpr DWORD kIoctlSendResponse = 0x8000C014;

}  // namespace

std::string DriverUnlockAnswer(const DriverChallenge& challenge)
{
    // The key is the key text's ASCII bytes, without the terminating zero.
    const Bytes key(kDriverUnlockKey, kDriverUnlockKey + sizeof(kDriverUnlockKey) - 1);
    std::string answer;
    if (!EncryptBytes(Bytes(challenge.begin(), challenge.end()), key, answer)) return {};
    return answer;
}

bool UnlockDriver(const wchar_t* name)
{
    if (!name || !*name) return false;
    const std::wstring devicePath = std::wstring(L"\\\\.\\") + name;
    platform::ScopedHandle device(::CreateFileW(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
    if (!device) return false;

    DriverChallenge challenge{};
    DWORD returned = 0;
    if (!::DeviceIoControl(device.get(), kIoctlGetChallenge, nullptr, 0, challenge.data(),
                           static_cast<DWORD>(challenge.size()), &returned, nullptr))
        return false;

    // The driver takes the Base64 characters alone, without a terminator.
    std::string answer = DriverUnlockAnswer(challenge);
    if (answer.empty()) return false;
    return ::DeviceIoControl(device.get(), kIoctlSendResponse, answer.data(), static_cast<DWORD>(answer.size()),
                             nullptr, 0, &returned, nullptr) != FALSE;
}

void RemoveDriverService(const wchar_t* name)
{
    // An absent device only means there is nothing to unlock: the service
    // entry may still exist and is removed below.
    UnlockDriver(name);

    platform::ScopedService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    platform::ScopedService service;
    if (manager && name) service.reset(::OpenServiceW(manager.get(), name, SERVICE_ALL_ACCESS));
    if (service) {
        SERVICE_STATUS status{};
        ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    }
    // No wait for the stop: a service that is still stopping is only marked
    // for deletion, and the system removes it once it has stopped.
    if (!service || !::DeleteService(service.get())) WriteLog(L"delete pelkinsvc fail");
}
