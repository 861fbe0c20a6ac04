// libFuzzer target for the byte-level text handling of the reports: Base64,
// the Blowfish text cipher, the UTF-8 conversion and the JSON readers. Every
// input is fed to each of them, and their round-trip invariants are checked.
//
// Build and run: ./scripts/fuzz [SECONDS] (clang's libFuzzer, ASan, UBSan).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "report/Base64.h"
#include "report/Blowfish.h"
#include "report/CipherKeys.h"
#include "report/JsonReaders.h"
#include "report/TextCipher.h"
#include "report/Utf8.h"

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

Bytes Padded(Bytes bytes)
{
    bytes.resize((bytes.size() + 7) / 8 * 8, 0);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Bytes input(data, data + size);
    const Bytes key(kReportKey, kReportKey + sizeof(kReportKey) - 1);

    // Base64: whatever decodes re-encodes to something that decodes the same.
    Bytes decoded;
    if (Base64Decode(text, decoded)) {
        Bytes again;
        Require(Base64Decode(Base64Encode(decoded), again) && again == decoded);
    }

    // Deciphering any text, then enciphering the result, gives back the
    // (zero-completed) cipher bytes.
    Bytes plain;
    if (DecryptBytes(std::string(text), key, plain)) {
        std::string base64;
        Require(EncryptBytes(plain, key, base64));
        Bytes cipher;
        Require(Base64Decode(base64, cipher) && cipher == Padded(decoded));
    }

    // Enciphering the input under itself as a key round-trips.
    std::string base64;
    Require(EncryptBytes(input, input, base64) == !input.empty());
    if (!input.empty()) {
        Require(DecryptBytes(base64, input, plain) && plain == Padded(input));
    }

    // UTF-8 <-> UTF-16: after one decoding the text is stable.
    const std::wstring wide = DecodeUtf8(text);
    Require(DecodeUtf8(EncodeUtf8(wide)) == wide);
    std::wstring units;
    for (size_t i = 0; i + 1 < size; i += 2) units += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    const std::string utf8 = EncodeUtf8(units);
    Require(EncodeUtf8(DecodeUtf8(utf8)) == utf8);
    (void)DecryptText(units, units);
    (void)DecryptText(wide, kOemHostKey);

    // JSON: the readers never fail on any tree, and a printed tree parses.
    const JsonTree tree = ParseJson(text);
    (void)JsonReadInt(tree.get(), "errno", 1);
    (void)JsonReadString(tree.get(), "url", "");
    const cJSON* inner = JsonReadObject(tree.get(), "data");
    (void)JsonReadString(JsonReadObject(inner, "uninstall_questionnaire"), "status", "0");
    if (tree) {
        const std::string printed = PrintJsonUnformatted(tree.get());
        if (!printed.empty()) Require(ParseJson(printed) != nullptr);
    }
    return 0;
}
