// window_check.exe: prints what a screen reader learns from one of the game's windows through
// Windows' accessibility layer (oleacc): each child control's class, accessible role and name,
// and whether it shows, one a line. The end-to-end test compares it with what it expects.
// "screenreader on" or "off" sets the system's screen-reader flag, as a running screen reader
// does.
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

// The game's names are ASCII: printed as they are.
BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  wchar_t kind[64] = {};
  GetClassNameW(child, kind, 64);
  BSTR name = nullptr;
  VARIANT self{};
  VARIANT role{};
  self.vt = VT_I4;  // CHILDID_SELF is 0
  IAccessible* accessible = nullptr;
  if (SUCCEEDED(AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT),
                                           __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&accessible)))) {
    accessible->get_accName(self, &name);
    accessible->get_accRole(self, &role);
    accessible->Release();
  }
  std::printf("%ls|%ld|%ls|%s\n", kind, role.vt == VT_I4 ? role.lVal : 0L,
              name != nullptr ? name : L"", IsWindowVisible(child) != FALSE ? "shown" : "hidden");
  SysFreeString(name);
  return TRUE;
}

}  // namespace

// "main": the game's main window; "about": the About box (the game's window without a menu
// bar); anything else: the window with that title (a box of the game).
int main(int argc, char** argv) {
  const std::string which = argc > 1 ? argv[1] : "main";
  if (which == "screenreader") {
    const BOOL on = argc > 2 && std::string(argv[2]) == "on" ? TRUE : FALSE;
    return SystemParametersInfoW(SPI_SETSCREENREADER, on, nullptr, SPIF_SENDCHANGE) ? 0 : 1;
  }
  CoInitialize(nullptr);
  HWND window = nullptr;
  if (which == "main" || which == "about") {
    do {
      window = FindWindowExW(nullptr, window, L"OrvantaWindow", nullptr);
    } while (window != nullptr && (GetMenu(window) == nullptr) != (which == "about"));
  } else {
    window = FindWindowA(nullptr, which.c_str());
  }
  if (window == nullptr) {
    std::printf("no window\n");
    return 1;
  }
  EnumChildWindows(window, PrintChild, 0);
  CoUninitialize();
  return 0;
}
