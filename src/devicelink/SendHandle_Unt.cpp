#include "devicelink/SendHandle_Unt.h"

#include <algorithm>

#include "base/TextCodec.h"
#include "devicelink/DiDoThProtocol_Unt.h"
#include "devicelink/HistoryProtocol_Unt.h"
#include "devicelink/MasterProtocol_Unt.h"
#include "devicelink/PasswordProtocol_Unt.h"
#include "devicelink/SyncTimeProtocol_Unt.h"
#include "devicelink/VersionProtocol_Unt.h"

namespace kv {

TSendHandle SendHandle;

void TSendHandle::Write(ICommPort& comm, const TDataPack& bytes) {
  if (bytes.empty()) return;
  comm.WriteData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

void TSendHandle::SendText(ICommPort& comm, std::string_view prefix, std::string_view command) {
  // Text commands go out as code page 936 bytes, like the device's own texts.
  const std::string text = Utf8ToGbk(prefix) + std::string(command) + "\r\n";
  Write(comm, TDataPack(text.begin(), text.end()));
}

void TSendHandle::SendPassword(ICommPort& comm, std::string_view password) {
  if (!comm.Connected()) return;
  TPasswordProtocol protocol;
  // The first four bytes, never half a double-byte character; the rest stays 0.
  const std::string bytes = GbkTruncate(Utf8ToGbk(password), protocol.Password.size());
  std::copy(bytes.begin(), bytes.end(), protocol.Password.begin());
  TDataPack frame;
  protocol.BuildPasswordRequest(frame);
  Write(comm, frame);
}

void TSendHandle::SendReadVersion(ICommPort& comm) {
  if (!comm.Connected()) return;
  TDataPack frame;
  TVersionProtocol().BuildVersionRequest(frame);
  Write(comm, frame);
}

void TSendHandle::SendReadTime(ICommPort& comm) {
  TDataPack frame;
  TSyncTimeProtocol().BuildReadTimeRequest(frame);
  Write(comm, frame);
}

void TSendHandle::SendSetTime(ICommPort& comm, int year, int month, int day, int hour, int minute) {
  TSyncTimeProtocol protocol;
  protocol.Time = {static_cast<std::uint8_t>(year),   static_cast<std::uint8_t>(month),
                   static_cast<std::uint8_t>(day),    static_cast<std::uint8_t>(hour),
                   static_cast<std::uint8_t>(minute), 0};
  TDataPack frame;
  protocol.BuildSetTimeRequest(frame);
  Write(comm, frame);
}

void TSendHandle::SendReadHistoryBlock(ICommPort& comm, int k) {
  TDataPack frame;
  THistoryProtocol().BuildHistoryBlockRequest(k, frame);
  Write(comm, frame);
}

void TSendHandle::SendReadHistoryRecord(ICommPort& comm, int r) {
  TDataPack frame;
  THistoryProtocol().BuildHistoryRecordRequest(r, frame);
  Write(comm, frame);
}

void TSendHandle::SendClearHistory(ICommPort& comm) {
  TDataPack frame;
  THistoryProtocol().BuildClearHistoryRequest(frame);
  Write(comm, frame);
}

void TSendHandle::SendReadMaster(ICommPort& comm, int k) {
  TDataPack frame;
  TMasterProtocol().BuildMasterReadRequest(k, frame);
  Write(comm, frame);
}

void TSendHandle::SendWriteMaster(ICommPort& comm, int k, const TDataPack& block) {
  TDataPack frame;
  TMasterProtocol().BuildMasterWriteRequest(k, block, frame);
  Write(comm, frame);
}

void TSendHandle::SendReadDO(ICommPort& comm) {
  TDataPack frame;
  TDiDoThProtocol().BuildReadDoRequest(frame);
  Write(comm, frame);
}

void TSendHandle::SendReadTH(ICommPort& comm) {
  TDataPack frame;
  TDiDoThProtocol().BuildReadThRequest(frame);
  Write(comm, frame);
}

void TSendHandle::SendDO1Open(ICommPort& comm, std::string_view prefix) {
  SendText(comm, prefix, "DOO1");
}

void TSendHandle::SendDO1Close(ICommPort& comm, std::string_view prefix) {
  SendText(comm, prefix, "DOC1");
}

void TSendHandle::SendDO2Open(ICommPort& comm, std::string_view prefix) {
  SendText(comm, prefix, "DOO2");
}

void TSendHandle::SendDO2Close(ICommPort& comm, std::string_view prefix) {
  SendText(comm, prefix, "DOC2");
}

}  // namespace kv
