// What the window walks share: the main window as the login leaves it,
// connected to the device simulator, with its side bar and Skins menu; a
// Skins folder holding the shipped skins and two test skins as users bring
// them; and pictures of windows as the user sees them.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "../devicelink/SerialTestSupport.h"
#include "app/KV69_Frm_win.h"
#include "skin/core/acFormServices_win.h"
#include "support/Pixels.h"

namespace kv {

std::string ClassOf(HWND wnd);

// Where two pictures differ, for a failure's message.
std::string Difference(const kvtest::TPixels& a, const kvtest::TPixels& b);
inline bool SamePixels(const kvtest::TPixels& a, const kvtest::TPixels& b) {
  return !kvtest::ImagesDiffer(a, b);
}

// The window, or its frame's top band: the title bar and the menu line; the
// frame is drawn active.
kvtest::TPixels Shot(HWND wnd, bool whole);
// What the user sees of a window: nothing outside its region, and the
// date-time pickers, which show the clock, left out.
kvtest::TPixels Seen(HWND wnd);

class SkinWalkBase : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The main window as the login leaves it, connected to the simulator;
  // with a skin file, the program's skin is that one from the start, as
  // when the file is where the windows look for their skin.
  void Open(const std::string& startSkin = {});
  // Every side-bar frame, opened through its title.
  void OpenFrames();
  // The list commands and the about window: each opens a modal form.
  std::vector<std::pair<const char*, std::function<void()>>> SmallWindowCommands();
  // The item of the Skins menu, the last one of the caption, as a user
  // clicks it.
  void ChooseSkin(const std::string& caption);

  test::Simulator sim_;
  Owned<TFormKV69> form_;

 private:
  TacFormServices saved_{};
};

// A Skins folder of the shipped skins and two test skins as users bring them:
// a dark, textured one and a sparse one.
class TSkinFolder {
 public:
  TSkinFolder();
  ~TSkinFolder();
  TSkinFolder(const TSkinFolder&) = delete;
  TSkinFolder& operator=(const TSkinFolder&) = delete;
  bool Ready() const;
  const std::string& Path() const { return folder_; }

 private:
  std::string folder_;
};

}  // namespace kv
