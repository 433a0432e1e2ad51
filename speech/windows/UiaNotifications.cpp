// UiaNotifications.cpp: the provider, its host window and the calls into uiautomationcore.dll.
#include "speech/windows/UiaNotifications.h"

#include <oleauto.h>
#include <tlhelp32.h>
#include <uiautomationcore.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <utility>

#include "base/windows/Library.h"
#include "base/windows/WindowClass.h"

namespace orvanta::speech {

namespace {

constexpr const wchar_t* kHostClass = L"OrvantaNotifications";
constexpr LONG kUiaRootObjectId = -25;
// Property ids (UIAutomationClient.h) and notification values (UIAutomationCore.h of Windows 10
// 1709), which MinGW's headers lack.
constexpr PROPERTYID kNativeWindowHandle = 30020;
constexpr PROPERTYID kIsControlElement = 30016;
constexpr PROPERTYID kIsContentElement = 30017;
constexpr int kNotificationKindOther = 4;
constexpr int kNotificationProcessingAll = 2;
constexpr int kNotificationProcessingMostRecent = 3;

// Screen readers known to speak UI Automation notifications, by their process's file name.
constexpr std::array kReaderProcesses{L"nvda.exe", L"narrator.exe"};

bool ScreenReaderProcessRuns() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return false;
  }
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more != FALSE && !found;
       more = Process32NextW(snapshot, &entry)) {
    for (const wchar_t* name : kReaderProcesses) {
      found = found || lstrcmpiW(entry.szExeFile, name) == 0;
    }
  }
  CloseHandle(snapshot);
  return found;
}

}  // namespace

struct UiaNotifications::Api {
  using Raise = HRESULT(WINAPI*)(IRawElementProviderSimple*, int, int, BSTR, BSTR);
  using Listening = BOOL(WINAPI*)();
  using ReturnProvider = LRESULT(WINAPI*)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
  using HostProvider = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
  Raise raise = nullptr;
  Listening listening = nullptr;
  ReturnProvider returnProvider = nullptr;
  HostProvider hostProvider = nullptr;
};

// The element the notifications come from: a window of the game, out of the screen reader's way
// (neither a control nor content), that says which native window it is.
class UiaNotifications::Provider final : public IRawElementProviderSimple {
 public:
  Provider(HWND window, Api::HostProvider host) : window_(window), host_(host) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == __uuidof(IRawElementProviderSimple)) {
      *out = static_cast<IRawElementProviderSimple*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) {
      delete this;  // NOLINT(cppcoreguidelines-owning-memory): COM's own reference count
    }
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override {
    *options = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider |
                                            ProviderOptions_UseComThreading);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown** pattern) override {
    *pattern = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID id, VARIANT* value) override {
    VariantInit(value);
    if (id == kNativeWindowHandle) {
      value->vt = VT_I4;
      value->lVal = static_cast<LONG>(reinterpret_cast<LONG_PTR>(window_));
    } else if (id == kIsControlElement || id == kIsContentElement) {
      value->vt = VT_BOOL;
      value->boolVal = VARIANT_FALSE;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** host) override {
    *host = nullptr;
    return host_ != nullptr ? host_(window_, host) : S_OK;
  }

 private:
  ~Provider() = default;

  LONG refs_ = 1;
  HWND window_;
  Api::HostProvider host_;
};

UiaNotifications::UiaNotifications(WindowToPresentFrom* windows, std::wstring activityId)
    : windows_(windows), activityId_(std::move(activityId)) {}

UiaNotifications::~UiaNotifications() {
  DestroyHost();
}

bool UiaNotifications::Load(std::wstring& why) {
  if (!loaded_) {
    loaded_ = true;
    // The system's own library, never one beside the game.
    std::array<wchar_t, MAX_PATH> system{};
    const UINT length = GetSystemDirectoryW(system.data(), MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
      const std::filesystem::path path =
          std::filesystem::path(system.data()) / L"uiautomationcore.dll";
      library_.reset(LoadLibraryW(path.c_str()));
    }
    if (library_) {
      auto api = std::make_unique<Api>();
      api->raise = Entry<Api::Raise>(library_.get(), "UiaRaiseNotificationEvent");
      api->listening = Entry<Api::Listening>(library_.get(), "UiaClientsAreListening");
      api->returnProvider =
          Entry<Api::ReturnProvider>(library_.get(), "UiaReturnRawElementProvider");
      api->hostProvider = Entry<Api::HostProvider>(library_.get(), "UiaHostProviderFromHwnd");
      if (api->raise && api->listening && api->returnProvider) {
        api_ = std::move(api);
      }
    }
  }
  if (!library_) {
    why = L"UI Automation: uiautomationcore.dll cannot be loaded from the system folder";
  } else if (!api_) {
    why =
        L"UI Automation: this Windows has no notifications (UiaRaiseNotificationEvent is "
        L"missing before Windows 10 version 1709)";
  }
  return api_ != nullptr;
}

bool UiaNotifications::ScreenReaderRuns() {
  BOOL flag = FALSE;
  // Some programs set the flag without a screen reader; Narrator does not set it.
  if (SystemParametersInfoW(SPI_GETSCREENREADER, 0, &flag, 0) != FALSE && flag != FALSE) {
    return true;
  }
  // The list of processes is taken again only once the last look is a little old, not for each
  // sentence of a board read symbol by symbol.
  const auto now = std::chrono::steady_clock::now();
  if (!lastLook_ || now - *lastLook_ > kLookAgainAfter) {
    lastLook_ = now;
    readerProcess_ = ScreenReaderProcessRuns();
  }
  return readerProcess_;
}

bool UiaNotifications::Ready(std::wstring& why) {
  if (!Load(why)) {
    return false;
  }
  if (!ScreenReaderRuns()) {
    why = L"UI Automation: no screen reader runs (no NVDA or Narrator, the screen-reader flag off)";
  } else if (api_->listening() == FALSE) {
    why = L"UI Automation: no client listens";
  } else if (windows_ == nullptr) {
    why = L"UI Automation: the game has no window to speak from";
  } else {
    // In place already, so that a window closing right after the sentence still says it.
    HostUnder(windows_->ActiveWindow());
    return true;
  }
  return false;
}

bool UiaNotifications::Raise(const std::wstring& text, bool mostRecent) {
  if (!api_ || windows_ == nullptr || (!closing_ && !HostUnder(windows_->ActiveWindow()))) {
    return false;
  }
  BSTR display = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  BSTR activity = SysAllocStringLen(activityId_.data(), static_cast<UINT>(activityId_.size()));
  const HRESULT result =
      api_->raise(provider_, kNotificationKindOther,
                  mostRecent ? kNotificationProcessingMostRecent : kNotificationProcessingAll,
                  display, activity);
  SysFreeString(display);
  SysFreeString(activity);
  return SUCCEEDED(result);
}

bool UiaNotifications::HostUnder(HWND parent) {
  // With no window active, the last one the game spoke from.
  if (host_ != nullptr && IsWindow(host_) != FALSE &&
      (parent == nullptr || GetParent(host_) == parent)) {
    return true;
  }
  if (parent == nullptr) {
    return false;
  }
  DestroyHost();
  RegisterWindowClassOnce(kHostClass, Procedure);
  // 1x1, not zero: screen readers pass over an element without a size.
  host_ = CreateWindowExW(0, kHostClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, parent, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  if (host_ == nullptr) {
    return false;
  }
  provider_ = new Provider(host_, api_->hostProvider);  // NOLINT(cppcoreguidelines-owning-memory)
  SetWindowLongPtrW(host_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return true;
}

void UiaNotifications::DestroyHost() {
  if (host_ != nullptr && IsWindow(host_) != FALSE) {
    DestroyWindow(host_);  // its WM_DESTROY lets UI Automation go of the provider
  }
  host_ = nullptr;
  if (provider_ != nullptr) {
    std::exchange(provider_, nullptr)->Release();
  }
}

LRESULT CALLBACK UiaNotifications::Procedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  // The window holds the pointer it was given in HostUnder.
  auto* self = reinterpret_cast<UiaNotifications*>(  // NOLINT(performance-no-int-to-ptr)
      GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr && self->host_ == window && self->provider_ != nullptr) {
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == kUiaRootObjectId) {
      return self->api_->returnProvider(window, wParam, lParam, self->provider_);
    }
    if (message == WM_DESTROY) {
      self->closing_ = true;
      if (self->hostClosing_) {
        self->hostClosing_();  // what the closing window still has to say
      }
      self->closing_ = false;
      self->api_->returnProvider(window, 0, 0, nullptr);
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace orvanta::speech
