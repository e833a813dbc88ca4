#pragma once
// Commands from the control file and the faults they arm. Faults shape the
// next replies on their way out; they never touch the device's state.
//
//   drop [n]       leave the next n answered requests unanswered
//   badsum [n]     next reply with a wrong checksum
//   split MS [n] [k]  next reply in k pieces (default 2), MS milliseconds apart
//   late MS [n]    next reply MS milliseconds late
//   garbage [n]    a few bytes that are no frame before the next reply
//   truncate [n]   next reply's data cut in half, its length field kept
//   badlen HEX [n] next reply's length field XORed with HEX (up to four digits), as
//                  noise on the line would leave it
//   concat [n]     next reply followed at once by a copy of it
//   unsolicited    one status frame now
//   follow MS [n]  next reply followed MS milliseconds later by a status frame
//   every K FAULT  FAULT (any of the above) armed for every Kth reply from now on
//   model TEXT     report TEXT as the model from now on
//   history N      hold N history records from now on
//   command HEX    set these bits in every reply's command byte from now on (0: none)
//   poke AT HEX    put the bytes HEX (two digits each) into the configuration image
//                  from byte AT (decimal) on
//   close          close the pseudo-terminal and exit
//   dump PATH      write the device's state to PATH (see SimStateText)
//   reset          forget all armed faults

#include <string>
#include <vector>

#include "devicesim/SimDevice.h"

namespace kv {

// One write to the line. `gapMs` is the pause before it, counted from the
// request (first piece of a reply) or from the end of the previous piece.
// `logged` is what the log's tx line shows for it (nothing when empty).
struct SimTransmission {
  SimBytes bytes;
  int gapMs = 0;
  SimBytes logged;
};

struct SimControlAction {
  enum class Kind { None, Unsolicited, Model, History, Command, Close, Dump, Poke, Invalid };
  Kind kind = Kind::None;
  std::string
      text;  // the model text, the record count, the command bits, the dump path, or why a line was not understood
  std::size_t at = 0;  // poke: where the bytes go
  SimBytes bytes;      // poke: the bytes
};

class SimControl {
 public:
  // Takes one line of the control file (without its line end).
  SimControlAction Apply(const std::string& line);

  // Turns a device reply into what goes on the line, using up armed faults.
  // An empty reply uses up nothing. `status` is the frame that "follow" sends.
  std::vector<SimTransmission> Shape(const std::vector<SimChunk>& reply,
                                     const SimBytes& status = {});

  static const SimBytes& GarbageBytes();

 private:
  int drop_ = 0;
  int badsum_ = 0;
  int garbage_ = 0;
  int truncate_ = 0;
  int badlen_ = 0;
  std::uint16_t badlenBits_ = 0;
  int concat_ = 0;
  int split_ = 0;
  int splitMs_ = 0;
  int splitPieces_ = 2;
  int follow_ = 0;
  int followMs_ = 0;
  int late_ = 0;
  int lateMs_ = 0;
  int every_ = 0;
  int everyCount_ = 0;
  std::string everyFault_;
};

}  // namespace kv
