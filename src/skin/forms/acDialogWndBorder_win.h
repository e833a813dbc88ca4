// The extended-border window of a skinned system dialog.
#pragma once

#include <memory>

#include "skin/forms/acDialogWnd_win.h"

namespace kv {

// The companion around the dialog, null when the dialog cannot have one
// (no usable skin or no window).
std::unique_ptr<TacDialogBorder> NewDialogBorder(TacDialogWnd& dialog);

}  // namespace kv
