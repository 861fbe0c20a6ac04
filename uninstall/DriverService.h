// The product's kernel driver: it runs as a service and refuses to stop until
// it has been unlocked through its device with a challenge and a response.
#pragma once

#include <array>
#include <cstdint>
#include <string>

using DriverChallenge = std::array<uint8_t, 16>;

// The response to the driver's challenge: the 16 bytes enciphered under the
// driver's unlock key, as 24 Base64 characters; empty if they cannot be.
std::string DriverUnlockAnswer(const DriverChallenge& challenge);
// Unlocks the driver through its device "\\.\name"; false when the device is
// absent or refuses the exchange.
bool UnlockDriver(const wchar_t* name);
// Unlocks, stops and deletes the driver service `name`; a failed deletion is
// logged, nothing is returned.
void RemoveDriverService(const wchar_t* name);
