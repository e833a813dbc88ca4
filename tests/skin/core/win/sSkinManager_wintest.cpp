// The skin manager under Wine: where it finds a skin, what a failed load
// leaves, the default role and its hooks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <cstring>
#include <functional>

#include "SkinTestForms.h"
#include "base/Streams.h"
#include "base/SysUtils.h"
#include "base/TempFolder.h"
#include "classlib/Menus.h"
#include "classlib/MessageLog.h"
#include "skin/core/acUtils_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/graphics/acPNG.h"
#include "support/MessageBoxHook.h"
#include "support/TestSkin.h"

namespace kvtest {
namespace {

namespace fs = std::filesystem;

constexpr UINT kRepaintAllForms = 0xB000;

class SkinManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(DefaultManager, nullptr) << "a manager outlived its test"; }

  static Owned<TsSkinManager> NewManager(const std::string& dir = "c:\\NoSkins") {
    Owned<TsSkinManager> m = CreateOwned<TsSkinManager>();
    m->SetSkinDirectory(dir);
    return m;
  }
  static void AddStored(TsSkinManager& m, const std::string& name) {
    TsStoredSkin& skin = m.InternalSkins.Add();
    skin.Name = name;
    skin.Data = ResourceBytes(DefaultSkinResource);
  }
  // A manager with the program's own skin loaded.
  static Owned<TsSkinManager> NewManagerWithSkin() {
    Owned<TsSkinManager> m = NewManager();
    LoadStored(*m);
    return m;
  }
  static void LoadStored(TsSkinManager& m) {
    AddStored(m, "Vista (internal)");
    m.SetSkinName("Vista (internal)");
  }
  // A form with a provider, its window made.
  static Owned<TSkinTestForm> NewHookedForm() {
    Owned<TSkinTestForm> form = CreateOwned<TSkinTestForm>(true);
    form->Handle();
    return form;
  }
};

// A skin folder below the program's folder: Blue packed and as a folder,
// Green as a folder only.
class SkinFolder {
 public:
  SkinFolder() : leaf_("skt" + std::to_string(GetCurrentProcessId())) {
    const TacBytes packed = ResourceBytes(DefaultSkinResource);
    Write("sk\\Blue.asz", packed);
    Write("sk\\My.Blue.ASZ", packed);
    for (const char* skin : {"Blue", "Green", ".hidden"})
      for (const char* file : {"Options.dat", "MASTER.BMP"})
        Write(std::string("sk\\") + skin + "\\" + file,
              *ReadSkinFile(std::string(KV_DEFAULT_SKIN_DIR) + "\\" + file));
  }
  ~SkinFolder() { fs::remove_all(fs::path(Wide(ProgramFolder() + leaf_))); }

  // The same folder written in each form SkinDirectory may take.
  std::vector<std::string> Forms() const {
    const std::string program = ProgramFolder();
    const std::string programLeaf = ExtractFileName(ExcludeTrailingPathDelimiter(program));
    return {"..\\" + programLeaf + "\\" + leaf_ + "\\sk", ".\\" + leaf_ + "\\sk", leaf_ + "\\sk",
            program + leaf_ + "\\sk"};
  }
  void Remove(const std::string& name) const {
    fs::remove(fs::path(Wide(ProgramFolder() + leaf_ + "\\" + name)));
  }
  std::string Absolute() const { return ProgramFolder() + leaf_ + "\\sk\\"; }

  void Write(const std::string& name, const TacBytes& bytes) const {
    const fs::path path(Wide(ProgramFolder() + leaf_ + "\\" + name));
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }

 private:
  std::string leaf_;
};

TEST_F(SkinManagerTest, FindsPackedThenFolderThenStoredOfThatNameThenFirstStored) {
  const SkinFolder folder;
  struct Case {
    const char* name;
    bool packed;
    std::string path;
    const char* loadedName;
  };
  const Case cases[] = {{"Blue", true, folder.Absolute(), "Blue"},
                        {"Green", false, folder.Absolute() + "Green\\", "Green"},
                        {"Red", true, "", "Red"},
                        {"Plain", false, "", "Plain"},
                        {"Nothing", true, "", "Vista (internal)"}};
  for (const std::string& dir : folder.Forms()) {
    Owned<TsSkinManager> m = NewManager(dir);
    AddStored(*m, "Vista (internal)");
    AddStored(*m, "Red");
    // A stored skin of values, not packed.
    TsStoredSkin& plain = m->InternalSkins.Add();
    plain.Name = "Plain";
    plain.GeneralData.Add().SectionName = "FORM";
    for (const Case& c : cases) {
      m->SetSkinName(c.name);
      EXPECT_TRUE(m->CommonSkinData().Active) << dir << " " << c.name;
      EXPECT_EQ(m->IsPacked(), c.packed) << dir << " " << c.name;
      EXPECT_EQ(m->CommonSkinData().SkinPath, c.path) << dir << " " << c.name;
      EXPECT_EQ(m->SkinName(), c.loadedName) << dir;
      EXPECT_NE(m->Skin().SectionIndexOf("FORM"), -1) << dir << " " << c.name;
    }
    TStringList list;
    std::string first;
    m->FillSkinList(list, 2, first);
    EXPECT_EQ(list.Text(),
              "Blue\r\nBlue\r\nGreen\r\nMy.Blue\r\nPlain\r\nRed\r\nVista (internal)\r\n")
        << dir;
    EXPECT_EQ(first, "Vista (internal)");
  }
}

TEST_F(SkinManagerTest, WithNothingToLoadTurnsOffAndAnnouncesTheRemovalOnce) {
  Owned<TSkinTestForm> form = CreateOwned<TSkinTestForm>(true);
  form->Handle();
  Owned<TsSkinManager> m = NewManager();
  m->SetSkinName("Nothing");
  EXPECT_FALSE(m->Active());
  EXPECT_EQ(m->SkinInfo(), "N/A");
  EXPECT_EQ(form->Count(cmdSkinRemoved), 1);
  EXPECT_EQ(form->Count(cmdSkinLoaded), 0);
}

struct BadSkin {
  const char* what;
  const char* name;
  std::string file;  // written below the skin folder
  TacBytes bytes;
};

TEST_F(SkinManagerTest, AFailedLoadKeepsTheSkinClearsTheFlagsAndSaysWhy) {
  const SkinFolder folder;
  TacBytes half = ResourceBytes(DefaultSkinResource);
  half.resize(half.size() / 2);
  const BadSkin bad[] = {
      {"not a pack", "Bad", "sk\\Bad.asz",
       TacBytes{'n', 'o', 't', ' ', 'a', ' ', 's', 'k', 'i', 'n'}},
      {"no options", "Bad", "sk\\Bad.asz", BuildPackedSkin({{"MASTER.BMP", TacBytes(64, 1)}})},
      {"cut short", "Bad", "sk\\Bad.asz", half},
      {"corrupt image", "Blue", "sk\\Blue\\MASTER.BMP", TacBytes{'B', 'M', 1, 2, 3}}};
  Owned<TSkinTestForm> form = CreateOwned<TSkinTestForm>(true);
  form->Handle();
  Owned<TsSkinManager> m = NewManager(folder.Absolute());
  AddStored(*m, "Vista (internal)");
  m->SetSkinName("Vista (internal)");
  const std::string info = m->SkinInfo();
  const int sections = static_cast<int>(m->Skin().GeneralData.size());
  for (const BadSkin& b : bad) {
    folder.Write(b.file, b.bytes);
    if (std::string(b.name) == "Blue") folder.Remove("sk\\Blue.asz");
    form->commands.clear();
    TMessageBoxProbe probe;
    m->SetSkinName(b.name);
    ASSERT_EQ(probe.seen.size(), 1u) << b.what;
    EXPECT_EQ(probe.seen[0].caption, "Error") << b.what;
    EXPECT_NE(probe.seen[0].text.find(b.name), std::string::npos) << probe.seen[0].text;
    EXPECT_FALSE(SkinLoading || SkinBroadcasting || SkinRemoving) << b.what;
    EXPECT_EQ(m->SkinName(), "Vista (internal)") << b.what;
    EXPECT_TRUE(m->CommonSkinData().Active) << b.what;
    EXPECT_EQ(m->SkinInfo(), info) << b.what;
    EXPECT_EQ(static_cast<int>(m->Skin().GeneralData.size()), sections) << b.what;
    EXPECT_EQ(form->Count(cmdSkinLoaded) + form->Count(cmdSkinRemoved), 0) << b.what;
  }
}

// A skin made for a newer toolkit is used after a notice saying so; a
// reload tells again, a current skin tells nothing.
TEST_F(SkinManagerTest, ASkinForANewerToolkitIsUsedAfterANotice) {
  struct Case {
    const char* version;
    std::size_t notices;
  };
  for (const Case c : {Case{"7.0", 0}, Case{"255", 0}, Case{"255.5", 1}}) {
    Owned<TsSkinManager> m = NewManager();
    TsStoredSkin& skin = m->InternalSkins.Add();
    skin.Name = "New";
    skin.Data = kvtest::TTestSkin({.Keys = {{"GLOBALINFO", "VERSION", c.version}}}).Packed();
    kv::test::MessageBoxHook boxes;
    m->SetSkinName("New");
    EXPECT_TRUE(m->CommonSkinData().Active) << c.version;
    ASSERT_EQ(boxes.Texts().size(), c.notices) << c.version;
    if (c.notices == 0) continue;
    EXPECT_EQ(boxes.Texts()[0],
              "This version of the skin have not complete support by used toolkit package "
              "release.\r\nComponents must be updated up to latest version for using this skin.");
    m->SetHueOffset(10);
    EXPECT_EQ(boxes.Texts().size(), 2u) << "the reload reads the version again";
  }
}

TEST_F(SkinManagerTest, WhileStreamingLoadsQuietlyAndAnnouncesOnceLoaded) {
  Owned<TSkinTestForm> form = CreateOwned<TSkinTestForm>(true);
  form->Handle();
  Owned<TsSkinManager> m = NewManager();
  AddStored(*m, "Vista (internal)");
  m->BeginLoading();
  m->SetSkinName("Vista");
  EXPECT_EQ(form->Count(cmdSkinLoaded), 0);
  EXPECT_EQ(m->SkinInfo(), "N/A");
  m->EndLoading();
  EXPECT_EQ(form->Count(cmdSkinLoaded), 1);
  EXPECT_EQ(m->SkinName(), "Vista (internal)");
  EXPECT_NE(m->SkinInfo(), "N/A");
  EXPECT_TRUE(m->CBTHookInstalled());
}

TEST_F(SkinManagerTest, TheFirstManagerIsDefaultAndAloneHooksTheApplicationWindow) {
  Owned<TSkinTestForm> form = CreateOwned<TSkinTestForm>(false);
  form->Handle();
  Owned<TsSkinManager> first = NewManager();
  Owned<TsSkinManager> second = NewManager();
  EXPECT_TRUE(first->IsDefault());
  EXPECT_FALSE(second->IsDefault());
  const auto repaintsSeen = [&] {
    form->commands.clear();
    SendMessageW(Application->Handle(), kRepaintAllForms, 0, 0);
    return form->Count(cmdRepaintNow);
  };
  EXPECT_EQ(repaintsSeen(), 1);
  TMessage theme{WM_THEMECHANGED, 0, 0, 0};
  EXPECT_TRUE(first->MainWindowHook(theme)) << "swallowed while menus are skinned";
  first->SetSkinnedPopups(false);
  EXPECT_FALSE(first->MainWindowHook(theme));
  EXPECT_EQ(repaintsSeen(), 0);
  first->SetSkinnedPopups(true);
  first.reset();
  EXPECT_EQ(DefaultManager, nullptr) << "no other manager takes the role on its own";
  EXPECT_EQ(repaintsSeen(), 0) << "no hook outlives the default manager";
  second->SetIsDefault(true);
  EXPECT_EQ(repaintsSeen(), 1);
  second.reset();
  EXPECT_EQ(repaintsSeen(), 0);
}

// The menu painter posts the item whose pop-up opened; an item freed before
// the message arrives must not be touched. Its memory is filled with what a
// freed block may hold, so that any use of it would fault.
TEST_F(SkinManagerTest, APostedMenuItemThatNoLongerExistsIsNotTouched) {
  constexpr UINT kMenuItemPopup = 0xBCB3;
  Owned<TsSkinManager> manager = NewManager();
  ASSERT_TRUE(manager->SkinnedPopups());
  Owned<TForm> form = CreateOwned<TForm>();
  auto* menu = Create<TPopupMenu>(form.get());
  auto* item = Create<TMenuItem>(menu);
  menu->Items()->Add(item);
  auto* sub = Create<TMenuItem>(menu);
  item->Add(sub);
  menu->Free();
  alignas(TMenuItem) std::uint8_t freed[sizeof(TMenuItem)];
  std::memset(freed, 0xDD, sizeof freed);
  for (LPARAM stale : {reinterpret_cast<LPARAM>(sub), reinterpret_cast<LPARAM>(freed)})
    EXPECT_EQ(SendMessageW(Application->Handle(), kMenuItemPopup, 0, stale), 0);
  // A live item's menu is not shown: nothing to hook, and nothing breaks.
  auto* live = Create<TPopupMenu>(form.get());
  auto* top = Create<TMenuItem>(live);
  live->Items()->Add(top);
  auto* shown = Create<TMenuItem>(live);
  top->Add(shown);
  EXPECT_EQ(SendMessageW(Application->Handle(), kMenuItemPopup, 0, reinterpret_cast<LPARAM>(shown)),
            0);
}

// The skin broadcasts a form received, in order (queries left out).
std::vector<unsigned> Announced(const TSkinTestForm& form) {
  std::vector<unsigned> seen;
  for (unsigned c : form.commands)
    if (c == cmdSkinLoaded || c == cmdSkinRemoved || c == cmdSkinRefresh || c == cmdFadeFinished)
      seen.push_back(c);
  return seen;
}

constexpr unsigned kNewSkin[] = {cmdSkinLoaded, cmdFadeFinished, cmdSkinRefresh};

struct LeftBehind {
  const char* what;
  bool otherHasSkin;
};

// The default manager's removal goes out and no other manager takes the
// role, whether it holds a skin or not: nothing more is announced until one
// sets IsDefault.
TEST_F(SkinManagerTest, DestroyingTheDefaultManagerLeavesNoDefault) {
  const LeftBehind cases[] = {{"other without a skin", false}, {"other with a skin", true}};
  for (const LeftBehind& c : cases) {
    Owned<TSkinTestForm> form = NewHookedForm();
    Owned<TsSkinManager> first = NewManagerWithSkin();
    Owned<TsSkinManager> other = c.otherHasSkin ? NewManagerWithSkin() : NewManager();
    form->commands.clear();
    first.reset();
    EXPECT_EQ(DefaultManager, nullptr) << c.what;
    EXPECT_FALSE(other->IsDefault()) << c.what;
    EXPECT_EQ(Announced(*form), std::vector<unsigned>{cmdSkinRemoved}) << c.what;
    EXPECT_FALSE(other->CBTHookInstalled()) << c.what;
    EXPECT_EQ(other->SkinInfo() != "N/A", c.otherHasSkin) << c.what;
    // A manager made now is the default, as the first one was.
    Owned<TsSkinManager> next = NewManager();
    EXPECT_TRUE(next->IsDefault()) << c.what;
  }
}

struct TakeOver {
  const char* what;
  std::function<void(TsSkinManager&)> prepare;
  std::vector<unsigned> seen;
  bool hooks;
};

// Taking the default role announces the manager's skin and repaints, or,
// without a skin to announce, tells the forms there is none; the dialog hook
// follows the skin.
TEST_F(SkinManagerTest, SettingIsDefaultTakesTheRoleAndAnnouncesWhatTheManagerHolds) {
  const TakeOver cases[] = {
      {"holding a skin",
       LoadStored,
       {cmdSkinLoaded, cmdFadeFinished, cmdSkinRefresh, cmdFadeFinished, cmdSkinRefresh},
       true},
      {"turned off", [](TsSkinManager& m) { m.SetActive(false); }, {cmdSkinRemoved}, false},
      {"never loaded a skin", [](TsSkinManager&) {}, {cmdSkinRemoved}, false}};
  for (const TakeOver& c : cases) {
    Owned<TSkinTestForm> form = NewHookedForm();
    Owned<TsSkinManager> first = NewManagerWithSkin();
    Owned<TsSkinManager> second = NewManager();
    c.prepare(*second);
    form->commands.clear();
    second->SetIsDefault(true);
    EXPECT_TRUE(second->IsDefault()) << c.what;
    EXPECT_FALSE(first->IsDefault()) << c.what;
    EXPECT_EQ(Announced(*form), c.seen) << c.what;
    EXPECT_EQ(second->CBTHookInstalled(), c.hooks) << c.what;
    EXPECT_FALSE(first->CBTHookInstalled()) << c.what;
    EXPECT_EQ(second->SkinInfo() != "N/A", c.hooks) << c.what;
    second.reset();
    first.reset();
  }
  // While streaming only the role is taken; Loaded announces what was loaded.
  Owned<TSkinTestForm> form = NewHookedForm();
  Owned<TsSkinManager> first = NewManagerWithSkin();
  Owned<TsSkinManager> streamed = NewManager();
  AddStored(*streamed, "Vista (internal)");
  form->commands.clear();
  streamed->BeginLoading();
  streamed->SetIsDefault(true);
  streamed->SetSkinName("Vista (internal)");
  EXPECT_TRUE(streamed->IsDefault());
  EXPECT_TRUE(Announced(*form).empty());
  streamed->EndLoading();
  EXPECT_EQ(Announced(*form), std::vector<unsigned>{cmdSkinLoaded});
  EXPECT_NE(streamed->SkinInfo(), "N/A");
}

// Every form, with a provider or without, first hears that fades are over,
// then gets the refresh.
TEST_F(SkinManagerTest, RepaintFormsEndsFadesThenRefreshesEveryFormOnce) {
  Owned<TSkinTestForm> hooked = CreateOwned<TSkinTestForm>(true);
  auto* plain = Create<TSkinTestForm>(Application, false);
  hooked->Handle();
  plain->Handle();
  Owned<TsSkinManager> m = NewManager();
  m->RepaintForms();
  const std::vector<unsigned> want{cmdFadeFinished, cmdSkinRefresh};
  EXPECT_EQ(Announced(*hooked), want);
  EXPECT_EQ(Announced(*plain), want);
  plain->Free();
}

// A fingerprint of the loaded skin's colours.
std::int64_t Colours(const TsSkinManager& m) {
  std::int64_t sum = 0;
  for (const TsGeneralData& g : m.Skin().GeneralData)
    sum = sum * 31 + g.Color * 7 + g.HotColor + g.FontColor[0];
  return sum;
}

struct Setting {
  const char* what;
  std::function<void(TsSkinManager&)> change;
  std::vector<unsigned> seen;
  std::function<bool(const TsSkinManager&, std::int64_t before)> applied;
};

// A setting that shapes the loaded skin reloads it (a full load for
// CommonSections); setting it again to the same value does nothing, and with
// no skin loaded it is only stored.
TEST_F(SkinManagerTest, SkinSettingsReloadTheLoadedSkin) {
  const std::vector<unsigned> repaint{cmdFadeFinished, cmdSkinRefresh};
  const std::vector<unsigned> newSkin(std::begin(kNewSkin), std::end(kNewSkin));
  TStringList extra;
  extra.Add("[EXTRA SECTION]");
  extra.Add("COLOR = 255");
  const Setting cases[] = {
      {"HueOffset", [](TsSkinManager& m) { m.SetHueOffset(120); }, repaint,
       [](const TsSkinManager& m, std::int64_t before) { return Colours(m) != before; }},
      {"Saturation", [](TsSkinManager& m) { m.SetSaturation(-100); }, repaint,
       [](const TsSkinManager& m, std::int64_t before) { return Colours(m) != before; }},
      {"ExtendedBorders", [](TsSkinManager& m) { m.SetExtendedBorders(true); }, repaint,
       [](const TsSkinManager& m, std::int64_t) { return m.ExtendedBorders(); }},
      {"CommonSections", [&](TsSkinManager& m) { m.SetCommonSections(extra); }, newSkin,
       [](const TsSkinManager& m, std::int64_t) {
         const int i = m.Skin().SectionIndexOf("EXTRASECTION");
         return i >= 0 && m.Skin().GeneralData[i].Color == 255;
       }}};
  for (const Setting& c : cases) {
    Owned<TSkinTestForm> form = NewHookedForm();
    Owned<TsSkinManager> idle = NewManager();
    idle->SetActive(false);
    Owned<TsSkinManager> m = NewManagerWithSkin();
    const std::int64_t before = Colours(*m);
    form->commands.clear();
    c.change(*idle);
    EXPECT_TRUE(Announced(*form).empty()) << c.what << ": a manager without a skin only stores";
    c.change(*m);
    EXPECT_EQ(Announced(*form), c.seen) << c.what;
    EXPECT_TRUE(c.applied(*m, before)) << c.what;
    EXPECT_TRUE(m->CommonSkinData().Active) << c.what;
    form->commands.clear();
    if (std::string(c.what) != "CommonSections") {
      c.change(*m);
      EXPECT_TRUE(Announced(*form).empty()) << c.what << ": the same value again";
    }
  }
}

// OnBeforeChange and OnAfterChange frame every change of skin, loaded or
// not; switching off and the reloads of the same skin raise neither.
TEST_F(SkinManagerTest, BeforeAndAfterEventsFrameEachChangeOfSkin) {
  TMessageLog log;
  Owned<TSkinTestForm> form = CreateOwned<TSkinTestForm>(true);
  form->Handle();
  Owned<TsSkinManager> m = NewManager();
  AddStored(*m, "Vista (internal)");
  form->onCommand = [&](unsigned c) {
    if (c == cmdSkinLoaded || c == cmdSkinRemoved || c == cmdSkinRefresh)
      log.Add(std::to_string(c));
  };
  m->OnBeforeChange = [&](TObject* sender) {
    log.Add(sender == m.get() ? "before" : "before from another");
  };
  m->OnAfterChange = [&](TObject* sender) {
    log.Add(sender == m.get() ? "after" : "after from another");
  };
  struct Step {
    const char* what;
    std::function<void()> act;
    std::vector<std::string> seen;
  };
  kv::test::TempFolder skins;
  WriteFileBytes(skins.File("Bad.asz"), "not a skin");
  const Step steps[] = {
      {"a new skin", [&] { m->SetSkinName("Vista (internal)"); }, {"before", "1", "3", "after"}},
      {"a reload", [&] { m->SetHueOffset(30); }, {"3"}},
      {"switched off", [&] { m->SetActive(false); }, {"2"}},
      {"switched on", [&] { m->SetActive(true); }, {"before", "1", "3", "after"}},
      {"a failed load",
       [&] {
         TMessageBoxProbe probe;
         m->SetSkinDirectory(skins.Path());
         m->SetSkinName("Bad");
       },
       {"before", "after"}}};
  for (const Step& s : steps) {
    log.Clear();
    s.act();
    EXPECT_TRUE(SequenceIs(log, s.seen)) << s.what;
  }
}

// Turning the manager off drops the whole skin, its pictures included;
// turning it on again loads the skin it names.
TEST_F(SkinManagerTest, OffDropsTheWholeSkinAndOnLoadsItAgain) {
  Owned<TsSkinManager> m = NewManagerWithSkin();
  ASSERT_NE(m->Skin().MasterBitmap, nullptr);
  m->SetActive(false);
  EXPECT_EQ(m->SkinInfo(), "N/A");
  EXPECT_TRUE(m->Skin().GeneralData.empty() && m->Skin().MaskData.empty());
  EXPECT_TRUE(m->Skin().PatternData.empty());
  EXPECT_EQ(m->Skin().MasterBitmap, nullptr);
  m->SetActive(true);
  EXPECT_NE(m->SkinInfo(), "N/A");
  EXPECT_NE(m->Skin().MasterBitmap, nullptr);
}

TEST_F(SkinManagerTest, OneDialogHookAtATimeFollowingTheDefaultSkin) {
  TCountingDialogHook hook;
  Owned<TsSkinManager> m = NewManager();
  EXPECT_EQ(hook.HooksSeeingAWindow(), 0);
  AddStored(*m, "Vista (internal)");
  m->SetSkinName("Vista (internal)");
  EXPECT_EQ(hook.HooksSeeingAWindow(), 1);
  m->SendNewSkin(false);
  EXPECT_EQ(hook.HooksSeeingAWindow(), 1) << "a second broadcast installs no second hook";
  m->SetActive(false);
  EXPECT_EQ(hook.HooksSeeingAWindow(), 0);
  m->SetActive(true);
  EXPECT_EQ(hook.HooksSeeingAWindow(), 1);
  Owned<TsSkinManager> other = NewManager();
  AddStored(*other, "Vista (internal)");
  other->SetSkinName("Vista (internal)");
  EXPECT_EQ(hook.HooksSeeingAWindow(), 1) << "only the default hooks";
  m.reset();
  EXPECT_EQ(hook.HooksSeeingAWindow(), 0) << "no default, no hook";
  other->SetIsDefault(true);
  EXPECT_EQ(hook.HooksSeeingAWindow(), 1) << "the new default hooks instead";
  other.reset();
  EXPECT_EQ(hook.HooksSeeingAWindow(), 0);
}

TEST_F(SkinManagerTest, HotWindowTellsTheOldWindowBeforeTheNew) {
  Owned<TSkinTestForm> a = CreateOwned<TSkinTestForm>(false);
  Owned<TSkinTestForm> b = CreateOwned<TSkinTestForm>(false);
  TMessageLog log;
  a->onCommand = [&](unsigned c) { log.Add("a" + std::to_string(c)); };
  b->onCommand = [&](unsigned c) { log.Add("b" + std::to_string(c)); };
  Owned<TsSkinManager> m = NewManager();
  m->SetHotWindow(a->Handle());
  m->SetHotWindow(b->Handle());
  m->SetHotWindow(b->Handle());
  m->SetHotWindow(nullptr);
  EXPECT_TRUE(SequenceIs(log, {"a29", "a30", "b29", "b30"}));
}

TEST_F(SkinManagerTest, TheProgramCarriesTheDefaultSkinAndShadows) {
  EXPECT_FALSE(ResourceBytes(DefaultSkinResource).empty());
  ASSERT_NE(ShadowActive(), nullptr);
  ASSERT_NE(ShadowInactive(), nullptr);
  EXPECT_EQ(ShadowActive()->Width(), 48);
  EXPECT_TRUE(ResourceBytes("NoSuchResource").empty());
  EXPECT_NE(ProgramSmallIcon, nullptr);
  EXPECT_NE(ProgramLargeIcon, nullptr);
}

TEST_F(SkinManagerTest, TheToolkitStartTakesTheSystemsScrollArrowWidth) {
  EXPECT_EQ(DefaultScrollArrowSize, GetSystemMetrics(SM_CXHSCROLL));
}

// The command message keeps its fixed number whatever the system gives its name.
TEST_F(SkinManagerTest, TheCommandMessageIsA100WhateverItsNameIsRegisteredAs) {
  EXPECT_NE(RegisterWindowMessageW(L"SM_ALPHACMD"), 0xA100u);
  EXPECT_EQ(SM_ALPHACMD, 0xA100u);
}

}  // namespace
}  // namespace kvtest
