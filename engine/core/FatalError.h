#pragma once
// Error policy: a caller or file error logs and returns failure (the default).
// A fatal error only where the behaviour requires it, with a one-line reason at the call.
// Allocation failure goes through NewOrFatal: allocate, or end with the specified message.
//
// The engine's error boxes and its fatal-error routines. A fatal error logs its text at level 2,
// shows it in a box, runs the engine shutdown (which does nothing before Init has finished) and
// ends the process with exit code 1; it never returns.
#include <cstdarg>
#include <cstddef>
#include <new>
#include <utility>

#include "windef.h"

// Formatted texts are cut at this many bytes.
constexpr int kMaxErrorText = 1024;

[[noreturn]] void FatalError(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void FatalErrorWithTitle(const char* title, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// The title of an allocation failure that has none of its own.
constexpr char kNoMemoryTitle[] = "Critical Error";

// Makes a T from `args`, or ends the process as a fatal error titled `title` with `format` filled
// with `name` (a text that names what failed) when there is no memory for it.
template <typename T, typename... Args>
T* NewNamedOrFatal(const char* title, const char* format, const char* name, Args&&... args) {
  T* object = new (std::nothrow) T(std::forward<Args>(args)...);
  if (object == nullptr) FatalErrorWithTitle(title, format, name);
  return object;
}

// Makes a T from `args`, or ends the process as a fatal error titled `title` with `text` when
// there is no memory for it.
template <typename T, typename... Args>
T* NewOrFatal(const char* title, const char* text, Args&&... args) {
  return NewNamedOrFatal<T>(title, "%s", text, std::forward<Args>(args)...);
}

// Makes `count` value-initialised Ts, or ends as NewOrFatal does. Only for program-sized counts:
// a count read from a file is the file's error, logged and returned.
template <typename T>
T* NewArrayOrFatal(const char* title, const char* text, size_t count) {
  T* array = new (std::nothrow) T[count]();
  if (array == nullptr) FatalErrorWithTitle(title, "%s", text);
  return array;
}

// A plain OK box; returns the box's result.
int ShowMessageBox(const char* title, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// An OK box over `owner` (null: none) with `icon` (an MB_ICON... style, or 0 for none); returns
// the box's result.
int ShowMessageBox(HWND owner, UINT icon, const char* title, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// Logs `text` at level 2 and shows it in an error box titled `title`; returns the box's result.
// What every error routine of the engine shares.
int ReportError(const char* title, const char* text);
