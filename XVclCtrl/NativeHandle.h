#pragma once
// The platform's handle of a waitable object: a file descriptor on POSIX systems, a HANDLE on
// Windows.

namespace XVclCtrl {

#ifdef _WIN32
using TNativeHandle = void*;
inline const TNativeHandle InvalidNativeHandle = reinterpret_cast<void*>(-1);
#else
using TNativeHandle = int;
constexpr TNativeHandle InvalidNativeHandle = -1;
#endif

} // namespace XVclCtrl
