#pragma once
#include <windows.h>
#include <objbase.h>

// COM on this thread for the owner's lifetime; uninitialised only if this owner initialised it.
class ScopedCom {
public:
    explicit ScopedCom(DWORD model = COINIT_APARTMENTTHREADED) : m_result(CoInitializeEx(nullptr, model)) {}
    ~ScopedCom()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;

private:
    HRESULT m_result;
};
