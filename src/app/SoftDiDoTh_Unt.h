// Relay (DO) and channel (TH) rows: their captions by model and language, the
// mapping of channel rows to the device's sixteen slots, the setting dialogs'
// values and defaults, and the texts of the relay-state and channel-value
// replies.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/BaseSoftInterface_Unt.h"

namespace kv {

// Columns of lvDo.
enum DoColumn {
  DoColName = 1,
  DoColCloseTime,
  DoColState,  // current state, not part of the image
  DoColOpenDes,
  DoColCloseDes,
  DoColRecovery
};
inline constexpr int DoListColumns = 7;
inline constexpr int DoRowCount = 2;

// Columns of lvTh.
enum ThColumn {
  ThColName = 1,
  ThColValue,  // current value, not part of the image
  ThColEnable,
  ThColVerify,
  ThColHigh,
  ThColLow,
  ThColHighSms,
  ThColLowSms,
  ThColRecoverySms,
  ThColRecovery,
  ThColLinkDo1,
  ThColLinkDo2
};
inline constexpr int ThListColumns = 13;
inline constexpr int ChannelSlotCount = 16;

// Set once the TH rows have been built; they are built once per run.
extern bool ThRowsBuilt;

// Rows "DOUT1" and "DOUT2", each with one empty sub-item per list column.
void FillDoRows(TListRows& rows);
// "DOUT1" / "继电器1" for row 0, and so on.
std::string DoRowCaption(int row, int language);

// Model index of a version reply's model text: 0 KV41, 1 KV42, 2 KV43; any
// other text counts as the first model.
int ModelIndexOf(std::string_view modelText);
// TH row captions of a model ("Temperature1", "Humidity1", ... or "温度1" ...);
// empty for an unknown model.
std::vector<std::string> ThRowCaptions(int modelIndex, int language);
// Builds the TH rows for a model text unless they were built before in this
// run; another text builds no rows (and still counts as built).
void BuildThRowsForModel(std::string_view modelText, TListRows& rows);
// The image slot of TH row `row`: the row itself for KV41 and KV42, twice
// the row for KV43; -1 for an unknown model or a slot beyond the sixteen.
int ThSlotOfRow(int modelIndex, int row);

// A DO or TH row caption in the other language ("DOUT1" <-> "继电器1",
// "Temperature2" <-> "温度2", "Humidity2" <-> "湿度2"); empty for other captions.
std::string OtherLanguageRowCaption(std::string_view caption);

// Values of the relay setting dialog.
struct TDoDialogValues {
  std::string ChannelName;           // lbledt_DO_ChannleName
  std::string CloseTime;             // lbledt_DO_CloseTime
  std::string OpenDes;               // lbledt_DO_OpenDes
  std::string CloseDes;              // lbledt_DO_CloseDes
  bool EnableRecoveryAlert = false;  // chk_Enable_RecoveryAlert
  bool operator==(const TDoDialogValues&) const = default;
};
TDoDialogValues RowToDoValues(const TListRow& row, int rowIndex, int language);
void DoValuesToRow(const TDoDialogValues& values, TListRow& row);
TDoDialogValues DoDefaults(int rowIndex, int language);

// Values of the channel setting dialog.
struct TThDialogValues {
  std::string ChannelName;     // lbledt_Th_ChannelName
  std::string AlarmVerify;     // lbledt_Th_AlarmVerify
  std::string ThresholdHigh;   // lbledt_Th_ThresholdHigh
  std::string ThresholdLow;    // lbledt_Th_ThresholdLow
  std::string HighSms;         // lbledt_Th_ThresholdHighSMS
  std::string LowSms;          // lbledt_Th_ThresholdLowSMS
  std::string RecoverySms;     // lbledt_Th_RecoverySMS
  bool Enable = false;         // chk_Th_Enable
  bool RecoveryAlarm = false;  // chk_Th_RecoveryAlarm
  bool AlarmLinkDO1 = false;   // chk_Th_AlarmLinkDO1
  bool AlarmLinkDO2 = false;   // chk_Th_AlarmLinkDO2
  bool operator==(const TThDialogValues&) const = default;
};
TThDialogValues RowToThValues(const TListRow& row);
void ThValuesToRow(const TThDialogValues& values, TListRow& row);
TThDialogValues ThDefaults(std::string_view rowCaption, int modelIndex, int language);

// The control name of the first number in the dialog values that its image
// field cannot hold (text that is not an integer, or out of range); empty
// when all can. An empty text is accepted: it packs as the field's default.
std::string InvalidDoField(const TDoDialogValues& values);
std::string InvalidThField(const TThDialogValues& values);

// State texts of DO1 and DO2 from the data bytes of a relay status reply
// (status byte 32, bit 0 DO1, bit 1 DO2); nothing for a reply too short.
std::optional<std::array<std::string, 2>> DoStatusTexts(std::span<const std::uint8_t> data,
                                                        int language);
// Current-value texts ("0.0") of the first rowCount TH rows from the data
// bytes of a channel value reply; stops at the first row whose value the
// reply does not hold.
std::vector<std::string> ThValueTexts(std::span<const std::uint8_t> data, int modelIndex,
                                      int rowCount);

}  // namespace kv
