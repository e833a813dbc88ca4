#pragma once
// The simulator's front end: a pseudo-terminal with a stable link to its slave,
// input and output paced at the line speed, faults from the control file, and a log of
// every request and reply.

#include <chrono>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>

#include "devicesim/SimControl.h"
#include "devicesim/SimDevice.h"
#include "devicesim/SimOptions.h"
#include "devicesim/SimRequestReader.h"

namespace kv {

class SimServer {
 public:
  explicit SimServer(SimOptions options);
  ~SimServer();
  SimServer(const SimServer&) = delete;
  SimServer& operator=(const SimServer&) = delete;

  // Serves until SIGTERM, SIGINT or the "close" command; returns the exit code.
  int Run();

 private:
  using TimePoint = std::chrono::steady_clock::time_point;

  struct Outgoing {
    SimTransmission piece;
    bool firstOfReply = false;
    TimePoint anchor;  // when the request came, for the first piece
  };

  bool Open(std::string& error);
  void Close();
  void ReadLine(TimePoint now);
  void Deliver(TimePoint now);
  void HandleRequests(const std::vector<SimRequest>& requests, TimePoint now);
  void Queue(const std::vector<SimTransmission>& pieces, TimePoint now);
  void PollControl(TimePoint now, bool force);
  bool Pump(TimePoint now, TimePoint& wakeAt);
  void Log(const char* direction, const SimBytes& bytes);

  SimOptions options_;
  std::unique_ptr<SimDevice> device_;
  SimControl control_;
  SimRequestReader reader_;

  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  bool linked_ = false;
  std::FILE* log_ = nullptr;

  std::string controlLine_;
  long long controlOffset_ = 0;
  unsigned long long controlInode_ = 0;
  TimePoint nextControlPoll_;
  bool closeRequested_ = false;

  TimePoint lastRx_;
  // What the pty gave at once but the line would still be carrying: each
  // read is taken in when its last byte would have arrived.
  struct Incoming {
    SimBytes bytes;
    TimePoint due;
  };
  std::deque<Incoming> incoming_;
  TimePoint rxLineFreeAt_;
  std::deque<Outgoing> queue_;
  bool writing_ = false;  // the head has started
  std::size_t sent_ = 0;
  TimePoint headStart_;
  TimePoint lineFreeAt_;
  bool waitWritable_ = false;
};

}  // namespace kv
