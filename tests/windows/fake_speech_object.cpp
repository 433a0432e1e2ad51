// An in-process COM server standing for the Window-Eyes speech object ("gwspeak.speak"), JAWS's
// automation object ("FreedomSci.JawsApi") and the SAPI 5 voice in tests, registered in the
// test's Wine prefix. It answers IDispatch by name: "speakstring", "Speak", "Skip", "SayString",
// "StopSpeech" and "RunFunction" are appended to the file named by ORVANTA_FAKE_COM_LOG as one
// line each, the name and its arguments (texts in UTF-8, flags as 0 or 1) separated by spaces;
// "Status" gives the object itself, whose "RunningState" is 2 (speaking) after a Speak until a
// Skip, else 1 (done).
#include <windows.h>

#include <fstream>
#include <string>

namespace {

const wchar_t* const kNames[] = {L"speakstring",  L"Speak",     L"Skip",       L"Status",
                                 L"RunningState", L"SayString", L"StopSpeech", L"RunFunction"};
constexpr DISPID kStatus = 3;
constexpr DISPID kRunningState = 4;

std::string Utf8(const wchar_t* text, UINT length) {
  std::string out(std::size_t{length} * 4, '\0');
  out.resize(static_cast<std::size_t>(
      WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(),
                          static_cast<int>(out.size()), nullptr, nullptr)));
  return out;
}

// The object is its own class factory: one object, alive as long as the library.
class FakeObject final : public IDispatch, public IClassFactory {
 public:
  HRESULT __stdcall QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
    } else if (iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  ULONG __stdcall AddRef() override { return 2; }
  ULONG __stdcall Release() override { return 1; }
  HRESULT __stdcall CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    speaking_ = false;
    return outer != nullptr ? CLASS_E_NOAGGREGATION : QueryInterface(iid, out);
  }
  HRESULT __stdcall LockServer(BOOL) override { return S_OK; }
  HRESULT __stdcall GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT __stdcall GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT __stdcall GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    for (DISPID id = 0; id < 8; ++id) {
      if (count == 1 && lstrcmpiW(names[0], kNames[id]) == 0) {
        ids[0] = id;
        return S_OK;
      }
    }
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT __stdcall Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                           EXCEPINFO*, UINT*) override {
    if (id == kStatus) {
      AddRef();
      result->vt = VT_DISPATCH;
      result->pdispVal = this;
      return S_OK;
    }
    if (id == kRunningState) {
      result->vt = VT_I4;
      result->lVal = speaking_ ? 2 : 1;
      return S_OK;
    }
    std::string line = Utf8(kNames[id], static_cast<UINT>(lstrlenW(kNames[id])));
    for (UINT i = parameters->cArgs; i-- > 0;) {  // the arguments come last first
      const VARIANTARG& argument = parameters->rgvarg[i];
      line += ' ';
      if (argument.vt == VT_BSTR)
        line += Utf8(argument.bstrVal, SysStringLen(argument.bstrVal));
      else
        line += argument.vt == VT_BOOL ? (argument.boolVal != 0 ? "1" : "0")
                                       : std::to_string(argument.lVal);
    }
    speaking_ = id == 1;
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("ORVANTA_FAKE_COM_LOG", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
      return E_FAIL;
    std::ofstream(path, std::ios::binary | std::ios::app) << line << '\n';
    return S_OK;
  }

 private:
  bool speaking_ = false;
};

FakeObject object;

}  // namespace

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID, REFIID iid, void** out) {
  return object.QueryInterface(iid, out);
}
extern "C" HRESULT __stdcall DllCanUnloadNow() {
  return S_FALSE;
}
