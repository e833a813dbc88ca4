#pragma once
// The message record every control's window procedure chain passes along, the
// replaceable window-procedure method, and the numbers of the class library's
// own messages: component messages (CM_*) and messages reflected from a parent
// back to the child control that caused them (CN_*).

#include <windows.h>

#include <concepts>
#include <cstring>
#include <functional>

namespace kv {

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;

  WORD WParamLo() const { return LOWORD(WParam); }
  WORD WParamHi() const { return HIWORD(WParam); }
  WORD LParamLo() const { return LOWORD(LParam); }
  WORD LParamHi() const { return HIWORD(LParam); }
  // Mouse messages carry signed client coordinates.
  int XPos() const { return static_cast<short>(LOWORD(LParam)); }
  int YPos() const { return static_cast<short>(HIWORD(LParam)); }
};

// A window-procedure method: an object and one of its members. Hooks save the
// current one, install theirs and later put the saved one back, and a hook
// must recognise its own method to remove it, so two methods compare equal
// when they name the same member of the same object.
class TWndMethod {
 public:
  TWndMethod() = default;
  template <class T, class U>
  requires std::derived_from<T, U> TWndMethod(T* object, void (U::*member)(TMessage&))
      : object_(static_cast<U*>(object)),
        call_([object, member](TMessage& m) { (object->*member)(m); }) {
    static_assert(sizeof(member) <= sizeof(key_), "member pointer larger than expected");
    std::memcpy(key_, &member, sizeof(member));
  }
  // A free-standing handler; never equal to another method.
  explicit TWndMethod(std::function<void(TMessage&)> fn) : call_(std::move(fn)) {}

  void operator()(TMessage& m) const {
    if (call_) call_(m);
  }
  explicit operator bool() const { return static_cast<bool>(call_); }
  bool operator==(const TWndMethod& other) const {
    return object_ != nullptr && object_ == other.object_ &&
           std::memcmp(key_, other.key_, sizeof(key_)) == 0;
  }
  const void* Object() const { return object_; }

 private:
  const void* object_ = nullptr;
  unsigned char key_[2 * sizeof(void*)] = {};
  std::function<void(TMessage&)> call_;
};

// Component messages. The numbers other code relies on (the skin layer
// compares several of them) are fixed; the range lies above WM_USER and below
// the toolkit's own command message.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0x00;
constexpr UINT CM_DEACTIVATE = CM_BASE + 0x01;
constexpr UINT CM_DIALOGKEY = CM_BASE + 0x05;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 0x06;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 0x07;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x08;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x09;
constexpr UINT CM_HITTEST = CM_BASE + 0x0A;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0B;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 0x0F;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 0x10;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;
constexpr UINT CM_MENUCHANGED = CM_BASE + 0x15;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 0x18;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 0x19;
constexpr UINT CM_ENTER = CM_BASE + 0x1A;
constexpr UINT CM_EXIT = CM_BASE + 0x1B;
constexpr UINT CM_ICONCHANGED = CM_BASE + 0x1D;
constexpr UINT CM_RELEASE = CM_BASE + 0x21;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 0x22;
constexpr UINT CM_UIACTIVATE = CM_BASE + 0x29;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 0x2C;
constexpr UINT CM_HINTSHOW = CM_BASE + 0x30;
constexpr UINT CM_RECREATEWND = CM_BASE + 0x33;
constexpr UINT CM_INVALIDATE = CM_BASE + 0x34;
constexpr UINT CM_CHANGED = CM_BASE + 0x37;
constexpr UINT CM_FLOAT = CM_BASE + 0x3A;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 0x3C;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 0x3D;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 0x3F;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 0x43;
constexpr UINT CM_LAST = CM_BASE + 0xFF;

// Reflected messages: CN_BASE plus the original message number.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

// Numbers that other parts of the program post or compare and that ours must
// never take: the toolkit command message, the region query and the menu
// painter's messages, and the application's own posted messages.
constexpr UINT kReservedMessages[] = {0xA100, 0xBC4D, 0xBCB3, 0xBCB4, 1124, 7147,
                                      1025,   1026,   1027,   1028,   1029};

constexpr bool IsClassLibMessage(UINT msg) {
  return (msg >= CM_BASE && msg <= CM_LAST) ||
         (msg >= CN_BASE && msg <= CN_BASE + WM_CTLCOLORSTATIC);
}

constexpr bool NoReservedCollision() {
  for (UINT m : kReservedMessages)
    if (m == CN_DRAWITEM || m == CN_MEASUREITEM || m == CN_NOTIFY || m == CN_COMMAND ||
        m == CN_HSCROLL || m == CN_VSCROLL || m == CN_KEYDOWN || m == CN_CHAR ||
        m == CN_SYSKEYDOWN || m == CN_SYSCHAR ||
        (m >= CN_CTLCOLORMSGBOX && m <= CN_CTLCOLORSTATIC) || (m >= CM_BASE && m <= CM_LAST))
      return false;
  return true;
}
static_assert(CM_BASE > WM_USER && CN_BASE > CM_LAST, "component messages above WM_USER");
static_assert(NoReservedCollision(), "a class-library message takes a reserved number");

}  // namespace kv
