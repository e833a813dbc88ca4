// The device's 3568-byte configuration image and the settings model it is
// packed from and unpacked into. The model holds what the main window's
// setting controls show, one field per control and named after it: edit
// texts as typed, check states, combo indexes, the report time and the four
// list views as rows of cell texts. An edit that has an enabling check box
// (lbledt_AutoMintues, lbledt_SmsReportInterMin, lbledt_PwrOffTime,
// lbledt_SaveRecordInterSec, and the picker dtp_RePortTime) is enabled
// exactly when its box is checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/BaseSoftInterface_Unt.h"
#include "base/SysUtils.h"

namespace kv {

inline constexpr std::size_t MasterImageSize = 3568;

// Offsets of the image fields (16-bit numbers are least significant byte
// first; texts are code page 936 bytes).
namespace master {
inline constexpr std::size_t Password = 0, PasswordWidth = 4;
inline constexpr std::size_t DeviceId = 4;
inline constexpr std::size_t ReportHour = 6, ReportMinute = 7;
inline constexpr std::size_t SmsReportInterval = 8;
inline constexpr std::size_t Description = 34, DescriptionWidth = 60;
inline constexpr std::size_t BasicFlags = 94;
inline constexpr std::size_t AutoRearm = 95;
inline constexpr std::size_t RearmDelay = 96;
inline constexpr std::size_t Reserved1 = 98, Reserved2 = 100;
inline constexpr std::size_t PhoneNumbers = 102, PhoneNumberWidth = 22;
inline constexpr std::size_t PhoneMasks = 322;
inline constexpr std::size_t Relays = 342, RelaySize = 164;
inline constexpr std::size_t RelayName = 0, RelayNameWidth = 40;
inline constexpr std::size_t RelayCloseTime = 40;
inline constexpr std::size_t RelayRecovery = 42, RelayReserved = 43;
inline constexpr std::size_t RelayCloseDes = 44, RelayOpenDes = 104, RelayDesWidth = 60;
inline constexpr std::size_t Timers = 670, TimerSize = 4;
inline constexpr std::size_t GprsMode = 710;
inline constexpr std::size_t ServerAddress = 712, ServerAddressWidth = 32;
inline constexpr std::size_t ServerPort = 744;
inline constexpr std::size_t UploadInterval = 746;
inline constexpr std::size_t ReconnectInterval = 748;
inline constexpr std::size_t HeartbeatContent = 750, HeartbeatContentWidth = 20;
inline constexpr std::size_t PowerLossDelay = 770;
inline constexpr std::size_t ChannelNames = 772;
inline constexpr std::size_t HighAlarmTexts = 1412, LowAlarmTexts = 2052, RecoveryTexts = 2692;
inline constexpr std::size_t ChannelTextWidth = 40;
inline constexpr std::size_t VerifyTimes = 3332;
inline constexpr std::size_t ChannelFlags = 3364;
inline constexpr std::size_t HighThresholds = 3380, LowThresholds = 3412;
inline constexpr std::size_t SaveInterval = 3446;
inline constexpr std::size_t AccessPointName = 3448, GprsUserName = 3488, GprsPassword = 3528;
inline constexpr std::size_t GprsTextWidth = 40;
}  // namespace master

// Channel flag bits of the image.
inline constexpr std::uint8_t ChannelEnabledBit = 0x01;
inline constexpr std::uint8_t ChannelLinkDo1Bit = 0x10;
inline constexpr std::uint8_t ChannelLinkDo2Bit = 0x20;
inline constexpr std::uint8_t ChannelRecoveryBit = 0x40;

// Power-loss delay that means "no alert".
inline constexpr int PowerLossOff = 999;

struct TTimeOfDay {
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  bool operator==(const TTimeOfDay&) const = default;
};

struct TMasterSettings {
  // grp_PasswordSeting
  std::string lbledt_Main_Password;
  bool chk_ShowPassword = false;  // profile only, not in the image
  // grp_BasicSeting
  std::string lbledt_Master_DevDes;
  std::string lbledt_DeviseID;
  bool chk_AddTimeToAlarmSMS = false;
  bool chk_Auto_Armed = false;
  bool chk_AutoAlarmAfterDisarm = false;
  std::string lbledt_AutoMintues;
  std::string lbledt_PwrOffTime;
  TTimeOfDay dtp_RePortTime;
  std::string lbledt_SaveRecordInterSec;
  std::string lbledt_SmsReportInterMin;
  bool chk_ReportTime = false;
  bool chk_PwrOffTime = false;
  bool chk_SaveRecordInterSec = false;
  bool chk_SmsReportInterMin = false;
  // grp_GPRS_BasicSeting
  std::string lbledt_AccessPontName;
  std::string lbledt_GPRS_UserName;
  std::string lbledt_GPRS_Password;
  std::string lbledt_HeartCont;
  std::string lbledt_GprsBeatHeart;  // data upload interval
  std::string lbledt_GprsReconnSec;
  std::string lbledt_TcpPort;
  int cbb_GPRSCommunication_Proctocol = -1;  // -1: nothing selected
  int cbb_GPRS_TcpUdp = -1;                  // 0 TCP, 1 UDP
  std::string lbledt_Gprs_IP;
  // The list views.
  TListRows lvDo;
  TListRows lvTh;
  TListRows lvTel;
  TListRows lvTimer;

  bool operator==(const TMasterSettings&) const = default;
};

// A value the image cannot hold; Field names the control or the list cell.
class EInputError : public Exception {
 public:
  explicit EInputError(std::string field);
  const std::string& Field() const { return field_; }

 private:
  std::string field_;
};

// Device data that cannot be shown (an incomplete image).
class EDataError : public Exception {
 public:
  EDataError() : Exception("Data Error") {}
};

// Builds the image from the settings; the channel rows go to the slots of
// the model index. Raises EInputError, building nothing, when a number is
// outside its field's range; a text that is not a number takes the field's
// default.
// `shown` is the image a read last put into the settings (none: empty). A
// value that still shows what that read showed is written as the device's
// own bytes, which the control may not hold: a timer's week, hour, minute
// and action and the GPRS protocol (also codes no list entry stands for), a
// threshold in tenths ("80" for 805), report off for a time no picker shows.
// A changed one is written as it shows now.
std::vector<std::uint8_t> ControlsToMasterImage(const TMasterSettings& settings, int modelIndex,
                                                std::span<const std::uint8_t> shown = {});

// Shows an image in the settings. Rows must exist already; cells the image
// does not cover and disabled timer rows are left as they are. Raises
// EDataError, changing nothing, when the image holds fewer than 3568 bytes.
void MasterImageToControls(std::span<const std::uint8_t> image, int modelIndex,
                           TMasterSettings& settings);

}  // namespace kv
