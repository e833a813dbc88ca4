#include "skin/core/acUtils.h"

#include <iterator>

#include "base/SysUtils.h"

namespace kv {

TRect RectIntersection(const TRect& a, const TRect& b) {
  return {LargerOf(a.Left, b.Left), LargerOf(a.Top, b.Top), SmallerOf(a.Right, b.Right),
          SmallerOf(a.Bottom, b.Bottom)};
}

bool RectsOverlap(const TRect& a, const TRect& b) {
  const bool empty = b.Right <= b.Left || b.Bottom <= b.Top;
  return !(empty || b.Bottom <= a.Top || b.Right <= a.Left || b.Left >= a.Right || b.Top >= a.Bottom);
}

bool RectWithinRect(const TRect& outer, const TRect& inner) {
  const auto in = [&](std::int32_t x, std::int32_t y) {
    return IsBetween(x, outer.Left, outer.Right) && IsBetween(y, outer.Top, outer.Bottom);
  };
  return in(inner.Left, inner.Top) && in(inner.Right, inner.Bottom);
}

TacCharSet MakeCharSet(std::string_view chars) {
  TacCharSet set;
  for (char c : chars) set.set(static_cast<unsigned char>(c));
  return set;
}

namespace {

// Calls visit(position from 0, length) for each word until it returns false.
template <class Visit>
void ForEachWord(std::string_view s, const TacCharSet& delimiters, Visit visit) {
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && CharInCharSet(s[i], delimiters)) ++i;
    if (i == s.size()) return;
    const std::size_t start = i;
    while (i < s.size() && !CharInCharSet(s[i], delimiters)) ++i;
    if (!visit(start, i - start)) return;
  }
}

}  // namespace

int CountWords(std::string_view s, const TacCharSet& delimiters) {
  int n = 0;
  ForEachWord(s, delimiters, [&](std::size_t, std::size_t) { return ++n, true; });
  return n;
}

std::size_t NthWordPos(int n, std::string_view s, const TacCharSet& delimiters) {
  std::size_t pos = 0;
  int i = 0;
  ForEachWord(s, delimiters, [&](std::size_t at, std::size_t) {
    if (++i == n) pos = at + 1;
    return i < n;
  });
  return pos;
}

std::string NthWord(int n, std::string_view s, const TacCharSet& delimiters) {
  std::string word;
  int i = 0;
  ForEachWord(s, delimiters, [&](std::size_t at, std::size_t length) {
    if (++i == n) word = std::string(s.substr(at, length));
    return i < n;
  });
  return word;
}

std::string StripChar(std::string_view s, char c) {
  std::string out;
  for (char x : s)
    if (x != c) out += x;
  return out;
}

std::string ReplaceAll(std::string_view s, std::string_view oldText, std::string_view newText) {
  return StringReplaceAll(s, oldText, newText);
}

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
