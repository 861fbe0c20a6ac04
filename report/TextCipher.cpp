#include "report/TextCipher.h"

#include <algorithm>

#include "report/Base64.h"
#include "report/Blowfish.h"
#include "report/Utf8.h"

namespace {

// Base64 text is ASCII; a wide character outside ASCII makes the text invalid
// (it must not be narrowed into a valid-looking character).
bool NarrowAscii(const std::wstring& wide, std::string& narrow)
{
    narrow.clear();
    narrow.reserve(wide.size());
    for (wchar_t c : wide) {
        if (static_cast<uint32_t>(c) > 0x7F) return false;  // a negative native wchar_t too
        narrow += static_cast<char>(c);
    }
    return true;
}

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

}  // namespace

bool EncryptBytes(const Bytes& data, const Bytes& key, std::string& base64)
{
    base64.clear();
    if (data.empty()) return false;

    // Zero padding to whole blocks; a length that is already a multiple of 8 gets none.
    Bytes blocks = data;
    blocks.resize((data.size() + CBlowfish::kBlockSize - 1) / CBlowfish::kBlockSize * CBlowfish::kBlockSize, 0);
    const CBlowfish cipher(key.data(), key.size());
    cipher.EncryptEcb(blocks.data(), blocks.size());
    base64 = Base64Encode(blocks);
    return true;
}

bool DecryptBytes(const std::string& base64, const Bytes& key, Bytes& plain)
{
    plain.clear();
    Bytes blocks;
    if (!Base64Decode(base64, blocks)) return false;  // also rejects the empty text

    // A final partial block is deciphered as if completed with zero bytes.
    blocks.resize((blocks.size() + CBlowfish::kBlockSize - 1) / CBlowfish::kBlockSize * CBlowfish::kBlockSize, 0);
    const CBlowfish cipher(key.data(), key.size());
    cipher.DecryptEcb(blocks.data(), blocks.size());
    plain.swap(blocks);
    return true;
}

std::wstring EncryptText(const std::wstring& plain, const std::wstring& key)
{
    std::string base64;
    if (!EncryptBytes(ToBytes(EncodeUtf8(plain)), ToBytes(EncodeUtf8(key)), base64)) return std::wstring();
    return std::wstring(base64.begin(), base64.end());
}

std::wstring DecryptText(const std::wstring& base64, const std::wstring& key)
{
    std::string narrow;
    if (!NarrowAscii(base64, narrow)) return std::wstring();
    Bytes plain;
    if (!DecryptBytes(narrow, ToBytes(EncodeUtf8(key)), plain)) return std::wstring();
    const auto end = std::find(plain.begin(), plain.end(), uint8_t{0});
    return DecodeUtf8(std::string(plain.begin(), end));
}
