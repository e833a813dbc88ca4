#include "skin/forms/acDialsRules.h"

namespace kv {

TacProviderCase ProviderCaseOf(const TacActivation& w) {
  using C = TacProviderCase;
  if (w.Skinned || !w.HasManager || w.HasProvider) return C::Refused;
  if (w.IsForm) {
    if (w.FormTag == acTagNeverSkin) return C::Refused;
    const std::string_view name = w.ClassName;
    if (name == "TApplication" || name == "TQRStandardPreview" || name == "TfcPopup")
      return C::Refused;
    if (name == "TMessageForm") return w.SkinStdDialogs ? C::Form : C::Refused;
    return w.SkinStdForms ? C::Form : C::Refused;
  }
  if (w.ClassName != "#32770" || !w.SkinStdDialogs) return C::Refused;
  if (w.VisibleDialogs > 0 && !w.HasToolBar) return C::Refused;
  return C::Dialog;
}

bool MenuWindowGetsAdapter(std::string_view className, bool composition, bool skinnedPopups,
                           bool skinned) {
  return className == "#32768" && !composition && skinnedPopups && !skinned;
}

}  // namespace kv
