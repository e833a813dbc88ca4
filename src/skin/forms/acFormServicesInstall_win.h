#pragma once
// The program's start-up call that fills the form services (the table the
// skin core calls through, skin/core/acFormServices_win.h) with the menus',
// dialogs' and frames' skinning. It names them all, so it lives on top.

namespace kv {

// Puts the services that exist into the table: called once at start-up.
void InstallFormServices();

}  // namespace kv
