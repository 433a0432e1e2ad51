// Window.h: what every window of the game offers its toolkit: a fixed layout (caption, size,
// menus, controls in creation order) and the handlers that real or scripted events run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/Control.h"

namespace orvanta::ui {

// Virtual key codes the game looks at.
namespace vk {
inline constexpr int kReturn = 13;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kF1 = 112;  // F1..F12 are 112..123
inline constexpr int kF12 = 123;
}  // namespace vk

// The modifier keys held with a key.
struct ShiftState {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool Any() const { return shift || ctrl || alt; }
};

struct MenuItemLayout {
  std::string name;     // "mnuFExit"
  std::string caption;  // "E&xit": the ampersand marks the access key
};

struct MenuLayout {
  std::string name;
  std::string caption;
  std::vector<MenuItemLayout> items;
};

struct WindowLayout {
  std::string name;     // "frmMain"
  std::string caption;  // title bar text; also the accessible name
  int clientWidth = 0;  // twips
  int clientHeight = 0;
  bool titleBar = true;  // false: a borderless splash
  bool centred = false;  // centred on the screen
  bool inTaskbar = true;
  Font defaultFont;
  std::vector<MenuLayout> menus;
};

class Window {
 public:
  virtual ~Window() = default;

  virtual const WindowLayout& Layout() const = 0;
  // Every control in creation order: each label comes right before the control it names.
  virtual std::vector<Control*> Controls() = 0;

  // Events, run by the toolkit on the window thread.
  virtual void KeyUp(int keyCode, ShiftState shift) = 0;
  virtual void ButtonClicked(std::string_view button) = 0;
  virtual void MenuChosen(std::string_view item) = 0;
  // The title bar's close button or Alt+F4.
  virtual void CloseRequested() = 0;

  const std::string& Name() const { return Layout().name; }
  Control* Find(std::string_view name) {
    for (Control* control : Controls()) {
      if (control->Name() == name)
        return control;
    }
    return nullptr;
  }
  // Whether a control is seen: it and every frame around it are visible.
  bool Shown(const Control& control) {
    if (!control.Visible())
      return false;
    const Control* parent =
        control.Layout().parent.empty() ? nullptr : Find(control.Layout().parent);
    return parent == nullptr || Shown(*parent);
  }
};

}  // namespace orvanta::ui
