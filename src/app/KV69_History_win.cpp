// The main window's history page: reading records into the grid, the time
// filter and the CSV files.
#include "app/KV69_Frm_win.h"

namespace kv {

void TFormKV69::CreateHistoryPage() {}
void TFormKV69::AppendHistoryBlockReply() {}
void TFormKV69::ShowHistoryRecordReply() {}

}  // namespace kv
