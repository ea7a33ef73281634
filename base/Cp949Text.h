#pragma once
#include <string>
#include <string_view>

// Korean literals must reach the program as code page 949 bytes. If the compiler falls back
// to UTF-8 or to EUC-KR (which lacks syllables such as "퀜"), these fail the build.
static_assert(sizeof("확인") == 5, "Korean literals must be compiled as code page 949");
static_assert(static_cast<unsigned char>("퀜"[0]) == 0xB3 && static_cast<unsigned char>("퀜"[1]) == 0x90,
              "\"퀜\" must be the Unified Hangul Code bytes B3 90 (-fexec-charset=CP949)");

// Code page 949 is the program's text for windows, messages and settings; names on the file system
// are exact UTF-16 (see ExactPath.h). These conversions are the edges between the two.

// `text` in code page 949 as UTF-16. Every 949 text converts exactly.
std::wstring Widen949(std::string_view text);

// `text` as code page 949 for showing it; a character the code page lacks becomes "?". Never use
// the result to name a file again.
std::string Narrow949(std::wstring_view text);

// Whether `text` has a code page 949 form that converts back to exactly `text`.
bool MapsExactlyTo949(std::wstring_view text);

// The bytes the MD5 of a scrambled name is taken over: the 949 text of the path where it maps
// exactly (the name a user knows), otherwise its UTF-8 bytes, so that two different names never
// share their input.
std::string DigestInput(std::wstring_view path);
