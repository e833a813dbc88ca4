// Keys as the keyboard gives them, posted to a window's queue: the message
// loop's TranslateMessage makes the characters, so Alt+Space reaches the
// window as WM_SYSCHAR and the system turns it into SC_KEYMENU. A script
// posts its keys once a condition holds, polled on a thread timer, so that
// it also acts inside the system's modal loops (menus, moving, sizing).
// The condition names the keys when it holds; they go one a tick, since a
// timer ticks only when the queue is empty: the keyboard move loop turns an
// arrow into a cursor move and acts on that, which would otherwise come
// after keys posted together.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <vector>

namespace kvtest {

struct TKey {
  UINT Vk;
  bool Alt = false;  // held down with Alt: the system keys
};

inline void PostKey(HWND wnd, TKey key) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key.Vk, MAPVK_VK_TO_VSC)) << 16;
  const LPARAM down = 1 | scan | (key.Alt ? (1 << 29) : 0);
  const LPARAM up = down | (1u << 30) | (1u << 31);
  PostMessageW(wnd, key.Alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key.Vk, down);
  PostMessageW(wnd, key.Alt ? WM_SYSKEYUP : WM_KEYUP, key.Vk, up);
}

inline void PostAltSpace(HWND wnd) {
  const LPARAM alt = 1 | (static_cast<LPARAM>(MapVirtualKeyW(VK_MENU, MAPVK_VK_TO_VSC)) << 16);
  PostMessageW(wnd, WM_SYSKEYDOWN, VK_MENU, alt | (1 << 29));
  PostKey(wnd, {VK_SPACE, true});
  PostMessageW(wnd, WM_KEYUP, VK_MENU, alt | (1u << 30) | (1u << 31));
}

// True while the system moves or sizes a window of this thread by its loop.
inline bool InMoveSizeLoop() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMOVESIZE) != 0;
}

class TKeyScript {
 public:
  using TWhen = std::function<bool(std::vector<TKey>& keys)>;
  TKeyScript(HWND target, TWhen when) : target_(target), when_(std::move(when)) {
    timer_ = SetTimer(nullptr, 0, 20, OnTimer);
    Scripts()[timer_] = this;
  }
  ~TKeyScript() { Stop(); }
  TKeyScript(const TKeyScript&) = delete;
  TKeyScript& operator=(const TKeyScript&) = delete;
  bool Sent() const { return sent_; }

 private:
  static std::map<UINT_PTR, TKeyScript*>& Scripts() {
    static std::map<UINT_PTR, TKeyScript*> scripts;
    return scripts;
  }
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Scripts().find(id);
    if (it == Scripts().end()) return;
    TKeyScript* s = it->second;
    if (!s->ready_) {
      if (!s->when_(s->keys_)) return;
      s->ready_ = true;
    }
    if (s->next_ < s->keys_.size()) PostKey(s->target_, s->keys_[s->next_++]);
    if (s->next_ < s->keys_.size()) return;
    s->Stop();
    s->sent_ = true;
  }
  void Stop() {
    if (timer_ == 0) return;
    KillTimer(nullptr, timer_);
    Scripts().erase(timer_);
    timer_ = 0;
  }
  HWND target_;
  TWhen when_;
  std::vector<TKey> keys_;
  size_t next_ = 0;
  bool ready_ = false;
  UINT_PTR timer_ = 0;
  bool sent_ = false;
};

}  // namespace kvtest
