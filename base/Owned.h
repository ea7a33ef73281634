#pragma once
#include <windows.h>
#include <wincrypt.h>
#include <wininet.h>

#include <utility>

// One owner for each kind of platform handle that is not a file: it is released exactly once,
// when its owner goes, also when the code between throws. `Traits` names the handle type, its
// empty value and its release.
template <typename Traits>
class Owned {
public:
    using Handle = typename Traits::Handle;

    Owned() = default;
    explicit Owned(Handle handle) : m_handle(handle) {}
    ~Owned() { Reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : m_handle(std::exchange(other.m_handle, Traits::Empty())) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_handle, Traits::Empty()));
        return *this;
    }

    bool IsValid() const { return m_handle != Traits::Empty(); }
    Handle Get() const { return m_handle; }
    // For the platform's out-parameters: releases what is held and lends the slot.
    Handle* Receive()
    {
        Reset();
        return &m_handle;
    }
    void Reset(Handle handle = Traits::Empty())
    {
        if (IsValid())
            Traits::Release(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = Traits::Empty();
};

struct FindTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Release(Handle handle) { FindClose(handle); }
};
struct KeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static void Release(Handle handle) { RegCloseKey(handle); }
};
struct CryptProviderTraits {
    using Handle = HCRYPTPROV;
    static Handle Empty() { return 0; }
    static void Release(Handle handle) { CryptReleaseContext(handle, 0); }
};
struct CryptHashTraits {
    using Handle = HCRYPTHASH;
    static Handle Empty() { return 0; }
    static void Release(Handle handle) { CryptDestroyHash(handle); }
};

// Every GDI object (bitmap, brush, font, ...) goes with DeleteObject.
template <typename Object>
struct GdiTraits {
    using Handle = Object;
    static Handle Empty() { return nullptr; }
    static void Release(Handle handle) { DeleteObject(handle); }
};
// WinINet's handles, and the URL cache's finds; only a program that links wininet uses them.
struct InternetTraits {
    using Handle = HINTERNET;
    static Handle Empty() { return nullptr; }
    static void Release(Handle handle) { InternetCloseHandle(handle); }
};
struct UrlCacheFindTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Release(Handle handle) { FindCloseUrlCache(handle); }
};

using ScopedFind = Owned<FindTraits>;
using ScopedKey = Owned<KeyTraits>;
using ScopedCryptProvider = Owned<CryptProviderTraits>;
using ScopedCryptHash = Owned<CryptHashTraits>;
using ScopedBitmap = Owned<GdiTraits<HBITMAP>>;
using ScopedBrush = Owned<GdiTraits<HBRUSH>>;
using ScopedFont = Owned<GdiTraits<HFONT>>;
using ScopedGdiObject = Owned<GdiTraits<HGDIOBJ>>;
using ScopedInternet = Owned<InternetTraits>;
using ScopedUrlCacheFind = Owned<UrlCacheFindTraits>;
