#include "app/SoftDiDoTh_Unt.h"

#include "app/ConstLang_Unt.h"
#include "app/HistoryCsv_Unt.h"
#include "base/SysUtils.h"

namespace kv {
namespace {

constexpr std::string_view kDoEnglish = "DOUT";
constexpr std::string_view kDoChinese = "继电器";

struct TWordPair {
  std::string_view English;
  std::string_view Chinese;
};
constexpr TWordPair kRowWords[] = {
    {"DOUT", "继电器"}, {"Temperature", "温度"}, {"Humidity", "湿度"}};

std::string Word(const TWordPair& pair, int language) {
  return std::string(language == LanguageChinese ? pair.Chinese : pair.English);
}

bool IsNumber(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::int16_t Int16At(std::span<const std::uint8_t> data, std::size_t offset) {
  return static_cast<std::int16_t>(data[offset] | (data[offset + 1] << 8));
}

}  // namespace

bool ThRowsBuilt = false;

void FillDoRows(TListRows& rows) {
  for (int r = 0; r < DoRowCount; ++r) {
    TListRow row;
    row.Caption = DoRowCaption(r, LanguageEnglish);
    row.SubItems.resize(DoListColumns);
    rows.push_back(std::move(row));
  }
}

std::string DoRowCaption(int row, int language) {
  return Word(kRowWords[0], language) + std::to_string(row + 1);
}

int ModelIndexOf(std::string_view modelText) {
  for (int index : {1, 2})
    if (ModelWordOf(index) == modelText) return index;
  return 0;
}

std::vector<std::string> ThRowCaptions(int modelIndex, int language) {
  std::vector<std::string> captions;
  const std::string temperature = Word(kRowWords[1], language);
  const std::string humidity = Word(kRowWords[2], language);
  const int channels = modelIndex == 1 ? 8 : 4;
  if (modelIndex == 0 || modelIndex == 1) {
    for (int n = 1; n <= channels; ++n) {
      captions.push_back(temperature + std::to_string(n));
      captions.push_back(humidity + std::to_string(n));
    }
  } else if (modelIndex == 2) {
    for (int n = 1; n <= 8; ++n) captions.push_back(temperature + std::to_string(n));
  }
  return captions;
}

void BuildThRowsForModel(std::string_view modelText, TListRows& rows) {
  if (ThRowsBuilt) return;
  ThRowsBuilt = true;
  // Another text than the three model words builds no rows.
  const int model = ModelIndexOf(modelText);
  if (ModelWordOf(model) != modelText) return;
  for (const std::string& caption : ThRowCaptions(model, LanguageEnglish)) {
    TListRow row;
    row.Caption = caption;
    row.SubItems.resize(ThListColumns - 1);
    rows.push_back(std::move(row));
  }
}

int ThSlotOfRow(int modelIndex, int row) {
  int slot = -1;
  if (modelIndex == 0 || modelIndex == 1) slot = row;
  if (modelIndex == 2) slot = 2 * row;
  // Rows built for another model than the current one must not reach past
  // the sixteen slots of the image and the value reply.
  if (row < 0 || slot >= ChannelSlotCount) return -1;
  return slot;
}

std::string OtherLanguageRowCaption(std::string_view caption) {
  for (const TWordPair& pair : kRowWords) {
    for (int language : {LanguageEnglish, LanguageChinese}) {
      const std::string word = Word(pair, language);
      if (caption.size() > word.size() && caption.substr(0, word.size()) == word &&
          IsNumber(caption.substr(word.size()))) {
        const int other = language == LanguageEnglish ? LanguageChinese : LanguageEnglish;
        return Word(pair, other) + std::string(caption.substr(word.size()));
      }
    }
  }
  return {};
}

TDoDialogValues RowToDoValues(const TListRow& row, int rowIndex, int language) {
  TDoDialogValues values;
  values.ChannelName = row.Cell(DoColName);
  if (values.ChannelName.empty()) values.ChannelName = DoRowCaption(rowIndex, language);
  values.CloseTime = row.Cell(DoColCloseTime);
  values.OpenDes = row.Cell(DoColOpenDes);
  values.CloseDes = row.Cell(DoColCloseDes);
  values.EnableRecoveryAlert = IsFlagText(row.Cell(DoColRecovery));
  return values;
}

void DoValuesToRow(const TDoDialogValues& values, TListRow& row) {
  row.SetCell(DoColName, values.ChannelName);
  row.SetCell(DoColCloseTime, values.CloseTime);
  row.SetCell(DoColOpenDes, values.OpenDes);
  row.SetCell(DoColCloseDes, values.CloseDes);
  row.SetCell(DoColRecovery, FlagText(values.EnableRecoveryAlert));
}

TDoDialogValues DoDefaults(int rowIndex, int language) {
  const bool chinese = language == LanguageChinese;
  TDoDialogValues values;
  values.ChannelName =
      std::string(chinese ? kDoChinese : kDoEnglish) + std::to_string(rowIndex + 1);
  values.CloseTime = "0";
  values.OpenDes = chinese ? "断开" : "Open";
  values.CloseDes = chinese ? "闭合" : "Close";
  values.EnableRecoveryAlert = true;
  return values;
}

TThDialogValues RowToThValues(const TListRow& row) {
  TThDialogValues values;
  values.ChannelName = row.Cell(ThColName);
  values.Enable = IsFlagText(row.Cell(ThColEnable));
  values.AlarmVerify = row.Cell(ThColVerify);
  values.ThresholdHigh = row.Cell(ThColHigh);
  values.ThresholdLow = row.Cell(ThColLow);
  values.HighSms = row.Cell(ThColHighSms);
  values.LowSms = row.Cell(ThColLowSms);
  values.RecoverySms = row.Cell(ThColRecoverySms);
  values.RecoveryAlarm = IsFlagText(row.Cell(ThColRecovery));
  values.AlarmLinkDO1 = IsFlagText(row.Cell(ThColLinkDo1));
  values.AlarmLinkDO2 = IsFlagText(row.Cell(ThColLinkDo2));
  return values;
}

void ThValuesToRow(const TThDialogValues& values, TListRow& row) {
  row.SetCell(ThColName, values.ChannelName);
  row.SetCell(ThColEnable, FlagText(values.Enable));
  row.SetCell(ThColVerify, values.AlarmVerify);
  row.SetCell(ThColHigh, values.ThresholdHigh);
  row.SetCell(ThColLow, values.ThresholdLow);
  row.SetCell(ThColHighSms, values.HighSms);
  row.SetCell(ThColLowSms, values.LowSms);
  row.SetCell(ThColRecoverySms, values.RecoverySms);
  row.SetCell(ThColRecovery, FlagText(values.RecoveryAlarm));
  row.SetCell(ThColLinkDo1, FlagText(values.AlarmLinkDO1));
  row.SetCell(ThColLinkDo2, FlagText(values.AlarmLinkDO2));
}

TThDialogValues ThDefaults(std::string_view rowCaption, int modelIndex, int language) {
  const bool chinese = language == LanguageChinese;
  TThDialogValues values;
  values.ChannelName = std::string(rowCaption);
  values.AlarmVerify = "2";
  values.ThresholdHigh = modelIndex == 2 ? "125" : "80";
  values.ThresholdLow = modelIndex == 2 ? "-55" : "-40";
  if (rowCaption.find("湿度") != std::string_view::npos ||
      rowCaption.find("Humidity") != std::string_view::npos) {
    values.ThresholdHigh = "100";
    values.ThresholdLow = "0";
  }
  values.HighSms = chinese ? "高限报警" : "High Alarm";
  values.LowSms = chinese ? "低限报警" : "Low Alarm";
  values.RecoverySms = chinese ? "恢复" : "Recover";
  values.Enable = true;
  values.RecoveryAlarm = true;
  return values;
}

namespace {

// The image holds close and verify times as unsigned 16-bit numbers and
// thresholds in tenths as signed 16-bit numbers.
constexpr int kWordMax = 65535;
constexpr int kThresholdMin = -32768 / 10;
constexpr int kThresholdMax = 32767 / 10;

// Only decimal text is a number here, as in the image.
bool FitsField(std::string_view text, int min, int max) {
  if (text.empty()) return true;
  std::int32_t value = 0;
  return TryStrToDecimal(text, value) && value >= min && value <= max;
}

}  // namespace

std::string InvalidDoField(const TDoDialogValues& values) {
  if (!FitsField(values.CloseTime, 0, kWordMax)) return "lbledt_DO_CloseTime";
  return {};
}

std::string InvalidThField(const TThDialogValues& values) {
  if (!FitsField(values.AlarmVerify, 0, kWordMax)) return "lbledt_Th_AlarmVerify";
  if (!FitsField(values.ThresholdHigh, kThresholdMin, kThresholdMax))
    return "lbledt_Th_ThresholdHigh";
  if (!FitsField(values.ThresholdLow, kThresholdMin, kThresholdMax))
    return "lbledt_Th_ThresholdLow";
  return {};
}

std::optional<std::array<std::string, 2>> DoStatusTexts(std::span<const std::uint8_t> data,
                                                        int language) {
  constexpr std::size_t kStatusByte = 32;
  if (data.size() <= kStatusByte) return std::nullopt;
  const bool chinese = language == LanguageChinese;
  const std::string open = chinese ? "断开" : "Open";
  const std::string close = chinese ? "闭合" : "Close";
  const std::uint8_t status = data[kStatusByte];
  return std::array<std::string, 2>{(status & 0x01) ? close : open, (status & 0x02) ? close : open};
}

std::vector<std::string> ThValueTexts(std::span<const std::uint8_t> data, int modelIndex,
                                      int rowCount) {
  std::vector<std::string> texts;
  for (int row = 0; row < rowCount; ++row) {
    const int slot = ThSlotOfRow(modelIndex, row);
    if (slot < 0) break;
    const std::size_t offset = static_cast<std::size_t>(slot) * 2;
    if (offset + 2 > data.size()) break;
    texts.push_back(FormatTenths(Int16At(data, offset)));
  }
  return texts;
}

}  // namespace kv
