// The Skins menu as a user uses it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "classlib/Menus.h"
#include "support/Pump.h"

namespace kv {

// Clicks the item of the Skins menu with the caption, the last one of that
// caption (the items of a test's own folder come after any found next to
// the program), and lets the windows repaint.
inline void ClickSkinsItem(TMenuItem& skins, const std::string& caption) {
  for (int i = skins.Count() - 1; i >= 0; --i) {
    if (skins.Items(i)->Caption() != caption) continue;
    skins.Items(i)->Click();
    pump::PumpUntilIdle();
    return;
  }
  ADD_FAILURE() << "no Skins item " << caption;
}

}  // namespace kv
