// DispatchObject.cpp: late-bound COM calls: the name looked up with GetIDsOfNames, the call made
// with Invoke, strings passed as BSTRs that live exactly as long as the call.
#include "speech/windows/DispatchObject.h"

#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <utility>

namespace orvanta::speech {

namespace {

[[noreturn]] void Refused(std::wstring_view name, HRESULT result) {
  std::string what(name.begin(), name.end());  // our names are ASCII
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
  throw SpeechRouteError("the speech object refused '" + what + "' (" + code + ")");
}

}  // namespace

ComApartment::ComApartment() {
  // S_FALSE: already initialised on this thread, which still wants a matching uninitialise.
  const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  initialised_ = SUCCEEDED(result);
}

ComApartment::~ComApartment() {
  if (initialised_) {
    CoUninitialize();
  }
}

DispatchObject DispatchObject::Create(const CLSID& clsid) {
  IDispatch* object = nullptr;
  const HRESULT result = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                          reinterpret_cast<void**>(&object));
  if (FAILED(result) || object == nullptr) {
    Refused(L"create", result);
  }
  return DispatchObject(object);
}

DispatchObject DispatchObject::Create(std::wstring_view progId) {
  CLSID clsid{};
  const std::wstring id(progId);
  const HRESULT result = CLSIDFromProgID(id.c_str(), &clsid);
  if (FAILED(result)) {
    Refused(progId, result);
  }
  return Create(clsid);
}

DispatchObject::DispatchObject(DispatchObject&& other) noexcept
    : object_(std::exchange(other.object_, nullptr)) {}

DispatchObject& DispatchObject::operator=(DispatchObject&& other) noexcept {
  std::swap(object_, other.object_);
  return *this;
}

DispatchObject::~DispatchObject() {
  if (object_) {
    object_->Release();
  }
}

void DispatchObject::Invoke(std::wstring_view name, WORD kind,
                            const std::vector<Argument>& arguments, VARIANT& result) {
  std::wstring member(name);
  LPOLESTR names[] = {member.data()};
  DISPID id = 0;
  HRESULT status = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(status)) {
    Refused(name, status);
  }
  // IDispatch takes the arguments last first.
  std::vector<VARIANTARG> values(arguments.size());
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    VARIANTARG& value = values[arguments.size() - 1 - i];
    VariantInit(&value);
    if (const auto* text = std::get_if<std::wstring>(&arguments[i])) {
      value.vt = VT_BSTR;
      value.bstrVal = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
    } else if (const auto* flag = std::get_if<bool>(&arguments[i])) {
      value.vt = VT_BOOL;
      value.boolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
      value.vt = VT_I4;
      value.lVal = std::get<long>(arguments[i]);
    }
  }
  DISPPARAMS parameters{values.data(), nullptr, static_cast<UINT>(values.size()), 0};
  VariantInit(&result);
  status = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, &result, nullptr,
                           nullptr);
  for (VARIANTARG& value : values) {
    VariantClear(&value);
  }
  if (FAILED(status)) {
    VariantClear(&result);
    Refused(name, status);
  }
}

void DispatchObject::Call(std::wstring_view name, const std::vector<Argument>& arguments) {
  VARIANT result;
  Invoke(name, DISPATCH_METHOD, arguments, result);
  VariantClear(&result);
}

long DispatchObject::GetLong(std::wstring_view name) {
  VARIANT result;
  Invoke(name, DISPATCH_PROPERTYGET, {}, result);
  const HRESULT status = VariantChangeType(&result, &result, 0, VT_I4);
  const long value = SUCCEEDED(status) ? result.lVal : 0;
  VariantClear(&result);
  if (FAILED(status)) {
    Refused(name, status);
  }
  return value;
}

DispatchObject DispatchObject::GetObject(std::wstring_view name) {
  VARIANT result;
  Invoke(name, DISPATCH_PROPERTYGET, {}, result);
  if (result.vt != VT_DISPATCH || result.pdispVal == nullptr) {
    VariantClear(&result);
    Refused(name, E_NOINTERFACE);
  }
  return DispatchObject(result.pdispVal);  // takes over the result's reference
}

}  // namespace orvanta::speech
