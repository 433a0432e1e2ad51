// WindowClass.h: the window classes of the speech routes' own small windows, registered once
// per process.
#pragma once

#include <windows.h>

namespace orvanta::speech {

// Registers `name` with `procedure` for this program's module, unless it is registered already.
inline void RegisterWindowClassOnce(const wchar_t* name, WNDPROC procedure) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  if (GetClassInfoExW(instance, name, &windowClass) == FALSE) {
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
  }
}

}  // namespace orvanta::speech
