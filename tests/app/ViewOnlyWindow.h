// The main window as the access code opens it: no port, status "View", the
// model not known yet.
#pragma once

#include <string>

#include "app/KV69_Frm_win.h"
#include "app/Variable_Unt.h"

namespace kv::test {

inline TFormKV69* OpenViewOnlyMainWindow() {
  LoginPassword = std::string(AccessCode);
  LoginComPort.clear();
  ModelIndex = -1;
  TFormKV69* form = Create<TFormKV69>(nullptr);
  form->Show();
  return form;
}

}  // namespace kv::test
