// The main window's list pop-up menus and their setting dialogs.
#include "app/KV69_Frm_win.h"

namespace kv {

void TFormKV69::WireListCommands() {}

}  // namespace kv
