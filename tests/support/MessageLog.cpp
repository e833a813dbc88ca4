#include "support/MessageLog.h"

#include <commctrl.h>

#include <cstdio>

#include "classlib/Messages.h"
#include "skin/core/sMessages.h"

namespace kvtest {
namespace {

struct TName {
  UINT value;
  const char* name;
};

#define KV_NAME(m) \
  { m, #m }
const TName kMessages[] = {
    KV_NAME(WM_CREATE),
    KV_NAME(WM_DESTROY),
    KV_NAME(WM_MOVE),
    KV_NAME(WM_SIZE),
    KV_NAME(WM_ACTIVATE),
    KV_NAME(WM_SETFOCUS),
    KV_NAME(WM_KILLFOCUS),
    KV_NAME(WM_ENABLE),
    KV_NAME(WM_SETREDRAW),
    KV_NAME(WM_SETTEXT),
    KV_NAME(WM_GETTEXT),
    KV_NAME(WM_GETTEXTLENGTH),
    KV_NAME(WM_PAINT),
    KV_NAME(WM_CLOSE),
    KV_NAME(WM_ERASEBKGND),
    KV_NAME(WM_SHOWWINDOW),
    KV_NAME(WM_ACTIVATEAPP),
    KV_NAME(WM_SETCURSOR),
    KV_NAME(WM_MOUSEACTIVATE),
    KV_NAME(WM_GETMINMAXINFO),
    KV_NAME(WM_WINDOWPOSCHANGING),
    KV_NAME(WM_WINDOWPOSCHANGED),
    KV_NAME(WM_NOTIFY),
    KV_NAME(WM_SETFONT),
    KV_NAME(WM_GETFONT),
    KV_NAME(WM_STYLECHANGING),
    KV_NAME(WM_STYLECHANGED),
    KV_NAME(WM_NCCREATE),
    KV_NAME(WM_NCDESTROY),
    KV_NAME(WM_NCCALCSIZE),
    KV_NAME(WM_NCHITTEST),
    KV_NAME(WM_NCPAINT),
    KV_NAME(WM_NCACTIVATE),
    KV_NAME(WM_GETDLGCODE),
    KV_NAME(WM_NCMOUSEMOVE),
    KV_NAME(WM_NCLBUTTONDOWN),
    KV_NAME(WM_NCLBUTTONUP),
    KV_NAME(WM_KEYDOWN),
    KV_NAME(WM_KEYUP),
    KV_NAME(WM_CHAR),
    KV_NAME(WM_SYSKEYDOWN),
    KV_NAME(WM_SYSKEYUP),
    KV_NAME(WM_INITDIALOG),
    KV_NAME(WM_COMMAND),
    KV_NAME(WM_SYSCOMMAND),
    KV_NAME(WM_TIMER),
    KV_NAME(WM_HSCROLL),
    KV_NAME(WM_VSCROLL),
    KV_NAME(WM_INITMENU),
    KV_NAME(WM_INITMENUPOPUP),
    KV_NAME(WM_MENUSELECT),
    KV_NAME(WM_ENTERIDLE),
    KV_NAME(WM_CTLCOLOREDIT),
    KV_NAME(WM_CTLCOLORLISTBOX),
    KV_NAME(WM_CTLCOLORBTN),
    KV_NAME(WM_CTLCOLORSTATIC),
    KV_NAME(WM_MOUSEMOVE),
    KV_NAME(WM_LBUTTONDOWN),
    KV_NAME(WM_LBUTTONUP),
    KV_NAME(WM_LBUTTONDBLCLK),
    KV_NAME(WM_RBUTTONDOWN),
    KV_NAME(WM_RBUTTONUP),
    KV_NAME(WM_MOUSEWHEEL),
    KV_NAME(WM_PARENTNOTIFY),
    KV_NAME(WM_ENTERMENULOOP),
    KV_NAME(WM_EXITMENULOOP),
    KV_NAME(WM_CAPTURECHANGED),
    KV_NAME(WM_MOUSEHOVER),
    KV_NAME(WM_MOUSELEAVE),
    KV_NAME(WM_PRINT),
    KV_NAME(WM_PRINTCLIENT),
    KV_NAME(WM_GETICON),
    KV_NAME(WM_SETICON),
    KV_NAME(WM_DRAWITEM),
    KV_NAME(WM_MEASUREITEM),
    KV_NAME(WM_CHILDACTIVATE),
    KV_NAME(WM_QUERYOPEN),
    KV_NAME(WM_SYNCPAINT),
    KV_NAME(WM_UPDATEUISTATE),
    KV_NAME(WM_CHANGEUISTATE),
    KV_NAME(WM_QUERYUISTATE),
    KV_NAME(WM_IME_SETCONTEXT),
    KV_NAME(WM_IME_NOTIFY),
    KV_NAME(WM_CANCELMODE),
    KV_NAME(WM_USER),
    KV_NAME(WM_DWMNCRENDERINGCHANGED),
    KV_NAME(kv::CM_MOUSEENTER),
    KV_NAME(kv::CM_MOUSELEAVE),
};
#undef KV_NAME

// Toolkit command codes carried by SM_ALPHACMD (high word of wParam). Until
// the skin manager brings its enum, the recorder keeps its own table.
const TName kCommands[] = {
    {1, "cmdSkinLoaded"},
    {2, "cmdSkinRemoved"},
    {3, "cmdSkinRefresh"},
    {4, "cmdGetProvider"},
    {6, "cmdParentPainted"},
    {7, "cmdIsSkinned"},
    {8, "cmdSetSuspended"},
    {9, "cmdSetParentBgForced"},
    {10, "cmdNeedsRepaint"},
    {11, "cmdGetPaintSkipped"},
    {12, "cmdTransparentBgChanged"},
    {13, "cmdInvalidateUnnamed"},
    {16, "cmdFadeFinished"},
    {17, "cmdSetBgChanged"},
    {18, "cmdRepaintNow"},
    {19, "cmdIsBgNonUniform"},
    {20, "cmdBgShifted"},
    {21, "cmdGetBgColor"},
    {22, "cmdSetPaintSkipped"},
    {23, "cmdFadeStep"},
    {24, "cmdOfferFadeImage"},
    {25, "cmdAdaptControl"},
    {26, "cmdGetSectionIndex"},
    {27, "cmdGetCaptionHeight"},
    {29, "cmdMouseEnter"},
    {30, "cmdMouseLeave"},
    {31, "cmdBeginPaintLock"},
    {32, "cmdEndPaintLock"},
    {34, "cmdGetBackground"},
    {36, "cmdChildBgFlags"},
    {51, "cmdBeforeScroll"},
    {52, "cmdAfterScroll"},
    {60, "cmdGetApplication"},
    {61, "cmdGetFrameSizes"},
};

const char* Lookup(const TName* table, size_t count, UINT value) {
  for (size_t i = 0; i < count; ++i)
    if (table[i].value == value) return table[i].name;
  return nullptr;
}

std::string Hex(unsigned long long v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "0x%llx", v);
  return buf;
}

// Messages nobody pins: Wine and the pump send them at moments of their own.
bool DefaultFilter(UINT m) {
  switch (m) {
    case WM_GETICON:
    case WM_TIMER:
    case WM_ENTERIDLE:
    case WM_IME_SETCONTEXT:
    case WM_IME_NOTIFY:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_DWMNCRENDERINGCHANGED:
    case WM_GETOBJECT:
    case WM_QUERYUISTATE:
      return false;
    default:
      return true;
  }
}

constexpr UINT_PTR kSubclassId = 0x4B565245;  // "KVRE"

std::string Describe(UINT message, WPARAM wp, LPARAM lp) {
  return MessageName(message, wp) + " wParam " + Hex(wp) + " lParam " +
         Hex(static_cast<unsigned long long>(static_cast<ULONG_PTR>(lp)));
}

}  // namespace

std::string MessageName(UINT message, WPARAM wParam) {
  if (message == kv::SM_ALPHACMD) {
    const UINT code = HIWORD(wParam);
    const char* name = Lookup(kCommands, std::size(kCommands), code);
    return "SM_ALPHACMD " + std::to_string(code) + (name ? std::string(" (") + name + ")" : "");
  }
  if (const char* name = Lookup(kMessages, std::size(kMessages), message)) return name;
  return Hex(message);
}

struct TMessageRecorder::TControlHook {
  TMessageRecorder* owner;
  kv::TControl* control;
  kv::TWindowProcHook hook;
  void Hook(kv::TMessage& m) {
    HWND wnd = nullptr;
    if (auto* win = dynamic_cast<kv::TWinControl*>(control); win && win->HandleAllocated())
      wnd = win->Handle();
    LRESULT result = 0;
    if (owner->Take(wnd, m.Msg, m.WParam, m.LParam, result)) {
      m.Result = result;
      return;
    }
    hook.CallPrevious(m);
  }
};

TMessageRecorder::TMessageRecorder() : Filter(DefaultFilter) {}

TMessageRecorder::~TMessageRecorder() { DetachAll(); }

void TMessageRecorder::AttachWindow(HWND wnd) {
  if (SetWindowSubclass(wnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
    windows_.push_back(wnd);
}

void TMessageRecorder::AttachControl(kv::TControl* control) {
  auto hook = std::make_unique<TControlHook>();
  hook->owner = this;
  hook->control = control;
  hook->hook = control->InstallWindowProcHook(kv::TWndMethod(hook.get(), &TControlHook::Hook));
  controls_.push_back(std::move(hook));
}

void TMessageRecorder::DetachAll() {
  for (HWND wnd : windows_)
    if (IsWindow(wnd)) RemoveWindowSubclass(wnd, SubclassProc, kSubclassId);
  windows_.clear();
  controls_.clear();  // each hook comes off, or has been let go by its freed control
}

int TMessageRecorder::Count(UINT message) const {
  return static_cast<int>(
      std::count_if(Messages.begin(), Messages.end(),
                    [&](const TRecordedMsg& m) { return m.message == message; }));
}

int TMessageRecorder::CountCommand(WORD code) const {
  return static_cast<int>(
      std::count_if(Messages.begin(), Messages.end(), [&](const TRecordedMsg& m) {
        return m.message == kv::SM_ALPHACMD && HIWORD(m.wParam) == code;
      }));
}

void TMessageRecorder::Answer(WORD code, LRESULT result) {
  answers_[code] = [result](WPARAM, LPARAM) { return result; };
}

void TMessageRecorder::Answer(WORD code, TAnswer answer) { answers_[code] = std::move(answer); }

bool TMessageRecorder::Take(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (!Filter || Filter(msg)) Messages.push_back({wnd, msg, wp, lp});
  if (msg != kv::SM_ALPHACMD) return false;
  auto it = answers_.find(HIWORD(wp));
  if (it == answers_.end()) return false;
  result = it->second(wp, lp);
  return true;
}

LRESULT CALLBACK TMessageRecorder::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                                DWORD_PTR data) {
  auto* self = reinterpret_cast<TMessageRecorder*>(data);
  LRESULT result = 0;
  if (self->Take(wnd, msg, wp, lp, result)) return result;
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(wnd, SubclassProc, kSubclassId);
    std::erase(self->windows_, wnd);
  }
  return DefSubclassProc(wnd, msg, wp, lp);
}

::testing::AssertionResult SequenceIs(const TMessageRecorder& recorder,
                                      const std::vector<TMsgEntry>& expected) {
  const auto& got = recorder.Messages;
  auto whole = [&] {
    std::string all;
    for (size_t i = 0; i < got.size(); ++i)
      all += "\n  " + std::to_string(i) + ": " +
             Describe(got[i].message, got[i].wParam, got[i].lParam);
    return all;
  };
  size_t g = 0;
  for (size_t e = 0; e < expected.size(); ++e) {
    const TMsgEntry& want = expected[e];
    const UINT wantMsg = want.message;
    const bool sameMsg = g < got.size() && got[g].message == wantMsg &&
                         (!(want.flags & cmd) || HIWORD(got[g].wParam) == want.wParam);
    if (!sameMsg) {
      if (want.flags & optional) continue;
      const std::string wantName = (want.flags & cmd)
                                       ? MessageName(kv::SM_ALPHACMD, MAKEWPARAM(0, want.wParam))
                                       : MessageName(want.message);
      const std::string gotName =
          g < got.size() ? MessageName(got[g].message, got[g].wParam) : "(end)";
      return ::testing::AssertionFailure()
             << "step " << e << ": expected " << wantName << " (" << Hex(wantMsg) << "), got "
             << gotName << " (" << (g < got.size() ? Hex(got[g].message) : "-")
             << "); recorded:" << whole();
    }
    const TRecordedMsg& m = got[g];
    if ((want.flags & wparam) && !(want.flags & cmd) && m.wParam != want.wParam)
      return ::testing::AssertionFailure()
             << "step " << e << ": " << MessageName(m.message) << " wParam expected "
             << Hex(want.wParam) << ", got " << Hex(m.wParam) << "; recorded:" << whole();
    if ((want.flags & lparam) && m.lParam != want.lParam)
      return ::testing::AssertionFailure()
             << "step " << e << ": " << MessageName(m.message, m.wParam) << " lParam expected "
             << Hex(static_cast<ULONG_PTR>(want.lParam)) << ", got "
             << Hex(static_cast<ULONG_PTR>(m.lParam)) << "; recorded:" << whole();
    ++g;
  }
  if (g < got.size())
    return ::testing::AssertionFailure()
           << "step " << expected.size() << ": expected (end), got "
           << Describe(got[g].message, got[g].wParam, got[g].lParam) << "; recorded:" << whole();
  return ::testing::AssertionSuccess();
}

}  // namespace kvtest
