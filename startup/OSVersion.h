// Operating-system probes, each computed once per process.
#pragma once

#include <windows.h>

#include "startup/Singleton.h"

BOOL IsWindows10OrLater();
BOOL IsOs64Bit();

// Major and minor version from ntdll's RtlGetNtVersionNumbers; false when missing.
bool GetNtVersionNumbers(DWORD& major, DWORD& minor);

// The most trustworthy version record the system offers: the larger of what
// GetVersionEx, RtlGetVersion and the kernel image's version resource report.
class COSVersionCheck : public static_singleton_base<COSVersionCheck> {
public:
    virtual ~COSVersionCheck() = default;
    OSVERSIONINFOW Version();
    // -1 not probed yet, 1 version taken from the kernel image, 0 from the system calls.
    long Source() const { return source_; }

private:
    friend class static_singleton_base<COSVersionCheck>;
    COSVersionCheck() { Probe(); }
    void Probe();

    long source_ = -1;
    OSVERSIONINFOW version_{};
};
