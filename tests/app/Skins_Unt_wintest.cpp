// The configurator's windows in their skin: the managers and providers of the
// login window, the main window and the side-bar frames, the default role
// passing from the login window to the main window, and the Skins menu
// switching skins (a second skin written next to the test's own Vista.asz;
// the program's Skins\Ocean.asz when the build put one there).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "SkinsMenu.h"
#include "ViewOnlyWindow.h"
#include "app/ConstLang_Unt.h"
#include "app/FrameBar_Frms_win.h"
#include "app/KV69_Frm_win.h"
#include "app/Login_Frm_win.h"
#include "app/Message_Frm_win.h"
#include "app/Skins_Unt_win.h"
#include "app/Variable_Unt.h"
#include "base/Streams.h"
#include "base/SysUtils.h"
#include "classlib/ExtCtrls.h"
#include "classlib/WideText.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sFade_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/forms/sTitleButtons_win.h"
#include "support/ChildWindows.h"
#include "support/Counters.h"
#include "support/MessageLog.h"
#include "support/Pixels.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kv {
namespace {

using kvtest::TPixels;
using pump::PumpUntil;
using pump::PumpUntilIdle;

// Sent to the application window: the default manager's hook repaints every form.
constexpr UINT kRepaintAllForms = 0xB000;

std::string AsText(const TacBytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The second skin: the one the build packs next to the program, else a
// synthetic one, which looks nothing like ours.
std::string SecondSkin() {
  const std::string shipped =
      ExtractFilePath(Application->ExeName()) + "..\\..\\src\\app\\Skins\\Ocean.asz";
  if (FileExists(shipped)) return ReadFileBytes(shipped);
  return AsText(kvtest::TTestSkin().Packed());
}

// A form's provider, as the toolkit asks for it.
TacFormProvider* ProviderOf(TCustomForm* form) {
  return reinterpret_cast<TacFormProvider*>(SendCommandToWindow(form->Handle(), cmdGetProvider, 0));
}

bool SamePixels(const TPixels& a, const TPixels& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.At(x, y) != b.At(x, y)) return false;
  return true;
}

// Fades, control animations and title-button glows: timers that run only
// while something changes on screen.
bool IsAnimation(const TTimer* timer) {
  return dynamic_cast<const TsFadeTimer*>(timer) != nullptr ||
         dynamic_cast<const TsAnimTimer*>(timer) != nullptr ||
         dynamic_cast<const TacSBAnimation*>(timer) != nullptr;
}

// The running timers among the components under root that are not animations.
void CountSteadyTimers(TComponent* root, std::set<TComponent*>& seen, int& count) {
  if (root == nullptr || !seen.insert(root).second) return;
  const auto* timer = dynamic_cast<const TTimer*>(root);
  if (timer != nullptr && timer->Enabled() && timer->Interval() > 0 && !IsAnimation(timer)) ++count;
  for (int i = 0; i < root->ComponentCount(); ++i)
    CountSteadyTimers(root->Components(i), seen, count);
}

// The program at rest, as a user would leave it: nothing posted, sent or
// waiting to be painted, and every timer running is one of the windows'
// steady ones (no fade, glow or animation in flight, nor a timer owned by
// nothing). The application gives back the device contexts its controls'
// canvases hold whenever its queue runs empty; so does this.
bool AtRest(TComponent* window) {
  Application->ProcessMessages();
  if (HIWORD(GetQueueStatus(QS_ALLINPUT & ~QS_TIMER)) != 0) return false;
  std::set<TComponent*> seen;
  int steady = 0;
  CountSteadyTimers(Application, seen, steady);
  CountSteadyTimers(window, seen, steady);
  if (TTimer::ActiveCount() != steady) return false;
  TControlCanvas::FreeDeviceContexts();
  return true;
}

// A folder of skin files, gone with the object.
class TSkinFolder {
 public:
  TSkinFolder()
      : path_(GetTempFolder() + "kv_skins_" + std::to_string(GetCurrentProcessId()) + PathDelim()) {
    ForceDirectories(path_);
  }
  ~TSkinFolder() {
    for (const std::string& file : files_) DeleteFileUtf8(file);
    RemoveDir(path_ + "sub");
    RemoveDir(path_);
  }
  void Write(const std::string& name, const std::string& bytes) {
    if (name.find('\\') != std::string::npos) ForceDirectories(path_ + "sub");
    WriteFileBytes(path_ + name, bytes);
    files_.push_back(path_ + name);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::vector<std::string> files_;
};

// The toolkit's real services, as the program installs them at its start.
class SkinnedWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormServices();
    InstallFormServices();
    ASSERT_FALSE(ResourceBytes(DefaultSkinResource).empty()) << "the test carries the default skin";
    folder_.Write("Vista.asz", AsText(ResourceBytes(DefaultSkinResource)));
    folder_.Write("Ocean.asz", SecondSkin());
  }
  void TearDown() override {
    if (FormMessage != nullptr) FormMessage->Free();
    main_.reset();
    LoginPassword.clear();
    EXPECT_EQ(nullptr, DefaultManager) << "a manager outlived its window";
    FormServices() = saved_;
  }

  void OpenMainWindow() {
    main_.reset(test::OpenViewOnlyMainWindow());
    skins_ = Create<TSoftSkins>(main_.get(), main_->sknmngr, main_->N_Skins, folder_.Path());
    main_->SelectPages(1, 0, -1);
    PumpUntilIdle();
  }
  // Chooses a skin of the test's folder in the window's Skins menu.
  void Choose(const std::string& caption) { ClickSkinsItem(*main_->N_Skins, caption); }
  // The title bar and the menu line.
  TPixels Frame() { return FrameBand(40); }
  TPixels Title() { return FrameBand(20); }
  TPixels FrameBand(int height) {
    // Test programs side by side on one desktop take the activation from
    // each other: the frame is told it is active, as it is when used.
    SendMessageW(main_->Handle(), WM_NCACTIVATE, TRUE, 0);
    TPixels whole = TPixels::FromWindow(main_->Handle());
    return whole.Crop({0, 0, whole.Width(), height});
  }
  // Skinned controls: the two rows of tabs over the basic settings page, the
  // chosen ones in the skin's accent (a second skin of ours may differ in
  // its accents only).
  TPixels Control() {
    TPixels pages = TPixels::FromClient(main_->PageControl->Handle());
    return pages.Crop({0, 0, pages.Width(), 2 * 24});
  }

  TSkinFolder folder_;
  Owned<TFormKV69> main_;
  TSoftSkins* skins_ = nullptr;

 private:
  TacFormServices saved_{};
};

TEST_F(SkinnedWindows, MainWindowIsSkinnedFromItsFirstFrame) {
  OpenMainWindow();
  TsSkinManager* manager = main_->sknmngr;
  ASSERT_NE(nullptr, manager);
  EXPECT_EQ("sknmngr", manager->Name());
  EXPECT_EQ(WindowSkinDirectory, manager->SkinDirectory());
  EXPECT_EQ(StoredSkinName, manager->SkinName()) << "no skin folder: the stored copy";
  EXPECT_TRUE(manager->IsDefault());
  EXPECT_TRUE(manager->CommonSkinData().Active);
  TacFormProvider* provider = ProviderOf(main_.get());
  ASSERT_NE(nullptr, provider);
  EXPECT_EQ(manager, provider->SkinManager());
  EXPECT_EQ(0, GetWindowLongW(main_->Handle(), GWL_STYLE) & WS_SYSMENU)
      << "the skin's title buttons replace the system's";
  EXPECT_GT(provider->TitleBarHeight(true), 0);
  EXPECT_NE(nullptr, provider->MenuLineBmp()) << "the menu line is painted from the skin";
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(ERROR, GetWindowRgn(main_->Handle(), region)) << "the frame's shape is cut";
  DeleteObject(region);
}

TEST_F(SkinnedWindows, ManagerOffGivesThePlainLookAndOnRestoresTheSkin) {
  OpenMainWindow();
  // Read before anything was switched: the window as it first showed.
  const TPixels skinnedTitle = Title(), skinnedBar = Control();
  main_->sknmngr->SetActive(false);
  PumpUntilIdle();
  EXPECT_FALSE(SamePixels(skinnedTitle, Title()));
  EXPECT_FALSE(SamePixels(skinnedBar, Control()));
  EXPECT_NE(0, GetWindowLongW(main_->Handle(), GWL_STYLE) & WS_SYSMENU);
  main_->sknmngr->SetActive(true);
  PumpUntilIdle();
  EXPECT_EQ(0, GetWindowLongW(main_->Handle(), GWL_STYLE) & WS_SYSMENU);
  EXPECT_TRUE(SamePixels(skinnedTitle, Title())) << Title().Dump("title-on-again");
  EXPECT_TRUE(SamePixels(skinnedBar, Control())) << Control().Dump("bar-on-again");
}

TEST_F(SkinnedWindows, SkinsMenuSwitchesFrameAndControlsAndBack) {
  OpenMainWindow();
  Choose("Vista");
  EXPECT_EQ(folder_.Path(), main_->sknmngr->SkinDirectory());
  EXPECT_EQ("Vista", main_->sknmngr->SkinName());
  const TPixels frameA = Frame(), barA = Control();
  Choose("Ocean");
  EXPECT_EQ("Ocean", main_->sknmngr->SkinName());
  EXPECT_FALSE(SamePixels(frameA, Frame())) << "the frame shows the new skin";
  EXPECT_FALSE(SamePixels(barA, Control())) << "the controls show the new skin";
  Choose("Vista");
  EXPECT_TRUE(SamePixels(frameA, Frame())) << Frame().Dump("frame-back");
  EXPECT_TRUE(SamePixels(barA, Control())) << Control().Dump("bar-back");
}

TEST_F(SkinnedWindows, SideBarFramesFollowTheMainWindowsSkinAndNeverTakeTheDefault) {
  OpenMainWindow();
  Choose("Ocean");
  TsFrameBar* bar = main_->FrameBar;
  const auto expectFollows = [this](TSideBarFrame* frame) {
    ASSERT_NE(nullptr, frame);
    SCOPED_TRACE(frame->Name());
    EXPECT_EQ(bsNone, frame->Form->BorderStyle());
    EXPECT_EQ(frame, frame->Form->Parent());
    EXPECT_FALSE(frame->sknmngr->IsDefault());
    ASSERT_NE(nullptr, ProviderOf(frame->Form));
    EXPECT_EQ(frame->sknmngr, ProviderOf(frame->Form)->SkinManager());
    EXPECT_EQ(main_->sknmngr->SkinName(), frame->sknmngr->SkinName());
    EXPECT_EQ(main_->sknmngr->SkinDirectory(), frame->sknmngr->SkinDirectory());
    EXPECT_TRUE(frame->sknmngr->CommonSkinData().Active);
  };
  // Each frame made under the chosen skin takes it; an open one follows a
  // switch.
  TSideBarFrame* frame = nullptr;
  for (int i = 0; i < bar->Items()->Count(); ++i) {
    bar->TitleClick(bar->Items()->GetItem(i));
    frame = dynamic_cast<TSideBarFrame*>(bar->Items()->GetItem(i)->Frame());
    expectFollows(frame);
  }
  Choose("Vista");
  expectFollows(frame);
  // The window's manager off and on again: the frames go plain and come back.
  main_->sknmngr->SetActive(false);
  PumpUntilIdle();
  for (int i = 0; i < bar->Items()->Count(); ++i) {
    auto* plain = dynamic_cast<TSideBarFrame*>(bar->Items()->GetItem(i)->Frame());
    if (plain == nullptr) continue;
    EXPECT_FALSE(plain->sknmngr->Active()) << plain->Name();
    EXPECT_FALSE(plain->sknmngr->CommonSkinData().Active) << plain->Name();
  }
  main_->sknmngr->SetActive(true);
  PumpUntilIdle();
  expectFollows(frame);
  // With the window's manager gone, no frame's manager takes its role.
  main_->sknmngr->Free();
  main_->sknmngr = nullptr;
  EXPECT_EQ(nullptr, DefaultManager);
  EXPECT_FALSE(frame->sknmngr->IsDefault());
}

// A switch shows the open side-bar frame's windows once, in the new skin:
// the frame's own manager follows while the window is still frozen.
TEST_F(SkinnedWindows, ASwitchPaintsEachWindowOfAnOpenSideBarFrameOnce) {
  OpenMainWindow();
  main_->FrameBar->TitleClick(main_->FrameBar->Items()->GetItem(0));
  Choose("Vista");
  auto* frame = dynamic_cast<TSideBarFrame*>(main_->FrameBar->Items()->GetItem(0)->Frame());
  ASSERT_NE(nullptr, frame);
  std::vector<HWND> windows{frame->Form->Handle()};
  for (HWND child : kvtest::DescendantWindows(frame->Form->Handle()))
    if (IsWindowVisible(child)) windows.push_back(child);
  ASSERT_GT(windows.size(), 1u);
  kvtest::TMessageRecorder recorder;
  for (HWND w : windows) recorder.AttachWindow(w);
  Choose("Ocean");
  for (HWND w : windows) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    SCOPED_TRACE(Narrow(name));
    EXPECT_EQ(std::count_if(recorder.Messages.begin(), recorder.Messages.end(),
                            [w](const kvtest::TRecordedMsg& m) {
                              return m.wnd == w && m.message == WM_PAINT && m.wParam == 0;
                            }),
              1);
  }
}

// A switch from the Skins menu shows the new skin at once: no picture of the
// window is painted for a fade, and the window is painted once.
TEST_F(SkinnedWindows, ASwitchShowsTheNewSkinAtOnceWithoutAFade) {
  OpenMainWindow();
  Choose("Vista");
  kvtest::TMessageRecorder recorder;
  recorder.AttachWindow(main_->Handle());
  Choose("Ocean");
  EXPECT_EQ(recorder.Count(WM_PRINT), 0);
  EXPECT_EQ(std::count_if(recorder.Messages.begin(), recorder.Messages.end(),
                          [](const kvtest::TRecordedMsg& m) {
                            return m.message == WM_PAINT && m.wParam == 0;
                          }),
            1);
}

TEST_F(SkinnedWindows, ASkinThatCannotBeLoadedKeepsTheCurrentOneAndSaysSo) {
  folder_.Write("Broken.asz", "ASzf not a skin");
  folder_.Write("Gone.asz", AsText(ResourceBytes(DefaultSkinResource)));
  OpenMainWindow();
  Choose("Ocean");
  const TPixels controls = Control();
  DeleteFileUtf8(folder_.Path() + "Gone.asz");
  for (const char* name : {"Broken", "Gone"}) {
    SCOPED_TRACE(name);
    Choose(name);
    EXPECT_EQ("Ocean", main_->sknmngr->SkinName());
    EXPECT_TRUE(main_->sknmngr->CommonSkinData().Active);
    EXPECT_TRUE(SamePixels(controls, Control()));
    ASSERT_NE(nullptr, FormMessage);
    EXPECT_TRUE(FormMessage->Visible());
    EXPECT_EQ(SkinLoadErrorText(LanguageFlag, name), FormMessage->lbl_Info->Caption());
    FormMessage->sbtbtn_Ok->Click();
  }
}

TEST_F(SkinnedWindows, TwentySwitchesLeaveTheObjectCountersAtTheirBaseline) {
  OpenMainWindow();
  TsFrameBar* bar = main_->FrameBar;
  bar->TitleClick(bar->Items()->GetItem(0));
  // Once round first: caches that live as long as the window are made.
  Choose("Ocean");
  Choose("Vista");
  // Both counts are read at rest: a fade or glow that the shared cursor
  // starts holds objects only while it runs.
  const auto atRest = [this] { return AtRest(main_.get()); };
  ASSERT_TRUE(PumpUntil(atRest, 20000)) << TTimer::ActiveCount() << " timers still running";
  const kvtest::TObjectBaseline baseline;
  for (int i = 0; i < 20; ++i) Choose(i % 2 == 0 ? "Ocean" : "Vista");
  ASSERT_TRUE(PumpUntil(atRest, 20000)) << TTimer::ActiveCount() << " timers still running";
  EXPECT_TRUE(baseline.Unchanged());
}

TEST_F(SkinnedWindows, MessageWindowStaysUsableAboveTheSkinnedMainWindow) {
  OpenMainWindow();
  ShowMessageForm("Successfully!", "");
  ASSERT_NE(nullptr, FormMessage);
  const HWND message = FormMessage->Handle();
  EXPECT_EQ(main_->Handle(), GetWindow(message, GW_OWNER));
  EXPECT_FALSE(IsWindowEnabled(main_->Handle()));
  EXPECT_TRUE(IsWindowEnabled(message));
  // Above the main window in the order of the top-level windows.
  bool mainBelow = false;
  for (HWND w = GetWindow(message, GW_HWNDNEXT); w != nullptr; w = GetWindow(w, GW_HWNDNEXT))
    if (w == main_->Handle()) mainBelow = true;
  EXPECT_TRUE(mainBelow);
  // A skin switch meanwhile leaves it where it is and working.
  main_->SetEnabled(true);
  Choose("Ocean");
  main_->SetEnabled(false);
  EXPECT_TRUE(IsWindowVisible(message));
  EXPECT_EQ(main_->Handle(), GetWindow(message, GW_OWNER));
  FormMessage->sbtbtn_Ok->Click();
  EXPECT_FALSE(IsWindowVisible(message));
  EXPECT_TRUE(IsWindowEnabled(main_->Handle()));
}

// The menu over a manager of its own, from a folder of skins.
class SkinsMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string skin = AsText(kvtest::TTestSkin().Packed());
    for (const char* name : {"Blue.asz", "sub\\DarkBlue.asz", "Gold.ASZ"})
      folder_.Write(name, skin);
    folder_.Write("notes.txt", "x");
    menu_ = CreateOwned<TMenuItem>();
    manager_ = CreateOwned<TsSkinManager>();
  }
  void TearDown() override {
    skins_ = {};
    manager_ = {};
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> texts;
    for (int i = 0; i < menu_->Count(); ++i) texts.push_back(menu_->Items(i)->Caption());
    return texts;
  }

  TSkinFolder folder_;
  Owned<TMenuItem> menu_;
  Owned<TsSkinManager> manager_;
  Owned<TSoftSkins> skins_;
};

TEST_F(SkinsMenu, ListsTheSkinFilesUnderTheFolder) {
  skins_ = CreateOwned<TSoftSkins>(manager_.get(), menu_.get(), folder_.Path());
  EXPECT_EQ((std::vector<std::string>{"Blue", "Gold", "DarkBlue"}), Captions());
  EXPECT_EQ(3u, skins_->SkinFileList().size());
}

TEST_F(SkinsMenu, ChoosingASkinLoadsItFromItsFolder) {
  skins_ = CreateOwned<TSoftSkins>(manager_.get(), menu_.get(), folder_.Path());
  ASSERT_EQ(3, menu_->Count());
  menu_->Items(2)->Click();
  EXPECT_EQ(folder_.Path() + "sub" + PathDelim(), manager_->SkinDirectory());
  EXPECT_EQ("DarkBlue", manager_->SkinName());
  EXPECT_NE("N/A", manager_->SkinInfo());
  // "Blue" is its own file, not the end of "DarkBlue"; an added accelerator
  // sign does not matter.
  menu_->Items(0)->SetCaption("&Blue");
  menu_->Items(0)->Click();
  EXPECT_EQ(folder_.Path(), manager_->SkinDirectory());
  EXPECT_EQ("Blue", manager_->SkinName());
}

TEST_F(SkinsMenu, NoSkinFilesLeaveTheMenuEmpty) {
  skins_ = CreateOwned<TSoftSkins>(manager_.get(), menu_.get(), folder_.Path() + "sub\\none");
  EXPECT_EQ(0, menu_->Count());
  EXPECT_TRUE(skins_->SkinFileList().empty());
}

TEST_F(SkinsMenu, MainWindowListsTheSkinsNextToTheProgram) {
  manager_ = {};
  LoginPassword = std::string(AccessCode);
  Owned<TFormKV69> form(Create<TFormKV69>(nullptr));
  ASSERT_NE(nullptr, form->SoftSkins);
  EXPECT_EQ(static_cast<int>(form->SoftSkins->SkinFileList().size()), form->N_Skins->Count());
  LoginPassword.clear();
}

// A form that notes the toolkit commands it is sent.
class TCommandForm : public TForm {
 public:
  using TForm::TForm;
  int repaints = 0;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdRepaintNow) ++repaints;
    TForm::WndProc(m);
  }
};

// The program's own hand-over, with the access code: the login window goes
// before the main window is made, and the default role with its hooks moves.
TEST_F(SkinnedWindows, DefaultRoleAndHooksMoveFromTheLoginToTheMainWindow) {
  auto* watcher = Create<TCommandForm>(Application);
  watcher->Handle();
  FormLogin = Create<TFormLogin>(Application);
  FormLogin->Show();
  TsSkinManager* loginManager = FormLogin->sknmngr;
  ASSERT_NE(nullptr, loginManager);
  EXPECT_TRUE(loginManager->IsDefault());
  EXPECT_TRUE(loginManager->CBTHookInstalled());
  ASSERT_NE(nullptr, ProviderOf(FormLogin));
  EXPECT_EQ(loginManager, ProviderOf(FormLogin)->SkinManager());
  FormLogin->edt_Password->SetText(std::string(AccessCode));
  FormLogin->btn_LoginClick(nullptr);
  ASSERT_TRUE(FormLogin->Accepted());

  main_.reset(ReplaceLoginWithMainWindow());
  ASSERT_NE(nullptr, main_);
  EXPECT_EQ(nullptr, FormLogin);
  main_->Show();
  PumpUntilIdle();
  EXPECT_EQ(main_->sknmngr, DefaultManager);
  EXPECT_TRUE(main_->sknmngr->CBTHookInstalled());
  EXPECT_NE(nullptr, HookedWindows);
  EXPECT_EQ(main_->sknmngr, ProviderOf(main_.get())->SkinManager());
  // The application window's hook reaches the main window's manager.
  watcher->repaints = 0;
  SendMessageW(Application->Handle(), kRepaintAllForms, 0, 0);
  EXPECT_EQ(1, watcher->repaints);
  Application->SetMainForm(nullptr);
  watcher->Free();
}

}  // namespace
}  // namespace kv
