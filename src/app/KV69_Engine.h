// The main window's request engine, without the window: one request
// outstanding, its reply dispatched by the pending tag, the time-out and
// its retry rule, and the block loops with their waits. The window forwards
// its receive, timer and message handlers here and shows what the engine
// reports; the login window uses the same engine for its password request.
#pragma once

#include <bitset>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/SoftHistory_Unt.h"
#include "base/DateTime.h"
#include "devicelink/CommPort.h"
#include "devicelink/Const_Unt.h"

namespace kv {

// Pending-reply tags: what a received chunk is an answer to.
constexpr int TAG_PASSWORD = 1124;
constexpr int TAG_SETTIME = 1128;
constexpr int TAG_VERSION = 1130;
constexpr int TAG_MASTERREAD = 1244;
constexpr int TAG_MASTERWRITE = 1245;
constexpr int TAG_HISTORYBLOCK = 1274;
constexpr int TAG_CLEARHISTORY = 1275;
constexpr int TAG_HISTORYRECORD = 1276;
constexpr int TAG_DOSTATUS = 1277;
constexpr int TAG_THVALUES = 1278;
constexpr int TAG_RESET = 1279;
constexpr int TAG_READTIME = 2064;

// Ticks of the one-second timer before a request counts as unanswered: the
// main window's three (two to three seconds, as the timer runs freely) and
// the login window's five.
constexpr int MainTimeoutTicks = 3;
constexpr int LoginTimeoutLimit = 5;

// -1 until the device reported its model, else 0 KV41, 1 KV42, 2 KV43.
extern int ModelIndex;

struct TVersionReply {
  std::string Model, Version, Imei, Signal;
};

// What the user is told when the device stops answering, and when a write
// ends before its last block: which blocks hold the new setting (before
// `stoppedAt`), which one may (`stoppedAt`, when it went out), and which
// still hold the old one; or, when no block went out, that nothing was.
std::string NoAnswerText(int language);
// Write Setting with a window that no read and no profile filled.
std::string ReadSettingFirstText(int language);
// The device answered for its model with none this program knows; `sent` is
// what it gave (the name, or its bytes).
std::string UnknownModelText(int language, const std::string& sent);
std::string PartlyWrittenText(int language, int stoppedAt, bool stoppedSent, int lastBlock,
                              bool noAnswer);

// What the engine tells its window. Every report has a default that does
// nothing, so a window (or a test) takes only what it shows.
class IEngineView {
 public:
  virtual ~IEngineView() = default;
  virtual void ShowProgress(int /*maxValue*/) {}
  virtual void SetProgress(int /*value*/) {}
  virtual void CloseProgress() {}
  virtual bool ProgressShown() const { return false; }
  // The message window; titled: with the application's title as caption.
  virtual void ShowMessage(const std::string& /*text*/, bool /*titled*/) {}
  // A password was refused; atShow: it was the one sent when the window
  // opened (or the login's own).
  virtual void PasswordRefused(bool /*atShow*/) {}
  virtual void PasswordAccepted() {}
  // A frame that fails its check came under the login's password tag.
  virtual void PasswordReplyDamaged() {}
  virtual void VersionReceived(const TVersionReply&) {}
  virtual void DoStatusReceived(const TDataPack& /*data*/) {}
  virtual void ThValuesReceived(const TDataPack& /*data*/) {}
  virtual void TimeReceived(TDateTime /*date*/, TDateTime /*time*/) {}
  virtual void HistoryRowReceived(const std::vector<std::string>& /*cells*/) {}
  virtual void HistoryRowsReceived(const std::vector<THistoryGridRow>& /*rows*/) {}
  virtual void MasterImageRead(const std::vector<std::uint8_t>& /*image*/) {}
  // A request went unanswered and no retry follows (the login gives up).
  virtual void TimedOut(int /*tag*/) {}
  virtual void RestartProgram() {}
};

// Time as the engine sees it: waits that keep replies, ticks and the user's
// Stop coming, and the time-out handed on after the current event.
class IEngineClock {
 public:
  virtual ~IEngineClock() = default;
  // Waits ms while messages are dispatched.
  virtual void Delay(int ms) = 0;
  // One 10 ms step of a block loop's wait; false when the program is ending.
  virtual bool WaitStep() = 0;
  // Hands the time-out of `tag` to TimeoutMessage once the current event
  // has returned (a posted message in the windows).
  virtual void PostTimeout(int tag) = 0;
};

// The main window's engine, or the login's: five ticks for the password,
// its reply reported as it is, and nothing retried.
enum class TEngineRole { Main, Login };

class TRequestEngine {
 public:
  TRequestEngine(IEngineView& view, IEngineClock& clock, TEngineRole role = TEngineRole::Main);

  void SetPort(ICommPort* port) { port_ = port; }
  bool Connected() const { return port_ != nullptr && port_->Connected(); }

  // ---- What the window forwards ----
  void Receive(const void* buffer, std::size_t length);
  void Tick();
  void TimeoutMessage(int tag);
  // Stop of the progress window: the running block loop ends at its next
  // check.
  void Cancel();
  // Stop of the clear-history wait, which no loop owns: true when that was
  // pending (the tag is then cleared).
  bool EndClearHistory();

  // ---- State ----
  int PendingTag() const { return pending_; }
  void SetPending(int tag);
  int TimeoutTicks() const { return ticks_; }
  int LastReplyTag() const { return lastReplyTag_; }
  bool BusyFlag() const { return busy_; }
  bool CancelFlag() const { return cancel_; }
  const TDataPack& RecvBuffer() const { return recvBuffer_; }
  // The image being read, each block at its own place.
  const std::vector<std::uint8_t>& MasterChunks() const { return masterChunks_; }
  // Whether the device was seen to answer a block request with its address,
  // and whether it answers each frame with the request's command byte.
  enum class TEcho { Unknown, Yes, No };
  TEcho BlockEcho() const { return echo_; }
  TEcho CommandEcho() const { return commandEcho_; }
  // What the device sent for its model when its version answer named none
  // this program knows (too short, or another model's name); empty while
  // no such answer came on this link.
  const std::string& UnknownModelReply() const { return unknownModel_; }

  // ---- Sequences ----
  // The password request; atShow marks the one whose refusal ends the run.
  void SendPassword(std::string_view password, bool atShow);
  void SendVersionRequest();
  void ReadMaster();
  void WriteMaster(const std::vector<std::uint8_t>& image);
  void ReadHistory(int count, int gaugeMax);
  void ReadHistoryRecord(int number);
  void ReadDoStatus();
  void ReadThValues();
  enum class TRelay { DO1Close, DO1Open, DO2Close, DO2Open };
  void SwitchRelay(TRelay relay);
  void SetTime(int year, int month, int day, int hour, int minute);
  void ReadTime();
  void Reset(std::string_view password);
  void Reboot(std::string_view password);
  void ClearHistory();

  // A version reply that fails its check, or none at all, is asked for
  // again, this many times per accepted password.
  static constexpr int VersionRequestRetries = 3;
  // The main window's password likewise, when its answer does not come.
  static constexpr int PasswordRequestRetries = 3;
  // Rounds of one block exchange in which nothing at all came from the
  // device (each ended by a time-out) before it counts as not answering:
  // long enough for an answer fifteen seconds late, short enough for a
  // pulled cable.
  static constexpr int NoAnswerRounds = 8;

 private:
  using TSender = std::function<void(ICommPort&)>;
  enum class TExchange { Answered, Stopped, NoAnswer, UnknownModel };

  // The port every frame goes out through: it keeps the frame on the line
  // until an answer accounts for it.
  class TLinePort : public ICommPort {
   public:
    explicit TLinePort(TRequestEngine& engine) : engine_(engine) {}
    bool Connected() const override { return engine_.Connected(); }
    bool WriteData(const void* buffer, std::uint32_t length) override;

   private:
    TRequestEngine& engine_;
  };
  // What a whole reply answers: the oldest request on the line it can be
  // the answer to, and whether every request it can answer is that one
  // sent again (only then is it known what it carries).
  struct TReplyMatch {
    bool Found = false, Certain = false;
    TDataPack Request;
  };

  // A single request: its answer is shown only while it is pending. Where
  // an earlier request's answer could be taken for its own, it is held
  // back behind a version request until that answer has come.
  void Request(int tag, const TSender& send);
  void SendHeldRequest(const TReplyMatch& match);
  // Sends one block request, and again after each time-out or damaged
  // answer, until its answer is taken. Before it goes, earlier requests
  // whose answers could be taken for its own are waited out behind a
  // version request, whose answer tells itself apart.
  TExchange ExchangeBlock(int tag, const TSender& send);
  // Makes the model known before a loop that needs it.
  TExchange EnsureModel();
  bool MayBeTakenFor(const TDataPack& frame) const;
  // Whether a reply with this command byte and this shape can be the
  // answer to `sent`, leaving addresses aside.
  bool KindFits(const TDataPack& sent, std::uint8_t command, unsigned shapes) const;
  void LearnCommandEcho(std::uint8_t command, unsigned shape);
  TReplyMatch MatchReply();
  void EndExchange();
  void BlockTaken();
  void BlockNotTaken();
  void DamagedReply();
  void Dispatch();
  void ShowClearHistoryProgress();
  void HandlePasswordReply();
  void RetryPassword();
  void RetryVersionRequest();
  bool ShowVersionReply();
  void ShowReadTimeReply();
  void AcceptMasterBlock();
  void AcceptHistoryBlock();
  void ShowHistoryRecordReply();
  void ShowNoAnswer();
  // The model named by the device, when it is none this program knows, or
  // else that the device does not answer.
  void ShowModelOrNoAnswer();
  void SendText(std::string_view password, std::string_view word);

  IEngineView& view_;
  IEngineClock& clock_;
  TEngineRole role_;
  ICommPort* port_ = nullptr;
  TLinePort linePort_{*this};

  int pending_ = 0;
  int ticks_ = 0;
  int lastReplyTag_ = 0;
  bool busy_ = false;
  bool cancel_ = false;
  bool passwordAtShow_ = false;
  bool passwordOut_ = false;  // the link's password is still unanswered
  std::string password_;
  int passwordRetries_ = 0;
  int versionRetries_ = 0;
  TDataPack recvBuffer_;
  TDataPack previousChunk_;
  bool versionCounted_ = false;  // the last chunk was counted as a version answer

  // Frames sent whose answers have not been seen, oldest first. The device
  // answers in the order asked, and may lose an answer; one that does not
  // echo addresses answers every frame with address 0.
  std::deque<TDataPack> line_;
  TDataPack awaited_;  // the request whose answer is wanted; empty: none
  int awaitedTag_ = 0;
  TSender held_;  // sends the single request held back; empty: none
  TEcho echo_ = TEcho::Unknown;
  TEcho commandEcho_ = TEcho::Unknown;
  std::bitset<256> sentCommands_;  // the command bytes of the link's frames
  std::string unknownModel_;
  TDataPack lastTaken_;  // the answer a block exchange took last

  // The block exchange.
  int step_ = 0;         // the block loop's block index
  int loopTag_ = 0;      // the running exchange's tag
  bool exchanging_ = false;
  bool answered_ = false;  // its answer is in
  bool syncing_ = false;   // its version request is out, not its own
  bool settle_ = false;    // its last round ended without an answer
  bool sentOwn_ = false;   // its own request went out
  int rounds_ = 0;         // its rounds that brought nothing
  int silentRounds_ = 0;   // of those, the last ones that brought no chunk at all

  std::vector<std::uint8_t> masterChunks_;
  bool masterComplete_ = false;
  THistoryReadState history_;
  int historyTarget_ = 1;
  bool historyEnded_ = false;
  int historyRecord_ = 1;
};

}  // namespace kv
