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

// Most handles need no more than their type, the value that means none and how to release one.
template <typename H, LONG_PTR kEmpty, auto kRelease>
struct ReleasedBy {
    using Handle = H;
    static Handle Empty() { return (Handle)kEmpty; }
    static void Release(Handle handle) { kRelease(handle); }
};

using FindTraits = ReleasedBy<HANDLE, -1, FindClose>;
using KeyTraits = ReleasedBy<HKEY, 0, RegCloseKey>;
inline void ReleaseCryptContext(HCRYPTPROV provider) { CryptReleaseContext(provider, 0); }
using CryptProviderTraits = ReleasedBy<HCRYPTPROV, 0, ReleaseCryptContext>;
using CryptHashTraits = ReleasedBy<HCRYPTHASH, 0, CryptDestroyHash>;
// Every GDI object (bitmap, brush, font, ...) goes with DeleteObject.
template <typename Object>
using GdiTraits = ReleasedBy<Object, 0, DeleteObject>;
// WinINet's handles, and the URL cache's finds; only a program that links wininet uses them.
using InternetTraits = ReleasedBy<HINTERNET, 0, InternetCloseHandle>;
using UrlCacheFindTraits = ReleasedBy<HANDLE, 0, FindCloseUrlCache>;

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
