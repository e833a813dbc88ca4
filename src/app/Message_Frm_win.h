// The program's message window: one text and an OK button, reused for every
// message, kept above the main window.
#pragma once

#include <string>

namespace kv {

// Shows text in the message window with caption (empty: no caption).
void ShowMessageForm(const std::string& text, const std::string& caption);

}  // namespace kv
