// SPDX-License-Identifier: Apache-2.0
#pragma once

// Win32 errors in the link's terms. The layers above tell the reasons of a failed open (in use,
// missing, no permission) and a vanished line apart by errno numbers, as on Linux; the
// EComError a Win32 call raises carries the errno number its error stands for, and its message
// the system's text with the Win32 code, so that nothing of the original is lost.

#include <string>

// The errno number a GetLastError() code stands for; EIO for the errors the link does not tell
// apart (a failed read or write then counts as a lost line, as EIO does on Linux).
int LinkErrorOf(unsigned long win32Error);

// Throws EComError(SystemErrorText(win32Error), LinkErrorOf(win32Error)).
[[noreturn]] void RaiseWin32Error(unsigned long win32Error);
