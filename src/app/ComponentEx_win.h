// The main window's controls that click: a left button going down on them
// plays the program's WAVE resource "CLICK" (buttons, check boxes) or "LIST"
// (combo boxes, labelled edits) before the usual handling. They carry the
// names of the classes they extend, in their own namespace, so that the main
// window names kv::ComponentEx::TsBitBtn where the other windows name the
// plain kv::TsBitBtn.
#pragma once

#include <string>

#include "classlib/StdCtrls.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sComboBox_win.h"

namespace kv::ComponentEx {

// Plays a sound resource of the program's file. Replaceable, so that tests
// can see which sound a click asks for without an audio device.
using TPlayClickSound = void (*)(const std::string& resource);
// Installs player (nullptr: the program's own) and returns the previous one.
TPlayClickSound SetPlayClickSound(TPlayClickSound player);

class TsBitBtn : public kv::TsBitBtn {
 public:
  using kv::TsBitBtn::TsBitBtn;
  void WndProc(TMessage& message) override;
};

class TsCheckBox : public kv::TsCheckBox {
 public:
  using kv::TsCheckBox::TsCheckBox;
  void WndProc(TMessage& message) override;
};

class TsComboBox : public kv::TsComboBox {
 public:
  using kv::TsComboBox::TsComboBox;
  void WndProc(TMessage& message) override;
};

class TButton : public kv::TButton {
 public:
  using kv::TButton::TButton;
  void WndProc(TMessage& message) override;
};

class TLabeledEdit : public kv::TLabeledEdit {
 public:
  using kv::TLabeledEdit::TLabeledEdit;
  void WndProc(TMessage& message) override;

  // Stored for the form resource; the wheel behaves as in the plain edit.
  bool WheelEnabled() const { return wheelEnabled_; }
  void SetWheelEnabled(bool value) { wheelEnabled_ = value; }
  bool DoWheel() const { return doWheel_; }
  void SetDoWheel(bool value) { doWheel_ = value; }

 private:
  bool wheelEnabled_ = true;
  bool doWheel_ = false;
};

}  // namespace kv::ComponentEx
