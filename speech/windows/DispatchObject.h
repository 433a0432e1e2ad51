// DispatchObject.h: a COM object called by the names of its methods and properties through
// IDispatch, as the Window-Eyes object ("speakstring") and the SAPI voice ("Speak", "Skip",
// "Status.RunningState") are. Every refused call throws SpeechRouteError naming the call.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "speech/SpeechRoutes.h"

namespace orvanta::speech {

// COM on the calling thread, single-threaded apartment, for the lifetime of the object.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_ = false;
};

class DispatchObject {
 public:
  using Argument = std::variant<std::wstring, long, bool>;

  // The object registered under `clsid`, created in process; throws when it cannot be.
  static DispatchObject Create(const CLSID& clsid);
  // The object registered under `progId` ("gwspeak.speak"); throws when none is registered.
  static DispatchObject Create(std::wstring_view progId);

  DispatchObject(DispatchObject&& other) noexcept;
  DispatchObject& operator=(DispatchObject&& other) noexcept;
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;
  ~DispatchObject();

  // Calls the method `name` with `arguments` (in their written order); the result is dropped.
  void Call(std::wstring_view name, const std::vector<Argument>& arguments);
  // Reads the property `name` as an integer, or as an object.
  long GetLong(std::wstring_view name);
  DispatchObject GetObject(std::wstring_view name);

 private:
  explicit DispatchObject(IDispatch* object) : object_(object) {}
  // Invokes `name`; the result is left in `result` (which the caller clears).
  void Invoke(std::wstring_view name, WORD kind, const std::vector<Argument>& arguments,
              VARIANT& result);

  IDispatch* object_ = nullptr;  // one reference, owned
};

}  // namespace orvanta::speech
