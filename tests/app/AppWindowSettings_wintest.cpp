// Every window of the configurator reached as a user reaches it, and each of
// its skinned controls checked for what the program's windows are meant to
// hold: the skin section a control paints from and the settings that shape
// its look. The figures below are the windows' description, not the code's.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ModalForm.h"
#include "ViewOnlyWindow.h"
#include "app/BasicAnimate_Frm_win.h"
#include "app/FrameBar_Frms_win.h"
#include "app/KV69_Frm_win.h"
#include "app/Login_Frm_win.h"
#include "app/Message_Frm_win.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/Variable_Unt.h"
#include "skin/controls/acProgressBar_win.h"
#include "skin/controls/sBevel_win.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sComboBox_win.h"
#include "skin/controls/sEdit_win.h"
#include "skin/controls/sFrameBar_win.h"
#include "skin/controls/sGauge_win.h"
#include "skin/controls/sGroupBox_win.h"
#include "skin/controls/sLabel_win.h"
#include "skin/controls/sListView_win.h"
#include "skin/controls/sPageControl_win.h"
#include "skin/controls/sPanel_win.h"
#include "skin/controls/sSpeedButton_win.h"
#include "skin/controls/sStatusBar_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "support/Pump.h"

namespace kv {
namespace {

using pump::PumpUntilIdle;

std::string SectionOf(TControl* control) {
  const TsCommonData* sd = SkinDataOf(control);
  return sd == nullptr ? "<none>" : sd->SkinSection();
}

// What one window holds: every control under it, windowless ones included.
struct TFound {
  std::string Place;
  TControl* Control;
};

void Collect(TWinControl* parent, const std::string& place, std::vector<TFound>& found) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    found.push_back({place, child});
    if (auto* win = dynamic_cast<TWinControl*>(child)) Collect(win, place, found);
  }
}

// The rules each kind of control must keep; a broken one is reported with
// the control's place, name and what it holds instead.
class TChecker {
 public:
  std::vector<std::string> Faults;
  std::map<std::string, int> Counts;

  void Window(TWinControl* window, const std::string& place) {
    if (auto* form = dynamic_cast<TCustomForm*>(window)) CheckForm(form, place);
    std::vector<TFound> found;
    Collect(window, place, found);
    for (const TFound& f : found) {
      // A side-bar frame's window is a form of its own, skinned by its provider.
      if (auto* inner = dynamic_cast<TCustomForm*>(f.Control)) CheckForm(inner, f.Place);
      Check(f);
    }
  }

 private:
  void Fault(const TFound& f, const std::string& what) {
    Faults.push_back(f.Place + ": " + f.Control->ClassName() + " " + f.Control->Name() + ": " +
                     what);
  }
  void Expect(const TFound& f, bool ok, const std::string& what) {
    if (!ok) Fault(f, what);
  }
  void ExpectSection(const TFound& f, std::set<std::string> allowed) {
    const std::string section = SectionOf(f.Control);
    if (allowed.count(section) == 0) Fault(f, "section \"" + section + "\"");
  }

  void CheckForm(TCustomForm* form, const std::string& place) {
    for (int i = 0; i < form->ComponentCount(); ++i) {
      if (auto* manager = dynamic_cast<TsSkinManager*>(form->Components(i))) {
        ++Counts["manager"];
        CheckClassLists({place, form}, *manager);
      }
      auto* provider = dynamic_cast<TsSkinProvider*>(form->Components(i));
      if (provider == nullptr) continue;
      ++Counts["provider"];
      const TFont& font = provider->AddedTitle.Font();
      const TFound f{place, form};
      Expect(f, provider->AddedTitle.Text().empty(), "added title text");
      Expect(f, font.Name() == "MS Sans Serif", "added title font " + font.Name());
      Expect(f, font.Height() == -11, "added title height " + std::to_string(font.Height()));
      Expect(f, font.Color() == clNone, "added title colour");
      Expect(f, font.Charset() == DEFAULT_CHARSET, "added title charset");
      Expect(f, font.Style() == 0, "added title style");
    }
  }

  // The foreign classes every window's manager skins, by kind: edits,
  // buttons, bit buttons, check boxes, combo boxes, grids, group boxes, list
  // views, panels, tree views, three kinds with none, page controls, tab
  // controls, tool bars, status bars, speed buttons.
  void CheckClassLists(const TFound& f, const TsSkinManager& manager) {
    static const std::vector<std::vector<std::string>> stored = {
        {"TEdit", "TMemo", "TMaskEdit", "TLabeledEdit", "THotKey", "TListBox", "TCheckListBox",
         "TRichEdit", "TDateTimePicker"},
        {"TButton"},
        {"TBitBtn"},
        {"TCheckBox", "TRadioButton", "TGroupButton"},
        {"TComboBox", "TColorBox"},
        {"TStringGrid", "TDrawGrid"},
        {"TGroupBox", "TRadioGroup"},
        {"TListView"},
        {"TPanel"},
        {"TTreeView"},
        {" "},
        {" "},
        {" "},
        {"TPageControl"},
        {"TTabControl"},
        {"TToolBar"},
        {"TStatusBar"},
        {"TSpeedButton"}};
    for (size_t i = 0; i < stored.size(); ++i) {
      std::vector<std::string> names;
      const std::string& text = manager.ThirdParty.GetItem(static_cast<int>(i));
      for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find("\r\n", start), text.size());
        names.push_back(text.substr(start, end - start));
        start = end + 2;
      }
      Expect(f, names == stored[i], "class list " + std::to_string(i) + " \"" + text + "\"");
    }
  }

  void Check(const TFound& f) {
    TControl* c = f.Control;
    if (auto* title = dynamic_cast<TsFrameBar::TsTitleButton*>(c)) {
      ++Counts["title"];
      ExpectSection(f, {"BARTITLE"});
      Expect(f, title->SkinData()->ControlType == 20, "control type");
    } else if (auto* bar = dynamic_cast<TsFrameBar*>(c)) {
      ++Counts["frame bar"];
      ExpectSection(f, {"BARPANEL"});
      Expect(f, bar->SkinData()->CustomFont(), "CustomFont");
      Expect(f, !bar->AutoFrameSize(), "AutoFrameSize");
      Expect(f, bar->Spacing() == 0, "Spacing " + std::to_string(bar->Spacing()));
      Expect(f, bar->Images() != nullptr, "Images");
      Expect(f, bar->VertScrollBar()->Tracking(), "vertical tracking");
      Expect(f, !bar->HorzScrollBar()->Visible(), "horizontal bar shown");
    } else if (dynamic_cast<TsBitBtn*>(c) != nullptr) {
      ++Counts["bit button"];
      ExpectSection(f, {"BUTTON"});
    } else if (dynamic_cast<TsTabBtn*>(c) != nullptr) {
      ++Counts["tab button"];
    } else if (dynamic_cast<TsSpeedButton*>(c) != nullptr) {
      ++Counts["speed button"];
      ExpectSection(f, {"SPEEDBUTTON_SMALL", "SPEEDBUTTON"});
    } else if (auto* combo = dynamic_cast<TsComboBox*>(c)) {
      ++Counts["combo box"];
      ExpectSection(f, {"COMBOBOX"});
      Expect(f, combo->Style() == csDropDownList, "Style");
      Expect(f, combo->Alignment() == taLeftJustify, "Alignment");
    } else if (dynamic_cast<TsEdit*>(c) != nullptr) {
      ++Counts["edit"];
      ExpectSection(f, {"EDIT"});
    } else if (auto* panel = dynamic_cast<TsPanel*>(c)) {
      ++Counts["panel"];
      ExpectSection(f, {"PANEL", "EDIT", "CHECKBOX"});
      Expect(f, panel->BevelOuter() == bvNone, "BevelOuter");
    } else if (dynamic_cast<TsBevel*>(c) != nullptr) {
      ++Counts["bevel"];
      Expect(f, c->Align() == alBottom, "Align");
    } else if (dynamic_cast<TsCheckBox*>(c) != nullptr) {
      ++Counts["check box"];
      ExpectSection(f, {"CHECKBOX", "BUTTON"});
    } else if (dynamic_cast<TsRadioButton*>(c) != nullptr) {
      ++Counts["radio button"];
      ExpectSection(f, {"RADIOBUTTON"});
    } else if (dynamic_cast<TsGroupBox*>(c) != nullptr) {
      ++Counts["group box"];
      ExpectSection(f, {"GROUPBOX"});
    } else if (auto* list = dynamic_cast<TsListView*>(c)) {
      ++Counts["list view"];
      ExpectSection(f, {"EDIT"});
      Expect(f, list->ViewStyle() == vsReport, "ViewStyle");
      Expect(f, list->GridLines() && list->RowSelect() && list->ReadOnly(),
             "GridLines, RowSelect, ReadOnly");
    } else if (dynamic_cast<TsStatusBar*>(c) != nullptr) {
      ++Counts["status bar"];
      ExpectSection(f, {"STATUSBAR"});
    } else if (auto* gauge = dynamic_cast<TsGauge*>(c)) {
      ++Counts["gauge"];
      ExpectSection(f, {"GAUGE"});
      Expect(f, gauge->Suffix() == "%", "Suffix");
    } else if (dynamic_cast<TsProgressBar*>(c) != nullptr) {
      ++Counts["progress bar"];
      ExpectSection(f, {"GAUGE"});
    } else if (auto* web = dynamic_cast<TsWebLabel*>(c)) {
      ++Counts[web->Visible() ? "web label" : "hidden web label"];
    } else if (dynamic_cast<TsLabel*>(c) != nullptr) {
      ++Counts["label"];
    } else if (auto* pages = dynamic_cast<TsPageControl*>(c)) {
      ++Counts["page control"];
      CheckPages(f, pages);
    }
  }

  // The outer pages carry the image list and the page-control section; the
  // settings pages are multi-line buttons in the up-down look.
  void CheckPages(const TFound& f, TsPageControl* pages) {
    if (pages->Name() == "PageControl") {
      ExpectSection(f, {"PAGECONTROL"});
      Expect(f, pages->Images() != nullptr, "Images");
    }
    if (pages->Name() != "PageControlMain") return;
    Expect(f, pages->Style() == tsButtons, "Style");
    Expect(f, pages->MultiLine(), "MultiLine");
    for (int i = 0; i < pages->PageCount(); ++i) {
      auto* sheet = dynamic_cast<TsTabSheet*>(pages->Pages(i));
      Expect(f, sheet != nullptr && sheet->TabSkin() == "UPDOWNBTN",
             "tab skin of page " + std::to_string(i));
    }
  }
};

std::string Report(const TChecker& checker) {
  std::string text;
  for (const std::string& line : checker.Faults) text += "\n  " + line;
  return text;
}

// One main window for the suite: it is slow to make.
class WindowSettings : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    form = test::OpenViewOnlyMainWindow();
    PumpUntilIdle();
  }
  static void TearDownTestSuite() {
    if (FormMessage != nullptr) FormMessage->Free();
    FormMessage = nullptr;
    form->Free();
    form = nullptr;
  }
  // Opens every side-bar item by a click on its title.
  // The main window, then each side-bar item's frame opened by a click on
  // its title (opening one closes the last).
  static void WalkMainWindow(TChecker& checker) {
    checker.Window(form, "main window");
    TsFrameBar* bar = form->FrameBar;
    for (int i = 0; i < bar->Items()->Count(); ++i) {
      TsTitleItem* item = bar->Items()->GetItem(i);
      item->Button()->Click();
      PumpUntilIdle();
      ASSERT_NE(item->Frame(), nullptr);
      checker.Window(item->Frame(), "side-bar frame " + std::to_string(i));
    }
  }

  static inline TFormKV69* form = nullptr;
};

// Every window a user can open, each control once.
TEST_F(WindowSettings, EveryWindowHoldsWhatItIsMeantTo) {
  TChecker checker;
  ASSERT_NO_FATAL_FAILURE(WalkMainWindow(checker));
  auto* login = Create<TFormLogin>(Application);
  login->Show();
  PumpUntilIdle();
  checker.Window(login, "login window");
  login->Free();
  // Clear line with no row chosen brings the message window.
  form->lvDo->SetSelected(nullptr);
  form->Pop_Do_ClearLineClick(nullptr);
  ASSERT_NE(FormMessage, nullptr);
  checker.Window(FormMessage, "message window");
  FormMessage->sbtbtn_Ok->Click();
  // The channel rows come with the device's model: one row stands in.
  TFormKV69::SetListViewRows(form->lvTh,
                             {TListRow{"CH1", std::vector<std::string>(ThListColumns - 1)}});
  const std::pair<const char*, TsListView*> lists[] = {
      {"relay dialog", form->lvDo},
      {"channel dialog", form->lvTh},
      {"phone dialog", form->lvTel},
      {"timer dialog", form->lvTimer},
  };
  for (const auto& [place, list] : lists) {
    ASSERT_GT(list->Items()->Count(), 0) << place;
    list->Items()->Item(0)->SetSelected(true);
    EXPECT_TRUE(TModalForm::Run(
        [list = list] {
          if (list == form->lvDo) form->Pop_Do_SettingClick(nullptr);
          if (list == form->lvTh) form->Pop_Th_SettingClick(nullptr);
          if (list == form->lvTel) form->Pop_Phone_SettingClick(nullptr);
          if (list == form->lvTimer) form->Pop_Timer_SettingClick(nullptr);
        },
        [&, place = place](TCustomForm& f) { checker.Window(&f, place); }))
        << place;
  }
  // The progress window as the long operations make it.
  auto* progress = Create<TFormBasicAnimate>(form);
  checker.Window(progress, "progress window");
  progress->Free();
  EXPECT_TRUE(TModalForm::Run([] { form->N_AboutClick(nullptr); },
                              [&](TCustomForm& f) { checker.Window(&f, "about window"); }));

  EXPECT_TRUE(checker.Faults.empty()) << Report(checker);
  // The side bar: one bar, a title per item.
  EXPECT_EQ(checker.Counts["frame bar"], 1);
  EXPECT_EQ(checker.Counts["title"], 6);
  // Login, main window and the six side-bar frames carry their own manager
  // and provider.
  EXPECT_EQ(checker.Counts["provider"], 8);
  EXPECT_EQ(checker.Counts["manager"], 8);
  EXPECT_EQ(checker.Counts["bevel"], 5);
  EXPECT_EQ(checker.Counts["list view"], 4);
  EXPECT_EQ(checker.Counts["status bar"], 1);
  EXPECT_EQ(checker.Counts["combo box"], 7);
}

}  // namespace
}  // namespace kv
