// The program: the login window first, shown modally; once a password (or
// the access code) is accepted, the main window runs until the program ends.
#include <windows.h>

#include <exception>

#include "app/KV69_Frm_win.h"
#include "app/Login_Frm_win.h"
#include "app/Variable_Unt.h"
#include "classlib/Forms.h"
#include "skin/core/acFormServices_win.h"

namespace kv {
namespace {

int RunProgram() {
  InstallFormServices();
  Application->SetTitle("KV41/2/3 Temperature Humidity Data Logger Configurator");
  FormLogin = Create<TFormLogin>(Application);
  FormLogin->ShowModal();
  const bool accepted = FormLogin->Accepted();
  // A port left open by a refused attempt closes with the window.
  FormLogin->ComPort->ClosePort();
  FormLogin->Free();
  FormLogin = nullptr;
  LoginRecvBuffer.clear();
  if (!accepted || Application->Terminated()) return 0;
  TFormKV69* main = nullptr;
  Application->CreateForm(main);
  Application->SetMainForm(main);
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
