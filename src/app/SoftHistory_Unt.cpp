#include "app/SoftHistory_Unt.h"

#include <algorithm>

#include "app/ConstLang_Unt.h"
#include "base/SysUtils.h"

namespace kv {
namespace {

// Image slots each model shows, in column order.
std::vector<int> ShownSlots(int modelIndex) {
  std::vector<int> slots;
  if (modelIndex == 0) {
    for (int s = 0; s < 8; ++s) slots.push_back(s);
  } else if (modelIndex == 1) {
    for (int s = 0; s < 16; ++s) slots.push_back(s);
  } else if (modelIndex == 2) {
    for (int s = 0; s < 16; s += 2) slots.push_back(s);
  }
  return slots;
}

}  // namespace

bool IsEmptyHistoryRecord(std::span<const std::uint8_t> record) {
  if (record.size() < HistoryRecordSize) return true;
  const bool tagErased =
      record[0] == 0xFF && record[1] == 0xFF && record[2] == 0xFF && record[3] == 0xFF;
  return tagErased || record[4] == 0xFF;
}

std::optional<THistoryRecord> DecodeHistoryRecord(std::span<const std::uint8_t> record) {
  if (IsEmptyHistoryRecord(record)) return std::nullopt;
  THistoryRecord r;
  for (std::size_t i = 0; i < r.Tag.size(); ++i) r.Tag[i] = record[i];
  r.Year = record[4];
  r.Month = record[5];
  r.Day = record[6];
  r.Hour = record[7];
  r.Minute = record[8];
  r.Second = record[9];
  r.Signal = record[10];
  r.Status = record[11];
  for (std::size_t i = 0; i < r.Values.size(); ++i) {
    r.Values[i] = static_cast<std::int16_t>(record[12 + 2 * i] | (record[13 + 2 * i] << 8));
  }
  r.Type = record[44] & 0x07;
  return r;
}

std::string HistoryTypeText(int type, int language) {
  static constexpr const char* kNames[] = {
      "Lang_HistInterval",  "Lang_HistAlarm",     "Lang_HistUpload", "Lang_HistRelay",
      "Lang_HistArmDisarm", "Lang_HistLowSignal", "Lang_HistPower",  "Lang_HistInterval"};
  return LangText(kNames[type & 0x07], language);
}

std::string HistoryArmedText(int status, int language) {
  return LangText((status & 0x80) ? "Lang_HistArm" : "Lang_HistDisarm", language);
}

std::string HistoryRelayText(bool closed, int language) {
  return LangText(closed ? "Lang_HistClose" : "Lang_HistOpen", language);
}

int HistoryColumnCount(int modelIndex) {
  if (modelIndex == 0 || modelIndex == 2) return 16;
  if (modelIndex == 1) return 24;
  return -1;
}

std::vector<std::string> HistoryChannelHeaders(int modelIndex, int language) {
  std::vector<std::string> headers;
  if (language != LanguageChinese && language != LanguageEnglish) return headers;
  const bool chinese = language == LanguageChinese;
  const std::string temperature = chinese ? "温度" : "Temp";
  const std::string humidity = chinese ? "湿度" : "Hum";
  for (int slot : ShownSlots(modelIndex)) {
    const int channel = slot / 2 + 1;
    const bool isHumidity = modelIndex != 2 && (slot % 2) == 1;
    headers.push_back((isHumidity ? humidity : temperature) + std::to_string(channel));
  }
  return headers;
}

std::vector<std::string> HistoryInitialHeader() {
  return {"序号",  "日期",  "时间",  "信号",  "状态",  "继电器1", "继电器2", "类型",
          "温度1", "湿度1", "温度2", "湿度2", "温度3", "湿度3",   "温度4",   "湿度4"};
}

std::vector<std::string> HistoryRowTexts(const THistoryRecord& r, int rowNumber, int modelIndex,
                                         int language) {
  std::vector<std::string> cells;
  cells.push_back(std::to_string(rowNumber));
  cells.push_back(std::to_string(r.Year) + "/" + std::to_string(r.Month) + "/" +
                  std::to_string(r.Day));
  cells.push_back(std::to_string(r.Hour) + ":" + std::to_string(r.Minute) + ":" +
                  std::to_string(r.Second));
  cells.push_back(std::to_string(r.Signal));
  cells.push_back(HistoryArmedText(r.Status, language));
  cells.push_back(HistoryRelayText(r.Status & 0x01, language));
  cells.push_back(HistoryRelayText(r.Status & 0x02, language));
  cells.push_back(HistoryTypeText(r.Type, language));
  for (int slot : ShownSlots(modelIndex)) cells.push_back(FormatTenths(r.Values[slot]));
  return cells;
}

THistoryBlockResult AppendHistoryRecords(std::span<const std::uint8_t> data, int targetCount,
                                         int& rowCount, int& emptyBlocks, int modelIndex,
                                         int language) {
  THistoryBlockResult result;
  for (std::size_t k = 0; k < HistoryRecordsPerBlock; ++k) {
    if (rowCount >= targetCount) break;
    const std::size_t offset = k * HistoryRecordSize;
    if (offset + HistoryRecordSize > data.size()) break;
    const std::span<const std::uint8_t> bytes = data.subspan(offset, HistoryRecordSize);
    ++rowCount;
    const std::optional<THistoryRecord> record = DecodeHistoryRecord(bytes);
    if (!record) {
      // The row keeps no record of an earlier read (or an imported file)
      // that the device does not hold.
      result.Rows.push_back({rowCount, HistoryBlankRowTexts(rowCount, modelIndex)});
      result.EndedAtEmptyRecord = true;
      if (++emptyBlocks >= 2) {
        result.CloseProgress = true;
        emptyBlocks = 0;
        // The device has no more records: nor do the rows up to the count.
        for (int row = rowCount + 1; row <= targetCount; ++row)
          result.Rows.push_back({row, HistoryBlankRowTexts(row, modelIndex)});
      }
      break;
    }
    result.Rows.push_back({rowCount, HistoryRowTexts(*record, rowCount, modelIndex, language)});
  }
  return result;
}

std::vector<std::string> HistoryBlankRowTexts(int rowNumber, int modelIndex) {
  const int columns = std::max<int>(HistoryColumnCount(modelIndex), HistColFirstChannel);
  std::vector<std::string> cells(static_cast<std::size_t>(columns));
  cells[HistColNumber] = std::to_string(rowNumber);
  return cells;
}

int HistoryNumberFromText(std::string_view text) { return StrToDecimalDef(text, 1); }

bool IsHistoryRecordNumber(int number) { return number >= 1 && number <= HistoryDataRows; }

int HistoryBlockCount(int count) {
  const int perBlock = static_cast<int>(HistoryRecordsPerBlock);
  if (count <= perBlock) return 1;
  return count / perBlock + (count % perBlock != 0 ? 1 : 0);
}

std::optional<std::vector<std::string>> SingleHistoryRow(std::span<const std::uint8_t> data,
                                                         int recordNumber, int modelIndex,
                                                         int language) {
  const std::optional<THistoryRecord> record = DecodeHistoryRecord(data);
  if (!record) return std::nullopt;
  return HistoryRowTexts(*record, recordNumber, modelIndex, language);
}

}  // namespace kv
