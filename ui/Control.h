// Control.h: a control of one of the game's windows as plain state (text or caption, visible,
// enabled) plus the fixed layout it is built from. The window logic owns the controls; a
// toolkit back end builds real widgets from the layouts and mirrors every change of state.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "ui/Twips.h"

namespace orvanta::ui {

enum class ControlKind { Frame, Label, TextBox, Button, Image, Shape };
enum class TextAlign { Left, Centre };

struct Font {
  std::string face;  // e.g. "Courier New"; the back end picks the nearest it has
  double points = 8.25;
  bool bold = false;
};

// The windows list their controls with designated initializers; every member has a default, so
// a control names only what sets it apart.
struct ControlLayout {
  std::string name{};  // "txtPuzzle"
  ControlKind kind = ControlKind::Label;
  std::string parent{};  // the containing frame's name; empty: the window itself
  Twips position{};
  int tabIndex = -1;  // -1: never takes the focus
  bool multiLine = false;
  bool readOnly = false;
  bool defaultButton = false;
  bool monospaced = false;     // the board: letters line up in columns
  std::optional<Font> font{};  // empty: the window's default font
  TextAlign align = TextAlign::Left;
  std::string accessibleName{};  // for a text box: the label that names it
};

class Control;

// Told of every change of a control's state; the wx back end updates its widget.
class ControlListener {
 public:
  virtual void ControlChanged(const Control& control) = 0;

 protected:
  ~ControlListener() = default;
};

class Control {
 public:
  Control(ControlLayout layout, std::string text)
      : layout_(std::move(layout)), text_(std::move(text)) {}

  const ControlLayout& Layout() const { return layout_; }
  const std::string& Name() const { return layout_.name; }

  // The text of a text box, or the caption of a frame, label or button.
  const std::string& Text() const { return text_; }
  void SetText(std::string text) {
    if (text != text_) {
      text_ = std::move(text);
      Notify();
    }
  }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) {
    if (visible != visible_) {
      visible_ = visible;
      Notify();
    }
  }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) {
    if (enabled != enabled_) {
      enabled_ = enabled;
      Notify();
    }
  }

  void SetListener(ControlListener* listener) { listener_ = listener; }

 private:
  void Notify() {
    if (listener_ != nullptr) {
      listener_->ControlChanged(*this);
    }
  }

  ControlLayout layout_;
  std::string text_;
  bool visible_ = true;
  bool enabled_ = true;
  ControlListener* listener_ = nullptr;
};

}  // namespace orvanta::ui
