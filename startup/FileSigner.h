// Trust check that guards every library load and program start: the file must
// carry a valid Authenticode signature of the product's publisher.
#pragma once

bool VerifyFileSigner(const wchar_t* path);

// The signer's simple display name of a file whose signature verifies
// (results 0, CERT_E_EXPIRED, CERT_E_UNTRUSTEDROOT); false otherwise.
bool GetVerifiedSignerName(const wchar_t* path, wchar_t* name, unsigned long capacity);
