// What a window test of the configurator leaves in the program's globals,
// put back for the next test: the session's model and login, the channel
// rows, and a reply time-out the old window posted.
#pragma once

#include <windows.h>

#include "app/KV69_Engine.h"
#include "app/Login_Frm_win.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/Variable_Unt.h"
#include "classlib/Forms.h"

namespace kv {

inline void ResetProgramState() {
  MSG msg;
  while (PeekMessageW(&msg, Application->Handle(), WM_REPLYTIMEOUT, WM_REPLYTIMEOUT, PM_REMOVE)) {
  }
  ModelIndex = -1;
  ThRowsBuilt = false;
  LoginPassword.clear();
  LoginComPort.clear();
}

}  // namespace kv
