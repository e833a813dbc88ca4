// The toolkit's containers whose sections the skin lacks show plain, and a
// standard window made in one of them later still takes the skin from the
// form's control adapter, as it does in a container the skin has.
#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>

#include "SkinnedFormFixture.h"
#include "classlib/StdCtrls.h"
#include "skin/adapters/acButtonWnd_win.h"
#include "skin/adapters/acMainWnd_win.h"
#include "skin/controls/sGroupBox_win.h"
#include "skin/controls/sPageControl_win.h"
#include "skin/controls/sPanel_win.h"
#include "support/Pump.h"

namespace kv {
namespace {

class ContainersOfferChildren : public ::testing::TestWithParam<bool>,
                                public kvtest::TSkinnedFormFixture {
 protected:
  // With the parameter set the skin has no section for any of them.
  ContainersOfferChildren()
      : kvtest::TSkinnedFormFixture(
            GetParam() ? kvtest::TTestSkinOptions{.Lacks = {"PANEL", "GROUPBOX", "PAGECONTROL",
                                                            "TABSHEET"}}
                       : kvtest::TTestSkinOptions{}) {}

  template <class T>
  T* Add(TWinControl* parent, int x, int y, int w, int h) {
    auto* c = Create<T>(form);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    return c;
  }
};

TEST_P(ContainersOfferChildren, AWindowMadeInOneLaterTakesTheSkin) {
  form->SetBounds(40, 40, 520, 360);
  auto* panel = Add<TsPanel>(form, 10, 10, 160, 150);
  auto* group = Add<TsGroupBox>(form, 180, 10, 160, 150);
  auto* pages = Add<TsPageControl>(form, 350, 10, 160, 150);
  auto* sheet = Create<TsTabSheet>(form);
  sheet->SetPageControl(pages);
  Provide();
  Show();
  for (TWinControl* parent : std::initializer_list<TWinControl*>{panel, group, sheet}) {
    SCOPED_TRACE(parent->ClassName());
    auto* late = Add<TCheckBox>(parent, 10, 30, 120, 22);
    late->HandleNeeded();
    kvtest::PumpUntilIdle();
    EXPECT_NE(dynamic_cast<TacCheckBoxWnd*>(AdapterOfWindow(late->Handle())), nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(Skin, ContainersOfferChildren, ::testing::Values(false, true),
                         [](const auto& info) {
                           return std::string(info.param ? "LacksTheirSections" : "HasThem");
                         });

}  // namespace
}  // namespace kv
