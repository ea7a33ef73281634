#pragma once
// Korean literals must reach the program as code page 949 bytes. If the compiler falls back
// to UTF-8 or to EUC-KR (which lacks syllables such as "퀜"), these fail the build.
static_assert(sizeof("확인") == 5, "Korean literals must be compiled as code page 949");
static_assert(static_cast<unsigned char>("퀜"[0]) == 0xB3 && static_cast<unsigned char>("퀜"[1]) == 0x90,
              "\"퀜\" must be the Unified Hangul Code bytes B3 90 (-fexec-charset=CP949)");
