// window_check.exe: prints what a screen reader learns from one of the game's windows through
// Windows' accessibility layer (oleacc): each child control's class, accessible role and name,
// and whether it shows, one a line. The end-to-end test compares it with what it expects.
// It also plays a running screen reader: "jaws" holds JAWS's window (class JFWUI2) until its
// standard input ends; "screenreader on" or "off" sets the system's screen-reader flag.
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

std::string Narrow(const wchar_t* text) {
  if (text == nullptr)
    return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  wchar_t kind[64] = {};
  GetClassNameW(child, kind, 64);
  std::string name;
  long role = 0;
  IAccessible* accessible = nullptr;
  if (SUCCEEDED(AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT),
                                           __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&accessible)))) {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (accessible->get_accName(self, &text) == S_OK) {
      name = Narrow(text);
      SysFreeString(text);
    }
    VARIANT answer;
    VariantInit(&answer);
    if (accessible->get_accRole(self, &answer) == S_OK && answer.vt == VT_I4)
      role = answer.lVal;
    accessible->Release();
  }
  std::printf("%s|%ld|%s|%s\n", Narrow(kind).c_str(), role, name.c_str(),
              IsWindowVisible(child) != FALSE ? "shown" : "hidden");
  return TRUE;
}

}  // namespace

// "main": the game's main window; "about": the About box (the game's window without a menu
// bar); anything else: the window with that title (a box of the game).
int main(int argc, char** argv) {
  const std::string which = argc > 1 ? argv[1] : "main";
  if (which == "jaws") {
    WNDCLASSW jaws{};
    jaws.lpfnWndProc = DefWindowProcW;
    jaws.hInstance = GetModuleHandleW(nullptr);
    jaws.lpszClassName = L"JFWUI2";
    RegisterClassW(&jaws);
    CreateWindowW(L"JFWUI2", L"JAWS", 0, 0, 0, 0, 0, nullptr, nullptr, jaws.hInstance, nullptr);
    std::printf("ready\n");
    std::fflush(stdout);
    char input = 0;
    DWORD read = 0;
    ReadFile(GetStdHandle(STD_INPUT_HANDLE), &input, 1, &read, nullptr);
    return 0;
  }
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
