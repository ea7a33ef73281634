#pragma once
#include <windows.h>

#include <optional>
#include <string>

// SHA-256 by the platform's CryptoAPI (the AES provider, which has it since Windows XP SP3), as
// 64 lowercase hexadecimal digits.

// Of the bytes of `file` from its start to its end, read through the handle (which needs read
// access); nothing when the provider or a read fails. The file position is left at the end.
std::optional<std::string> Sha256OfFile(HANDLE file);

// Of `bytes`; nothing when the provider fails.
std::optional<std::string> Sha256Of(const std::string& bytes);
