// The main window's request engine: one request outstanding, its reply
// dispatched by the pending tag, the time-out and the block loops' waits.
#include "app/KV69_Frm_win.h"

namespace kv {

void TFormKV69::CreateEngine() {}
void TFormKV69::ConnectAtShow() {}
int TFormKV69::PendingTag() const { return 0; }
void TFormKV69::SetPending(int) {}
bool TFormKV69::Connected() const { return false; }
bool TFormKV69::SendBlockAndWait(int, const std::function<void()>&) { return false; }
void TFormKV69::ShowProgressWindow(int) {}
void TFormKV69::SetProgress(int) {}
void TFormKV69::CloseProgressWindow() {}
void TFormKV69::ComPortReceiveData(TObject*, const void*, std::uint16_t) {}
void TFormKV69::tmrOutTimer(TObject*) {}
void TFormKV69::ApplicationEventsMessage(MSG&, bool&) {}
void TFormKV69::RetryStep(int) {}
void TFormKV69::ApplicationEventsException(TObject*, const std::exception&) {}
void TFormKV69::ComPortReceiveError(TObject*, std::uint32_t) {}
int TFormKV69::ModelIndexOf(std::string_view) { return 0; }
void TFormKV69::WndProc(TMessage& message) {
  if (message.Msg == WM_DEVICECHANGE) HandleDeviceChange(message);
  TForm::WndProc(message);
}
void TFormKV69::Pop_ReadMaster_SetingClick(TObject*) {}
void TFormKV69::Pop_WirteMasterClick(TObject*) {}

}  // namespace kv
