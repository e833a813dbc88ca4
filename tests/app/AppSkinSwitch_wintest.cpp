// A skin chosen from the Skins menu looks as it does when the program starts
// in it: each skin (the shipped Vista and Ocean, a dark textured one and a
// sparse one as users bring them) started fresh, chosen after another skin,
// and chosen again after switching away, shows the same pixels on every page
// of the main window with a side-bar frame open and in every window the
// commands open.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "ModalForm.h"
#include "ProgramState.h"
#include "SkinWalk.h"
#include "app/KV69_Frm_win.h"
#include "app/Message_Frm_win.h"
#include "app/Skins_Unt_win.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sFrameBar_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils_win.h"
#include "support/Pixels.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kv {
namespace {

using kvtest::TPixels;
using pump::PumpUntilIdle;

// Everything a user sees, by name, in order.
using TAlbum = std::vector<std::pair<std::string, TPixels>>;

struct TSwitchCase {
  const char* skin;  // the skin compared
  const char* from;  // the skin switched from
};
void PrintTo(const TSwitchCase& c, std::ostream* os) { *os << c.skin << " after " << c.from; }

// The main window's views: the sheet shown in each of its three page
// controls.
struct TView {
  const char* name;
  int page, settingsPage, inputsPage;
};
constexpr TView kViews[] = {
    {"welcome", 0, 0, 0},       {"basic settings", 1, 0, 0}, {"relays", 1, 1, 0},
    {"channels", 1, 1, 1},      {"numbers", 1, 2, 0},        {"timers", 1, 3, 0},
    {"communication", 1, 4, 0}, {"history", 2, 0, 0},
};

// A legend colour of a test skin by its item, for a failure's message.
std::string Named(COLORREF c, const kvtest::TTestSkin* skin) {
  char text[16];
  std::snprintf(text, sizeof text, "%06lX", c);
  const kvtest::TSkinItem* item = skin != nullptr ? skin->Legend(c) : nullptr;
  if (item == nullptr) return text;
  return std::string(text) + " " + item->Section + "." + item->Key + "#" +
         std::to_string(item->State);
}

// The colour pairs that differ most often, with where each is first seen.
std::string CommonChanges(const TPixels& a, const TPixels& b, const kvtest::TTestSkin* skin) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return {};
  std::map<std::pair<COLORREF, COLORREF>, std::pair<int, POINT>> count;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.At(x, y) != b.At(x, y)) {
        auto& seen = count[{a.At(x, y), b.At(x, y)}];
        if (seen.first++ == 0) seen.second = POINT{x, y};
      }
  std::vector<std::pair<int, std::string>> changes;
  for (const auto& [colours, seen] : count)
    changes.emplace_back(
        seen.first, Named(colours.first, skin) + " -> " + Named(colours.second, skin) + " from (" +
                        std::to_string(seen.second.x) + "," + std::to_string(seen.second.y) + ")");
  std::sort(changes.rbegin(), changes.rend());
  std::string text;
  for (std::size_t i = 0; i < changes.size() && i < 8; ++i)
    text += "\n    " + std::to_string(changes[i].first) + " x " + changes[i].second;
  return text;
}

// The window's client area as it was last painted, and as a full repaint
// gives it.
TPixels ClientAsPainted(HWND wnd) {
  RECT rc{};
  GetClientRect(wnd, &rc);
  HDC dc = GetDC(wnd);
  TPixels img = TPixels::FromDC(dc, rc);
  ReleaseDC(wnd, dc);
  return img;
}

// Each check box and radio button under the window, by owner and name, with
// its skin data.
void ForEachCheckControl(
    TWinControl* parent,
    const std::function<void(TWinControl*, const std::string&, TsCommonData*)>& visit) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* control = dynamic_cast<TWinControl*>(parent->Controls(i));
    if (control == nullptr) continue;
    const std::string key =
        (control->Owner() != nullptr ? control->Owner()->Name() : "") + "." + control->Name();
    if (auto* box = dynamic_cast<TsCheckBox*>(control)) visit(control, key, box->SkinData());
    if (auto* radio = dynamic_cast<TsRadioButton*>(control)) visit(control, key, radio->SkinData());
    ForEachCheckControl(control, visit);
  }
}

class SkinSwitch : public SkinWalkBase, public ::testing::WithParamInterface<TSwitchCase> {
 protected:
  void SetUp() override {
    SkinWalkBase::SetUp();
    if (IsSkipped()) return;
    if (!folder_.Ready()) GTEST_SKIP() << "the build packs no second skin";
  }
  // The main window started in the skin, with the Skins menu, the side bar's
  // history frame open and each list's first row chosen.
  void Start(const char* skin) {
    if (form_) {
      form_.reset();
      ResetProgramState();
    }
    ASSERT_NO_FATAL_FAILURE(Open(folder_.Path() + skin + ".asz"));
    Create<TSoftSkins>(form_.get(), form_->sknmngr, form_->N_Skins, folder_.Path());
    TsFrameBar* bar = form_->FrameBar;
    bar->TitleClick(bar->Items()->GetItem(bar->Items()->Count() - 1));
    for (TsListView* list : {form_->lvDo, form_->lvTh, form_->lvTel, form_->lvTimer})
      if (list->Items()->Count() > 0) list->Items()->Item(0)->SetSelected(true);
    PumpUntilIdle();
  }
  // The Skins menu's item, chosen while the main window is drawn active, as
  // at the start: what the windows take of their parent's picture is taken
  // in the same state.
  void Choose(const char* skin) {
    SendMessageW(form_->Handle(), WM_NCACTIVATE, TRUE, 0);
    ChooseSkin(skin);
  }
  // The side bar as first painted (after the start or the switch) is the
  // side bar painted again.
  void ExpectSideBarRepaintsTheSame(const std::string& when) {
    HWND bar = form_->FrameBar->Handle();
    const TPixels first = ClientAsPainted(bar);
    const TPixels again = TPixels::FromClient(bar);
    EXPECT_TRUE(SamePixels(first, again))
        << "side bar " << when << ": " << Difference(first, again) << " "
        << first.Dump("side-bar-" + when) << CommonChanges(first, again, Legend());
  }
  // The main window as the user sees it, drawn active. Test programs side
  // by side on one desktop take the activation from each other, and the
  // parts of the form's picture that its controls keep follow the form's
  // activation only when they are painted again: they are, first.
  TPixels MainWindow() {
    SendMessageW(form_->Handle(), WM_NCACTIVATE, TRUE, 0);
    TMessage repaint{SM_ALPHACMD, CommandWParam(cmdSetBgChanged), 0, 0};
    BroadcastToChildren(form_.get(), repaint);
    return Seen(form_->Handle());
  }
  TAlbum Album() {
    TAlbum album;
    for (const TView& view : kViews) {
      form_->SelectPages(view.page, view.settingsPage, view.inputsPage);
      PumpUntilIdle();
      album.emplace_back(view.name, MainWindow());
    }
    for (const auto& [place, open] : SmallWindowCommands())
      EXPECT_TRUE(TModalForm::Run(open, [&, name = std::string(place)](TCustomForm& f) {
        album.emplace_back(name, Seen(f.Handle()));
      })) << place;
    ShowMessageForm("Successfully!", "");
    if (FormMessage != nullptr) {
      PumpUntilIdle();
      album.emplace_back("message", Seen(FormMessage->Handle()));
      FormMessage->sbtbtn_Ok->Click();
      PumpUntilIdle();
    }
    return album;
  }
  void ExpectSame(const TAlbum& fresh, const TAlbum& now, const std::string& how) {
    ASSERT_EQ(fresh.size(), now.size()) << how;
    for (std::size_t i = 0; i < fresh.size(); ++i) {
      const auto& [name, start] = fresh[i];
      const TPixels& seen = now[i].second;
      EXPECT_TRUE(SamePixels(start, seen))
          << name << " " << how << ": " << Difference(start, seen) << " "
          << start.Dump(name + "-start") << " " << seen.Dump(name + "-" + how)
          << CommonChanges(start, seen, Legend());
    }
  }
  std::map<std::string, TRect> CheckControlBounds() {
    std::map<std::string, TRect> bounds;
    ForEachCheckControl(form_.get(), [&](TWinControl* c, const std::string& key, TsCommonData*) {
      bounds[key] = c->BoundsRect();
    });
    return bounds;
  }
  // Shown plain, an auto-sized check box or radio button keeps the size the
  // skin before gave it, where a start in the skin leaves the size it was
  // made with: the ones shown plain are given their start bounds again
  // before the windows are compared.
  void GiveBackStartBounds(const std::map<std::string, TRect>& start) {
    ForEachCheckControl(form_.get(), [&](TWinControl* c, const std::string& key, TsCommonData* sd) {
      const auto at = start.find(key);
      if (at != start.end() && !SkinAvailable(sd, true)) c->SetBoundsRect(at->second);
    });
    PumpUntilIdle();
  }
  // The legend of the compared skin when it is a test skin.
  const kvtest::TTestSkin* Legend() const {
    static const kvtest::TTestSkin dark(kvtest::DarkTexturedSkinOptions());
    static const kvtest::TTestSkin sparse(kvtest::SparseSkinOptions());
    const std::string skin = GetParam().skin;
    return skin == "Dark" ? &dark : skin == "Sparse" ? &sparse : nullptr;
  }

  TSkinFolder folder_;
};

TEST_P(SkinSwitch, ShowsWhatAStartInTheSkinShows) {
  const TSwitchCase c = GetParam();
  ASSERT_NO_FATAL_FAILURE(Start(c.skin));
  ExpectSideBarRepaintsTheSame("at the start");
  const TAlbum start = Album();
  const std::map<std::string, TRect> bounds = CheckControlBounds();

  Choose(c.from);
  Choose(c.skin);
  GiveBackStartBounds(bounds);
  ExpectSideBarRepaintsTheSame("switched back");
  ExpectSame(start, Album(), "switched away and back");

  ASSERT_NO_FATAL_FAILURE(Start(c.from));
  Choose(c.skin);
  GiveBackStartBounds(bounds);
  ExpectSideBarRepaintsTheSame("switched to");
  ExpectSame(start, Album(), "switched to");
}

// Each skin after one that differs most from it: the sparse skin after the
// dark one, whose sections it lacks, and the shipped skins after the test
// skins.
INSTANTIATE_TEST_SUITE_P(
    Skins, SkinSwitch,
    ::testing::Values(TSwitchCase{"Vista", "Dark"}, TSwitchCase{"Ocean", "Sparse"},
                      TSwitchCase{"Dark", "Vista"}, TSwitchCase{"Sparse", "Dark"}),
    [](const auto& info) { return std::string(info.param.skin) + "After" + info.param.from; });

}  // namespace
}  // namespace kv
