#pragma once
// printf-style checking of the format functions' arguments. MinGW's "printf" archetype is the
// Microsoft C runtime's, which knows no %zu; the Windows build uses MinGW's own C99 printf
// (__USE_MINGW_ANSI_STDIO, set by the toolchain file), so the GNU formats are checked there.
#if defined(__MINGW32__)
#define ZKF_PRINTF_FORMAT(fmt, first) __attribute__((format(gnu_printf, fmt, first)))
#else
#define ZKF_PRINTF_FORMAT(fmt, first) __attribute__((format(printf, fmt, first)))
#endif
