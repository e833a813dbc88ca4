// Alarm phone rows: the number and nine notification flags per row.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/BaseSoftInterface_Unt.h"

namespace kv {

// Columns of lvTel: 0 the caption "  1" .. "  10", 1 the number, 2..10 flags.
inline constexpr int PhoneColNumber = 1;
inline constexpr int PhoneColFirstFlag = 2;
inline constexpr int PhoneFlagCount = 9;
inline constexpr int PhoneRowCount = 10;
inline constexpr int PhoneListColumns = 11;

// Image mask bit of each flag column, in column order (dial, timer report,
// arm/disarm SMS, alarm, alarm recovery, external power, GPRS failure, low GSM
// signal, relay close/open).
inline constexpr std::array<std::uint16_t, PhoneFlagCount> PhoneFlagMasks = {
    0x0001, 0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040, 0x0080, 0x0200};

// Ten numbered rows, each with one empty sub-item per list column.
void FillPhoneRows(TListRows& rows);

// Values of the phone setting dialog: lbledt_TelNumber and the nine flag
// boxes (chk_Dial .. chk_Realy) in column order.
struct TPhoneDialogValues {
  std::string TelNumber;
  std::array<bool, PhoneFlagCount> Flags{};
  bool operator==(const TPhoneDialogValues&) const = default;
};
TPhoneDialogValues RowToPhoneValues(const TListRow& row);
void PhoneValuesToRow(const TPhoneDialogValues& values, TListRow& row);

}  // namespace kv
