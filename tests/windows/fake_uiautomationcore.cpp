// Stands in for uiautomationcore.dll in tests: copied into the Wine prefix's system folder and
// loaded with WINEDLLOVERRIDES=uiautomationcore=n,b. Clients listen while ORVANTA_FAKE_UIA_LOG
// names a file; each notification is appended to it as one line of tab-separated fields: kind,
// processing, activity id, the provider's window (its parent's title, its size, and whether it
// answers WM_GETOBJECT with that provider) and the text, in UTF-8.
#include <windows.h>

#include <uiautomationcore.h>

#include <fstream>
#include <string>

namespace {

IRawElementProviderSimple* returned = nullptr;  // what the last WM_GETOBJECT answered with

std::string Utf8(const wchar_t* text) {
  char utf8[2048] = {};
  if (text != nullptr)
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
  return utf8;
}

std::string WindowOf(IRawElementProviderSimple* provider) {
  VARIANT handle;
  VariantInit(&handle);
  if (provider == nullptr || FAILED(provider->GetPropertyValue(30020, &handle)) ||
      handle.vt != VT_I4)
    return "none";
  // NOLINTNEXTLINE(performance-no-int-to-ptr): a window handle is a number to UI Automation
  const auto window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle.lVal));
  wchar_t title[256] = {};
  GetWindowTextW(GetParent(window), title, 256);
  RECT rect{};
  GetClientRect(window, &rect);
  returned = nullptr;
  SendMessageW(window, WM_GETOBJECT, 0, static_cast<LPARAM>(-25));  // UiaRootObjectId
  return Utf8(title) + " " + std::to_string(rect.right) + "x" + std::to_string(rect.bottom) +
         (returned == provider ? " answers" : " silent");
}

}  // namespace

extern "C" BOOL __stdcall UiaClientsAreListening() {
  char path[MAX_PATH];
  return GetEnvironmentVariableA("ORVANTA_FAKE_UIA_LOG", path, MAX_PATH) != 0 ? TRUE : FALSE;
}

extern "C" HRESULT __stdcall UiaRaiseNotificationEvent(IRawElementProviderSimple* provider,
                                                       int kind, int processing, BSTR text,
                                                       BSTR activity) {
  char path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("ORVANTA_FAKE_UIA_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return E_FAIL;
  const std::string window = WindowOf(provider);
  std::ofstream(path, std::ios::binary | std::ios::app)
      << kind << '\t' << processing << '\t' << Utf8(activity) << '\t' << window << '\t'
      << Utf8(text) << '\n';
  return S_OK;
}

extern "C" LRESULT __stdcall UiaReturnRawElementProvider(HWND, WPARAM, LPARAM,
                                                         IRawElementProviderSimple* provider) {
  returned = provider;
  return provider != nullptr ? 1 : 0;
}

extern "C" HRESULT __stdcall UiaHostProviderFromHwnd(HWND, IRawElementProviderSimple** host) {
  *host = nullptr;
  return S_OK;
}
