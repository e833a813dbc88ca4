// Which activated window the dialog hook gives a provider, and which pop-up
// menu window a menu adapter.
#include "skin/forms/acDialsRules.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using C = TacProviderCase;

TacActivation Form(std::string_view name) {
  TacActivation w;
  w.HasManager = true;
  w.IsForm = true;
  w.ClassName = name;
  w.SkinStdForms = w.SkinStdDialogs = true;
  return w;
}

TacActivation Dialog() {
  TacActivation w = Form("#32770");
  w.IsForm = false;
  return w;
}

TEST(DialogHookRules, WhoGetsAProvider) {
  const struct {
    const char* what;
    TacActivation w;
    void (*change)(TacActivation&);
    C want;
  } rows[] = {
      {"a plain form", Form("TSettingForm"), [](TacActivation&) {}, C::Form},
      {"skinned already", Form("TSettingForm"), [](TacActivation& w) { w.Skinned = true; },
       C::Refused},
      {"no manager", Form("TSettingForm"), [](TacActivation& w) { w.HasManager = false; },
       C::Refused},
      {"has one already", Dialog(), [](TacActivation& w) { w.HasProvider = true; }, C::Refused},
      {"Tag -98", Form("TSettingForm"), [](TacActivation& w) { w.FormTag = -98; }, C::Refused},
      {"Tag 98 is skinned", Form("TSettingForm"), [](TacActivation& w) { w.FormTag = 98; },
       C::Form},
      {"the application window", Form("TApplication"), [](TacActivation&) {}, C::Refused},
      {"a preview", Form("TQRStandardPreview"), [](TacActivation&) {}, C::Refused},
      {"message form, forms only", Form("TMessageForm"),
       [](TacActivation& w) { w.SkinStdDialogs = false; }, C::Refused},
      {"plain form, forms only", Form("TSettingForm"),
       [](TacActivation& w) { w.SkinStdDialogs = false; }, C::Form},
      {"message form, dialogs only", Form("TMessageForm"),
       [](TacActivation& w) { w.SkinStdForms = false; }, C::Form},
      {"plain form, dialogs only", Form("TSettingForm"),
       [](TacActivation& w) { w.SkinStdForms = false; }, C::Refused},
      {"a system dialog", Dialog(), [](TacActivation&) {}, C::Dialog},
      {"a foreign window", Dialog(), [](TacActivation& w) { w.ClassName = "Notepad"; }, C::Refused},
      {"dialog, forms only", Dialog(), [](TacActivation& w) { w.SkinStdDialogs = false; },
       C::Refused},
      {"second box over a dialog", Dialog(), [](TacActivation& w) { w.VisibleDialogs = 1; },
       C::Refused},
      {"file dialog over a box", Dialog(),
       [](TacActivation& w) {
         w.VisibleDialogs = 1;
         w.HasToolBar = true;
       },
       C::Dialog},
  };
  for (const auto& r : rows) {
    TacActivation w = r.w;
    r.change(w);
    EXPECT_EQ(r.want, ProviderCaseOf(w)) << r.what;
  }
}

TEST(DialogHookRules, OnlyAnUnskinnedMenuWindowWithoutCompositionGetsAnAdapter) {
  EXPECT_TRUE(MenuWindowGetsAdapter("#32768", false, true, false));
  EXPECT_FALSE(MenuWindowGetsAdapter("#32768", true, true, false)) << "composition on";
  EXPECT_FALSE(MenuWindowGetsAdapter("#32768", false, false, false)) << "pop-ups not skinned";
  EXPECT_FALSE(MenuWindowGetsAdapter("#32768", false, true, true)) << "skinned already";
  EXPECT_FALSE(MenuWindowGetsAdapter("#32770", false, true, false)) << "not a menu";
}

}  // namespace
}  // namespace kv
