// The skinned speed button's Redraw among the main window's 35 speed
// buttons, with the default skin, run by hand:
//   scripts/wine run <build>/bench/skin_speedbutton_bench.exe [rounds]
// A Redraw after a state change rebuilds the cache, paints the windowless
// siblings lying over the button into it and copies it to the parent; the
// siblings here overlap in pairs, as the side bar's glyph buttons do.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "BenchSkin_win.h"
#include "BenchTiming.h"
#include "classlib/Forms.h"
#include "skin/controls/sSpeedButton_win.h"
#include "skin/core/sSkinManager_win.h"

using namespace kv;

namespace {

constexpr int kSiblings = 35;

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();
  TForm* form = Create<TForm>(Application);
  form->SetBounds(0, 0, 900, 400);
  std::vector<TsSpeedButton*> buttons;
  for (int i = 0; i < kSiblings; ++i) {
    auto* b = Create<TsSpeedButton>(form);
    b->SetParent(form);
    b->SkinData()->SetSkinSection(i < 26 ? "SPEEDBUTTON_SMALL" : "SPEEDBUTTON");
    b->SetBounds(10 + (i % 12) * 70, 10 + (i / 12) * 60, 90, 40);
    b->SetSpacing(3);
    b->SetCaption("Button " + std::to_string(i + 1));
    buttons.push_back(b);
  }
  form->Show();
  Application->ProcessMessages();
  TsSpeedButton* button = buttons[13];
  const double alone = MedianUs(rounds, [&] {
    button->SkinData()->BGChanged = true;
    button->Redraw();
  });
  const double copy = MedianUs(rounds, [&] { button->Redraw(); });
  std::printf("speed button Redraw, new picture with siblings (of %d): %8.1f us median of %d\n",
              kSiblings, alone, rounds);
  std::printf("speed button Redraw, cache copied only:               %8.1f us median of %d\n", copy,
              rounds);
  form->Free();
  return 0;
}
