#include "skin/core/acUtils.h"

#include <iterator>

namespace kv {

std::string AddTrailingBackslash(std::string_view dir) {
  std::string s(dir);
  if (s.empty() || s.back() == '\\') return s;
  if (s.back() == '/') {
    s.back() = '\\';
    return s;
  }
  if (s.size() == 1) return s + ":\\";
  return s + "\\";
}

namespace {

// MessageBox flags.
constexpr std::uint32_t kOk = 0x0, kOkCancel = 0x1, kAbortRetryIgnore = 0x2, kYesNoCancel = 0x3,
                        kYesNo = 0x4, kRetryCancel = 0x5, kIconError = 0x10,
                        kIconQuestion = 0x20, kIconWarning = 0x30, kIconInformation = 0x40,
                        kHelp = 0x4000, kSetForeground = 0x10000, kTopmost = 0x40000;

struct TypeLook {
  std::uint32_t icon;
  const char* caption;
};
constexpr TypeLook kTypes[] = {{kIconWarning, "Warning"},
                               {kIconError, "Error"},
                               {kIconInformation, "Information"},
                               {kIconQuestion, "Confirm"},
                               {0, ""}};

std::uint32_t ButtonsStyle(TacMsgButtons b) {
  using namespace msgbtn;
  if (b & OK) return (b & Cancel) ? kOkCancel : kOk;
  if (b & (Abort | Ignore)) return kAbortRetryIgnore;
  if (b & (Yes | No)) return (b & Cancel) ? kYesNoCancel : kYesNo;
  if (b & Retry) return kRetryCancel;
  return kOk;
}

}  // namespace

TacMessageBoxLook MessageBoxLook(TacMsgType type, TacMsgButtons buttons,
                                 std::string_view caption) {
  const auto index = static_cast<unsigned>(type);
  const TypeLook& look = kTypes[index < std::size(kTypes) ? index : std::size(kTypes) - 1];
  TacMessageBoxLook result;
  result.Style = look.icon | kSetForeground | kTopmost | ButtonsStyle(buttons);
  if (buttons & msgbtn::Help) result.Style |= kHelp;
  result.Caption = caption.empty() ? look.caption : std::string(caption);
  return result;
}

}  // namespace kv
