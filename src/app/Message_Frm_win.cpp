#include "app/Message_Frm_win.h"

namespace kv {

void ShowMessageForm(const std::string&, const std::string&) {}

}  // namespace kv
