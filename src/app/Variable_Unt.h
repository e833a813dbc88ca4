// The application's global lists and strings, shared by the login window and
// the main window.
#pragma once

#include <string>
#include <string_view>

#include "base/StringList.h"

namespace kv {

// Opens the main window in its view-only state without talking to a device.
inline constexpr std::string_view AccessCode = "MOVRELKAT";

// The serial port names found in the registry.
extern TStringList ComPortList;
// Lines of the history CSV export and import.
extern TStringList CsvLineList;
// The password accepted by the device (the text that was sent), or the
// access code.
extern std::string LoginPassword;
// The port on which the password was accepted; empty after the access code.
extern std::string LoginComPort;

}  // namespace kv
