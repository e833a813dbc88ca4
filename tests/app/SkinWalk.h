// What the window walks share: the main window as the login leaves it,
// connected to the device simulator, with its side bar and Skins menu; a
// Skins folder holding the shipped skins and two test skins as users bring
// them; and pictures of windows as the user sees them.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "../devicelink/SerialTestSupport.h"
#include "ProgramState.h"
#include "SkinsMenu.h"
#include "app/KV69_Frm_win.h"
#include "app/Message_Frm_win.h"
#include "app/Variable_Unt.h"
#include "base/SysUtils.h"
#include "classlib/WideText.h"
#include "skin/controls/sFrameBar_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "support/Pixels.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kv {

inline std::string ClassOf(HWND wnd) {
  wchar_t name[128] = {};
  GetClassNameW(wnd, name, 128);
  return Narrow(name);
}

// Where two pictures differ, for a failure's message.
inline std::string Difference(const kvtest::TPixels& a, const kvtest::TPixels& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return "sizes differ";
  int count = 0, left = a.Width(), top = a.Height(), right = -1, bottom = -1;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.At(x, y) != b.At(x, y)) {
        ++count;
        left = std::min(left, x), top = std::min(top, y);
        right = std::max(right, x), bottom = std::max(bottom, y);
      }
  return std::to_string(count) + " pixels in (" + std::to_string(left) + "," + std::to_string(top) +
         ")-(" + std::to_string(right) + "," + std::to_string(bottom) + ")";
}

inline bool SamePixels(const kvtest::TPixels& a, const kvtest::TPixels& b) {
  return !kvtest::ImagesDiffer(a, b);
}

// The window, or its frame's top band: the title bar and the menu line; the
// frame is drawn active.
inline kvtest::TPixels Shot(HWND wnd, bool whole) {
  SendMessageW(wnd, WM_NCACTIVATE, TRUE, 0);
  kvtest::TPixels all = kvtest::TPixels::FromWindow(wnd);
  if (whole) return all;
  RECT client{};
  GetClientRect(wnd, &client);
  MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  RECT frame{};
  GetWindowRect(wnd, &frame);
  return all.Crop({0, 0, all.Width(), client.top - frame.top});
}

// Collects the screen rectangles of the visible date-time pickers.
inline BOOL CALLBACK AddClockRect(HWND child, LPARAM lp) {
  const std::string cls = ClassOf(child);
  if ((cls == "TDateTimePicker" || cls == "SysDateTimePick32") && IsWindowVisible(child)) {
    RECT r{};
    GetWindowRect(child, &r);
    reinterpret_cast<std::vector<RECT>*>(lp)->push_back(r);
  }
  return TRUE;
}

// What the user sees of a window: nothing outside its region, and the
// date-time pickers, which show the clock, left out.
inline kvtest::TPixels Seen(HWND wnd) {
  kvtest::TPixels shot = Shot(wnd, true);
  RECT frame{};
  GetWindowRect(wnd, &frame);
  std::vector<RECT> hidden;
  EnumChildWindows(wnd, AddClockRect, reinterpret_cast<LPARAM>(&hidden));
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const bool shaped = GetWindowRgn(wnd, region) != ERROR;
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 0; x < shot.Width(); ++x) {
      bool out = shaped && !PtInRegion(region, x, y);
      for (const RECT& r : hidden)
        out = out || (x + frame.left >= r.left && x + frame.left < r.right &&
                      y + frame.top >= r.top && y + frame.top < r.bottom);
      if (out) shot.Set(x, y, 0);
    }
  DeleteObject(region);
  return shot;
}

class SkinWalkBase : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!sim_.Present()) GTEST_SKIP() << "needs scripts/serial-test";
    sim_.Command("reset");
    saved_ = FormServices();
    InstallFormServices();
  }
  void TearDown() override {
    if (FormMessage != nullptr) FormMessage->Free();
    form_.reset();
    ResetProgramState();
    FormServices() = saved_;
  }

  // The main window as the login leaves it, connected to the simulator;
  // with a skin file, the program's skin is that one from the start, as
  // when the file is where the windows look for their skin.
  void Open(const std::string& startSkin = {}) {
    sim_.Command("model KV41");
    ModelIndex = -1;
    ThRowsBuilt = false;
    LoginPassword = "9173";
    LoginComPort = sim_.Port();
    form_.reset(Create<TFormKV69>(nullptr));
    if (!startSkin.empty()) {
      form_->sknmngr->SetSkinDirectory(ExtractFilePath(startSkin));
      form_->sknmngr->SetSkinName(ChangeFileExt(ExtractFileName(startSkin), ""));
    }
    form_->Show();
    ASSERT_TRUE(form_->Connected());
    ASSERT_TRUE(pump::PumpUntil([&] { return ModelIndex >= 0; }, 10000)) << "no version reply";
    pump::PumpUntilIdle();
  }
  // Every side-bar frame, opened through its title.
  void OpenFrames() {
    TsFrameBar* bar = form_->FrameBar;
    for (int i = 0; i < bar->Items()->Count(); ++i) bar->TitleClick(bar->Items()->GetItem(i));
    pump::PumpUntilIdle();
  }
  // The list commands and the about window: each opens a modal form.
  std::vector<std::pair<const char*, std::function<void()>>> SmallWindowCommands() {
    return {
        {"relay", [this] { form_->Pop_Do_SettingClick(nullptr); }},
        {"channel", [this] { form_->Pop_Th_SettingClick(nullptr); }},
        {"phone", [this] { form_->Pop_Phone_SettingClick(nullptr); }},
        {"timer", [this] { form_->Pop_Timer_SettingClick(nullptr); }},
        {"about", [this] { form_->N_AboutClick(nullptr); }},
    };
  }
  void ChooseSkin(const std::string& caption) { ClickSkinsItem(*form_->N_Skins, caption); }

  test::Simulator sim_;
  Owned<TFormKV69> form_;

 private:
  TacFormServices saved_{};
};

// A Skins folder of the shipped skins and two test skins as users bring them:
// a dark, textured one and a sparse one.
class TSkinFolder {
 public:
  TSkinFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "kvwalk-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
    const std::string shipped =
        ExtractFilePath(Application->ExeName()) + "..\\..\\src\\app\\Skins\\";
    for (const char* name : {"Vista", "Ocean"})
      CopyFileA((shipped + name + ".asz").c_str(), (folder_ + name + ".asz").c_str(), FALSE);
    Write(folder_ + "Dark.asz", kvtest::TTestSkin(kvtest::DarkTexturedSkinOptions()).Packed());
    Write(folder_ + "Sparse.asz", kvtest::TTestSkin(kvtest::SparseSkinOptions()).Packed());
  }
  ~TSkinFolder() {
    for (const char* name : {"Vista", "Ocean", "Dark", "Sparse"})
      DeleteFileA((folder_ + name + ".asz").c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  TSkinFolder(const TSkinFolder&) = delete;
  TSkinFolder& operator=(const TSkinFolder&) = delete;
  bool Ready() const { return FileExists(folder_ + "Ocean.asz"); }
  const std::string& Path() const { return folder_; }

 private:
  static void Write(const std::string& path, const TacBytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  std::string folder_;
};

}  // namespace kv
