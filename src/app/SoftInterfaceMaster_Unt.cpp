#include "app/SoftInterfaceMaster_Unt.h"

#include <algorithm>
#include <optional>

#include "app/ConstLang_Unt.h"
#include "app/Funs_Unt.h"
#include "app/SoftDateTime_Unt.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/SoftTelephone_Unt.h"
#include "base/TextCodec.h"

namespace kv {

EInputError::EInputError(std::string field)
    : Exception(InputErrorText(LanguageFlag) + ": " + field), field_(std::move(field)) {}

namespace {

using namespace master;

constexpr int kU16Max = 65535;
// Thresholds are stored in tenths as signed 16-bit numbers.
constexpr int kThresholdMin = -32768 / 10;
constexpr int kThresholdMax = 32767 / 10;

std::string CellField(const char* listView, const TListRow& row, int column) {
  const std::vector<std::string> captions = ListColumnTexts(listView, LanguageFlag);
  std::string field = std::string(listView) + " " + Trim(row.Caption);
  if (column < static_cast<int>(captions.size())) field += ": " + captions[column];
  return field;
}

// The text as a number; def when it is no decimal integer ("$20" and "0x10"
// are none). False when it is a decimal outside min..max, however long.
bool ParseNumber(std::string_view text, int def, int min, int max, int& value) {
  std::int32_t parsed = 0;
  if (!TryStrToDecimal(text, parsed)) {
    value = def;
    return true;
  }
  value = parsed;
  return parsed >= min && parsed <= max;
}

class TImageWriter {
 public:
  TImageWriter() : image_(MasterImageSize, 0xFF) {}

  void Byte(std::size_t offset, int value) { image_[offset] = static_cast<std::uint8_t>(value); }
  void Word(std::size_t offset, int value) {
    Byte(offset, value & 0xFF);
    Byte(offset + 1, (value >> 8) & 0xFF);
  }
  // Zero-filled; the code page 936 bytes of the text, cut at a character
  // boundary, unless the text is only blanks and control characters.
  void Text(std::size_t offset, std::size_t width, std::string_view utf8) {
    const std::string gbk = Utf8ToGbk(utf8);
    std::span<std::uint8_t> field(image_.data() + offset, width);
    std::fill(field.begin(), field.end(), std::uint8_t{0});
    if (Trim(gbk).empty()) return;
    const std::string cut = GbkTruncate(gbk, width);
    std::copy(cut.begin(), cut.end(), field.begin());
  }
  void Number(std::size_t offset, std::string_view text, int def, const std::string& field) {
    int value = 0;
    if (!ParseNumber(text, def, 0, kU16Max, value)) throw EInputError(field);
    Word(offset, value);
  }
  std::vector<std::uint8_t> Take() { return std::move(image_); }

 private:
  std::vector<std::uint8_t> image_;
};

class TImageReader {
 public:
  explicit TImageReader(std::span<const std::uint8_t> image) : image_(image) {}

  int Byte(std::size_t offset) const { return image_[offset]; }
  int Word(std::size_t offset) const { return image_[offset] | (image_[offset + 1] << 8); }
  int SignedWord(std::size_t offset) const { return static_cast<std::int16_t>(Word(offset)); }
  std::string WordText(std::size_t offset) const { return std::to_string(Word(offset)); }
  // What an edit shows of a text field: up to its first zero character.
  std::string Text(std::size_t offset, std::size_t width) const {
    std::string bytes = BytesToStr(image_.subspan(offset, width));
    const std::size_t zero = bytes.find('\0');
    if (zero != std::string::npos) bytes.resize(zero);
    return GbkToUtf8(bytes);
  }

 private:
  std::span<const std::uint8_t> image_;
};

std::size_t RowLimit(const TListRows& rows, int count) {
  return std::min(rows.size(), static_cast<std::size_t>(count));
}

void UnpackTimers(const TImageReader& r, TListRows& rows);

// A threshold in tenths as its cell shows it: whole units, truncated toward
// zero.
std::string ThresholdText(int tenths) { return std::to_string(tenths / 10); }

// A report time the picker can show; any other counts as report off, like
// 0xFF 0xFF.
bool ReportTimeShown(int hour, int minute) { return hour <= 23 && minute <= 59; }

// The protocol combo's item for the mode byte; -1 (none) for a code no item
// stands for.
int ProtocolIndexOfMode(int mode) {
  const int protocol = mode & 0x0F;
  return protocol < static_cast<int>(ProtocolItems(LanguageFlag).size()) ? protocol : -1;
}

// What the controls showed right after the read of an image: the timer rows
// emptied, as Read Setting empties them, then filled from it. A value that
// still shows that is one the user left, and the device keeps its own bytes
// for it, which the control may not hold: a code no list entry stands for, a
// threshold's tenths, a report time no picker shows. With no image, every
// value is written as it shows.
class TShownSetting {
 public:
  TShownSetting(std::span<const std::uint8_t> image, const TMasterSettings& now) {
    if (image.size() < MasterImageSize) return;
    device_.emplace(image.first(MasterImageSize));
    timers_ = now.lvTimer;
    ClearAllSubItems(timers_);
    UnpackTimers(*device_, timers_);
    protocol_ = ProtocolIndexOfMode(device_->Byte(GprsMode));
  }

  // The device's bits at offset when the value is as the read showed it,
  // else the code of what it shows.
  int Code(bool asShown, std::size_t offset, int mask, int code) const {
    return device_ && asShown ? device_->Byte(offset) & mask : code;
  }
  int WordCode(bool asShown, std::size_t offset, int code) const {
    return device_ && asShown ? device_->Word(offset) : code;
  }
  bool TimerCellAsShown(std::size_t row, int column, const std::string& text) const {
    return row < timers_.size() && timers_[row].Cell(column) == text;
  }
  bool ProtocolAsShown(int index) const { return index == protocol_; }
  bool ThresholdAsShown(std::size_t offset, const std::string& text) const {
    return device_ && text == ThresholdText(device_->SignedWord(offset));
  }
  // The read showed report off (also for a time no picker shows).
  bool ReportOffAsShown() const {
    return device_ && !ReportTimeShown(device_->Byte(ReportHour), device_->Byte(ReportMinute));
  }

 private:
  std::optional<TImageReader> device_;
  TListRows timers_;
  int protocol_ = -1;
};

void PackPhones(const TListRows& rows, TImageWriter& w) {
  for (std::size_t k = 0; k < RowLimit(rows, PhoneRowCount); ++k) {
    const TListRow& row = rows[k];
    w.Text(PhoneNumbers + PhoneNumberWidth * k, PhoneNumberWidth, row.Cell(PhoneColNumber));
    int mask = 0;
    for (int f = 0; f < PhoneFlagCount; ++f) {
      if (Trim(row.Cell(PhoneColFirstFlag + f)) == TickText) mask |= PhoneFlagMasks[f];
    }
    w.Word(PhoneMasks + 2 * k, mask);
  }
}

void PackRelays(const TListRows& rows, TImageWriter& w) {
  for (std::size_t r = 0; r < RowLimit(rows, DoRowCount); ++r) {
    const TListRow& row = rows[r];
    const std::size_t base = Relays + RelaySize * r;
    w.Text(base + RelayName, RelayNameWidth, row.Cell(DoColName));
    w.Number(base + RelayCloseTime, row.Cell(DoColCloseTime), 0,
             CellField("lvDo", row, DoColCloseTime));
    w.Byte(base + RelayRecovery, IsFlagText(row.Cell(DoColRecovery)) ? 0x40 : 0);
    w.Byte(base + RelayReserved, 0);
    w.Text(base + RelayOpenDes, RelayDesWidth, row.Cell(DoColOpenDes));
    w.Text(base + RelayCloseDes, RelayDesWidth, row.Cell(DoColCloseDes));
  }
}

void PackTimers(const TListRows& rows, const TShownSetting& shown, TImageWriter& w) {
  for (std::size_t t = 0; t < RowLimit(rows, TimerRowCount); ++t) {
    const TListRow& row = rows[t];
    const std::size_t base = Timers + TimerSize * t;
    const auto code = [&](int column, std::size_t at, int mask, int ofText) {
      return shown.Code(shown.TimerCellAsShown(t, column, row.Cell(column)), base + at, mask,
                        ofText);
    };
    const int enabled = IsFlagText(row.Cell(TimerColEnable)) ? 0 : 0x80;
    w.Byte(base, enabled + code(TimerColWeek, 0, 0x0F, TimerWeekCode(row.Cell(TimerColWeek))));
    const int hour = IndexOfText(row.Cell(TimerColHour), TimerHourList);
    const int minute = IndexOfText(row.Cell(TimerColMinute), TimerMinuteList);
    w.Byte(base + 1, code(TimerColHour, 1, 0xFF, hour < 0 ? 0xFF : hour));
    w.Byte(base + 2, code(TimerColMinute, 2, 0xFF, minute < 0 ? 0xFF : minute));
    w.Byte(base + 3, code(TimerColAction, 3, 0xFF, TimerActionCode(row.Cell(TimerColAction))));
  }
}

void PackThreshold(const TListRow& row, int column, std::size_t offset, const TShownSetting& shown,
                   TImageWriter& w) {
  int value = 0;
  if (!ParseNumber(row.Cell(column), 0, kThresholdMin, kThresholdMax, value)) {
    throw EInputError(CellField("lvTh", row, column));
  }
  w.Word(offset, shown.WordCode(shown.ThresholdAsShown(offset, row.Cell(column)), offset,
                                value * 10));
}

void PackChannels(const TListRows& rows, int modelIndex, const TShownSetting& shown,
                  TImageWriter& w) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int slot = ThSlotOfRow(modelIndex, static_cast<int>(i));
    if (slot < 0) continue;
    const TListRow& row = rows[i];
    const std::size_t text = ChannelTextWidth * slot;
    w.Text(ChannelNames + text, ChannelTextWidth, row.Cell(ThColName));
    w.Text(HighAlarmTexts + text, ChannelTextWidth, row.Cell(ThColHighSms));
    w.Text(LowAlarmTexts + text, ChannelTextWidth, row.Cell(ThColLowSms));
    w.Text(RecoveryTexts + text, ChannelTextWidth, row.Cell(ThColRecoverySms));
    w.Number(VerifyTimes + 2 * slot, row.Cell(ThColVerify), 2, CellField("lvTh", row, ThColVerify));
    int flags = 0;
    if (IsFlagText(row.Cell(ThColEnable))) flags |= ChannelEnabledBit;
    if (IsFlagText(row.Cell(ThColRecovery))) flags |= ChannelRecoveryBit;
    if (IsFlagText(row.Cell(ThColLinkDo1))) flags |= ChannelLinkDo1Bit;
    if (IsFlagText(row.Cell(ThColLinkDo2))) flags |= ChannelLinkDo2Bit;
    w.Byte(ChannelFlags + slot, flags);
    PackThreshold(row, ThColHigh, HighThresholds + 2 * slot, shown, w);
    PackThreshold(row, ThColLow, LowThresholds + 2 * slot, shown, w);
  }
}

void UnpackPhones(const TImageReader& r, TListRows& rows) {
  for (std::size_t k = 0; k < RowLimit(rows, PhoneRowCount); ++k) {
    TListRow& row = rows[k];
    const std::size_t offset = PhoneNumbers + PhoneNumberWidth * k;
    std::string number;
    if (r.Byte(offset) != 0) {
      for (char c : r.Text(offset, PhoneNumberWidth)) {
        if (c == '+' || (c >= '0' && c <= '9')) number.push_back(c);
      }
    }
    row.SetCell(PhoneColNumber, number);
    const int mask = r.Word(PhoneMasks + 2 * k);
    for (int f = 0; f < PhoneFlagCount; ++f) {
      row.SetCell(PhoneColFirstFlag + f, FlagText(mask & PhoneFlagMasks[f]));
    }
  }
}

void UnpackRelays(const TImageReader& r, TListRows& rows) {
  for (std::size_t k = 0; k < RowLimit(rows, DoRowCount); ++k) {
    TListRow& row = rows[k];
    const std::size_t base = Relays + RelaySize * k;
    row.SetCell(DoColName, r.Text(base + RelayName, RelayNameWidth));
    row.SetCell(DoColCloseTime, r.WordText(base + RelayCloseTime));
    row.SetCell(DoColRecovery, FlagText(r.Byte(base + RelayRecovery) == 0x40));
    row.SetCell(DoColOpenDes, r.Text(base + RelayOpenDes, RelayDesWidth));
    row.SetCell(DoColCloseDes, r.Text(base + RelayCloseDes, RelayDesWidth));
  }
}

// An hour or minute byte in decimal, even one no clock has (the device's byte
// is shown as it is); empty for 0xFF ("none").
std::string TimerTimeText(int code) { return code == 0xFF ? std::string() : std::to_string(code); }

void UnpackTimers(const TImageReader& r, TListRows& rows) {
  for (std::size_t t = 0; t < RowLimit(rows, TimerRowCount); ++t) {
    const std::size_t base = Timers + TimerSize * t;
    const int day = r.Byte(base);
    if (day & 0x80) continue;  // disabled: the row keeps what it shows
    TListRow& row = rows[t];
    row.SetCell(TimerColEnable, std::string(TickText));
    // Codes no list entry stands for show an empty cell instead of failing.
    row.SetCell(TimerColWeek, TimerWeekText(day & 0x0F));
    const int hour = r.Byte(base + 1);
    const int minute = r.Byte(base + 2);
    row.SetCell(TimerColHour, TimerTimeText(hour));
    row.SetCell(TimerColMinute, TimerTimeText(minute));
    row.SetCell(TimerColAction, TimerActionText(r.Byte(base + 3)));
  }
}

void UnpackChannels(const TImageReader& r, int modelIndex, TListRows& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int slot = ThSlotOfRow(modelIndex, static_cast<int>(i));
    if (slot < 0) continue;
    TListRow& row = rows[i];
    const std::size_t text = ChannelTextWidth * slot;
    row.SetCell(ThColName, r.Text(ChannelNames + text, ChannelTextWidth));
    row.SetCell(ThColHighSms, r.Text(HighAlarmTexts + text, ChannelTextWidth));
    row.SetCell(ThColLowSms, r.Text(LowAlarmTexts + text, ChannelTextWidth));
    row.SetCell(ThColRecoverySms, r.Text(RecoveryTexts + text, ChannelTextWidth));
    row.SetCell(ThColVerify, r.WordText(VerifyTimes + 2 * slot));
    const int flags = r.Byte(ChannelFlags + slot);
    row.SetCell(ThColEnable, FlagText(flags & ChannelEnabledBit));
    row.SetCell(ThColRecovery, FlagText(flags & ChannelRecoveryBit));
    row.SetCell(ThColLinkDo1, FlagText(flags & ChannelLinkDo1Bit));
    row.SetCell(ThColLinkDo2, FlagText(flags & ChannelLinkDo2Bit));
    row.SetCell(ThColHigh, ThresholdText(r.SignedWord(HighThresholds + 2 * slot)));
    row.SetCell(ThColLow, ThresholdText(r.SignedWord(LowThresholds + 2 * slot)));
  }
}

}  // namespace

std::vector<std::uint8_t> ControlsToMasterImage(const TMasterSettings& s, int modelIndex,
                                                std::span<const std::uint8_t> shownImage) {
  const TShownSetting shown(shownImage, s);
  TImageWriter w;
  w.Text(Password, PasswordWidth, s.lbledt_Main_Password);
  if (s.chk_ReportTime) {
    const TTimeOfDay& t = s.dtp_RePortTime;
    if (t.Hour < 0 || t.Hour > 23 || t.Minute < 0 || t.Minute > 59) {
      throw EInputError("dtp_RePortTime");
    }
    w.Byte(ReportHour, t.Hour);
    w.Byte(ReportMinute, t.Minute);
  } else {
    // Hour and minute 0xFF; a device's time no picker shows stays.
    w.Word(ReportHour, shown.WordCode(shown.ReportOffAsShown(), ReportHour, 0xFFFF));
  }
  w.Number(DeviceId, s.lbledt_DeviseID, 0, "lbledt_DeviseID");
  w.Text(Description, DescriptionWidth, s.lbledt_Master_DevDes);
  if (s.chk_AutoAlarmAfterDisarm) {
    w.Number(RearmDelay, s.lbledt_AutoMintues, 0, "lbledt_AutoMintues");
    w.Byte(AutoRearm, 0xFF);
  } else {
    w.Word(RearmDelay, 0);
    w.Byte(AutoRearm, 0);
  }
  w.Byte(BasicFlags, (s.chk_Auto_Armed ? 0x01 : 0) + (s.chk_AddTimeToAlarmSMS ? 0x02 : 0));
  if (s.chk_SmsReportInterMin) {
    w.Number(SmsReportInterval, s.lbledt_SmsReportInterMin, 0, "lbledt_SmsReportInterMin");
  } else {
    w.Word(SmsReportInterval, 0);
  }
  w.Word(Reserved1, 0);
  w.Word(Reserved2, 0);
  PackPhones(s.lvTel, w);
  PackRelays(s.lvDo, w);
  PackTimers(s.lvTimer, shown, w);
  const int transport = s.cbb_GPRS_TcpUdp < 0 ? 0xF0 : (s.cbb_GPRS_TcpUdp == 1 ? 0x80 : 0);
  const int chosen = s.cbb_GPRSCommunication_Proctocol;
  const int protocol =
      shown.Code(shown.ProtocolAsShown(chosen), GprsMode, 0x0F, chosen < 0 ? 0x0F : chosen & 0x0F);
  w.Byte(GprsMode, transport | protocol);
  w.Text(ServerAddress, ServerAddressWidth, s.lbledt_Gprs_IP);
  w.Number(ServerPort, s.lbledt_TcpPort, 0, "lbledt_TcpPort");
  w.Number(UploadInterval, s.lbledt_GprsBeatHeart, 2, "lbledt_GprsBeatHeart");
  w.Number(ReconnectInterval, s.lbledt_GprsReconnSec, 0, "lbledt_GprsReconnSec");
  w.Text(HeartbeatContent, HeartbeatContentWidth, s.lbledt_HeartCont);
  if (s.chk_PwrOffTime) {
    w.Number(PowerLossDelay, s.lbledt_PwrOffTime, 0, "lbledt_PwrOffTime");
  } else {
    w.Word(PowerLossDelay, PowerLossOff);
  }
  PackChannels(s.lvTh, modelIndex, shown, w);
  if (s.chk_SaveRecordInterSec) {
    w.Number(SaveInterval, s.lbledt_SaveRecordInterSec, 0, "lbledt_SaveRecordInterSec");
  } else {
    w.Word(SaveInterval, 0);
  }
  w.Text(AccessPointName, GprsTextWidth, s.lbledt_AccessPontName);
  w.Text(GprsUserName, GprsTextWidth, s.lbledt_GPRS_UserName);
  w.Text(GprsPassword, GprsTextWidth, s.lbledt_GPRS_Password);
  return w.Take();
}

void MasterImageToControls(std::span<const std::uint8_t> image, int modelIndex,
                           TMasterSettings& settings) {
  if (image.size() < MasterImageSize) throw EDataError();
  const TImageReader r(image.first(MasterImageSize));
  TMasterSettings s = settings;

  s.lbledt_DeviseID = r.WordText(DeviceId);
  s.lbledt_Master_DevDes = r.Text(Description, DescriptionWidth);
  s.chk_Auto_Armed = r.Byte(BasicFlags) & 0x01;
  s.chk_AddTimeToAlarmSMS = r.Byte(BasicFlags) & 0x02;
  s.chk_AutoAlarmAfterDisarm = r.Byte(AutoRearm) != 0;
  s.lbledt_AutoMintues = s.chk_AutoAlarmAfterDisarm ? r.WordText(RearmDelay) : "0";
  s.lbledt_Main_Password = r.Text(Password, PasswordWidth);

  const int hour = r.Byte(ReportHour);
  const int minute = r.Byte(ReportMinute);
  s.chk_ReportTime = ReportTimeShown(hour, minute);
  if (s.chk_ReportTime) s.dtp_RePortTime = TTimeOfDay{hour, minute, 0};

  const int smsInterval = r.Word(SmsReportInterval);
  s.chk_SmsReportInterMin = smsInterval != 0;
  s.lbledt_SmsReportInterMin = std::to_string(smsInterval);

  UnpackPhones(r, s.lvTel);
  UnpackRelays(r, s.lvDo);
  UnpackTimers(r, s.lvTimer);

  const int mode = r.Byte(GprsMode);
  s.cbb_GPRS_TcpUdp = (mode & 0x80) ? 1 : 0;
  s.cbb_GPRSCommunication_Proctocol = ProtocolIndexOfMode(mode);
  s.lbledt_Gprs_IP = r.Text(ServerAddress, ServerAddressWidth);
  s.lbledt_TcpPort = r.WordText(ServerPort);
  s.lbledt_GprsReconnSec = r.WordText(ReconnectInterval);
  s.lbledt_GprsBeatHeart = r.WordText(UploadInterval);
  s.lbledt_HeartCont = r.Text(HeartbeatContent, HeartbeatContentWidth);

  const int powerLoss = r.Word(PowerLossDelay);
  s.chk_PwrOffTime = powerLoss != PowerLossOff;
  s.lbledt_PwrOffTime = s.chk_PwrOffTime ? std::to_string(powerLoss) : std::string();

  UnpackChannels(r, modelIndex, s.lvTh);

  const int saveInterval = r.Word(SaveInterval);
  s.chk_SaveRecordInterSec = saveInterval != 0;
  s.lbledt_SaveRecordInterSec = std::to_string(saveInterval);

  s.lbledt_AccessPontName = r.Text(AccessPointName, GprsTextWidth);
  s.lbledt_GPRS_UserName = r.Text(GprsUserName, GprsTextWidth);
  s.lbledt_GPRS_Password = r.Text(GprsPassword, GprsTextWidth);
  settings = std::move(s);
}

}  // namespace kv
