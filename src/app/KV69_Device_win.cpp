// The main window's device commands: relays, current values, the device
// clock, reset and reboot, the port, and the profiles.
#include "app/KV69_Frm_win.h"

namespace kv {

void TFormKV69::WireDeviceCommands() {}
void TFormKV69::ShowDoStatusReply() {}
void TFormKV69::ShowThValuesReply() {}
void TFormKV69::HandleDeviceChange(TMessage&) {}

}  // namespace kv
