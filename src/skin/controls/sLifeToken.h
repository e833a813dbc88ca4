// A control's life as its own event handlers see it: a handler may free the
// control that runs it.
#pragma once

#include <memory>

namespace kv {

// Taken from a control before running what may free it; Alive() tells
// afterwards whether the control still exists.
class TsLifeToken {
 public:
  explicit TsLifeToken(const std::shared_ptr<char>& life) : life_(life) {}
  bool Alive() const { return !life_.expired(); }

 private:
  std::weak_ptr<char> life_;
};

// Runs one of a control's own events from a copy (the handler may go with
// the control); false when the handler freed the control.
template <class Event, class Sender>
bool RunOwnEvent(const TsLifeToken& life, const Event& event, Sender* sender) {
  if (!event) return true;
  const Event handler = event;
  handler(sender);
  return life.Alive();
}

}  // namespace kv
