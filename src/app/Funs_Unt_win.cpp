// The Windows half of the utilities: the port list from the registry, the
// message-pumping wait, restarting, and the start-with-Windows value.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/Funs_Unt.h"
#include "base/StringList.h"
#include "base/SysUtils.h"
#include "classlib/Forms.h"
#include "classlib/Registry.h"
#include "classlib/Resources.h"
#include "devicelink/BasicProtocol_Unt.h"
#include "devicelink/SerialComm_win.h"
#include "classlib/WideText.h"

namespace kv {

namespace {

constexpr DWORD MaxRegText = 256;  // bytes, as the enumeration allows
const char* const RunKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\run";

std::string ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return Narrow(path);
    }
    path.resize(path.size() * 2);
  }
}

// The value name: the path with every lower-case ".exe" taken out.
std::string AutoStartName(std::string path) {
  for (std::size_t at; (at = path.find(".exe")) != std::string::npos;) path.erase(at, 4);
  return path;
}

}  // namespace

void ListSerialPorts(TStringList& list) {
  list.Clear();
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return;
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    wchar_t valueName[MaxRegText];
    DWORD nameLength = MaxRegText;
    BYTE data[MaxRegText + sizeof(wchar_t)] = {};
    DWORD dataSize = MaxRegText;
    DWORD type = 0;
    if (RegEnumValueW(key, index, valueName, &nameLength, nullptr, &type, data, &dataSize) !=
        ERROR_SUCCESS)
      break;
    // The data as text up to its terminating zero (the buffer always has one).
    std::wstring port(reinterpret_cast<const wchar_t*>(data));
    names.push_back(Narrow(port));
  }
  RegCloseKey(key);
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return CompareText(a, b) < 0;
  });
  for (const std::string& name : names) list.Add(name);
}

void Delay(std::int32_t ms) {
  if (ms <= 0) return;
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  for (;;) {
    const auto remaining = static_cast<std::int32_t>(end - GetTickCount());
    if (remaining < 1) return;
    const DWORD woke =
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(remaining), QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) Application->ProcessMessages();
    if (Application->Terminated()) return;
  }
}

void RestartProgram() {
  std::wstring path = Wide(ModulePath());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                      nullptr, nullptr, &startup, &process))
    return;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  ExitProcess(0);
}

void SetAutoStart(bool enable) {
  const std::string path = ModulePath();
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKey(RunKey, true)) {
    if (!enable) return;
    throw ERegistryException("Failed to set data for '" + AutoStartName(path) + "'");
  }
  if (enable) {
    // Quoted, so that a folder with blanks cannot start another program.
    registry.WriteString(AutoStartName(path), "\"" + path + "\"");
  } else {
    registry.DeleteValue(AutoStartName(path));
  }
  registry.CloseKey();
}

bool IsAutoStart() {
  TRegistry registry(KEY_READ);
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKeyReadOnly(RunKey)) return false;
  return registry.ValueExists(AutoStartName(ModulePath()));
}

void ApplyProgramFormLook(TCustomForm& form) {
  TFont font;
  font.SetName("新宋体");
  font.SetCharset(GB2312_CHARSET);
  font.SetSize(9);
  form.SetFont(font);
  if (HINSTANCE module = GetModuleHandleW(nullptr);
      ResourceExists(module, "MAINICON", RT_GROUP_ICON))
    form.Icon().LoadFromResourceName(module, "MAINICON");
}

void SetUpDevicePort(TComm& port, std::uint16_t xonXoffLimit) {
  port.SetBaudRate(115200);
  port.SetTxContinueOnXoff(false);
  port.SetXonLimit(xonXoffLimit);
  port.SetXoffLimit(xonXoffLimit);
  port.SetByteSize(TByteSize::_8);
  port.SetParity(TParity::None);
  port.SetStopBits(TStopBits::_1);
  port.SetDtrControl(TDtrControl::DtrDisable);
  port.SetRtsControl(TRtsControl::RtsDisable);
  port.SetOutx_CtsFlow(false);
  port.SetOutx_DsrFlow(false);
  port.SetOutx_XonXoffFlow(false);
  port.SetInx_XonXoffFlow(false);
  port.SetReadIntervalTimeout(100);
  port.SetFrameLength(&TBasicProtocol::FrameLength);
  port.SetReadTotalTimeoutMultiplier(0);
  port.SetReadTotalTimeoutConstant(0);
  port.SetWriteTotalTimeoutMultiplier(0);
  port.SetWriteTotalTimeoutConstant(0);
}

}  // namespace kv
