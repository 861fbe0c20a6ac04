// The text cipher shared by the caller token, the OEM host table, the driver
// handshake and the uninstall report: Blowfish in ECB mode with zero padding,
// carried as Base64. Plain byte handling, no platform calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Enciphers `data` (zero-padded to whole 8-byte blocks) under `key`; false for empty data.
bool EncryptBytes(const Bytes& data, const Bytes& key, std::string& base64);
// All deciphered bytes, padding included; false for empty or invalid Base64.
bool DecryptBytes(const std::string& base64, const Bytes& key, Bytes& plain);

// UTF-16 forms: text and key go through UTF-8; the result of DecryptText is
// cut at the first zero byte. Both return the empty string on failure.
std::wstring EncryptText(const std::wstring& plain, const std::wstring& key);
std::wstring DecryptText(const std::wstring& base64, const std::wstring& key);
