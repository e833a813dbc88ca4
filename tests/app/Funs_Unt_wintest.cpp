// The Windows half of the utilities: the port list, the pumping wait and the
// start-with-Windows value, under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/Funs_Unt.h"
#include "base/StringList.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/WideText.h"

namespace kv {
namespace {

const wchar_t* const SerialCommKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

class SerialCommEntries {
 public:
  explicit SerialCommEntries(const std::vector<std::wstring>& ports) {
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, SerialCommKey, 0, nullptr, REG_OPTION_VOLATILE,
                    KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    for (const std::wstring& port : ports) {
      names_.push_back(L"\\Device\\KvFunsTest" + port);
      RegSetValueExW(key_, names_.back().c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(port.c_str()),
                     static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t)));
    }
  }
  ~SerialCommEntries() {
    for (const std::wstring& name : names_) RegDeleteValueW(key_, name.c_str());
    RegCloseKey(key_);
  }

 private:
  HKEY key_ = nullptr;
  std::vector<std::wstring> names_;
};

TEST(ListSerialPorts, SortsTheRegisteredNamesCaseInsensitively) {
  SerialCommEntries entries({L"COM3", L"COM10", L"COM1"});
  TStringList list;
  list.Add("stale entry");
  ListSerialPorts(list);
  EXPECT_EQ(-1, list.IndexOf("stale entry"));
  const int com1 = list.IndexOf("COM1");
  const int com10 = list.IndexOf("COM10");
  const int com3 = list.IndexOf("COM3");
  ASSERT_GE(com1, 0);
  EXPECT_LT(com1, com10);
  EXPECT_LT(com10, com3);
}

TEST(Delay, KeepsTimersAndTheApplicationsMessageHooksRunning) {
  Owned<TTimer> timer = CreateOwned<TTimer>();
  int ticks = 0;
  timer->SetInterval(10);
  timer->OnTimer = [&](TObject*) { ++ticks; };
  Owned<TApplicationEvents> events = CreateOwned<TApplicationEvents>();
  bool hookSawPost = false;
  events->OnMessage = [&](MSG& msg, bool&) {
    if (msg.message == WM_APP + 7) hookSawPost = true;
  };
  PostMessageW(Application->Handle(), WM_APP + 7, 0, 0);
  Delay(150);
  EXPECT_GT(ticks, 0);
  EXPECT_TRUE(hookSawPost);
}

TEST(Delay, ReturnsAtOnceForZeroOrLess) {
  Owned<TApplicationEvents> events = CreateOwned<TApplicationEvents>();
  bool hookSawPost = false;
  events->OnMessage = [&](MSG& msg, bool&) {
    if (msg.message == WM_APP + 8) hookSawPost = true;
  };
  PostMessageW(Application->Handle(), WM_APP + 8, 0, 0);
  Delay(0);
  Delay(-5);
  EXPECT_FALSE(hookSawPost) << "nothing is dispatched by an empty wait";
  Application->ProcessMessages();
}

TEST(SetAutoStart, WritesAndDeletesTheValueThatIsAutoStartReads) {
  SetAutoStart(true);
  EXPECT_TRUE(IsAutoStart());
  // The value holds the program's path, quoted.
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                          0, KEY_READ, &key));
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path);
  for (std::size_t at; (at = name.find(L".exe")) != std::wstring::npos;) name.erase(at, 4);
  wchar_t data[MAX_PATH + 4] = {};
  DWORD size = sizeof(data);
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, name.c_str(), nullptr, nullptr,
                                            reinterpret_cast<BYTE*>(data), &size));
  RegCloseKey(key);
  EXPECT_EQ(L"\"" + std::wstring(path) + L"\"", std::wstring(data));
  SetAutoStart(false);
  EXPECT_FALSE(IsAutoStart());
  SetAutoStart(false);  // deleting a missing value is no error
  EXPECT_FALSE(IsAutoStart());
}

}  // namespace
}  // namespace kv
