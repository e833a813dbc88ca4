#include "skin/model/acToolkitFlags.h"

namespace kv {

bool AnimationActive = false;
HDC__* AnimationDC = nullptr;
bool SkinChanging = false;
bool AnimationsOff = false;
bool ButtonPressedOverride = false;
bool SuppressMouseEnter = false;
bool NewSkinInProgress = false;
int WindowsMajorVersion = 0;
TsDisabledKind GlobalDisabledKind = dkBlended;

}  // namespace kv
