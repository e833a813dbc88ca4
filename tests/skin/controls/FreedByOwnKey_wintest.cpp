// Every skinned control that takes the focus, freed by its own handler of a
// key typed into it (an editor put in place for one entry, gone at its
// Enter or Escape): nothing touches the control afterwards (the
// freed-memory check makes a look at it fault), and the key is not passed
// on to its window.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/controls/SkinnedForm.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sComboBox_win.h"
#include "skin/controls/sEdit_win.h"
#include "skin/controls/sListView_win.h"
#include "skin/controls/sPageControl_win.h"
#include "support/FreedMemory.h"

namespace kv {
namespace {

using pump::PumpUntil;
using pump::PumpUntilIdle;

struct TKind {
  const char* name;
  std::function<TWinControl*(TForm*)> make;
};

template <class T>
TKind Kind(const char* name) {
  return {name, [](TForm* form) -> TWinControl* { return Create<T>(form); }};
}

enum TKeyEventKind { keDown, kePress, keUp };

struct TCase {
  TKind kind;
  TKeyEventKind event;
};

std::string CaseName(const ::testing::TestParamInfo<TCase>& info) {
  static const char* const events[] = {"OnKeyDown", "OnKeyPress", "OnKeyUp"};
  std::string name = std::string(info.param.kind.name) + "_" + events[info.param.event];
  for (char& ch : name)
    if (ch == ' ') ch = '_';
  return name;
}

std::vector<TCase> Cases() {
  const std::vector<TKind> kinds = {
      Kind<TsBitBtn>("TsBitBtn"),
      Kind<TsCheckBox>("TsCheckBox"),
      Kind<TsRadioButton>("TsRadioButton"),
      Kind<TsEdit>("TsEdit"),
      Kind<TsComboBox>("TsComboBox"),
      {"TsComboBox list",
       [](TForm* form) -> TWinControl* {
         auto* c = Create<TsComboBox>(form);
         c->SetStyle(csDropDownList);
         return c;
       }},
      Kind<TsListView>("TsListView"),
      {"TsPageControl",
       [](TForm* form) -> TWinControl* {
         auto* pages = Create<TsPageControl>(form);
         auto* sheet = Create<TsTabSheet>(form);
         sheet->SetPageControl(pages);
         sheet->SetCaption("One");
         return pages;
       }},
  };
  std::vector<TCase> cases;
  for (const TKind& k : kinds)
    for (TKeyEventKind e : {keDown, kePress, keUp})
      // The edit of a combo box tells its box of no key going up.
      if (e != keUp || std::string(k.name) != "TsComboBox") cases.push_back({k, e});
  return cases;
}

class FreedByOwnKey : public kvtest::TSkinnedFormTest, public ::testing::WithParamInterface<TCase> {};

TEST_P(FreedByOwnKey, NothingTouchesTheControlAfterwards) {
  Load();
  Show();
  const kvtest::TFreedMemoryCheck freed;
  TWinControl* c = GetParam().kind.make(form);
  c->SetParent(form);
  c->SetBounds(20, 20, 140, 60);
  c->SetFocus();
  PumpUntilIdle();
  // An editable combo box has the focus in its edit.
  HWND wnd = GetFocus();
  ASSERT_TRUE(wnd == c->Handle() || IsChild(c->Handle(), wnd));
  int calls = 0;
  const auto freeIt = [&] {
    ++calls;
    c->Free();
  };
  switch (GetParam().event) {
    case keDown:
      c->OnKeyDown = [&](TObject*, WORD&, TShiftState) { freeIt(); };
      break;
    case kePress:
      c->OnKeyPress = [&](TObject*, wchar_t&) { freeIt(); };
      break;
    case keUp:
      c->OnKeyUp = [&](TObject*, WORD&, TShiftState) { freeIt(); };
      break;
  }
  // As the keyboard gives it: down, the character it makes, up.
  const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyW('A', MAPVK_VK_TO_VSC)) << 16);
  PostMessageW(wnd, WM_KEYDOWN, 'A', down);
  PostMessageW(wnd, WM_CHAR, 'a', down);
  PostMessageW(wnd, WM_KEYUP, 'A', down | (1u << 30) | (1u << 31));
  ASSERT_TRUE(PumpUntil([&] { return calls > 0; })) << "the handler never ran";
  PumpUntilIdle();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(freed.Faults(), 0u) << "the freed control was read";
}

INSTANTIATE_TEST_SUITE_P(Controls, FreedByOwnKey, ::testing::ValuesIn(Cases()), CaseName);

}  // namespace
}  // namespace kv
