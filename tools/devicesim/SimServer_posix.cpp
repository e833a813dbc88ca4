#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>

#include "devicesim/SimServer.h"

namespace kv {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// 115200 baud, start bit, 8 data bits, stop bit.
constexpr auto kByteTime = std::chrono::nanoseconds(1'000'000'000LL * 10 / 115200);
constexpr auto kControlPoll = 5ms;
// A request still unfinished after this much quiet is noise.
constexpr auto kStaleInput = 500ms;

volatile sig_atomic_t gStop = 0;

extern "C" void OnStopSignal(int) { gStop = 1; }

// The device clock starts at the host's local time.
std::int64_t LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return SimSecondsOf({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                       local.tm_min, std::min(local.tm_sec, 59)});
}

std::string Hex(const SimBytes& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    text.push_back(digits[b >> 4]);
    text.push_back(digits[b & 15]);
  }
  return text;
}

bool ReadFile(const std::string& path, SimBytes& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Written whole and renamed, so that a reader never sees half a number.
bool WriteModemFile(const std::string& path, int mask) {
  const std::string temp = path + ".tmp" + std::to_string(getpid());
  {
    std::ofstream out(temp, std::ios::trunc);
    out << mask << "\n";
    if (!out.flush()) return false;
  }
  return std::rename(temp.c_str(), path.c_str()) == 0;
}

timespec ToTimespec(Clock::duration d) {
  if (d < Clock::duration::zero()) d = Clock::duration::zero();
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
  return {time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
}

}  // namespace

SimServer::SimServer(SimOptions options) : options_(std::move(options)) {}

SimServer::~SimServer() { Close(); }

void SimServer::Log(const char* direction, const SimBytes& bytes) {
  if (!log_) return;
  std::fprintf(log_, "%s %s\n", direction, Hex(bytes).c_str());
  std::fflush(log_);
}

bool SimServer::Open(std::string& error) {
  SimDeviceSettings settings;
  settings.model = options_.model;
  settings.password = options_.password;
  settings.historyCount = options_.history;
  settings.echoAddress = options_.echoAddress;
  settings.commandBits = options_.commandBits;
  if (!options_.image.empty()) {
    if (!ReadFile(options_.image, settings.image)) {
      error = "cannot read " + options_.image;
      return false;
    }
    // A whole read of 14 blocks (3584 bytes) is fine too.
    if (settings.image.size() < kSimImageSize ||
        settings.image.size() > kSimReadBlocks * kSimBlockSize) {
      error = options_.image + " does not hold a 3568-byte configuration image";
      return false;
    }
    settings.image.resize(kSimImageSize);
  }
  device_ = std::make_unique<SimDevice>(settings, LocalNow);

  if (!options_.log.empty()) {
    log_ = std::fopen(options_.log.c_str(), "a");
    if (!log_) {
      error = "cannot open " + options_.log + ": " + std::strerror(errno);
      return false;
    }
  }

  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    error = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  char name[256];
  if (ptsname_r(master_, name, sizeof name) != 0) {
    error = "ptsname failed";
    return false;
  }
  slavePath_ = name;
  // Held open ourselves, so that a client closing its end never leaves the
  // master with EIO or a hang-up.
  slave_ = open(name, O_RDWR | O_NOCTTY);
  if (slave_ < 0) {
    error = "cannot open " + slavePath_ + ": " + std::strerror(errno);
    return false;
  }
  termios tio{};
  tcgetattr(slave_, &tio);
  cfmakeraw(&tio);
  cfsetispeed(&tio, B115200);
  cfsetospeed(&tio, B115200);
  tcsetattr(slave_, TCSANOW, &tio);
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);

  struct stat st {};
  if (lstat(options_.link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
    error = options_.link + " exists and is not a link";
    return false;
  }
  // Made aside and renamed over a stale link, so the path never dangles.
  const std::string fresh = options_.link + ".new" + std::to_string(getpid());
  unlink(fresh.c_str());
  if (symlink(slavePath_.c_str(), fresh.c_str()) != 0 ||
      rename(fresh.c_str(), options_.link.c_str()) != 0) {
    error = "cannot link " + options_.link + ": " + std::strerror(errno);
    unlink(fresh.c_str());
    return false;
  }
  linked_ = true;

  if (!options_.modem.empty() &&
      !WriteModemFile(options_.modem, TIOCM_CTS | TIOCM_DSR | TIOCM_CAR)) {
    error = "cannot write " + options_.modem;
    return false;
  }

  if (!options_.control.empty()) {
    // Only lines appended from now on count.
    const int fd = open(options_.control.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
    if (fd < 0) {
      error = "cannot open " + options_.control + ": " + std::strerror(errno);
      return false;
    }
    close(fd);
    if (stat(options_.control.c_str(), &st) == 0) {
      controlOffset_ = st.st_size;
      controlInode_ = st.st_ino;
    }
  }
  return true;
}

void SimServer::Close() {
  if (linked_) unlink(options_.link.c_str());
  linked_ = false;
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
  slave_ = master_ = -1;
  if (log_) std::fclose(log_);
  log_ = nullptr;
}

void SimServer::Queue(const std::vector<SimTransmission>& pieces, TimePoint now) {
  for (std::size_t i = 0; i < pieces.size(); ++i) queue_.push_back({pieces[i], i == 0, now});
}

void SimServer::HandleRequests(const std::vector<SimRequest>& requests, TimePoint now) {
  for (const SimRequest& request : requests) {
    Log("rx", request.bytes);
    Queue(control_.Shape(device_->Answer(request), device_->UnsolicitedFrame()), now);
  }
}

void SimServer::ReadLine(TimePoint now) {
  std::uint8_t buffer[4096];
  for (;;) {
    const ssize_t got = read(master_, buffer, sizeof buffer);
    if (got <= 0) break;
    if (!options_.pace) {
      lastRx_ = now;
      HandleRequests(reader_.Push(std::span(buffer, std::size_t(got))), now);
      continue;
    }
    // The writer's side hands the whole request over at once; on a real
    // line its bytes come one by one.
    rxLineFreeAt_ = std::max(now, rxLineFreeAt_) + kByteTime * std::int64_t(got);
    incoming_.push_back({SimBytes(buffer, buffer + got), rxLineFreeAt_});
  }
}

void SimServer::Deliver(TimePoint now) {
  while (!incoming_.empty() && incoming_.front().due <= now) {
    const Incoming in = std::move(incoming_.front());
    incoming_.pop_front();
    lastRx_ = in.due;
    HandleRequests(reader_.Push(std::span(in.bytes)), in.due);
  }
}

void SimServer::PollControl(TimePoint now, bool force) {
  if (options_.control.empty() || (!force && now < nextControlPoll_)) return;
  nextControlPoll_ = now + kControlPoll;
  struct stat st {};
  if (stat(options_.control.c_str(), &st) != 0) return;
  // A file replaced or cut short starts over.
  if (st.st_ino != controlInode_ || st.st_size < controlOffset_) {
    controlInode_ = st.st_ino;
    controlOffset_ = 0;
    controlLine_.clear();
  }
  if (st.st_size == controlOffset_) return;
  const int fd = open(options_.control.c_str(), O_RDONLY);
  if (fd < 0) return;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = pread(fd, buffer, sizeof buffer, controlOffset_)) > 0) {
    controlOffset_ += got;
    controlLine_.append(buffer, std::size_t(got));
  }
  close(fd);
  for (std::size_t end; (end = controlLine_.find('\n')) != std::string::npos;) {
    std::string line = controlLine_.substr(0, end);
    controlLine_.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const SimControlAction action = control_.Apply(line);
    switch (action.kind) {
      case SimControlAction::Kind::Unsolicited: {
        const SimBytes frame = device_->UnsolicitedFrame();
        Queue({{frame, 0, frame}}, now);
        break;
      }
      case SimControlAction::Kind::Model:
        device_->SetReportedModel(action.text);
        break;
      case SimControlAction::Kind::History:
        device_->SetHistoryCount(std::stoi(action.text));
        break;
      case SimControlAction::Kind::Command: {
        std::uint8_t bits = 0;
        ParseCommandBits(action.text, bits);
        device_->SetCommandBits(bits);
        break;
      }
      case SimControlAction::Kind::Poke:
        device_->Poke(action.at, action.bytes);
        break;
      case SimControlAction::Kind::Close:
        closeRequested_ = true;
        return;
      case SimControlAction::Kind::Dump: {
        // A test under Wine may give its own view of the path: Z:\ is the root.
        std::string path = action.text;
        if (path.size() > 2 && (path[0] == 'Z' || path[0] == 'z') && path[1] == ':') {
          path.erase(0, 2);
          std::replace(path.begin(), path.end(), '\\', '/');
        }
        // Written aside and renamed, so that a reader never sees half a state.
        const std::string part = path + ".part";
        {
          std::ofstream out(part, std::ios::binary | std::ios::trunc);
          out << SimStateText(*device_);
        }
        if (std::rename(part.c_str(), path.c_str()) != 0)
          std::fprintf(stderr, "devicesim: cannot write %s\n", path.c_str());
        break;
      }
      case SimControlAction::Kind::Invalid:
        std::fprintf(stderr, "devicesim: %s\n", action.text.c_str());
        break;
      case SimControlAction::Kind::None:
        break;
    }
  }
}

// Writes what is due. Returns false on a broken line; sets `wakeAt` to when
// there is more to do.
bool SimServer::Pump(TimePoint now, TimePoint& wakeAt) {
  waitWritable_ = false;
  while (!queue_.empty()) {
    Outgoing& head = queue_.front();
    if (!writing_) {
      const TimePoint readyAt =
          head.firstOfReply
              ? std::max(head.anchor + std::chrono::milliseconds(head.piece.gapMs), lineFreeAt_)
              : lineFreeAt_ + std::chrono::milliseconds(head.piece.gapMs);
      if (now < readyAt) {
        wakeAt = std::min(wakeAt, readyAt);
        return true;
      }
      writing_ = true;
      sent_ = 0;
      headStart_ = now;
      if (!head.piece.logged.empty()) Log("tx", head.piece.logged);
    }
    const SimBytes& bytes = head.piece.bytes;
    std::size_t allowed = bytes.size() - sent_;
    if (options_.pace) {
      const auto due = std::size_t((now - headStart_) / kByteTime) + 1;
      allowed = std::min(allowed, due > sent_ ? due - sent_ : 0);
    }
    if (allowed > 0) {
      const ssize_t put = write(master_, bytes.data() + sent_, allowed);
      if (put < 0) {
        if (errno == EAGAIN || errno == EINTR) {
          waitWritable_ = true;
          return true;
        }
        return false;
      }
      sent_ += std::size_t(put);
    }
    if (sent_ < bytes.size()) {
      if (options_.pace) {
        wakeAt = std::min(wakeAt, headStart_ + kByteTime * std::int64_t(sent_));
      } else {
        waitWritable_ = true;
      }
      return true;
    }
    lineFreeAt_ = options_.pace ? headStart_ + kByteTime * std::int64_t(bytes.size()) : now;
    writing_ = false;
    queue_.pop_front();
  }
  return true;
}

int SimServer::Run() {
  // Handlers first, so that a stop during set-up still removes the link.
  struct sigaction stop {};
  stop.sa_handler = OnStopSignal;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGTERM, &stop, nullptr);
  sigaction(SIGINT, &stop, nullptr);
  signal(SIGPIPE, SIG_IGN);
  signal(SIGHUP, SIG_IGN);

  std::string error;
  if (!Open(error)) {
    std::fprintf(stderr, "devicesim: %s\n", error.c_str());
    Close();
    return 2;
  }
  std::printf("ready %s\n", slavePath_.c_str());
  std::fflush(stdout);

  lastRx_ = nextControlPoll_ = lineFreeAt_ = rxLineFreeAt_ = Clock::now();
  while (!gStop && !closeRequested_) {
    TimePoint now = Clock::now();
    PollControl(now, false);
    if (closeRequested_) break;
    Deliver(now);
    if (incoming_.empty() && reader_.HasPartial() && now - lastRx_ >= kStaleInput) {
      HandleRequests(reader_.Flush(), now);
    }
    TimePoint wakeAt = now + 50ms;
    if (!Pump(now, wakeAt)) {
      std::fprintf(stderr, "devicesim: write failed: %s\n", std::strerror(errno));
      break;
    }
    if (!options_.control.empty()) wakeAt = std::min(wakeAt, nextControlPoll_);
    if (reader_.HasPartial()) wakeAt = std::min(wakeAt, lastRx_ + kStaleInput);
    if (!incoming_.empty()) wakeAt = std::min(wakeAt, incoming_.front().due);

    pollfd fd{master_, short(POLLIN | (waitWritable_ ? POLLOUT : 0)), 0};
    const timespec timeout = ToTimespec(wakeAt - Clock::now());
    const int ready = ppoll(&fd, 1, &timeout, nullptr);
    if (ready > 0 && (fd.revents & POLLIN)) {
      // A command appended before the request was written applies to it.
      now = Clock::now();
      PollControl(now, true);
      if (closeRequested_) break;
      ReadLine(now);
    }
  }
  Close();
  return 0;
}

}  // namespace kv
