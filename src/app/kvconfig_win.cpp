// The program: the login window first, shown modally; once a password (or
// the access code) is accepted, the main window runs until the program ends.
#include <windows.h>

#include <exception>

#include "app/KV69_Frm_win.h"
#include "app/Login_Frm_win.h"
#include "app/Variable_Unt.h"
#include "classlib/Forms.h"
#include "skin/core/acFormServices_win.h"
#include "skin/forms/acFormServicesInstall_win.h"

namespace kv {
namespace {

int RunProgram() {
  InstallFormServices();
  Application->SetTitle("KV41/2/3 Temperature Humidity Data Logger Configurator");
  FormLogin = Create<TFormLogin>(Application);
  FormLogin->ShowModal();
  if (ReplaceLoginWithMainWindow() == nullptr) return 0;
  Application->Run();
  LoginPassword.clear();
  LoginComPort.clear();
  return 0;
}

}  // namespace
}  // namespace kv

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return kv::RunProgram();
  } catch (const std::exception& e) {
    kv::Application->ShowException(e);
    return 1;
  }
}
