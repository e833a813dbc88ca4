// Toolkit helpers without state that need no window system: path text and
// the message-box style chosen for a type and a set of buttons.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// A directory text ready for a file name to be appended: unchanged when
// empty or ending in "\"; a final "/" becomes "\"; a drive letter gets ":\".
std::string AddTrailingBackslash(std::string_view dir);

// Message-box types in the order of the class library's message-dialog types
// (warning, error, information, confirmation, custom).
enum class TacMsgType { Warning, Error, Information, Confirmation, Custom };

// The dialog buttons a message box may offer, as a set.
using TacMsgButtons = std::uint32_t;
namespace msgbtn {
inline constexpr TacMsgButtons Yes = 1u << 0, No = 1u << 1, OK = 1u << 2, Cancel = 1u << 3,
                               Abort = 1u << 4, Retry = 1u << 5, Ignore = 1u << 6, Help = 1u << 7;
}

// The platform's MessageBox flags (values fixed by the platform).
struct TacMessageBoxLook {
  std::uint32_t Style = 0;
  std::string Caption;
};

// The style and caption of a toolkit message box: the type's icon, always in
// the foreground and on top, the buttons' style; an empty caption takes the
// type's own ("Warning", "Error", "Information", "Confirm").
TacMessageBoxLook MessageBoxLook(TacMsgType type, TacMsgButtons buttons,
                                 std::string_view caption);

}  // namespace kv
