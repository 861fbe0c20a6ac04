// Key texts of the text cipher, constants of the build. Data written or read
// by the product's other programs can only be read or produced with the keys
// those programs use.
#pragma once

// OEM host-remap registry value names and data.
inline constexpr wchar_t kOemHostKey[] = L"3E1D5C0A-9B4F-4E27-8C61-2D9A0F7B5E43";
// Uninstall report, request field and answer.
inline constexpr char kReportKey[] = "b7e04a51-6d2f-4c88-a3b9-1f0e7d62c594";
// Answer to the product driver's unlock challenge.
inline constexpr char kDriverUnlockKey[] = "3B1D72E0-5A9F-41c6-8E07-D2C45B19A6F3";
