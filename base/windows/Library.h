// Library.h: a library loaded at run time (a screen reader's client, uiautomationcore.dll, a
// newer system call), freed with its owner, and its functions found by name.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace orvanta {

struct LibraryDeleter {
  void operator()(HMODULE library) const { FreeLibrary(library); }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter>;

// The function `name` of `library` as a pointer of type `Function`; null when either is missing.
template <typename Function>
Function Entry(HMODULE library, const char* name) {
  if (library == nullptr) {
    return nullptr;
  }
  // GetProcAddress gives a generic function pointer; the generic form is cast to the real one.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

}  // namespace orvanta
