#include "startup/FileSigner.h"

#include <windows.h>
#include <shlwapi.h>
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <cwchar>

#include "generated/BuildConstants.h"

namespace {

// Closes the verification state on every path out of the check.
class TrustState {
public:
    explicit TrustState(const wchar_t* path) noexcept
    {
        file_.cbStruct = sizeof(file_);
        file_.pcwszFilePath = path;
        data_.cbStruct = sizeof(data_);
        data_.dwUIChoice = WTD_UI_NONE;
        data_.fdwRevocationChecks = WTD_REVOKE_NONE;
        data_.dwUnionChoice = WTD_CHOICE_FILE;
        data_.pFile = &file_;
        data_.dwStateAction = WTD_STATEACTION_VERIFY;
        data_.dwProvFlags = WTD_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT | WTD_CACHE_ONLY_URL_RETRIEVAL;
        result_ = ::WinVerifyTrust(nullptr, &action_, &data_);
    }
    ~TrustState()
    {
        data_.dwStateAction = WTD_STATEACTION_CLOSE;
        ::WinVerifyTrust(nullptr, &action_, &data_);
    }
    TrustState(const TrustState&) = delete;
    TrustState& operator=(const TrustState&) = delete;

    LONG result() const noexcept { return result_; }
    HANDLE state() const noexcept { return data_.hWVTStateData; }

private:
    GUID action_ = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    WINTRUST_FILE_INFO file_{};
    WINTRUST_DATA data_{};
    LONG result_ = -1;
};

PCCERT_CONTEXT SigningCertificate(HANDLE state)
{
    CRYPT_PROVIDER_DATA* provider = ::WTHelperProvDataFromStateData(state);
    if (!provider) return nullptr;
    CRYPT_PROVIDER_SGNR* signer = ::WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
    if (!signer) return nullptr;
    const CERT_CHAIN_CONTEXT* chain = signer->pChainContext;
    if (!chain || chain->cChain == 0 || !chain->rgpChain[0]) return nullptr;
    const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
    if (simple->cElement == 0 || !simple->rgpElement[0]) return nullptr;
    return simple->rgpElement[0]->pCertContext;
}

}  // namespace

bool GetVerifiedSignerName(const wchar_t* path, wchar_t* name, unsigned long capacity)
{
    if (!path || !name || capacity < 2 || !::PathFileExistsW(path)) return false;
    TrustState trust(path);
    // Expired and self-issued roots are accepted: only the publisher's name counts.
    const LONG result = trust.result();
    if (result != 0 && result != static_cast<LONG>(CERT_E_EXPIRED) &&
        result != static_cast<LONG>(CERT_E_UNTRUSTEDROOT))
        return false;
    PCCERT_CONTEXT certificate = SigningCertificate(trust.state());
    if (!certificate) return false;
    const DWORD length =
        ::CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, capacity);
    // The returned count includes the terminator; 1 means an empty name.
    return length > 1 && length <= capacity;
}

bool VerifyFileSigner(const wchar_t* path)
{
    if (!path || !::PathFileExistsW(path)) return false;

    OSVERSIONINFOW version{sizeof(version)};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (::GetVersionExW(&version) && version.dwMajorVersion < 6) return true;
#pragma GCC diagnostic pop

    wchar_t name[512] = {};
    if (!GetVerifiedSignerName(path, name, 512)) return false;
    const size_t length = std::wcslen(name);
    return length >= 1 && length <= 510 && ::lstrcmpiW(name, UNINSTALL_TRUSTED_PUBLISHER) == 0;
}
