// The real kvconfig.exe against the device simulator, driven from outside
// the way a user works it: keys into its windows, found by their class, and
// nothing called inside the program. Run through scripts/serial-test.
//
// KV_KVCONFIG_EXE overrides the program (default: the build's own, next to
// this test's folder); with KV_DRIVE_SHOTS set to a folder, a picture of the
// screen is saved there at each step (needs a real display driver).
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "../devicelink/SerialTestSupport.h"
#include "skin/core/sSkinManager_win.h"

namespace kv {
namespace {

using test::Env;

constexpr DWORD StepTimeoutMs = 30000;
// The simulator's factory password, typed in the login window.
constexpr const char* DevicePassword = "9173";
constexpr int ReadBlocks = 14;
constexpr int WriteBlocks = 15;

struct TFindWindow {
  DWORD Process;
  const wchar_t* Class;
  HWND Found;
};

BOOL CALLBACK MatchWindow(HWND wnd, LPARAM param) {
  auto* find = reinterpret_cast<TFindWindow*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(wnd, &process);
  wchar_t cls[64] = {};
  GetClassNameW(wnd, cls, 64);
  if (process != find->Process || !IsWindowVisible(wnd) || lstrcmpW(cls, find->Class) != 0)
    return TRUE;
  find->Found = wnd;
  return FALSE;
}

// Waits for a condition the user could see, or gives up after the step's time.
template <class F>
bool WaitFor(F done, DWORD ms = StepTimeoutMs) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (!done()) {
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
  return true;
}

// True once the toolkit paints the window's frame in a skin: it then gives the
// window a region of the frame's shape. A window that came up plain (Wine's
// own frame) has none. Asked of the window server, so it holds whatever the
// display driver.
bool WearsSkinnedFrame(HWND wnd) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const int kind = GetWindowRgn(wnd, region);
  DeleteObject(region);
  return kind != ERROR && kind != NULLREGION;
}

// The packed skin a program file carries as its stored skin (the resource
// the skin manager reads from the running program); empty when it has none.
std::string StoredSkinOf(const std::string& exe) {
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return {};
  std::string bytes;
  HRSRC found = FindResourceA(module, DefaultSkinResource, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  if (loaded != nullptr)
    bytes.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
  FreeLibrary(module);
  return bytes;
}

// The port the combo box shows.
std::string ComboText(HWND combo) {
  const LRESULT chosen = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  wchar_t text[64] = {};
  if (chosen < 0 || SendMessageW(combo, CB_GETLBTEXTLEN, chosen, 0) >= 64) return {};
  SendMessageW(combo, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(text));
  return std::string(text, text + lstrlenW(text));
}

class Drive : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!sim_.Present()) GTEST_SKIP() << "needs scripts/serial-test";
    shots_ = Env("KV_DRIVE_SHOTS");
    ListPort();
    std::string exe = Env("KV_KVCONFIG_EXE");
    if (exe.empty()) {
      char self[MAX_PATH] = {};
      GetModuleFileNameA(nullptr, self, MAX_PATH);
      exe = self;
      exe = exe.substr(0, exe.find_last_of('\\')) + "\\..\\..\\src\\app\\kvconfig.exe";
    }
    exe_ = exe;
    STARTUPINFOA start{};
    start.cb = sizeof start;
    std::string command = "\"" + exe + "\"";
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &start, &program_))
        << "cannot start " << exe;
  }
  void TearDown() override {
    if (program_.hProcess != nullptr) {
      // A program that did not end by its own menu is stopped here.
      if (WaitForSingleObject(program_.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(program_.hProcess, 1);
      CloseHandle(program_.hProcess);
      CloseHandle(program_.hThread);
    }
    if (!valueName_.empty()) {
      HKEY key = nullptr;
      if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, SerialCommKey, 0, KEY_ALL_ACCESS, &key) == 0) {
        RegDeleteValueW(key, valueName_.c_str());
        RegCloseKey(key);
      }
    }
  }

  // The simulator's port, listed where the system lists serial ports, so
  // that the login window offers it.
  void ListPort() {
    const std::string port = sim_.Port();
    const std::wstring wide(port.begin(), port.end());
    valueName_ = L"\\Device\\KvDrive" + wide;
    HKEY key = nullptr;
    ASSERT_EQ(0, RegCreateKeyExW(HKEY_LOCAL_MACHINE, SerialCommKey, 0, nullptr, REG_OPTION_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExW(key, valueName_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                   static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }

  HWND Window(const wchar_t* cls) {
    TFindWindow find{program_.dwProcessId, cls, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&find));
    return find.Found;
  }
  // The child windows of a class, in the order the system lists them.
  static std::vector<HWND> Children(HWND parent, const wchar_t* cls) {
    std::pair<const wchar_t*, std::vector<HWND>> found{cls, {}};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&found));
    return found.second;
  }
  static BOOL CALLBACK CollectChild(HWND wnd, LPARAM param) {
    auto* found = reinterpret_cast<std::pair<const wchar_t*, std::vector<HWND>>*>(param);
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    if (lstrcmpW(name, found->first) == 0) found->second.push_back(wnd);
    return TRUE;
  }
  static HWND Child(HWND parent, const wchar_t* cls) {
    const std::vector<HWND> found = Children(parent, cls);
    return found.empty() ? nullptr : found.front();
  }

  // A key pressed and let go, as the keyboard delivers it to a window.
  static void Key(HWND wnd, WORD key, bool alt = false) {
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16) | (alt ? (1 << 29) : 0);
    const LPARAM up = down | (1u << 30) | (1u << 31);
    PostMessageW(wnd, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, down);
    PostMessageW(wnd, alt ? WM_SYSKEYUP : WM_KEYUP, key, up);
  }
  // Alt opens the menu bar at its first title; the arrows walk to the item.
  static void MenuCommand(HWND wnd, int title, int item) {
    Key(wnd, VK_MENU, true);
    for (int i = 0; i < title; ++i) Key(wnd, VK_RIGHT);
    Key(wnd, VK_DOWN);
    for (int i = 0; i < item; ++i) Key(wnd, VK_DOWN);
    Key(wnd, VK_RETURN);
  }
  // The place of a skin in the Skins menu, which lists the program's skin
  // files sorted by name; -1 when the program has no such file.
  int SkinItemIndex(const std::string& name) const {
    const std::string folder = exe_.substr(0, exe_.find_last_of('\\')) + "\\Skins\\";
    if (GetFileAttributesA((folder + name + ".asz").c_str()) == INVALID_FILE_ATTRIBUTES) return -1;
    int before = 0;
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA((folder + "*.asz").c_str(), &found);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found))
      if (lstrcmpiA(found.cFileName, (name + ".asz").c_str()) < 0) ++before;
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    return before;
  }
  // A click of the left mouse button at a point of a window's client area.
  static void Click(HWND wnd, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageW(wnd, WM_MOUSEMOVE, 0, at);
    PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(wnd, WM_LBUTTONUP, 0, at);
  }

  // Requests of one command byte in the simulator's log.
  int Requests(const char* command) const {
    int n = 0;
    for (const std::string& frame : sim_.Log("rx"))
      if (frame.rfind(std::string("23") + command, 0) == 0) ++n;
    return n;
  }

  // The screen as it is now, as a BMP file named after the step.
  void Shot(const std::string& step) {
    if (shots_.empty()) return;
    // Let the windows finish painting what the step changed.
    Sleep(1500);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD size = static_cast<DWORD>(((w * 3 + 3) & ~3) * h);
    BITMAPFILEHEADER file{0x4D42, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size, 0, 0,
                          sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    std::string data(reinterpret_cast<const char*>(&file), sizeof file);
    data.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    data.append(static_cast<const char*>(bits), size);
    const std::string path = shots_ + "\\" + step + ".bmp";
    EXPECT_TRUE(test::ReplaceFileText(path, data)) << path;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    printf("screenshot %s\n", path.c_str());
  }

  // Logs in to the simulator from the login window, pictured as loginShot,
  // and waits for the main window with its lists filled.
  void LogIn(HWND& main, const std::string& loginShot) {
    HWND login = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (login = Window(L"TFormLogin")) != nullptr; }))
        << "no login window";
    HWND combo = Child(login, L"TsComboBox");
    HWND password = Child(login, L"TsEdit");
    ASSERT_NE(nullptr, combo);
    ASSERT_NE(nullptr, password);
    // The port: from the top of the list down until the simulator's shows,
    // one key at a time, each seen to move the choice before the next.
    const auto chosen = [combo] { return SendMessageW(combo, CB_GETCURSEL, 0, 0); };
    Key(combo, VK_HOME);
    ASSERT_TRUE(WaitFor([&] { return chosen() == 0; }));
    for (LRESULT at = 0; ComboText(combo) != sim_.Port(); at = chosen()) {
      Key(combo, VK_DOWN);
      if (!WaitFor([&] { return chosen() != at; }, 5000)) break;
    }
    ASSERT_EQ(sim_.Port(), ComboText(combo));
    // The password box holds the factory password; typed again all the same.
    PostMessageW(password, EM_SETSEL, 0, -1);
    Key(password, VK_DELETE);
    for (const char* c = DevicePassword; *c != 0; ++c) PostMessageW(password, WM_CHAR, *c, 1);
    Shot(loginShot);
    Key(password, VK_RETURN);

    ASSERT_TRUE(WaitFor([&] { return (main = Window(L"TFormKV69")) != nullptr; }))
        << "no main window after the login";
    EXPECT_TRUE(WaitFor([&] { return WearsSkinnedFrame(main); }))
        << "the main window came up plain";
    // The main window sends the password and asks for the version by itself;
    // the channel list fills once the version told the model.
    ASSERT_TRUE(WaitFor([&] {
      const std::vector<HWND> lists = Children(main, L"TsListView");
      for (HWND list : lists)
        if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 0) return false;
      return lists.size() == 4;
    })) << Requests("05")
        << " version requests, the channel list stayed empty";
  }

  static constexpr const wchar_t* SerialCommKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
  test::Simulator sim_;
  std::string shots_;
  std::string exe_;
  std::wstring valueName_;
  PROCESS_INFORMATION program_{};
};

TEST_F(Drive, LogInThenReadAndWriteTheSettingFromTheMenu) {
  HWND main = nullptr;
  ASSERT_NO_FATAL_FAILURE(LogIn(main, "1-login"));
  Shot("2-main-window");

  // Setting (third title), Read Setting (first item).
  MenuCommand(main, 2, 0);
  ASSERT_TRUE(WaitFor([&] { return Requests("83") >= ReadBlocks; }))
      << Requests("83") << " block reads";
  // The read ends with the relay states and the channel values.
  ASSERT_TRUE(
      WaitFor([&] { return Requests("06") >= 2 && Window(L"TFormBasicAnimate") == nullptr; }));
  EXPECT_EQ(ReadBlocks, Requests("83"));
  if (!shots_.empty()) {
    // The side bar's first title opens the Basic Setting page.
    HWND bar = Child(main, L"TsFrameBar");
    RECT r{};
    GetClientRect(bar, &r);
    Click(bar, r.right / 2, 12);
    Shot("3-basic-setting");
    // The second skin, when the program has one next to it: chosen in the
    // Skins menu (sixth title), the drive goes on under it.
    const int ocean = SkinItemIndex("Ocean");
    if (ocean >= 0) {
      MenuCommand(main, 5, ocean);
      Shot("4-main-window-ocean");
    }
  }

  // Setting, Write Setting (second item).
  MenuCommand(main, 2, 1);
  ASSERT_TRUE(WaitFor([&] { return Requests("82") >= WriteBlocks; }))
      << Requests("82") << " block writes";
  ASSERT_TRUE(WaitFor([&] { return Window(L"TFormBasicAnimate") == nullptr; }));
  EXPECT_EQ(WriteBlocks, Requests("82"));

  // File, Log Out ends the program.
  MenuCommand(main, 0, 2);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(program_.hProcess, StepTimeoutMs));
  DWORD code = 1;
  GetExitCodeProcess(program_.hProcess, &code);
  EXPECT_EQ(0u, code);
}

// The login window's close button ends the process at once; its Logout
// button ends the program. Neither leaves a window behind.
class LeaveAtLogin : public Drive, public ::testing::WithParamInterface<bool> {};

TEST_P(LeaveAtLogin, EndsTheProgram) {
  const bool closeButton = GetParam();
  const int passwordsBefore = Requests("01");
  HWND login = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (login = Window(L"TFormLogin")) != nullptr; }))
      << "no login window";
  if (closeButton) {
    PostMessageW(login, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else {
    // The Logout button, right of Login under the picture.
    Click(login, 505, 505);
  }
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(program_.hProcess, StepTimeoutMs));
  DWORD code = 1;
  GetExitCodeProcess(program_.hProcess, &code);
  EXPECT_EQ(0u, code);
  EXPECT_EQ(passwordsBefore, Requests("01")) << "nothing was sent";
}

INSTANTIATE_TEST_SUITE_P(Buttons, LeaveAtLogin, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Close" : "Logout"; });

// Close on the main window's system menu ends the program at once.
TEST_F(Drive, ClosingTheMainWindowEndsTheProgram) {
  HWND main = nullptr;
  ASSERT_NO_FATAL_FAILURE(LogIn(main, "close-login"));
  PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(program_.hProcess, StepTimeoutMs));
  DWORD code = 1;
  GetExitCodeProcess(program_.hProcess, &code);
  EXPECT_EQ(0u, code);
}

// The program a build makes carries the build's default skin and starts in
// it: with no skin files where the login window looks first, its window comes
// up in the stored skin, not in Wine's plain frame.
TEST_F(Drive, StartsInTheSkinItCarries) {
  const std::string stored = StoredSkinOf(exe_);
  ASSERT_FALSE(stored.empty()) << exe_ << " carries no stored skin";
  const std::string built = test::ReadFileText(KV_DEFAULT_SKIN_FILE);
  EXPECT_TRUE(stored == built) << exe_ << " carries " << stored.size() << " bytes of skin, not the "
                               << built.size() << " of " << KV_DEFAULT_SKIN_FILE;
  HWND login = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (login = Window(L"TFormLogin")) != nullptr; }))
      << "no login window";
  EXPECT_TRUE(WaitFor([&] { return WearsSkinnedFrame(login); }))
      << "the login window came up plain";
}

// A visible top-level window of the program other than the main window, or
// null: the small window a step opened.
struct TFindOther {
  DWORD Process;
  HWND Main;
  HWND Found;
};

BOOL CALLBACK MatchOther(HWND wnd, LPARAM param) {
  auto* find = reinterpret_cast<TFindOther*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(wnd, &process);
  wchar_t cls[64] = {};
  GetClassNameW(wnd, cls, 64);
  // The program's own forms only: no tool tips or system windows.
  if (process != find->Process || wnd == find->Main || !IsWindowVisible(wnd) || cls[0] != L'T' ||
      cls[1] != L'F')
    return TRUE;
  find->Found = wnd;
  return FALSE;
}

std::string ClassOf(HWND wnd) {
  wchar_t cls[64] = {};
  GetClassNameW(wnd, cls, 64);
  // "TFormPhoneSetting" names the picture "PhoneSetting".
  const std::wstring name(cls + (lstrlenW(cls) > 5 ? 5 : 0));
  return std::string(name.begin(), name.end());
}

// A picture of every window a user can open, named
// <KV_DRIVE_SHOT_PREFIX><window>: the login window, the main window, the
// progress window of a slowed Read Setting, each side-bar frame with each
// page its buttons open, the setting dialog of the first row of each list
// shown, the message asking for a row, the About box and the main window
// maximised. Run by
// scripts/run-kvconfig --screenshots once per language and skin.
TEST_F(Drive, PicturesOfEveryWindow) {
  if (shots_.empty() || Env("KV_DRIVE_EVERY_WINDOW").empty())
    GTEST_SKIP() << "needs scripts/run-kvconfig --screenshots";
  const std::string prefix = Env("KV_DRIVE_SHOT_PREFIX");
  HWND main = nullptr;
  ASSERT_NO_FATAL_FAILURE(LogIn(main, prefix + "login"));
  Shot(prefix + "main");

  const auto other = [&] {
    TFindOther find{program_.dwProcessId, main, nullptr};
    EnumWindows(MatchOther, reinterpret_cast<LPARAM>(&find));
    return find.Found;
  };
  // Pictures the small window that opened, then closes it as its title
  // bar's close box would.
  const auto pictureAndClose = [&](const std::string& what) {
    HWND small = nullptr;
    if (!WaitFor([&] { return (small = other()) != nullptr; }, 5000)) {
      ADD_FAILURE() << "no window opened for " << what;
      return;
    }
    Shot(prefix + ClassOf(small));
    PostMessageW(small, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(small); })) << what << " stayed open";
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(main) != FALSE; }));
  };

  // Setting, Read Setting, slowed by the simulator so that the progress
  // window stays long enough to be pictured.
  sim_.Command("late 300 " + std::to_string(ReadBlocks));
  MenuCommand(main, 2, 0);
  HWND progress = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (progress = Window(L"TFormBasicAnimate")) != nullptr; }));
  Shot(prefix + "BasicAnimate");
  ASSERT_TRUE(WaitFor([&] { return Requests("83") >= ReadBlocks && !IsWindowVisible(progress); }));

  static const wchar_t* const frames[] = {L"TFormBasice",    L"TFormDIDOTH",  L"TFormPhoneMrg",
                                          L"TFormTimeDebug", L"TFormSMSMode", L"TFormHistory"};
  HWND bar = Child(main, L"TsFrameBar");
  ASSERT_NE(nullptr, bar);
  int titleY = 16;
  std::vector<std::string> dialogs;
  for (int f = 0; f < static_cast<int>(std::size(frames)); ++f) {
    RECT r{};
    GetClientRect(bar, &r);
    Click(bar, r.right / 2, titleY);
    HWND frame = nullptr;
    ASSERT_TRUE(WaitFor([&] {
      frame = Child(main, frames[f]);
      return frame != nullptr && IsWindowVisible(frame);
    })) << "side-bar title "
        << f << " did not open its frame";
    const std::wstring wide(frames[f] + 5);
    const std::string frameName(wide.begin(), wide.end());
    Shot(prefix + "page-" + frameName);
    // The next title sits just below the open frame.
    RECT fr{};
    GetWindowRect(frame, &fr);
    POINT below{fr.left, fr.bottom};
    ScreenToClient(bar, &below);
    titleY = below.y + 16;

    std::vector<HWND> buttons;
    for (HWND button : Children(frame, L"TsBitBtn"))
      if (IsWindowVisible(button)) buttons.push_back(button);
    // Numbered from the top, as the user sees them.
    const auto top = [](HWND wnd) {
      RECT r{};
      GetWindowRect(wnd, &r);
      return r.top;
    };
    std::sort(buttons.begin(), buttons.end(), [&](HWND a, HWND b) { return top(a) < top(b); });
    for (size_t b = 0; b < buttons.size(); ++b) {
      RECT br{};
      GetClientRect(buttons[b], &br);
      Click(buttons[b], br.right / 2, br.bottom / 2);
      Shot(prefix + "page-" + frameName + "-" + std::to_string(b + 1));
      // The list of the page shown gets a row's dialog, once per list.
      for (HWND list : Children(main, L"TsListView")) {
        if (!IsWindowVisible(list) || SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 0) continue;
        const std::string key = std::to_string(reinterpret_cast<uintptr_t>(list));
        if (std::find(dialogs.begin(), dialogs.end(), key) != dialogs.end()) continue;
        dialogs.push_back(key);
        RECT lr{};
        GetClientRect(list, &lr);
        HWND header = Child(list, L"SysHeader32");
        RECT hr{};
        if (header != nullptr) GetWindowRect(header, &hr);
        const LPARAM row = MAKELPARAM(40, (hr.bottom - hr.top) + 8);
        PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, row);
        PostMessageW(list, WM_LBUTTONUP, 0, row);
        PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, row);
        PostMessageW(list, WM_LBUTTONUP, 0, row);
        pictureAndClose("the first row's dialog");
        if (dialogs.size() == 1) {
          // No row chosen: the message asking for one.
          const LPARAM empty = MAKELPARAM(40, lr.bottom - 4);
          PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, empty);
          PostMessageW(list, WM_LBUTTONUP, 0, empty);
          PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, empty);
          PostMessageW(list, WM_LBUTTONUP, 0, empty);
          pictureAndClose("the message asking for a row");
        }
      }
    }
  }

  // Help (seventh title), About.
  MenuCommand(main, 6, 0);
  pictureAndClose("About");

  // The main window maximised by a click on its maximise button, found by
  // the window's own hit test along its title, and the pointer gone on to
  // the client so that no button is left hot.
  RECT frame{};
  GetWindowRect(main, &frame);
  LPARAM maxButton = 0;
  for (int y = frame.top + 4; y < frame.top + 24 && maxButton == 0; y += 2)
    for (int x = frame.right - 4; x > frame.right - 160 && maxButton == 0; x -= 2)
      if (SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTMAXBUTTON)
        maxButton = MAKELPARAM(x, y);
  ASSERT_NE(0, maxButton) << "no maximise button on the main window's title";
  PostMessageW(main, WM_NCLBUTTONDOWN, HTMAXBUTTON, maxButton);
  PostMessageW(main, WM_NCLBUTTONUP, HTMAXBUTTON, maxButton);
  ASSERT_TRUE(WaitFor([&] { return IsZoomed(main) != FALSE; })) << "the main window stayed normal";
  SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(512, 400));
  Shot(prefix + "main-maximised");

  // File, Log Out ends the program.
  MenuCommand(main, 0, 2);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(program_.hProcess, StepTimeoutMs));
}

}  // namespace
}  // namespace kv
