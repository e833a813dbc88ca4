// The sender: one operation per device request. It keeps no state and waits
// for nothing; the caller sets its pending-reply tag before calling.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "devicelink/CommPort.h"
#include "devicelink/Const_Unt.h"

namespace kv {

class TSendHandle {
 public:
  // Only these two look at Connected; the others rely on WriteData refusing
  // on a closed port.
  void SendPassword(ICommPort& comm, std::string_view password);
  void SendReadVersion(ICommPort& comm);

  void SendReadTime(ICommPort& comm);
  // year is the year - 2000; the seconds are sent as 0.
  void SendSetTime(ICommPort& comm, int year, int month, int day, int hour, int minute);
  void SendReadHistoryBlock(ICommPort& comm, int k);
  void SendReadHistoryRecord(ICommPort& comm, int r);
  void SendClearHistory(ICommPort& comm);
  void SendReadMaster(ICommPort& comm, int k);
  void SendWriteMaster(ICommPort& comm, int k, const TDataPack& block);
  void SendReadDO(ICommPort& comm);
  void SendReadTH(ICommPort& comm);

  // Relay text commands: prefix + "DOO1" (and so on) + CR LF, no frame.
  void SendDO1Open(ICommPort& comm, std::string_view prefix);
  void SendDO1Close(ICommPort& comm, std::string_view prefix);
  void SendDO2Open(ICommPort& comm, std::string_view prefix);
  void SendDO2Close(ICommPort& comm, std::string_view prefix);

 private:
  static void Write(ICommPort& comm, const TDataPack& bytes);
  static void SendText(ICommPort& comm, std::string_view prefix, std::string_view command);
};

// The program's one sender.
extern TSendHandle SendHandle;

}  // namespace kv
