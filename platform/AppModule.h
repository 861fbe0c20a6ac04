// Process-wide module state of the window layer: the instance handle.
#pragma once

#include <windows.h>

class CAppModule {
public:
    HRESULT Init(HINSTANCE instance)
    {
        instance_ = instance;
        return S_OK;
    }
    void Term() { instance_ = nullptr; }
    HINSTANCE GetModuleInstance() const { return instance_; }

private:
    HINSTANCE instance_ = nullptr;
};

extern CAppModule _Module;
