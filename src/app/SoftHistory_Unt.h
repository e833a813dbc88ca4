// The device's 64-byte history records and the texts of their grid rows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

inline constexpr std::size_t HistoryRecordSize = 64;
inline constexpr std::size_t HistoryRecordsPerBlock = 4;
inline constexpr int HistoryDataRows = 20000;  // grid rows 1..20000 under the header
// Grid columns before the channel values.
enum HistoryColumn {
  HistColNumber,
  HistColDate,
  HistColTime,
  HistColSignal,
  HistColArmed,
  HistColDo1,
  HistColDo2,
  HistColType,
  HistColFirstChannel
};

struct THistoryRecord {
  std::array<std::uint8_t, 4> Tag{};
  int Year = 0;  // as stored (year - 2000)
  int Month = 0;
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Signal = 0;
  int Status = 0;                         // bit 7 armed, bit 0 DO1 closed, bit 1 DO2 closed
  std::array<std::int16_t, 16> Values{};  // tenths, in image slot order
  int Type = 0;                           // bits 0-2 of the type byte
};

// True for a record never written: year byte 0xFF or all four tag bytes 0xFF.
// A span shorter than a record counts as empty.
bool IsEmptyHistoryRecord(std::span<const std::uint8_t> record);
// Decodes the first 64 bytes; nothing for fewer bytes or an empty record.
std::optional<THistoryRecord> DecodeHistoryRecord(std::span<const std::uint8_t> record);

// Texts of the record type, armed state and relay state.
std::string HistoryTypeText(int type, int language);
std::string HistoryArmedText(int status, int language);
std::string HistoryRelayText(bool closed, int language);

// Column count of the grid for a model (16, 24, 16); -1 for an unknown model.
int HistoryColumnCount(int modelIndex);
// Header texts of the channel columns (column 8 on); empty for an unknown
// model or language.
std::vector<std::string> HistoryChannelHeaders(int modelIndex, int language);
// Header row texts of columns 0..15 as the grid is first laid out.
std::vector<std::string> HistoryInitialHeader();

// The cells of one grid row, column 0 (the row number) to the last channel
// column of the model; no channel columns for an unknown model.
std::vector<std::string> HistoryRowTexts(const THistoryRecord& record, int rowNumber,
                                         int modelIndex, int language);

// The cells of a row that shows no record: its number, every other column
// of the model empty.
std::vector<std::string> HistoryBlankRowTexts(int rowNumber, int modelIndex);

// A grid row filled from a block reply.
struct THistoryGridRow {
  int Row = 0;
  std::vector<std::string> Cells;
};
struct THistoryBlockResult {
  std::vector<THistoryGridRow> Rows;
  bool EndedAtEmptyRecord = false;
  bool CloseProgress = false;  // the second block that ended early
};
// Appends the records of one history block reply below rowCount, up to the
// target count. An empty record ends the block and still takes a row number,
// whose row is given blank; every second block that ends so asks to close
// the progress window (and resets emptyBlocks) and blanks the rows after it
// up to the target count. Records the data does not hold end the block
// quietly.
THistoryBlockResult AppendHistoryRecords(std::span<const std::uint8_t> data, int targetCount,
                                         int& rowCount, int& emptyBlocks, int modelIndex,
                                         int language);

// --- reading ---

// A count or record number typed for a history read: its decimal value, 1
// when the text is no decimal number. A decimal too long for 32 bits is out
// of range, not "no number": it is refused rather than read as record 1.
int HistoryNumberFromText(std::string_view text);
// Counts and record numbers outside 1..20000 are refused with "Input Error"
// and nothing is sent: a record number below 1 or beyond the last would
// address memory outside the history.
bool IsHistoryRecordNumber(int number);
// Blocks of four records a read of count records asks for (at least one).
int HistoryBlockCount(int count);

// The counters of one many-records read. Start() clears both, so that empty
// blocks counted by an earlier, stopped read never end a new one early.
struct THistoryReadState {
  int RowCount = 0;
  int EmptyBlocks = 0;
  void Start() { *this = {}; }
};
inline THistoryBlockResult AppendHistoryRecords(std::span<const std::uint8_t> data, int targetCount,
                                                THistoryReadState& state, int modelIndex,
                                                int language) {
  return AppendHistoryRecords(data, targetCount, state.RowCount, state.EmptyBlocks, modelIndex,
                              language);
}

// The row of a single-record reply; nothing when the record is empty or
// missing (the caller shows "Error").
std::optional<std::vector<std::string>> SingleHistoryRow(std::span<const std::uint8_t> data,
                                                         int recordNumber, int modelIndex,
                                                         int language);

}  // namespace kv
