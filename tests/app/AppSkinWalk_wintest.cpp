// Every window and control of the configurator in its skin, reached the way a
// user reaches them (menu commands, buttons, list commands) against the device
// simulator: each one that should answer the skin command "is skinned" and
// does not is reported with its class and where it was found.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ModalForm.h"
#include "ProgramState.h"
#include "SkinWalk.h"
#include "app/BasicAnimate_Frm_win.h"
#include "app/FrameBar_Frms_win.h"
#include "app/KV69_Frm_win.h"
#include "app/Login_Frm_win.h"
#include "app/Message_Frm_win.h"
#include "app/Skins_Unt_win.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/Variable_Unt.h"
#include "base/Streams.h"
#include "base/SysUtils.h"
#include "classlib/ExtCtrls.h"
#include "classlib/WideText.h"
#include "skin/adapters/acMainWndTables.h"
#include "skin/controls/sFrameBar_win.h"
#include "skin/controls/sGauge_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "support/Counters.h"
#include "support/ModalProbe.h"
#include "support/Pixels.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kv {
namespace {

using kvtest::TModalProbe;
using kvtest::TPixels;
using pump::PumpUntil;
using pump::PumpUntilIdle;

// The toolkit leaves a window with this tag alone on purpose. The
// configurator tags none of its own; the toolkit's helper windows (glow,
// extended borders) carry it and are never children of a walked window.
constexpr intptr_t kNeverSkinTag = -98;

// Whether the toolkit's own rules give the window a skin: a toolkit control,
// a form (its provider, or the one the dialog hook gives it), a standard
// control the manager's class lists adapt, a system dialog and the children
// the dialog adapter wraps.
bool ShouldAnswer(HWND wnd, std::string& name) {
  const std::string cls = ClassOf(wnd);
  if (TWinControl* control = TWinControl::FromHandle(wnd)) {
    name = control->Name();
    if (control->Tag() == kNeverSkinTag) return false;
    if (cls.rfind("Ts", 0) == 0 || dynamic_cast<TCustomForm*>(control) != nullptr) return true;
    if (DefaultManager == nullptr) return false;
    return AdapterOfControlKind(ControlKindOfClass(DefaultManager->ThirdParty, cls)) !=
           TacAdapterKind::None;
  }
  if (cls == "#32770") return true;
  HWND parent = GetParent(wnd);
  if (parent == nullptr || ClassOf(parent) != "#32770") return false;
  return DialogChildAdapter(cls, static_cast<std::uint32_t>(GetWindowLongW(wnd, GWL_STYLE)), true)
             .Kind != TacAdapterKind::None;
}

// Labels have no skin data of their own: they take the skin's font colour
// from the default manager and their parent's section, and never answer.
bool IsLabel(const std::string& cls) {
  return cls == "TsLabel" || cls == "TsWebLabel" || cls == "TsEditLabel";
}

// The walk's findings: every visible window under a top-level one.
struct TWalk {
  std::vector<std::string> unskinned;
  int checked = 0;

  void Window(HWND top, const std::string& place) {
    Visit(top, place);
    std::pair<TWalk*, const std::string*> args{this, &place};
    EnumChildWindows(top, Child, reinterpret_cast<LPARAM>(&args));
  }
  static BOOL CALLBACK Child(HWND wnd, LPARAM lp) {
    auto* a = reinterpret_cast<std::pair<TWalk*, const std::string*>*>(lp);
    if (IsWindowVisible(wnd)) a->first->Visit(wnd, *a->second);
    return TRUE;
  }
  void Visit(HWND wnd, const std::string& place) {
    // Toolkit controls without a window of their own answer through their
    // parent's.
    if (TWinControl* parent = TWinControl::FromHandle(wnd))
      for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (dynamic_cast<TWinControl*>(c) != nullptr || !c->Visible()) continue;
        if (c->ClassName().rfind("Ts", 0) != 0 || IsLabel(c->ClassName())) continue;
        if (c->Tag() == kNeverSkinTag) continue;
        ++checked;
        if (QueryControlCommand(c, cmdIsSkinned) != 1)
          unskinned.push_back(place + ": " + c->ClassName() + " " + c->Name());
      }
    std::string name;
    if (!ShouldAnswer(wnd, name)) return;
    ++checked;
    if (WindowAnswersCommand(wnd, cmdIsSkinned)) return;
    unskinned.push_back(place + ": " + ClassOf(wnd) + (name.empty() ? "" : " " + name));
  }
  std::string Report() const {
    std::string text;
    for (const std::string& line : unskinned) text += "\n  " + line;
    return text;
  }
};

class SkinWalk : public SkinWalkBase {
 protected:
  // Walks each page of the main window, showing it as the side bar does.
  void WalkPages(TWalk& walk) {
    TsPageControl* pages = form_->PageControl;
    for (int p = 0; p < pages->PageCount(); ++p) {
      form_->SelectPages(p, -1, -1);
      PumpUntilIdle();
      walk.Window(form_->Handle(), "main window, page " + std::to_string(p));
    }
    for (int p = 0; p < form_->PageControlMain->PageCount(); ++p) {
      form_->SelectPages(1, p, -1);
      PumpUntilIdle();
      walk.Window(form_->Handle(), "main window, settings page " + std::to_string(p));
    }
    for (int p = 0; p < form_->PageControl_DIDOTH->PageCount(); ++p) {
      form_->SelectPages(1, 1, p);
      PumpUntilIdle();
      walk.Window(form_->Handle(), "main window, inputs page " + std::to_string(p));
    }
  }

  void SwitchSkins(bool wholeWindows);
};

TEST_F(SkinWalk, LoginWindowIsSkinnedThroughout) {
  FormLogin = Create<TFormLogin>(Application);
  FormLogin->Show();
  PumpUntilIdle();
  TWalk walk;
  walk.Window(FormLogin->Handle(), "login window");
  FormLogin->Free();
  FormLogin = nullptr;
  EXPECT_GT(walk.checked, 3);
  EXPECT_TRUE(walk.unskinned.empty()) << walk.Report();
}

TEST_F(SkinWalk, MainWindowEveryPageAndSideBarFrameAreSkinned) {
  ASSERT_NO_FATAL_FAILURE(Open());
  OpenFrames();
  TWalk walk;
  WalkPages(walk);
  EXPECT_GT(walk.checked, 50);
  EXPECT_TRUE(walk.unskinned.empty()) << walk.Report();
}

// The list commands and the about window: each opens a modal form.
TEST_F(SkinWalk, SmallWindowsAreSkinned) {
  ASSERT_NO_FATAL_FAILURE(Open());
  TWalk walk;
  for (const auto& [place, open] : SmallWindowCommands()) {
    SCOPED_TRACE(place);
    if (std::string(place) != "about") {
      // A list command acts on the chosen row.
      TsListView* lists[] = {form_->lvDo, form_->lvTh, form_->lvTel, form_->lvTimer};
      for (TsListView* list : lists)
        if (list->Items()->Count() > 0) list->Items()->Item(0)->SetSelected(true);
    }
    EXPECT_TRUE(TModalForm::Run(open, [&](TCustomForm& f) { walk.Window(f.Handle(), place); }))
        << "no window opened";
  }
  ShowMessageForm("Successfully!", "");
  ASSERT_NE(nullptr, FormMessage);
  PumpUntilIdle();
  walk.Window(FormMessage->Handle(), "message");
  FormMessage->sbtbtn_Ok->Click();
  EXPECT_GT(walk.checked, 10);
  EXPECT_TRUE(walk.unskinned.empty()) << walk.Report();
}

// Walks the progress window once it shows and notes whether its gauge has
// found its skin section.
struct TProgressLook {
  static inline TFormKV69* form = nullptr;
  static inline TWalk* walk = nullptr;
  static inline bool seen = false, gaugeSkinned = false;
  static void Reset(TFormKV69* f, TWalk* w) {
    form = f;
    walk = w;
    seen = gaugeSkinned = false;
  }
  static void CALLBACK Poll(HWND, UINT, UINT_PTR id, DWORD) {
    TFormBasicAnimate* progress = form->FormBasicAnimate;
    if (progress == nullptr || !progress->Visible()) return;
    KillTimer(nullptr, id);
    seen = true;
    walk->Window(progress->Handle(), "progress");
    TsCommonData* sd = SkinDataOf(progress->sg);
    gaugeSkinned = sd != nullptr && sd->SkinIndex >= 0;
  }
};

// Read Setting: the progress window and its gauge in the skin while the read
// runs.
TEST_F(SkinWalk, ReadSettingShowsTheSkinnedProgressWindowAndGauge) {
  ASSERT_NO_FATAL_FAILURE(Open());
  TWalk walk;
  TProgressLook::Reset(form_.get(), &walk);
  // The read runs its own loop: a thread timer looks in while it does.
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, TProgressLook::Poll);
  form_->Pop_ReadMaster_SetingClick(nullptr);
  PumpUntil([&] { return TProgressLook::seen && form_->PendingTag() == 0; }, 10000);
  KillTimer(nullptr, timer);
  ASSERT_TRUE(TProgressLook::seen) << "no progress window";
  EXPECT_TRUE(TProgressLook::gaugeSkinned) << "the gauge paints from its skin section";
  EXPECT_TRUE(walk.unskinned.empty()) << walk.Report();
}

// Watches the progress window's gauge while a read runs: the glow positions
// it passes through and how many timers run while the window shows.
struct TGlowWatch {
  static inline TFormKV69* form = nullptr;
  static inline std::vector<int> positions;
  static inline int timersShown = 0;
  static void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
    TFormBasicAnimate* progress = form->FormBasicAnimate;
    if (progress == nullptr || !progress->Visible()) return;
    timersShown = TTimer::ActiveCount();
    const int at = progress->sg->GlowPosition();
    if (positions.empty() || positions.back() != at) positions.push_back(at);
  }
};

// Read Setting against the device: the progress window's gauge glows on its
// own while the read runs, and its timer goes with the window.
TEST_F(SkinWalk, ReadSettingsProgressGaugeGlowsUntilTheWindowGoes) {
  ASSERT_NO_FATAL_FAILURE(Open());
  TGlowWatch::form = form_.get();
  TGlowWatch::positions.clear();
  const int timersBefore = TTimer::ActiveCount();
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, TGlowWatch::Poll);
  form_->Pop_ReadMaster_SetingClick(nullptr);
  PumpUntil([&] { return form_->FormBasicAnimate == nullptr && form_->PendingTag() == 0; }, 10000);
  KillTimer(nullptr, timer);
  ASSERT_EQ(nullptr, form_->FormBasicAnimate) << "the progress window stays";
  ASSERT_FALSE(TGlowWatch::positions.empty()) << "no progress window seen";
  EXPECT_GE(TGlowWatch::positions.size(), 3u)
      << "the glow did not move; last at " << TGlowWatch::positions.back();
  EXPECT_GT(TGlowWatch::timersShown, timersBefore) << "no glow timer while it showed";
  EXPECT_EQ(TTimer::ActiveCount(), timersBefore) << "a timer outlived the window";
}

// A message box and the INI and CSV file dialogs, through the dialog hook.
TEST_F(SkinWalk, MessageBoxAndFileDialogsAreSkinned) {
  ASSERT_NO_FATAL_FAILURE(Open());
  TWalk walk;
  const auto probe = [&](const char* place, const std::function<void()>& open, int answer) {
    SCOPED_TRACE(place);
    TModalProbe probe(kvtest::kDialogClass, [&](HWND dialog) {
      PumpUntilIdle();
      walk.Window(dialog, place);
      if (answer != IDCANCEL) PostMessageW(dialog, WM_COMMAND, answer, 0);
    });
    open();
    EXPECT_TRUE(probe.Found());
    EXPECT_FALSE(probe.TimedOut());
  };
  probe(
      "message box", [&] { form_->Pop_RESETClick(nullptr); }, IDNO);
  probe(
      "INI file dialog", [&] { form_->N_OpenClick(nullptr); }, IDCANCEL);
  probe(
      "CSV file dialog", [&] { form_->btn_Hist_Open_CSVClick(nullptr); }, IDCANCEL);
  EXPECT_GT(walk.checked, 6);
  EXPECT_TRUE(walk.unskinned.empty()) << walk.Report();
}

// Skins A, B, A (Vista, Ocean, Vista) from the Skins menu, with every side-bar
// frame open, a relay dialog up and its list menu just closed: each window
// shows B and comes back to A; the manager off gives each its plain look and
// on again the skin; 20 switches leave the object counters where they were.
// `wholeWindows` false compares the frames only (title bar and menu line).
void SkinWalk::SwitchSkins(bool wholeWindows) {
  const std::string skins = ExtractFilePath(Application->ExeName()) + "..\\..\\src\\app\\Skins\\";
  if (!FileExists(skins + "Ocean.asz")) GTEST_SKIP() << "the build packs no second skin";
  ASSERT_NO_FATAL_FAILURE(Open());
  Create<TSoftSkins>(form_.get(), form_->sknmngr, form_->N_Skins, skins);
  OpenFrames();
  ChooseSkin("Vista");
  {
    // The relay list's own menu, opened and closed as a user would.
    TModalProbe menu(kvtest::kMenuClass, [](HWND) {});
    form_->lvDo->PopupMenu()->Popup(10, 10);
    EXPECT_TRUE(menu.Found());
  }
  form_->lvDo->Items()->Item(0)->SetSelected(true);
  const bool opened =
      TModalForm::Run([&] { form_->Pop_Do_SettingClick(nullptr); },
                      [&](TCustomForm& dialog) {
                        const std::vector<std::pair<const char*, HWND>> windows = {
                            {"main window", form_->Handle()}, {"relay dialog", dialog.Handle()}};
                        std::vector<TPixels> a;
                        for (const auto& w : windows) a.push_back(Shot(w.second, wholeWindows));
                        const auto expectAll = [&](bool same, const char* when) {
                          for (std::size_t i = 0; i < windows.size(); ++i) {
                            const TPixels now = Shot(windows[i].second, wholeWindows);
                            EXPECT_EQ(same, SamePixels(a[i], now))
                                << windows[i].first << " " << when << ": " << Difference(a[i], now)
                                << " " << a[i].Dump(std::to_string(i) + "-A") << " "
                                << now.Dump(std::to_string(i) + "-" + when);
                          }
                        };
                        ChooseSkin("Ocean");
                        expectAll(false, "in B");
                        ChooseSkin("Vista");
                        expectAll(true, "back in A");
                        form_->sknmngr->SetActive(false);
                        PumpUntilIdle();
                        expectAll(false, "plain");
                        form_->sknmngr->SetActive(true);
                        PumpUntilIdle();
                        expectAll(true, "skinned again");
                        const kvtest::TObjectBaseline baseline;
                        for (int i = 0; i < 20; ++i) ChooseSkin(i % 2 == 0 ? "Ocean" : "Vista");
                        EXPECT_TRUE(baseline.Unchanged());
                      });
  EXPECT_TRUE(opened) << "no relay dialog";
}

TEST_F(SkinWalk, SkinSwitchesOffAndOnRepaintEveryFrame) { SwitchSkins(false); }

// The client areas as well: labels over their parent's picture, edits and
// date pickers painted once their parent has painted.
TEST_F(SkinWalk, SkinSwitchesOffAndOnRepaintEveryWindowWhole) { SwitchSkins(true); }

// --- skins made elsewhere --------------------------------------------------------------

// What a user sees wrong in a window's picture: a black client area, the
// skins' transparent magenta, a form that should show its texture showing
// anything else (a tile of the master bitmap, a plain colour), or an edit
// whose text colour is too close to its background to read.
struct TLookFindings {
  static constexpr int kCornerReach = 32;
  std::vector<std::string> faults;

  void Window(HWND wnd, const std::string& place, bool textured) {
    const TPixels shot = TPixels::FromWindow(wnd);
    RECT frame{}, client{};
    GetWindowRect(wnd, &frame);
    GetClientRect(wnd, &client);
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    const int cx = origin.x - frame.left, cy = origin.y - frame.top;
    const RECT inside{cx, cy, cx + client.right, cy + client.bottom};
    const int magenta = shot.CountOf(RGB(255, 0, 255), shot.Whole());
    if (magenta > 0) Add(place, std::to_string(magenta) + " magenta pixels");
    const int area = std::max<int>(1, client.right * client.bottom);
    const int black = shot.CountOf(RGB(0, 0, 0), inside);
    // Text and lines are black in some skins; a black background is most.
    if (black * 4 > area) Add(place, std::to_string(black * 100 / area) + "% of the client black");
    if (textured) Texture(wnd, shot, cx, cy, client, place);
    if (TWinControl* top = TWinControl::FromHandle(wnd)) Readable(top, place);
  }
  // Where the form itself shows (no child window, no windowless child), the
  // checkerboard's two colours only.
  void Texture(HWND wnd, const TPixels& shot, int cx, int cy, const RECT& client,
               const std::string& place) {
    auto* form = dynamic_cast<TWinControl*>(TWinControl::FromHandle(wnd));
    int wrong = 0, seen = 0;
    COLORREF first = 0;
    POINT firstAt{};
    // The border mask's margins may be wider than the skin's border.
    constexpr int edge = kvtest::TTestSkin::kMargin + 1;
    for (int y = edge; y < client.bottom - edge; y += 7)
      for (int x = edge; x < client.right - edge; x += 7) {
        // The frame's corner images may reach into the client area.
        const bool corner = (x < kCornerReach || x >= client.right - kCornerReach) &&
                            (y < kCornerReach || y >= client.bottom - kCornerReach);
        if (corner || ChildWindowFromPointEx(wnd, POINT{x, y}, CWP_SKIPINVISIBLE) != wnd) continue;
        bool covered = false;
        for (int i = 0; form != nullptr && i < form->ControlCount() && !covered; ++i) {
          TControl* c = form->Controls(i);
          covered = c->Visible() && dynamic_cast<TWinControl*>(c) == nullptr &&
                    x >= c->Left() - 2 && x < c->Left() + c->Width() + 2 && y >= c->Top() - 2 &&
                    y < c->Top() + c->Height() + 2;
        }
        if (covered) continue;
        ++seen;
        const COLORREF c = shot.At(cx + x, cy + y);
        if (c == kvtest::TTestSkin::kCheckerA || c == kvtest::TTestSkin::kCheckerB) continue;
        if (wrong++ == 0) first = c, firstAt = {x, y};
      }
    if (wrong > 0) {
      char text[128];
      std::snprintf(text, sizeof text,
                    "%d of %d background points not the texture (0x%06lX at %ld,%ld)", wrong, seen,
                    first, firstAt.x, firstAt.y);
      static const kvtest::TTestSkin dark(kvtest::DarkTexturedSkinOptions());
      const kvtest::TSkinItem* item = dark.Legend(first);
      Add(place, text + (item ? " " + item->Section + "." + item->Key : std::string()));
    }
  }
  void Readable(TWinControl* parent, const std::string& place) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
      auto* child = dynamic_cast<TWinControl*>(parent->Controls(i));
      if (child == nullptr || !child->Visible()) continue;
      const TsCommonData* sd = SkinDataOf(child);
      if (sd != nullptr && sd->Has(ccEditLike) && child->Enabled() &&
          Contrast(child->Color(), child->Font()->Color()) < 96)
        Add(place, child->ClassName() + " " + child->Name() + ": text colour on its background");
      Readable(child, place);
    }
  }
  static int Luma(TColor c) {
    const COLORREF rgb = static_cast<COLORREF>(ColorToRGB(c));
    return (GetRValue(rgb) * 299 + GetGValue(rgb) * 587 + GetBValue(rgb) * 114) / 1000;
  }
  static int Contrast(TColor a, TColor b) { return std::abs(Luma(a) - Luma(b)); }
  void Add(const std::string& place, const std::string& what) {
    faults.push_back(place + ": " + what);
  }
  std::string Report() const {
    std::string text;
    for (const std::string& f : faults) text += "\n  " + f;
    return text;
  }
};

class SkinWalkInSkins : public SkinWalk, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    SkinWalk::SetUp();
    if (IsSkipped()) return;
    if (!folder_.Ready()) GTEST_SKIP() << "the build packs no second skin";
  }
  bool Textured() const { return std::string(GetParam()) == "Dark"; }
  // Every window a user opens from the main window, pictured and checked.
  void WalkWindows(TLookFindings& look, const std::string& language) {
    const bool textured = Textured();
    const std::string in = std::string(GetParam()) + ", " + language + ", ";
    for (int p = 0; p < form_->PageControl->PageCount(); ++p) {
      form_->SelectPages(p, -1, -1);
      PumpUntilIdle();
      look.Window(form_->Handle(), in + "main window, page " + std::to_string(p), false);
    }
    for (TsListView* list : {form_->lvDo, form_->lvTh, form_->lvTel, form_->lvTimer})
      if (list->Items()->Count() > 0) list->Items()->Item(0)->SetSelected(true);
    for (const auto& [place, open] : SmallWindowCommands())
      EXPECT_TRUE(TModalForm::Run(open, [&](TCustomForm& f) {
        look.Window(f.Handle(), in + place, textured);
      })) << place;
    ShowMessageForm("Successfully!", "");
    ASSERT_NE(nullptr, FormMessage);
    PumpUntilIdle();
    look.Window(FormMessage->Handle(), in + "message", textured);
    FormMessage->sbtbtn_Ok->Click();
  }

  TSkinFolder folder_;
};

// Started in each skin, in English and in Chinese, every window shows its
// skin: no black client area, no magenta, the texture where the form shows
// and edits that can be read.
TEST_P(SkinWalkInSkins, EveryWindowPaintsRight) {
  ASSERT_NO_FATAL_FAILURE(Open(folder_.Path() + GetParam() + ".asz"));
  OpenFrames();
  TLookFindings look;
  form_->N_ENClick(nullptr);
  PumpUntilIdle();
  WalkWindows(look, "English");
  form_->N_CNClick(nullptr);
  PumpUntilIdle();
  WalkWindows(look, "Chinese");
  EXPECT_TRUE(look.faults.empty()) << look.Report();
}

INSTANTIATE_TEST_SUITE_P(StartedIn, SkinWalkInSkins,
                         ::testing::Values("Vista", "Ocean", "Dark", "Sparse"),
                         [](const auto& info) { return std::string(info.param); });

// The main window with every side-bar frame open and the relay dialog over
// it.
std::vector<TPixels> Pictures(TFormKV69& form, TCustomForm& dialog) {
  return {Seen(form.Handle()), Seen(dialog.Handle())};
}

// Switching from the Skins menu from the shipped skin to another and back,
// the dark and the sparse one among them, each window shows again the pixels
// it showed in the shipped skin.
TEST_F(SkinWalk, SwitchingToAWildSkinAndBackShowsTheSamePixels) {
  TSkinFolder folder;
  if (!folder.Ready()) GTEST_SKIP() << "the build packs no second skin";
  ASSERT_NO_FATAL_FAILURE(Open());
  Create<TSoftSkins>(form_.get(), form_->sknmngr, form_->N_Skins, folder.Path());
  OpenFrames();
  ChooseSkin("Vista");
  form_->lvDo->Items()->Item(0)->SetSelected(true);
  const bool opened = TModalForm::Run(
      [&] { form_->Pop_Do_SettingClick(nullptr); },
      [&](TCustomForm& dialog) {
        const std::vector<TPixels> start = Pictures(*form_, dialog);
        const char* names[] = {"main window", "relay dialog"};
        for (const char* skin : {"Dark", "Ocean", "Sparse"}) {
          ChooseSkin(skin);
          ChooseSkin("Vista");
          const std::vector<TPixels> back = Pictures(*form_, dialog);
          for (std::size_t i = 0; i < back.size(); ++i)
            EXPECT_TRUE(SamePixels(back[i], start[i]))
                << names[i] << " back from " << skin << ": " << Difference(back[i], start[i]) << " "
                << back[i].Dump(std::string(skin) + "-" + std::to_string(i) + "-back") << " "
                << start[i].Dump(std::to_string(i) + "-start");
        }
      });
  EXPECT_TRUE(opened) << "no relay dialog";
}

}  // namespace
}  // namespace kv
