#include "app/ComponentEx_win.h"

#include <windows.h>

#include "classlib/Resources.h"

namespace kv::ComponentEx {
namespace {

void PlayFromProgram(const std::string& resource) { PlayResourceSound(resource, true); }

TPlayClickSound clickPlayer = PlayFromProgram;

// The sound starts (cutting off one still playing), and the control reacts a
// moment later: the pause is part of the window's feel.
void ClickFeedback(const TMessage& message, const char* resource) {
  if (message.Msg != WM_LBUTTONDOWN) return;
  clickPlayer(resource);
  Sleep(50);
}

}  // namespace

TPlayClickSound SetPlayClickSound(TPlayClickSound player) {
  const TPlayClickSound previous = clickPlayer;
  clickPlayer = player != nullptr ? player : PlayFromProgram;
  return previous;
}

void TsBitBtn::WndProc(TMessage& message) {
  ClickFeedback(message, "CLICK");
  kv::TsBitBtn::WndProc(message);
}

void TsCheckBox::WndProc(TMessage& message) {
  ClickFeedback(message, "CLICK");
  kv::TsCheckBox::WndProc(message);
}

void TsComboBox::WndProc(TMessage& message) {
  ClickFeedback(message, "LIST");
  kv::TsComboBox::WndProc(message);
}

void TButton::WndProc(TMessage& message) {
  ClickFeedback(message, "CLICK");
  kv::TButton::WndProc(message);
}

void TLabeledEdit::WndProc(TMessage& message) {
  ClickFeedback(message, "LIST");
  kv::TLabeledEdit::WndProc(message);
}

}  // namespace kv::ComponentEx
