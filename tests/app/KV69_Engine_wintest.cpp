// The main window's request engine end to end, at the real time-outs: each
// kind of exchange and each kind of fault once, against the device simulator
// on a pseudo-terminal mapped to a COM port (run through scripts/serial-test).
// The engine's rules themselves are tested natively (KV69_Engine_simtest).
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../devicelink/SerialTestSupport.h"
#include "MenuPath.h"
#include "ModalForm.h"
#include "ProgramState.h"
#include "SimHistoryRecords.h"
#include "app/BasicAnimate_Frm_win.h"
#include "app/ConstLang_Unt.h"
#include "app/KV69_Frm_win.h"
#include "app/Message_Frm_win.h"
#include "app/SoftDateTime_Unt.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/SoftInterfaceMaster_Unt.h"
#include "app/SoftTelephone_Unt.h"
#include "app/TimerSetting_Frm_win.h"
#include "app/Variable_Unt.h"
#include "base/DateTime.h"
#include "classlib/Forms.h"
#include "classlib/WideText.h"
#include "devicelink/BasicProtocol_Unt.h"
#include "devicelink/SendHandle_Unt.h"
#include "support/MessageBoxHook.h"

namespace kv {
namespace {

using pump::Pump;
using pump::PumpUntil;
using test::ToHex;

// Read request of configuration block k, as the simulator logs it.
std::string ReadRequestHex(int k) {
  TBasicProtocol protocol;
  TDataPack frame;
  protocol.BuildFrame(0x83, protocol.IntToAddress(k * 256), {}, frame);
  return ToHex(frame);
}

// The offsets and bytes where two images differ ("674: 01/02"), the first
// few of them; empty when they are the same.
std::string Differences(const std::vector<std::uint8_t>& expected,
                        const std::vector<std::uint8_t>& actual) {
  if (expected.size() != actual.size()) return "sizes differ";
  std::string text;
  int shown = 0;
  for (std::size_t i = 0; i < expected.size() && shown < 8; ++i) {
    if (expected[i] == actual[i]) continue;
    text += std::to_string(i) + ": " + ToHex({expected[i]}) + "/" + ToHex({actual[i]}) + " ";
    ++shown;
  }
  return text;
}

std::vector<std::uint8_t> FromHex(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

// A complete reply frame for a request kind.
TDataPack Frame(std::uint8_t command, int address, const TDataPack& data) {
  TBasicProtocol protocol;
  TDataPack frame;
  protocol.BuildFrame(command, protocol.IntToAddress(address), data, frame);
  return frame;
}

// Presses Stop of the running progress window, as the user would, once the
// simulator has logged the request the read waits for.
struct StopPress {
  static inline TFormKV69* form = nullptr;
  static inline const test::Simulator* sim = nullptr;
  static inline std::size_t afterRequests = 0;
  static void CALLBACK Poll(HWND, UINT, UINT_PTR id, DWORD) {
    if (form == nullptr || form->FormBasicAnimate == nullptr) return;
    if (sim->Log("rx").size() < afterRequests) return;
    KillTimer(nullptr, id);
    form->FormBasicAnimate->btn_Close->Click();
  }
};

class Engine : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!sim_.Present()) GTEST_SKIP() << "needs scripts/serial-test";
    sim_.Command("reset");
  }
  void TearDown() override {
    StopPress::form = nullptr;
    form_.reset();
    ResetProgramState();
  }

  // Opens the main window as the login leaves it, the simulator reporting
  // `model`; waits for the version reply.
  void Open(const std::string& model = "KV41") {
    sim_.Command("model " + model);
    ModelIndex = -1;
    ThRowsBuilt = false;
    LoginPassword = "9173";
    LoginComPort = sim_.Port();
    form_.reset(Create<TFormKV69>(nullptr));
    form_->Show();
    ASSERT_TRUE(form_->Connected());
    // Generous: a late answer still queued by a run before this one (the
    // late-reply runs repeat) holds up the line.
    ASSERT_TRUE(PumpUntil([&] { return ModelIndex >= 0; }, 40000)) << "no version reply";
  }

  // Opens the window with the version's answer lost: its time-out is the
  // next thing to come.
  void OpenLosingTheVersionAnswer() {
    sim_.Command("model KV42");
    sim_.Command("every 2 drop");  // the password's answer comes, the version's is lost
    ModelIndex = -1;
    ThRowsBuilt = false;
    LoginPassword = "9173";
    LoginComPort = sim_.Port();
    form_.reset(Create<TFormKV69>(nullptr));
    form_->Show();
    ASSERT_TRUE(PumpUntil([&] { return sim_.Log("rx").size() >= 2; }, 5000));
  }

  std::size_t Requests() const { return sim_.Log("rx").size(); }
  std::vector<std::string> RequestsSince(std::size_t from) const {
    std::vector<std::string> rx = sim_.Log("rx");
    rx.erase(rx.begin(), rx.begin() + static_cast<std::ptrdiff_t>(std::min(from, rx.size())));
    return rx;
  }

  // The configuration image the simulator holds now.
  std::vector<std::uint8_t> DeviceImage() const { return FromHex(sim_.State("image")); }

  // The image the last complete read assembled.
  std::vector<std::uint8_t> ImageRead() const {
    const auto& chunks = form_->Engine().MasterChunks();
    return {chunks.begin(), chunks.begin() + std::min(chunks.size(), MasterImageSize)};
  }

  // What Write Setting sends for the controls as they are now (what they
  // still show of the last read goes back as the device gave it).
  std::vector<std::uint8_t> Packed() const {
    return ControlsToMasterImage(form_->ControlsToSettings(), ModelIndex, ImageRead());
  }

  void ReadSetting() {
    form_->Pop_ReadMaster_SetingClick(nullptr);
    // The channel values are asked for last; their reply ends the read.
    PumpUntil([&] { return form_->PendingTag() == 0; }, 5000);
  }

  // A command of the main menu by the captions the user reads, run to its
  // end (a read's last reply, a write's last block).
  void MenuCommand(std::initializer_list<const char*> path) {
    const UINT id = test::MenuCommandOf(GetMenu(form_->Handle()), path);
    ASSERT_NE(0u, id) << *(path.end() - 1);
    SendMessageW(form_->Handle(), WM_COMMAND, id, 0);
    PumpUntil([&] { return form_->PendingTag() == 0 && form_->FormBasicAnimate == nullptr; }, 5000);
  }

  std::string MessageShown() const {
    return FormMessage != nullptr && FormMessage->Visible() ? FormMessage->lbl_Info->Caption()
                                                            : std::string();
  }

  test::Simulator sim_;
  Owned<TFormKV69> form_;
};

// One model per run: its text and index.
class EngineModels : public Engine,
                     public ::testing::WithParamInterface<std::pair<const char*, int>> {};

INSTANTIATE_TEST_SUITE_P(Models, EngineModels,
                         ::testing::Values(std::pair{"KV41", 0}, std::pair{"KV42", 1},
                                           std::pair{"KV43", 2}));

TEST_P(EngineModels, OpensThePortAndLearnsTheModelFromItsVersionReply) {
  const auto [model, index] = GetParam();
  const std::size_t before = Requests();
  ASSERT_NO_FATAL_FAILURE(Open(model));
  EXPECT_EQ(index, ModelIndex);
  const auto captions = ThRowCaptions(index, LanguageFlag);
  ASSERT_EQ(static_cast<int>(captions.size()), form_->lvTh->Items()->Count());
  EXPECT_EQ(captions.front(), form_->lvTh->Items()->Item(0)->Caption());
  EXPECT_EQ(Lang_LblModel + model, form_->lbl_ModelNo->Caption());
  EXPECT_NE(std::string::npos, form_->lbl_IMEI->Caption().find("865067041234567"));
  const std::vector<std::string> rx = RequestsSince(before);
  ASSERT_EQ(2u, rx.size());
  EXPECT_EQ("23010000000000043931373309", rx[0]);  // password "9173"
  EXPECT_EQ("23050000000000010004", rx[1]);        // version, one data byte 0
  EXPECT_EQ(sim_.Port(), form_->Bar->SimpleText());
}

TEST_F(Engine, ReadSettingAssemblesTheDeviceImageAndShowsIt) {
  ASSERT_NO_FATAL_FAILURE(Open());
  const std::size_t before = Requests();
  ReadSetting();
  EXPECT_EQ(nullptr, form_->FormBasicAnimate);
  EXPECT_TRUE(form_->Enabled());
  EXPECT_EQ(DeviceImage(), ImageRead());
  const std::vector<std::string> rx = RequestsSince(before);
  ASSERT_GE(rx.size(), 16u);
  for (int k = 0; k < 14; ++k) EXPECT_EQ(ReadRequestHex(k), rx[static_cast<std::size_t>(k)]);
  // Then the relay states and the channel values (the same nine bytes).
  EXPECT_EQ("230600000000000006", rx[14]);
  EXPECT_EQ("230600000000000006", rx[15]);
  // The image is in the controls: the device password from its first bytes.
  TMasterSettings shown = form_->ControlsToSettings();
  EXPECT_EQ("9173", shown.lbledt_Main_Password);
}

TEST_F(Engine, UnansweredBlockRequestIsSentAgainBeforeTheNext) {
  ASSERT_NO_FATAL_FAILURE(Open());
  const std::size_t before = Requests();
  sim_.Command("drop");
  ReadSetting();
  const std::vector<std::string> rx = RequestsSince(before);
  ASSERT_GE(rx.size(), 3u);
  EXPECT_EQ(ReadRequestHex(0), rx[0]);
  EXPECT_EQ(ReadRequestHex(0), rx[1]) << "block 0 is resent, not skipped";
  // The lost answer may yet come: it is waited out behind a version
  // request, whose answer tells itself apart, before block 1 goes out.
  const std::size_t next = rx[2].starts_with("2305") ? 3 : 2;
  ASSERT_GT(rx.size(), next);
  EXPECT_EQ(ReadRequestHex(1), rx[next]);
  EXPECT_EQ(DeviceImage(), ImageRead());
}

TEST_F(Engine, LateReplyToAResentBlockDoesNotShiftTheImage) {
  ASSERT_NO_FATAL_FAILURE(Open());
  sim_.Command("late 3500");
  ReadSetting();
  EXPECT_EQ(DeviceImage(), ImageRead());
}

TEST_F(Engine, DamagedRepliesDuringAReadAreAskedForAgain) {
  ASSERT_NO_FATAL_FAILURE(Open());
  for (const char* fault : {"badsum", "truncate", "garbage", "badlen 0E00"}) {
    SCOPED_TRACE(fault);
    const std::size_t before = Requests();
    sim_.Command(fault);
    ReadSetting();
    EXPECT_EQ(DeviceImage(), ImageRead());
    EXPECT_EQ(ReadRequestHex(0), RequestsSince(before).at(1)) << "the damaged block is resent";
  }
}

// A reply whose bytes pause, for less than the quiet interval, is still one
// reply, and a copy sent straight after one is not taken for the next.
TEST_F(Engine, PausedAndDoubledRepliesAreTakenAtTheFirstTry) {
  ASSERT_NO_FATAL_FAILURE(Open());
  for (const char* fault : {"split 40 1000", "concat 1000"}) {
    SCOPED_TRACE(fault);
    sim_.Command(fault);
    std::size_t before = Requests();
    ReadSetting();
    EXPECT_EQ(DeviceImage(), ImageRead());
    std::vector<std::string> rx = RequestsSince(before);
    ASSERT_GE(rx.size(), 14u);
    for (int k = 0; k < 14; ++k) EXPECT_EQ(ReadRequestHex(k), rx[static_cast<std::size_t>(k)]);

    before = Requests();
    form_->Pop_WirteMasterClick(nullptr);
    EXPECT_EQ(nullptr, form_->FormBasicAnimate);
    // A copy still on its way when a block is due is waited out behind a
    // version request (a slow machine sees it more often): no block twice.
    rx = RequestsSince(before);
    std::erase_if(rx, [](const std::string& r) { return r.starts_with("2305"); });
    EXPECT_EQ(15u, rx.size()) << "every block once";
    sim_.Command("reset");
  }
}

TEST_F(Engine, StopEndsTheReadAndLeavesTheWindowAsItWas) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ReadSetting();
  TMasterSettings edited = form_->ControlsToSettings();
  edited.lbledt_Master_DevDes = "kept";
  form_->SettingsToControls(edited);
  const TMasterSettings before = form_->ControlsToSettings();
  sim_.Command("drop 20");
  const std::size_t requests = Requests();
  StopPress::form = form_.get();
  StopPress::sim = &sim_;
  StopPress::afterRequests = requests + 1;
  SetTimer(nullptr, 0, 10, StopPress::Poll);
  form_->Pop_ReadMaster_SetingClick(nullptr);
  EXPECT_EQ(nullptr, form_->FormBasicAnimate);
  EXPECT_TRUE(form_->Enabled());
  EXPECT_TRUE(form_->Engine().CancelFlag());
  EXPECT_EQ(before, form_->ControlsToSettings()) << "nothing is cleared by a stopped read";
  // The request in flight times out without a resend.
  ASSERT_TRUE(PumpUntil([&] { return form_->PendingTag() == 0; }, 5000));
  EXPECT_EQ(1u, RequestsSince(requests).size()) << "nothing is sent after Stop";
}

// The cable pulled in the middle of a write: the device answers no more.
struct CablePull {
  static inline const test::Simulator* sim = nullptr;
  static inline std::size_t afterRequests = 0;
  static void CALLBACK Poll(HWND, UINT, UINT_PTR id, DWORD) {
    if (sim->Log("rx").size() < afterRequests) return;
    KillTimer(nullptr, id);
    sim->Command("drop 1000");
  }
};

TEST_F(Engine, PulledCableEndsTheWriteNamingTheBlocksItWrote) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ReadSetting();
  const std::vector<std::uint8_t> old = DeviceImage();
  TMasterSettings edited = form_->ControlsToSettings();
  edited.lbledt_Master_DevDes = "Pulled";
  form_->SettingsToControls(edited);
  const std::vector<std::uint8_t> packed = Packed();
  CablePull::sim = &sim_;
  CablePull::afterRequests = Requests() + 8;
  SetTimer(nullptr, 0, 10, CablePull::Poll);
  form_->Pop_WirteMasterClick(nullptr);
  EXPECT_EQ(nullptr, form_->FormBasicAnimate);
  // Blocks before the one that went unanswered are new, those after it old.
  const std::vector<std::uint8_t> now = DeviceImage();
  int stoppedAt = -1;
  for (int k = 6; k <= 10 && stoppedAt < 0; ++k)
    if (MessageShown() == PartlyWrittenText(LanguageFlag, k, true, 14, true)) stoppedAt = k;
  ASSERT_GE(stoppedAt, 0) << MessageShown();
  const auto block = [](const std::vector<std::uint8_t>& image, int k) {
    const std::size_t from = std::min(image.size(), static_cast<std::size_t>(k) * 256);
    const std::size_t to = std::min(image.size(), from + 256);
    return std::vector<std::uint8_t>(image.begin() + from, image.begin() + to);
  };
  for (int k = 0; k < 14; ++k) {
    if (k == stoppedAt) continue;
    EXPECT_EQ(block(k < stoppedAt ? packed : old, k), block(now, k)) << "block " << k;
  }
  FormMessage->sbtbtn_Ok->Click();
}

TEST_P(EngineModels, WriteSettingPutsTheEditedImageIntoTheDevice) {
  const char* model = GetParam().first;
  {
    ASSERT_NO_FATAL_FAILURE(Open(model));
    ReadSetting();
    const std::vector<std::uint8_t> original = DeviceImage();
    TMasterSettings edited = form_->ControlsToSettings();
    edited.lbledt_Master_DevDes = std::string("Engine ") + model;
    ASSERT_FALSE(edited.lvTel.empty());
    edited.lvTel[0].SetCell(PhoneColNumber, "13912345678");
    form_->SettingsToControls(edited);
    const std::vector<std::uint8_t> packed = Packed();
    ASSERT_NE(original, packed);
    const std::size_t before = Requests();
    form_->Pop_WirteMasterClick(nullptr);
    EXPECT_EQ(nullptr, form_->FormBasicAnimate);
    EXPECT_EQ(packed, DeviceImage());
    // Fifteen blocks; the last one is all 0xFF at 3584.
    const std::vector<std::string> rx = RequestsSince(before);
    ASSERT_EQ(15u, rx.size());
    const TDataPack last = Frame(0x82, 3584, TDataPack(256, 0xFF));
    EXPECT_EQ(ToHex(last), rx[14]);
  }
}

// Bytes of the device that the window cannot show as they stand: timers
// whose hour, minute, week or action no list holds, a disabled timer, a
// protocol no item stands for, a threshold in tenths, a report time no
// picker shows, and text bytes that are no code page 936 text (half a
// character at the description's end; lead bytes before bytes that cannot
// trail, in an alarm text). Read Setting in one language and Write Setting
// in the other give them back byte for byte; a timer edited in its dialog
// goes as the dialog shows it.
TEST_F(Engine, ReadThenWriteSettingFromTheMenuKeepsTheBytesNobodyEdited) {
  // The simulator keeps its image from test to test: put it back at the end.
  struct Restore {
    test::Simulator& sim;
    std::vector<std::uint8_t> image;
    ~Restore() { sim.Command("poke 0 " + ToHex(image)); }
  } restore{sim_, DeviceImage()};
  const TDataPack description = [] {
    TDataPack bytes(59, 'D');
    bytes.push_back(0xB2);
    return bytes;
  }();
  TDataPack alarm{'H', 'o', 't', 0xA1, '0', '!', 0x81, 0x7F, 0};
  alarm.resize(40, 0);
  sim_.Command("poke 34 " + ToHex(description));
  sim_.Command("poke 1412 " + ToHex(alarm));  // channel slot 0's high-alarm text
  // Timers 0-4: every day at 25:61 "5.Arm"; Monday 07:30 with no action;
  // week 9; action 11; disabled. Then protocol 5 over UDP.
  sim_.Command("poke 670 0F193D0501071EFF09071E0301071E0B87071E05");
  sim_.Command("poke 710 85");
  sim_.Command("poke 3380 2503");  // channel slot 0's high threshold 80.5
  sim_.Command("poke 6 1800");     // daily report at 24:00
  ASSERT_NO_FATAL_FAILURE(Open());
  const std::vector<std::uint8_t> device = DeviceImage();
  form_->N_CNClick(nullptr);
  MenuCommand({"配置", "读取配置"});
  const TMasterSettings shown = form_->ControlsToSettings();
  EXPECT_EQ("25", shown.lvTimer[0].Cell(TimerColHour));
  EXPECT_EQ("61", shown.lvTimer[0].Cell(TimerColMinute));
  EXPECT_EQ("", shown.lvTimer[1].Cell(TimerColAction));
  EXPECT_EQ(-1, shown.cbb_GPRSCommunication_Proctocol);
  EXPECT_EQ("80", shown.lvTh[0].Cell(ThColHigh));
  EXPECT_FALSE(shown.chk_ReportTime);

  MenuCommand({"语言(&W)", "英文"});
  MenuCommand({"Setting", "Write Setting"});
  EXPECT_EQ("", Differences(device, DeviceImage()));

  form_->SelectPages(1, 3, -1);
  const TRect r = form_->lvTimer->ItemRect(1);
  const LPARAM at = MAKELPARAM(r.Left + 4, (r.Top + r.Bottom) / 2);
  SendMessageW(form_->lvTimer->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(form_->lvTimer->Handle(), WM_LBUTTONUP, 0, at);
  ASSERT_TRUE(TModalForm::Run(
      [&] { SendMessageW(form_->lvTimer->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at); },
      [](TCustomForm& f) {
        auto& dialog = dynamic_cast<TFormTimerSetting&>(f);
        EXPECT_EQ("0.Reboot",
                  dialog.cbb_TimerAction->Items()->Strings(dialog.cbb_TimerAction->ItemIndex()));
        dialog.cbb_TimerWeek->SetItemIndex(2);
        dialog.cbb_TimerHour->SetItemIndex(8);
        dialog.cbb_TimerAction->SetItemIndex(6);
        dialog.btn_OK->Click();
      }));
  MenuCommand({"Setting", "Write Setting"});
  std::vector<std::uint8_t> expected = device;
  const std::uint8_t timer1[] = {0x02, 8, 30, 6};  // Tuesday 08:30 "6.Disarm"
  std::copy(std::begin(timer1), std::end(timer1), expected.begin() + 674);
  EXPECT_EQ("", Differences(expected, DeviceImage()));
}

// Field writers for the expected image, at the offsets the image layout gives,
// independent of the packing code.
void PutWord(std::vector<std::uint8_t>& image, std::size_t at, int value) {
  image[at] = static_cast<std::uint8_t>(value & 0xFF);
  image[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}
void PutText(std::vector<std::uint8_t>& image, std::size_t at, std::size_t width,
             const std::string& ascii) {
  std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(at), width, std::uint8_t{0});
  std::copy(ascii.begin(), ascii.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

// The expected image is built from the field offsets, not by the packing code.
TEST_P(EngineModels, EditsOfEveryKindReachTheDeviceByteForByteThroughFaults) {
  const char* model = GetParam().first;
  {
    ASSERT_NO_FATAL_FAILURE(Open(model));
    ReadSetting();
    ASSERT_EQ(ImageRead(), DeviceImage());
    std::vector<std::uint8_t> expected = Packed();
    ASSERT_EQ(MasterImageSize, expected.size());

    // One field of each kind, through the controls.
    form_->lbledt_Master_DevDes->SetText("Cold room 3");
    PutText(expected, 34, 60, "Cold room 3");  // description
    form_->lbledt_DeviseID->SetText("4321");
    PutWord(expected, 4, 4321);  // device id
    const bool stamp = !form_->chk_AddTimeToAlarmSMS->Checked();
    form_->chk_AddTimeToAlarmSMS->SetChecked(stamp);
    expected[94] = static_cast<std::uint8_t>((expected[94] & ~0x02) | (stamp ? 0x02 : 0));
    form_->lbledt_TcpPort->SetText("5020");
    PutWord(expected, 744, 5020);  // server port
    TMasterSettings settings = form_->ControlsToSettings();
    settings.lvTh[0].SetCell(ThColHigh, "65");
    PutWord(expected, 3380, 650);  // high threshold of slot 0, row 0 in every model
    settings.lvTel[1].SetCell(PhoneColNumber, "13800001111");
    PutText(expected, 102 + 22, 22, "13800001111");  // the second phone number
    TListRow& timer = settings.lvTimer[2];
    timer.SetCell(TimerColEnable, std::string(TickText));
    timer.SetCell(TimerColWeek, TimerWeekList[3]);
    timer.SetCell(TimerColHour, TimerHourList[7]);
    timer.SetCell(TimerColMinute, TimerMinuteList[45]);
    timer.SetCell(TimerColAction, TimerActionList[2]);
    const std::size_t t = 670 + 2 * 4;  // the third timer
    expected[t] = 3;                    // enabled (bit 7 clear), Wednesday
    expected[t + 1] = 7;
    expected[t + 2] = 45;
    expected[t + 3] = 2;
    form_->SettingsToControls(settings);

    // A dropped, a late, a corrupt and a split acknowledgement on the way.
    sim_.Command("drop");
    sim_.Command("late 3500");
    sim_.Command("badsum");
    sim_.Command("split 300");
    const std::size_t txBefore = sim_.Log("tx").size();
    const std::size_t rxBefore = Requests();
    form_->Pop_WirteMasterClick(nullptr);
    EXPECT_EQ(nullptr, form_->FormBasicAnimate);
    EXPECT_EQ(expected, DeviceImage());

    // Read back through damaged replies: the window shows the edits. First
    // the late acknowledgement must be gone: every request but the dropped
    // one has its reply logged.
    ASSERT_TRUE(PumpUntil(
        [&] { return sim_.Log("tx").size() - txBefore + 1 >= Requests() - rxBefore; }, 8000));
    form_->lbledt_Master_DevDes->SetText("changed here");
    form_->lbledt_TcpPort->SetText("1");
    sim_.Command("drop");
    sim_.Command("truncate");
    sim_.Command("badsum");
    sim_.Command("split 300");
    ReadSetting();
    EXPECT_EQ(expected, ImageRead());
    EXPECT_EQ("Cold room 3", form_->lbledt_Master_DevDes->Text());
    EXPECT_EQ("4321", form_->lbledt_DeviseID->Text());
    EXPECT_EQ("5020", form_->lbledt_TcpPort->Text());
    EXPECT_EQ(stamp, form_->chk_AddTimeToAlarmSMS->Checked());
    const TMasterSettings shown = form_->ControlsToSettings();
    EXPECT_EQ("65", shown.lvTh[0].Cell(ThColHigh));
    EXPECT_EQ("13800001111", shown.lvTel[1].Cell(PhoneColNumber));
    EXPECT_EQ(TimerWeekList[3], shown.lvTimer[2].Cell(TimerColWeek));
    EXPECT_EQ(TimerActionList[2], shown.lvTimer[2].Cell(TimerColAction));
  }
}

TEST_F(Engine, UnansweredWriteBlockIsSentAgain) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ReadSetting();
  const std::vector<std::uint8_t> packed = Packed();
  const std::size_t before = Requests();
  sim_.Command("drop");
  form_->Pop_WirteMasterClick(nullptr);
  const std::vector<std::string> rx = RequestsSince(before);
  ASSERT_EQ(16u, rx.size());
  EXPECT_EQ(rx[0], rx[1]);
  EXPECT_EQ(packed, DeviceImage());
}

TEST_F(Engine, WriteIsRefusedWhileTheModelOrTheChannelRowsAreUnknown) {
  ASSERT_NO_FATAL_FAILURE(Open());
  const std::size_t before = Requests();
  ModelIndex = -1;
  form_->Pop_WirteMasterClick(nullptr);
  EXPECT_FALSE(MessageShown().empty());
  FormMessage->sbtbtn_Ok->Click();
  ModelIndex = 0;
  form_->SetListViewRows(form_->lvTh, {});
  form_->Pop_WirteMasterClick(nullptr);
  EXPECT_FALSE(MessageShown().empty());
  FormMessage->sbtbtn_Ok->Click();
  Pump(200);
  EXPECT_TRUE(RequestsSince(before).empty()) << "nothing was written";
}

// Write Setting writes only what a finished read (or a profile) put in the
// window: right after the login, and after a read that did not finish, the
// window holds nothing of the device's and would wipe its password.
TEST_F(Engine, WriteIsRefusedUntilAFinishedReadFilledTheWindow) {
  ASSERT_NO_FATAL_FAILURE(Open());
  const std::vector<std::uint8_t> device = DeviceImage();
  const std::size_t before = Requests();
  form_->Pop_WirteMaster->Click();
  EXPECT_EQ(ReadSettingFirstText(LanguageFlag), MessageShown());
  EXPECT_EQ(nullptr, form_->FormBasicAnimate);
  FormMessage->sbtbtn_Ok->Click();

  sim_.Command("drop 20");
  StopPress::form = form_.get();
  StopPress::sim = &sim_;
  StopPress::afterRequests = before + 1;
  SetTimer(nullptr, 0, 10, StopPress::Poll);
  form_->Pop_ReadMaster_Seting->Click();
  ASSERT_TRUE(PumpUntil([&] { return form_->PendingTag() == 0; }, 5000));
  sim_.Command("reset");
  const std::size_t afterStop = Requests();
  form_->Pop_WirteMaster->Click();
  EXPECT_EQ(ReadSettingFirstText(LanguageFlag), MessageShown());
  FormMessage->sbtbtn_Ok->Click();
  // A write would have run to its end inside the click.
  EXPECT_TRUE(RequestsSince(afterStop).empty()) << "nothing was written";
  EXPECT_EQ(device, DeviceImage());

  // Read to its end, the setting goes back.
  ReadSetting();
  ASSERT_EQ(device, ImageRead());
  const std::size_t afterRead = Requests();
  form_->Pop_WirteMaster->Click();
  EXPECT_EQ("", MessageShown());
  EXPECT_EQ("9173", sim_.State("password"));
  EXPECT_EQ(15u, RequestsSince(afterRead).size()) << "the whole setting was written";
}

// The channel rows are built once a run, for the first device's model: after
// Reconnect to a KV42, a run that began with an unknown model (no rows) or a
// KV41 (eight rows) cannot write the KV42's sixteen channels, and says so.
TEST_F(Engine, WriteAfterReconnectToAnotherModelAsksForARestart) {
  for (const char* first : {"KV99", "KV41"}) {
    SCOPED_TRACE(first);
    ASSERT_NO_FATAL_FAILURE(Open(first));
    form_->N_ENClick(nullptr);
    sim_.Command("model KV42");
    MenuCommand({"Connect", "Open the Port"});
    ASSERT_TRUE(PumpUntil([&] { return ModelIndex == 1; }, 5000));
    EXPECT_EQ(Lang_LblModel + "KV42", form_->lbl_ModelNo->Caption());
    ReadSetting();
    const std::size_t before = Requests();
    MenuCommand({"Setting", "Write Setting"});
    EXPECT_EQ(ChannelRowsOfAnotherDeviceText(LanguageFlag, "KV42", first[3] == '1'),
              MessageShown());
    if (!MessageShown().empty()) FormMessage->sbtbtn_Ok->Click();
    EXPECT_TRUE(RequestsSince(before).empty()) << "nothing was written";
    form_.reset();
    ResetProgramState();
  }
}

// A device naming a model this program does not know: Write Setting says
// which model it named instead of asking to connect first.
TEST_F(Engine, WriteNamesTheUnknownModelTheDeviceReported) {
  ASSERT_NO_FATAL_FAILURE(Open("KV99"));
  ReadSetting();
  const std::size_t before = Requests();
  form_->Pop_WirteMaster->Click();
  EXPECT_EQ(UnknownModelText(LanguageFlag, "KV99"), MessageShown());
  FormMessage->sbtbtn_Ok->Click();
  EXPECT_TRUE(RequestsSince(before).empty()) << "nothing was written";
}

TEST_F(Engine, WriteOfANumberTheImageCannotHoldIsRefusedNamingTheField) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ReadSetting();
  TMasterSettings edited = form_->ControlsToSettings();
  edited.lbledt_DeviseID = "70000";
  form_->SettingsToControls(edited);
  const std::size_t before = Requests();
  form_->Pop_WirteMasterClick(nullptr);
  EXPECT_EQ(InputErrorText(LanguageFlag) + ": lbledt_DeviseID", MessageShown());
  EXPECT_EQ(nullptr, form_->FormBasicAnimate);
  Pump(200);
  EXPECT_TRUE(RequestsSince(before).empty()) << "nothing was written";
}

TEST_F(Engine, RefusedPasswordAfterReconnectDisconnectsInsteadOfEnding) {
  ASSERT_NO_FATAL_FAILURE(Open());
  form_->Engine().SendPassword("0000", false);
  ASSERT_TRUE(PumpUntil([&] { return !form_->Connected(); }, 5000));
  EXPECT_EQ(Lang_MsgPasswordError, MessageShown());
  EXPECT_EQ(LoginComPort + "  " + Lang_MsgDisconnected, form_->Bar->SimpleText());
  EXPECT_FALSE(Application->Terminated());
  // The message window is usable above the disabled main window.
  EXPECT_FALSE(form_->Enabled());
  EXPECT_TRUE(IsWindowEnabled(FormMessage->Handle()));
  EXPECT_EQ(form_->Handle(), GetWindow(FormMessage->Handle(), GW_OWNER));
  FormMessage->sbtbtn_Ok->Click();
  EXPECT_TRUE(form_->Enabled());
}

TEST_F(Engine, LineErrorLeavesTheProgramRunningAndConnected) {
  ASSERT_NO_FATAL_FAILURE(Open());
  form_->ComPortReceiveError(nullptr, CE_FRAME | CE_OVERRUN);
  EXPECT_FALSE(Application->Terminated());
  EXPECT_TRUE(form_->Connected());
  ReadSetting();
  EXPECT_EQ(DeviceImage(), ImageRead());
}

TEST_F(Engine, ClockAndResetRepliesShowSuccessOnlyForGoodReplies) {
  ASSERT_NO_FATAL_FAILURE(Open());
  const auto feed = [&](int tag, const TDataPack& chunk) {
    if (FormMessage != nullptr) FormMessage->Hide();
    form_->SetPending(tag);
    form_->ComPortReceiveData(nullptr, chunk.data(), static_cast<std::uint16_t>(chunk.size()));
    return MessageShown();
  };
  const std::string dataError = LanguageFlag == LanguageChinese ? "数据异常" : "Data Error";
  EXPECT_EQ(dataError, feed(TAG_SETTIME, {'O', 'K'}));
  EXPECT_EQ(Lang_MsgSuccess, feed(TAG_SETTIME, Frame(0x03, 0, {1})));
  EXPECT_EQ(dataError, feed(TAG_READTIME, Frame(0x08, 0, {24, 13, 1, 0, 0, 0})));
  EXPECT_EQ(dataError, feed(TAG_READTIME, Frame(0x08, 0, {24, 2, 30, 0, 0, 0})));
  EXPECT_EQ(dataError, feed(TAG_READTIME, Frame(0x08, 0, {24, 2, 3, 24, 0, 0})));
  EXPECT_EQ(Lang_MsgSuccess, feed(TAG_READTIME, Frame(0x08, 0, {24, 12, 31, 23, 59, 7})));
  EXPECT_NEAR(EncodeDate(2024, 12, 31), form_->dtpYMD->Date(), 1e-6);
  EXPECT_NEAR(EncodeTime(23, 59, 7, 0), form_->dtpHMS->Time(), 1e-6);
  EXPECT_EQ(dataError, feed(TAG_RESET, {}));
  EXPECT_EQ(Lang_MsgSuccess, feed(TAG_RESET, {'O', 'K', '\r', '\n'}));
  FormMessage->sbtbtn_Ok->Click();
}

TEST_F(Engine, ClearHistoryProgressReadsEachNumberAndFreesTheWindowAtTheEnd) {
  ASSERT_NO_FATAL_FAILURE(Open());
  const auto feed = [&](const std::string& text) {
    form_->ComPortReceiveData(nullptr, text.data(), static_cast<std::uint16_t>(text.size()));
  };
  form_->ShowProgressWindow(100);
  form_->SetPending(TAG_CLEARHISTORY);
  EXPECT_FALSE(form_->Enabled());
  feed("4");
  ASSERT_NE(nullptr, form_->FormBasicAnimate);
  EXPECT_EQ(4, form_->FormBasicAnimate->sg->Progress());
  feed("a 4 5b");
  EXPECT_EQ(5, form_->FormBasicAnimate->sg->Progress()) << "the last digit run counts";
  feed("45");
  EXPECT_EQ(45, form_->FormBasicAnimate->sg->Progress());
  feed("50\r\n60");
  EXPECT_EQ(60, form_->FormBasicAnimate->sg->Progress());
  feed("OK");
  EXPECT_EQ(60, form_->FormBasicAnimate->sg->Progress());
  EXPECT_EQ(TAG_CLEARHISTORY, form_->PendingTag());
  feed("90\r\n100\r\n");
  EXPECT_EQ(nullptr, form_->FormBasicAnimate);
  EXPECT_TRUE(form_->Enabled());
}

TEST_F(Engine, ClearHistoryAgainstTheDeviceEndsWithTheWindowFreed) {
  ASSERT_NO_FATAL_FAILURE(Open());
  form_->ShowProgressWindow(100);
  form_->SetPending(TAG_CLEARHISTORY);
  SendHandle.SendClearHistory(*form_->ComPort);
  ASSERT_TRUE(PumpUntil([&] { return form_->FormBasicAnimate == nullptr; }, 8000));
  EXPECT_TRUE(form_->Enabled());
}

TEST_F(Engine, ProgressWindowStopButtonShowsTheMainStripGlyph) {
  ASSERT_NO_FATAL_FAILURE(Open());
  form_->ShowProgressWindow(100);
  ASSERT_NE(nullptr, form_->FormBasicAnimate);
  const TsBitBtn* stop = form_->FormBasicAnimate->btn_Close;
  EXPECT_EQ(form_->il16, stop->Images());
  form_->CloseProgressWindow();
}

TEST_F(Engine, StopOfClearHistoryFreesTheWindowAndClearsTheTag) {
  ASSERT_NO_FATAL_FAILURE(Open());
  form_->ShowProgressWindow(100);
  form_->SetPending(TAG_CLEARHISTORY);
  TFormBasicAnimate* window = form_->FormBasicAnimate;
  window->btn_Close->Click();
  EXPECT_EQ(nullptr, form_->FormBasicAnimate);
  EXPECT_EQ(0, form_->PendingTag());
  EXPECT_TRUE(form_->Enabled());
  EXPECT_TRUE(form_->Engine().CancelFlag());
  EXPECT_TRUE(PumpUntil([] { return !TFormBasicAnimate::AnyShown(); }));
  const std::string late = "50";
  form_->ComPortReceiveData(nullptr, late.data(), 2);
  EXPECT_EQ(nullptr, form_->FormBasicAnimate);
}

TEST_F(Engine, PortThatCannotBeOpenedLeavesTheWindowRunningAndDisconnected) {
  LoginPassword = "9173";
  LoginComPort = "COM199";
  const std::size_t before = Requests();
  form_.reset(Create<TFormKV69>(nullptr));
  EXPECT_NO_THROW(form_->Show());
  EXPECT_TRUE(form_->Visible());
  EXPECT_FALSE(form_->Connected());
  EXPECT_EQ("COM199  " + Lang_MsgDisconnected, form_->Bar->SimpleText());
  EXPECT_EQ(form_->abSheetVerInfo, form_->PageControl->ActivePage());
  form_->Pop_ReadMaster_SetingClick(nullptr);
  EXPECT_EQ(nullptr, form_->FormBasicAnimate);
  EXPECT_TRUE(RequestsSince(before).empty());
}

// A menu held open runs a loop of its own: the version request whose
// answer was lost is still asked again, and the model becomes known.
struct MenuHeldOpen {
  static inline bool done = false;
  static void CALLBACK Poll(HWND, UINT, UINT_PTR id, DWORD) {
    if (!done && ModelIndex < 0) return;
    KillTimer(nullptr, id);
    EndMenu();
  }
  static void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) { done = true; }
};

TEST_F(Engine, LostVersionAnswerIsAskedAgainWhileAMenuIsHeldOpen) {
  ASSERT_NO_FATAL_FAILURE(OpenLosingTheVersionAnswer());
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, L"Held open");
  MenuHeldOpen::done = false;
  const UINT_PTR poll = SetTimer(nullptr, 0, 50, MenuHeldOpen::Poll);
  // A last resort, so that a failure never leaves the menu open.
  const UINT_PTR limit = SetTimer(nullptr, 0, 12000, MenuHeldOpen::GiveUp);
  SetForegroundWindow(form_->Handle());
  TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, form_->Handle(), nullptr);
  KillTimer(nullptr, poll);
  KillTimer(nullptr, limit);
  DestroyMenu(menu);
  EXPECT_EQ(1, ModelIndex) << "no version request went out while the menu was open";
}

// Keys typed into the menu bar just as a lost answer's time-out sends its
// request again belong to the menu: the wait after the time-out, which runs
// inside the menu's loop, leaves them to it, and they reach the item they
// name (Setting, Read Setting).
struct MenuKeys {
  static inline HWND form = nullptr;
  // F10 comes as a system key, without Alt held.
  static void Key(WORD key) {
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    const bool system = key == VK_F10;
    PostMessageW(form, system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, down);
    PostMessageW(form, system ? WM_SYSKEYUP : WM_KEYUP, key, down | (3u << 30));
  }
  static void CALLBACK Poll(HWND, UINT, UINT_PTR id, DWORD) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetCurrentThreadId(), &info) || (info.flags & GUI_INMENUMODE) == 0)
      return;
    KillTimer(nullptr, id);
    PostMessageW(form, WM_REPLYTIMEOUT, TAG_VERSION, 0);
  }
  // The user types just as the time-out is handled, so that the keys come
  // while the resend's wait runs.
  static inline bool typed = false;
  static LRESULT CALLBACK TypeDuringTimeout(HWND wnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR,
                                            DWORD_PTR) {
    if (msg == WM_REPLYTIMEOUT && !typed) {
      typed = true;
      for (WORD key : {VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN}) Key(key);
    }
    return DefSubclassProc(wnd, msg, w, l);
  }
  // A last resort, so that a failure never leaves the menu open.
  static void CALLBACK GiveUp(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
  }
};

TEST_F(Engine, KeysTypedIntoTheMenuDuringAResendReachTheItemTheyName) {
  ASSERT_NO_FATAL_FAILURE(OpenLosingTheVersionAnswer());
  sim_.Command("reset");
  const std::size_t before = Requests();
  MenuKeys::form = form_->Handle();
  MenuKeys::typed = false;
  SetWindowSubclass(form_->Handle(), MenuKeys::TypeDuringTimeout, 1, 0);
  SetForegroundWindow(form_->Handle());
  const UINT_PTR poll = SetTimer(nullptr, 0, 20, MenuKeys::Poll);
  const UINT_PTR limit = SetTimer(nullptr, 0, 8000, MenuKeys::GiveUp);
  MenuKeys::Key(VK_F10);
  const std::string block0 = ReadRequestHex(0);
  const auto readAsked = [&] {
    const std::vector<std::string> rx = RequestsSince(before);
    return std::find(rx.begin(), rx.end(), block0) != rx.end();
  };
  EXPECT_TRUE(PumpUntil(readAsked, 8000)) << "the keys did not reach Setting, Read Setting";
  KillTimer(nullptr, poll);
  KillTimer(nullptr, limit);
  RemoveWindowSubclass(form_->Handle(), MenuKeys::TypeDuringTimeout, 1);
  EXPECT_TRUE(MenuKeys::typed);
  EXPECT_TRUE(PumpUntil([&] { return form_->FormBasicAnimate == nullptr; }, 30000));
  EXPECT_EQ(1, ModelIndex);
}

TEST_F(Engine, ReplyWithNothingPendingOnlyReplacesTheBuffer) {
  ASSERT_NO_FATAL_FAILURE(Open());
  const TDataPack chunk = Frame(0x83, 0, TDataPack(256, 0x11));
  const std::vector<std::uint8_t> chunks = form_->Engine().MasterChunks();
  form_->ComPortReceiveData(nullptr, chunk.data(), static_cast<std::uint16_t>(chunk.size()));
  EXPECT_EQ(chunk, form_->Engine().RecvBuffer());
  EXPECT_EQ(chunks, form_->Engine().MasterChunks());
  EXPECT_EQ(0, form_->Engine().LastReplyTag());
}

// A reply later than the time-out on every Nth reply, so that two answers
// are on their way for one block. Run against a device that answers address
// 0 (app_engine_noecho_tests); KV_LATE_EVERY gives N, KV_LATE_MS how late
// (3500 ms unless set), KV_LATE_FAULT another fault on every Nth reply
// ("drop"), KV_LATE_HISTORY the records read, for repeated runs by hand
// (bench/app_late_replies_runs).
class LateReplies : public Engine {
 protected:
  void SetUp() override {
    const char* every = std::getenv("KV_LATE_EVERY");
    if (every == nullptr) GTEST_SKIP() << "set KV_LATE_EVERY";
    Engine::SetUp();
    const char* ms = std::getenv("KV_LATE_MS");
    const char* fault = std::getenv("KV_LATE_FAULT");
    fault_ = std::string("every ") + every + " " +
             (fault != nullptr ? std::string(fault)
                               : "late " + std::string(ms != nullptr ? ms : "3500"));
  }
  void Arm() const { sim_.Command(fault_); }
  std::string fault_;
};

TEST_F(LateReplies, ReadSettingShowsTheDeviceImage) {
  ASSERT_NO_FATAL_FAILURE(Open());
  Arm();
  ReadSetting();
  EXPECT_EQ(DeviceImage(), ImageRead());
  EXPECT_EQ("", MessageShown());
}

TEST_F(LateReplies, WriteSettingPutsTheEditedImageIntoTheDevice) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ReadSetting();
  TMasterSettings edited = form_->ControlsToSettings();
  edited.lbledt_Master_DevDes = "Late replies";
  form_->SettingsToControls(edited);
  const std::vector<std::uint8_t> packed = Packed();
  Arm();
  form_->Pop_WirteMasterClick(nullptr);
  EXPECT_EQ(packed, DeviceImage());
}

// What Read Setting showed goes back as it came: writing it leaves the
// device's image as it was.
TEST_F(LateReplies, WritingWhatWasReadKeepsTheDeviceImage) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ReadSetting();
  const std::vector<std::uint8_t> device = DeviceImage();
  ASSERT_EQ(device, ImageRead());
  Arm();
  form_->Pop_WirteMaster->Click();
  EXPECT_EQ(device, DeviceImage());
  EXPECT_EQ("9173", sim_.State("password"));
}

// The channel values asked for after the read are shown. (The relay states
// asked for just before may not be: on a busy machine their answer can come
// after the values were asked for, and it is then read as theirs, since the
// two requests are the same frame.)
TEST_F(LateReplies, ReadSettingShowsTheChannelValues) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ReadSetting();
  ASSERT_GT(form_->lvTh->Items()->Count(), 0);
  EXPECT_TRUE(PumpUntil(
      [&] { return !form_->lvTh->Items()->Item(0)->SubItems()[ThColValue - 1].empty(); }, 5000));
}

TEST_F(LateReplies, EveryHistoryRowHoldsItsOwnRecord) {
  const char* history = std::getenv("KV_LATE_HISTORY");
  const int count = history != nullptr ? std::atoi(history) : 40;
  sim_.Command("history " + std::to_string(count));
  ASSERT_NO_FATAL_FAILURE(Open());
  Arm();
  form_->lbledt_ReadQty->SetText(std::to_string(count));
  form_->btn_ReadHistroyFull->Click();
  std::vector<int> wrong;
  for (int row = 1; row <= count + 4; ++row) {
    std::vector<std::string> start;
    for (int c = 0; c < 4; ++c) start.push_back(form_->SgHist->Cells(c, row));
    if (row <= count ? start != samples::SimRecordStart(row) : !start[1].empty())
      wrong.push_back(row);
  }
  EXPECT_EQ(std::vector<int>{}, wrong);
}

TEST(EngineAtShow, RefusedPasswordAtShowIsReportedAndEndsTheProgram) {
  const test::Simulator sim;
  if (!sim.Present()) GTEST_SKIP() << "needs scripts/serial-test";
  sim.Command("reset");  // faults a test before this one armed (a pulled cable) go
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The window speaks the user locale's language.
  wchar_t locale[16] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE, locale, 16);
  const char* expected = std::wstring(locale) == L"0804" ? "密码错误！" : "Password Error!";
  EXPECT_EXIT(
      {
        // Each box's text goes to stderr, where the death test reads it.
        test::MessageBoxHook boxes(IDOK, [](HWND box) {
          wchar_t text[512] = {};
          GetDlgItemTextW(box, 0xFFFF, text, 512);
          std::fprintf(stderr, "box: %s\n", Narrow(text).c_str());
          std::fflush(stderr);
          return 0;
        });
        LoginPassword = "0000";
        LoginComPort = sim.Port();
        Owned<TFormKV69> form(Create<TFormKV69>(nullptr));
        form->Show();
        PumpUntil(nullptr, 10000);
        std::exit(3);  // the device did not answer
      },
      ::testing::ExitedWithCode(0), std::string("box: ") + expected);
}

}  // namespace
}  // namespace kv
