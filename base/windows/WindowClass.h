// WindowClass.h: the game's window classes (its windows, and the speech routes' small windows of
// their own), each registered once per process.
#pragma once

#include <windows.h>

namespace orvanta {

// Registers the class `name` with `procedure` for this program's module, unless it is registered
// already. `fill`, when given, sets the rest (icons, cursor, background) and runs only when the
// class is registered now. False when Windows refused the class.
inline bool RegisterWindowClassOnce(const wchar_t* name, WNDPROC procedure,
                                    void (*fill)(WNDCLASSEXW&) = nullptr) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  if (GetClassInfoExW(instance, name, &windowClass) != FALSE) {
    return true;
  }
  windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = name;
  if (fill != nullptr) {
    fill(windowClass);
  }
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace orvanta
