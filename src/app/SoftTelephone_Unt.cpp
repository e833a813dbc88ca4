#include "app/SoftTelephone_Unt.h"

namespace kv {

void FillPhoneRows(TListRows& rows) { FillNumberedRows(rows, 1, PhoneRowCount, PhoneListColumns); }

TPhoneDialogValues RowToPhoneValues(const TListRow& row) {
  TPhoneDialogValues values;
  values.TelNumber = row.Cell(PhoneColNumber);
  for (int f = 0; f < PhoneFlagCount; ++f) {
    values.Flags[f] = IsFlagText(row.Cell(PhoneColFirstFlag + f));
  }
  return values;
}

void PhoneValuesToRow(const TPhoneDialogValues& values, TListRow& row) {
  row.SetCell(PhoneColNumber, values.TelNumber);
  for (int f = 0; f < PhoneFlagCount; ++f) {
    row.SetCell(PhoneColFirstFlag + f, FlagText(values.Flags[f]));
  }
}

}  // namespace kv
