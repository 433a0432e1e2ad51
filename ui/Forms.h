// Forms.h: the windows of the program that are loaded now, in the order they were loaded, so
// that "close every open window" can close them one after the other.
#pragma once

#include <algorithm>
#include <vector>

#include "ui/Window.h"

namespace orvanta::ui {

// A window that can be unloaded by the program (running its closing behaviour).
class Form : public Window {
 public:
  virtual void Unload() = 0;
};

class Forms {
 public:
  void Add(Form& form) {
    if (std::find(open_.begin(), open_.end(), &form) == open_.end())
      open_.push_back(&form);
  }
  void Remove(Form& form) { std::erase(open_, &form); }
  bool IsOpen(const Form& form) const {
    return std::find(open_.begin(), open_.end(), &form) != open_.end();
  }

  // Unloads every open window, one after the other; each one's closing behaviour runs.
  void CloseAll() {
    const std::vector<Form*> open = open_;
    for (Form* form : open) {
      if (IsOpen(*form))
        form->Unload();
    }
  }

 private:
  std::vector<Form*> open_;
};

}  // namespace orvanta::ui
