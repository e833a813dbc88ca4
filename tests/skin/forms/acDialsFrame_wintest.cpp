// The hook with the real dialog adapter under Wine, end to end: message
// boxes and the configurator's file dialogs wear the skin's dialog frame
// (read back in legend colours), their title buttons and adapted children,
// also the children that come after activation, and also when one is open
// over the other. Each modal loop is looked into by a probe.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DialogTemplate.h"
#include "SkinnedFormFixture.h"
#include "classlib/Dialogs.h"
#include "classlib/WideText.h"
#include "skin/adapters/acButtonWnd_win.h"
#include "skin/adapters/acMainWndTables.h"
#include "skin/adapters/acMainWnd_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acDialogWnd_win.h"
#include "skin/forms/acDials_win.h"
#include "support/ChildWindows.h"
#include "support/Counters.h"
#include "support/ModalProbe.h"

namespace kvtest {
namespace {

using namespace kv;

// The configurator's filters: profiles and history exports.
constexpr const char* kIniFilter = "*.ini|*.ini";
constexpr const char* kCsvFilter = "CSV File (*.csv)|*.csv";

using kvtest::DescendantWindows;

bool Adapted(HWND wnd) {
  return GetPropW(wnd, acAdapterProperty) != nullptr && WindowAnswersCommand(wnd, cmdIsSkinned);
}

// What a probe saw of one skinned dialog.
struct TDialogLook {
  bool dialogAdapter = false;
  std::string section, title, leftBorder, bottomBorder, close;
  int buttons = 0;
  // Children the hook's table names an adapter for that have none.
  std::vector<std::string> unadapted;
  int lists = 0, nested = 0;  // adapted file list views and nested templates
};

class HookedDialogFrame : public ::testing::Test, public TSkinnedFormFixture {
 protected:
  void SetUp() override {
    ASSERT_NE(DialogAdapterFactory, nullptr) << "the form services give dialogs their adapter";
  }
  void TearDown() override { DestroyAWindow(); }
  // A window's destruction is when the hook frees what dialogs left.
  static void DestroyAWindow() {
    DestroyWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr));
  }

  TDialogLook Look(HWND dlg) {
    TDialogLook look;
    auto* adapter = dynamic_cast<TacDialogWnd*>(AdapterOfWindow(dlg));
    look.dialogAdapter = adapter != nullptr && Adapted(dlg);
    if (adapter == nullptr) return look;
    look.section = adapter->SkinData->SkinSection();
    // Programs share the desktop: the frame is told it is active.
    SendMessageW(dlg, WM_NCACTIVATE, TRUE, 0);
    const TPixels window = TPixels::FromWindow(dlg);
    look.title = SectionAt(window, window.Width() / 3, 2);
    look.leftBorder = SectionAt(window, 1, window.Height() / 2);
    look.bottomBorder = SectionAt(window, window.Width() / 2, window.Height() - 1);
    const auto& placed = adapter->PlacedButtons();
    look.buttons = static_cast<int>(placed.size());
    for (const TsPlacedTitleButton& b : placed)
      if (b.HitCode == TitleHit::Close)
        look.close =
            ItemAt(window, (b.Rect.Left + b.Rect.Right) / 2, (b.Rect.Top + b.Rect.Bottom) / 2);
    for (HWND child : DescendantWindows(dlg)) {
      const std::string name = WindowClassName(child);
      const auto style = static_cast<std::uint32_t>(GetWindowLongW(child, GWL_STYLE));
      const bool named =
          DialogChildAdapter(name, style, (style & WS_VISIBLE) != 0).Kind != TacAdapterKind::None;
      if (named && !Adapted(child)) look.unadapted.push_back(name);
      if (Adapted(child) && _stricmp(name.c_str(), "SysListView32") == 0) ++look.lists;
      if (Adapted(child) && name == "#32770") ++look.nested;
    }
    return look;
  }

  static void ExpectDialogFrame(const TDialogLook& look, const std::string& what) {
    EXPECT_TRUE(look.dialogAdapter) << what;
    EXPECT_EQ(look.section, "DIALOG") << what;
    EXPECT_EQ(look.title, "FORMTITLE") << what;
    EXPECT_EQ(look.leftBorder, "DIALOG") << what;
    EXPECT_EQ(look.bottomBorder, "DIALOG") << what;
    EXPECT_GE(look.buttons, 1) << what;
    EXPECT_EQ(look.close.rfind("GLOBALINFO.", 0), 0u) << what << ": close shows " << look.close;
    std::string names;
    for (const std::string& n : look.unadapted) names += n + " ";
    EXPECT_TRUE(look.unadapted.empty()) << what << ": not adapted: " << names;
  }

  static bool RunFileDialog(bool save, const char* filter) {
    Owned<TOpenDialog> dialog = save ? Owned<TOpenDialog>(CreateOwned<TSaveDialog>().release())
                                     : CreateOwned<TOpenDialog>();
    dialog->SetFilter(filter);
    return dialog->Execute();
  }
};

struct TFileDialogCase {
  const char* what;
  bool save;
  const char* filter;
};

class FileDialogFrame : public HookedDialogFrame,
                        public ::testing::WithParamInterface<TFileDialogCase> {};

TEST_P(FileDialogFrame, WearsTheDialogFrameWithItsLateChildrenAdapted) {
  const TFileDialogCase& c = GetParam();
  TDialogLook look;
  {
    TModalProbe probe(kDialogClass, [&](HWND dlg) { look = Look(dlg); });
    EXPECT_FALSE(RunFileDialog(c.save, c.filter)) << "cancelled";
    ASSERT_TRUE(probe.Found());
  }
  ExpectDialogFrame(look, c.what);
  EXPECT_EQ(look.lists, 1) << "the file list, made after the dialog was activated";
  EXPECT_EQ(look.nested, 1) << "the nested template of the class library's hook";
}

INSTANTIATE_TEST_SUITE_P(OurFilters, FileDialogFrame,
                         ::testing::Values(TFileDialogCase{"open profile", false, kIniFilter},
                                           TFileDialogCase{"save profile", true, kIniFilter},
                                           TFileDialogCase{"open history", false, kCsvFilter},
                                           TFileDialogCase{"save history", true, kCsvFilter}),
                         [](const ::testing::TestParamInfo<TFileDialogCase>& info) {
                           std::string name = info.param.what;
                           std::replace(name.begin(), name.end(), ' ', '_');
                           return name;
                         });

// One modal window opened from inside the other's loop. A second dialog is
// skinned while one is shown only when it carries a tool bar, as the file
// dialogs do: a box over a file dialog keeps the system's frame.
TEST_F(HookedDialogFrame, AFileDialogAndAMessageBoxStacked) {
  const struct {
    const char* what;
    bool boxOnTop;
  } stacks[] = {{"file dialog over a box", false}, {"box over a file dialog", true}};
  for (const auto& s : stacks) {
    TDialogLook under, over;
    HWND underWnd = nullptr, overWnd = nullptr;
    {
      TModalProbe probe(kDialogClass, [&](HWND dlg) {
        underWnd = dlg;
        under = Look(dlg);
        // The inner probe looks for the newest window of the class.
        TModalProbe inner(kDialogClass, [&](HWND top) {
          overWnd = top;
          over = Look(top);
        });
        if (s.boxOnTop)
          MessageBoxW(dlg, L"The file is not a profile.", L"KV42", MB_OK | MB_ICONERROR);
        else
          RunFileDialog(false, kIniFilter);
        EXPECT_TRUE(inner.Found()) << s.what;
        // The outer one is skinned still.
        EXPECT_TRUE(Adapted(dlg)) << s.what;
      });
      if (s.boxOnTop)
        RunFileDialog(true, kCsvFilter);
      else
        MessageBoxW(nullptr, L"Load a profile?", L"KV42", MB_OKCANCEL | MB_ICONQUESTION);
      ASSERT_TRUE(probe.Found()) << s.what;
    }
    ASSERT_NE(underWnd, overWnd) << s.what;
    ExpectDialogFrame(under, std::string(s.what) + ", under");
    if (s.boxOnTop) {
      EXPECT_FALSE(over.dialogAdapter) << s.what;
    } else {
      ExpectDialogFrame(over, std::string(s.what) + ", over");
    }
  }
}

TEST_F(HookedDialogFrame, AMessageBoxShowsItsTextIconAndButtonsInTheSkin) {
  TDialogLook look;
  int icons = 0, texts = 0, buttons = 0;
  std::string buttonLook, text;
  {
    TModalProbe probe(kDialogClass, [&](HWND dlg) {
      look = Look(dlg);
      for (HWND child : DescendantWindows(dlg)) {
        TacMainWnd* a = AdapterOfWindow(child);
        const std::string name = WindowClassName(child);
        const auto type = GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK;
        if (_stricmp(name.c_str(), "Static") == 0 && type == SS_ICON) {
          if (dynamic_cast<TacIconWnd*>(a) != nullptr) ++icons;
        } else if (_stricmp(name.c_str(), "Static") == 0) {
          if (a != nullptr && dynamic_cast<TacIconWnd*>(a) == nullptr) ++texts;
          wchar_t t[128] = {};
          GetWindowTextW(child, t, 128);
          if (t[0] != 0) text = Narrow(t);
        } else if (_stricmp(name.c_str(), "Button") == 0 && a != nullptr) {
          ++buttons;
          const TPixels b = TPixels::FromWindow(child);
          buttonLook = SectionAt(b, 2, b.Height() / 2);
        }
      }
    });
    MessageBoxW(nullptr, L"The setting was written.", L"KV42", MB_OKCANCEL | MB_ICONINFORMATION);
    ASSERT_TRUE(probe.Found());
  }
  ExpectDialogFrame(look, "message box");
  EXPECT_EQ(look.buttons, 1) << "a message box shows its close button only";
  EXPECT_EQ(icons, 1);
  EXPECT_GE(texts, 1);
  EXPECT_EQ(text, "The setting was written.") << "the text static keeps its text";
  EXPECT_EQ(buttons, 2);
  EXPECT_EQ(buttonLook, "BUTTON");
}

// Where the dialog's edit or combo box is: the dialog keeps its own client
// painting, which those controls need, wherever it sits, whenever it comes
// and also while it is hidden; a dialog without one leaves it to the skin,
// except on systems before version 6.
enum class TEditAt {
  Nowhere,
  NowhereOnAnOlderSystem,
  NestedPage,
  ComboBoxEx,
  AfterActivation,
  Hidden
};

class DialogOwnPainting : public HookedDialogFrame,
                          public ::testing::WithParamInterface<TEditAt> {};

TEST_P(DialogOwnPainting, KeptForAnEditOrComboBoxAnywhereInTheDialog) {
  constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  std::vector<TDialogItem> items{{L"Button", BS_PUSHBUTTON, 10, 70, 50, 14, IDOK}};
  if (GetParam() == TEditAt::NestedPage)
    items.push_back({L"#32770", DS_CONTROL, 4, 4, 170, 60, 100});
  if (GetParam() == TEditAt::ComboBoxEx)
    items.push_back({L"ComboBoxEx32", CBS_DROPDOWN, 10, 10, 100, 60, 101});
  if (GetParam() == TEditAt::NowhereOnAnOlderSystem)
    platform_.Calls().SystemMajorVersion = [] { return DWORD{5}; };
  TTestDialog dialog(kStyle, 0, L"Dialog", items);
  HWND dlg = dialog.Handle();
  ASSERT_NE(dlg, nullptr);
  const auto addEdit = [](HWND parent) {
    return CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 8, 8, 80, 20, parent, nullptr,
                           nullptr, nullptr);
  };
  if (GetParam() == TEditAt::NestedPage) {
    ASSERT_NE(addEdit(GetDlgItem(dlg, 100)), nullptr);
  }
  HWND hidden = nullptr;
  if (GetParam() == TEditAt::Hidden) {
    hidden = addEdit(dlg);
    ShowWindow(hidden, SW_HIDE);
  }
  ShowWindow(dlg, SW_SHOW);
  PumpUntilIdle();
  ASSERT_NE(dynamic_cast<TacDialogWnd*>(AdapterOfWindow(dlg)), nullptr) << "skinned by the hook";
  if (GetParam() == TEditAt::AfterActivation) {
    ASSERT_NE(addEdit(dlg), nullptr);
    // The frame painted next wraps what came meanwhile.
    RedrawWindow(dlg, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  }
  dialog.Log.Paints = 0;
  RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  if (hidden != nullptr) {
    EXPECT_FALSE(Adapted(hidden)) << "a hidden edit gets no adapter";
  }
  if (GetParam() == TEditAt::Nowhere)
    EXPECT_EQ(dialog.Log.Paints, 0) << "the skin alone paints the client area";
  else
    EXPECT_GT(dialog.Log.Paints, 0) << "the dialog painted its own client area";
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogOwnPainting,
                         ::testing::Values(TEditAt::Nowhere, TEditAt::NowhereOnAnOlderSystem,
                                           TEditAt::NestedPage, TEditAt::ComboBoxEx,
                                           TEditAt::AfterActivation, TEditAt::Hidden),
                         [](const ::testing::TestParamInfo<TEditAt>& info) {
                           switch (info.param) {
                             case TEditAt::Nowhere:
                               return std::string("NoEditNorComboBox");
                             case TEditAt::NowhereOnAnOlderSystem:
                               return std::string("NoEditOnASystemBeforeVersion6");
                             case TEditAt::Hidden:
                               return std::string("HiddenEdit");
                             case TEditAt::NestedPage:
                               return std::string("EditInANestedPage");
                             case TEditAt::ComboBoxEx:
                               return std::string("ComboBoxEx");
                             default:
                               return std::string("EditAfterActivation");
                           }
                         });

TEST_F(HookedDialogFrame, FiftyMessageBoxesWithTheDialogAdapterLeaveTheCountersAtBaseline) {
  int withAdapter = 0;
  const auto oneBox = [&] {
    TModalProbe probe(kDialogClass, [&](HWND dlg) {
      if (dynamic_cast<TacDialogWnd*>(AdapterOfWindow(dlg)) != nullptr) ++withAdapter;
      TPixels::FromWindow(dlg);
    });
    MessageBoxW(nullptr, L"Saved.", L"KV42", MB_OKCANCEL | MB_ICONWARNING);
    return probe.Found();
  };
  ASSERT_TRUE(oneBox()) << "once first: what lives for the whole run is made now";
  DestroyAWindow();
  const TObjectBaseline baseline;
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(oneBox()) << i;
  DestroyAWindow();
  EXPECT_EQ(withAdapter, 51);
  EXPECT_TRUE(HookedWindows->empty());
  EXPECT_TRUE(baseline.Unchanged());
}

}  // namespace
}  // namespace kvtest
