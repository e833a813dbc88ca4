// Runs the real devicesim program on a pseudo-terminal and talks to it
// through the slave, as the configurator does through its COM port.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "SimTestBytes.h"
#include "devicesim/SimControl.h"
#include "devicesim/SimFrame.h"

namespace kv {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Bounds that only keep a broken simulator from hanging the test.
constexpr auto kPatience = 10s;

class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> extra) {
    char pattern[] = "/tmp/devicesim-test-XXXXXX";
    dir_ = mkdtemp(pattern);
    link_ = dir_ + "/com5";
    log_ = dir_ + "/log.txt";
    control_ = dir_ + "/control.txt";
    modem_ = dir_ + "/modem.txt";
    std::vector<std::string> args = {KV_DEVICESIM_PATH, "--link", link_,     "--log", log_,
                                     "--control",       control_, "--modem", modem_};
    args.insert(args.end(), extra.begin(), extra.end());

    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      close(out[0]);
      close(out[1]);
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    stdout_ = out[0];
    ready_ = ReadReadyLine();
  }

  ~SimProcess() {
    if (port_ >= 0) close(port_);
    if (stdout_ >= 0) close(stdout_);
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    for (const std::string& f : {log_, control_, modem_}) unlink(f.c_str());
    unlink(link_.c_str());
    rmdir(dir_.c_str());
  }

  bool Ready() const { return ready_; }
  const std::string& SlavePath() const { return slave_; }
  const std::string& LinkPath() const { return link_; }

  bool OpenPort() {
    port_ = open(link_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (port_ < 0) return false;
    termios tio{};
    tcgetattr(port_, &tio);
    cfmakeraw(&tio);
    return tcsetattr(port_, TCSANOW, &tio) == 0;
  }

  void Write(const SimBytes& bytes) {
    ASSERT_EQ(write(port_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
  }

  // Reads until `count` bytes have come (or the patience runs out).
  SimBytes Read(std::size_t count) {
    SimBytes got;
    const auto end = Clock::now() + kPatience;
    while (got.size() < count && Clock::now() < end) ReadSome(got, 50ms);
    return got;
  }

  // Reads one burst: waits for its first byte, then takes everything until
  // the line has been quiet for `quiet`.
  SimBytes ReadBurst(std::chrono::milliseconds quiet) {
    SimBytes got;
    const auto end = Clock::now() + kPatience;
    while (got.empty() && Clock::now() < end) ReadSome(got, 50ms);
    while (Clock::now() < end) {
      if (!ReadSome(got, quiet)) break;
    }
    return got;
  }

  // True when nothing arrives for `wait`.
  bool Silent(std::chrono::milliseconds wait) {
    SimBytes got;
    ReadSome(got, wait);
    return got.empty();
  }

  void Control(const std::string& line) {
    std::ofstream(control_, std::ios::app) << line << "\r\n";
  }

  std::vector<std::string> LogLines() const {
    std::ifstream in(log_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  std::string ModemText() const {
    std::ifstream in(modem_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // Waits for the program to end; returns its exit code, -1 if it did not.
  int Wait() {
    const auto end = Clock::now() + kPatience;
    while (Clock::now() < end) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      usleep(10000);
    }
    return -1;
  }

  void Terminate() { kill(pid_, SIGTERM); }

 private:
  bool ReadSome(SimBytes& got, std::chrono::milliseconds wait) {
    pollfd fd{port_, POLLIN, 0};
    if (poll(&fd, 1, int(wait.count())) <= 0) return false;
    std::uint8_t buffer[1024];
    const ssize_t n = read(port_, buffer, sizeof buffer);
    if (n <= 0) return false;
    got.insert(got.end(), buffer, buffer + n);
    return true;
  }

  bool ReadReadyLine() {
    std::string line;
    const auto end = Clock::now() + kPatience;
    while (Clock::now() < end && line.find('\n') == std::string::npos) {
      pollfd fd{stdout_, POLLIN, 0};
      if (poll(&fd, 1, 100) <= 0) continue;
      char c;
      if (read(stdout_, &c, 1) != 1) return false;
      line.push_back(c);
    }
    if (line.rfind("ready ", 0) != 0) return false;
    slave_ = line.substr(6, line.size() - 7);
    return true;
  }

  std::string dir_, link_, log_, control_, modem_, slave_;
  pid_t pid_ = -1;
  int stdout_ = -1;
  int port_ = -1;
  bool ready_ = false;
  bool exited_ = false;
};

const SimBytes kVersionRequest = HexBytes("23 05 00 00 00 00 00 01 00 04");
const SimBytes kClockRequest = HexBytes("23 08 00 00 00 00 00 00 08");
const std::size_t kVersionReplySize = 9 + 33;

TEST(SimServer, AnswersOnThePtyLogsBothWaysAndCleansUpOnTerminate) {
  SimProcess sim({"--model", "KV42"});
  ASSERT_TRUE(sim.Ready());
  char target[256] = {};
  ASSERT_GT(readlink(sim.LinkPath().c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(sim.SlavePath(), target);
  EXPECT_EQ(sim.ModemText(), std::to_string(TIOCM_CTS | TIOCM_DSR | TIOCM_CAR) + "\n");
  ASSERT_TRUE(sim.OpenPort());

  sim.Write(kVersionRequest);
  const SimBytes reply = sim.Read(kVersionReplySize);
  ASSERT_EQ(reply.size(), kVersionReplySize);
  EXPECT_EQ(HexText(SimBytes(reply.begin(), reply.begin() + 12)),
            "230500000000002"
            "14b563432");

  // A block read in pieces, as a driver may hand it over.
  const SimBytes blockRequest = HexBytes("23 83 00 00 0D 00 00 00 8E");
  sim.Write(SimBytes(blockRequest.begin(), blockRequest.begin() + 4));
  sim.Write(SimBytes(blockRequest.begin() + 4, blockRequest.end()));
  const SimBytes block = sim.Read(265);
  ASSERT_EQ(block.size(), 265u);
  EXPECT_EQ(SimBytes(block.end() - 17, block.end() - 1), SimBytes(16, 0xFF));

  const std::vector<std::string> log = sim.LogLines();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], "rx " + HexText(kVersionRequest));
  EXPECT_EQ(log[1], "tx " + HexText(reply));
  EXPECT_EQ(log[2], "rx " + HexText(blockRequest));
  EXPECT_EQ(log[3], "tx " + HexText(block));

  sim.Terminate();
  EXPECT_EQ(sim.Wait(), 0);
  struct stat st {};
  EXPECT_NE(lstat(sim.LinkPath().c_str(), &st), 0);
}

// The line carries requests at its speed too: a block written to the device
// is answered no sooner than its 265 bytes take at 115200 baud, however fast
// the writer hands them over, and two back to back take twice that.
TEST(SimServer, TakesRequestsInAtTheLineSpeed) {
  SimProcess sim({});
  ASSERT_TRUE(sim.Ready());
  ASSERT_TRUE(sim.OpenPort());
  const SimBytes block = BuildSimFrame(kSimWrite, 0, SimBytes(256, 0xFF));
  const auto byteTime = std::chrono::microseconds(1'000'000 * 10 / 115200);
  for (int requests : {1, 2}) {
    SimBytes both;
    for (int i = 0; i < requests; ++i) both.insert(both.end(), block.begin(), block.end());
    const auto sent = Clock::now();
    sim.Write(both);
    const SimBytes acks = sim.Read(10 * std::size_t(requests));
    const auto answered = Clock::now();
    ASSERT_EQ(10u * std::size_t(requests), acks.size());
    EXPECT_GE(answered - sent, byteTime * std::int64_t(both.size() + 10)) << requests;
  }
}

TEST(SimServer, InjectsDroppedSplitAndBadChecksumReplies) {
  SimProcess sim({"--no-pace"});
  ASSERT_TRUE(sim.Ready());
  ASSERT_TRUE(sim.OpenPort());

  sim.Control("drop");
  sim.Write(kVersionRequest);
  EXPECT_TRUE(sim.Silent(1000ms));
  sim.Write(kVersionRequest);
  const SimBytes reply = sim.Read(kVersionReplySize);
  ASSERT_EQ(reply.size(), kVersionReplySize);

  sim.Control("split 1200");
  sim.Write(kVersionRequest);
  const SimBytes first = sim.ReadBurst(300ms);
  const SimBytes second = sim.ReadBurst(300ms);
  EXPECT_EQ(HexText(first), HexText(SimBytes(reply.begin(), reply.begin() + 21)));
  EXPECT_EQ(HexText(second), HexText(SimBytes(reply.begin() + 21, reply.end())));

  sim.Control("badsum");
  sim.Write(kVersionRequest);
  const SimBytes bad = sim.Read(kVersionReplySize);
  ASSERT_EQ(bad.size(), kVersionReplySize);
  EXPECT_EQ(SimBytes(bad.begin(), bad.end() - 1), SimBytes(reply.begin(), reply.end() - 1));
  EXPECT_NE(bad.back(), reply.back());

  const std::vector<std::string> log = sim.LogLines();
  const std::vector<std::string> expected = {
      "rx " + HexText(kVersionRequest),  // dropped
      "rx " + HexText(kVersionRequest), "tx " + HexText(reply),
      "rx " + HexText(kVersionRequest), "tx " + HexText(reply),  // split: one line
      "rx " + HexText(kVersionRequest), "tx " + HexText(bad),
  };
  EXPECT_EQ(log, expected);
}

TEST(SimServer, SendsGarbageAndUnsolicitedFramesAndVanishesOnClose) {
  SimProcess sim({"--no-pace"});
  ASSERT_TRUE(sim.Ready());
  ASSERT_TRUE(sim.OpenPort());

  sim.Control("garbage");
  sim.Write(kClockRequest);
  const SimBytes got = sim.Read(SimControl::GarbageBytes().size() + 15);
  ASSERT_EQ(got.size(), SimControl::GarbageBytes().size() + 15);
  EXPECT_EQ(SimBytes(got.begin(), got.begin() + 8), SimControl::GarbageBytes());
  EXPECT_EQ(got[8], kSimFrameStart);

  sim.Control("unsolicited");
  const SimBytes status = sim.Read(9 + 33);
  ASSERT_EQ(status.size(), 9u + 33u);
  EXPECT_EQ(status[1], kSimStatus);

  sim.Control("close");
  EXPECT_EQ(sim.Wait(), 0);
  struct stat st {};
  EXPECT_NE(lstat(sim.LinkPath().c_str(), &st), 0);
}

TEST(SimServer, AnswersTextCommandsLogsNoiseAndTakesANewModelText) {
  SimProcess sim({"--no-pace", "--model", "KV43"});
  ASSERT_TRUE(sim.Ready());
  ASSERT_TRUE(sim.OpenPort());

  sim.Write(TextBytes("9173DOC1\r\n"));
  EXPECT_EQ(sim.Read(4), TextBytes("OK\r\n"));

  // Noise is logged once the line goes quiet, and answered by nothing.
  sim.Write(TextBytes("xyz"));
  const auto end = Clock::now() + kPatience;
  while (sim.LogLines().size() < 3 && Clock::now() < end) usleep(20000);
  const std::vector<std::string> log = sim.LogLines();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[2], "rx 78797a");

  sim.Control("model KV99");
  sim.Write(kVersionRequest);
  const SimBytes reply = sim.Read(kVersionReplySize);
  ASSERT_EQ(reply.size(), kVersionReplySize);
  EXPECT_EQ(std::string(reply.begin() + 8, reply.begin() + 12), "KV99");

  // The state dump shows the relay just closed and the model now reported.
  const std::string dump = "/tmp/devicesim-test-dump-" + std::to_string(getpid());
  sim.Control("dump " + dump);
  std::string state;
  for (const auto until = Clock::now() + kPatience; state.empty() && Clock::now() < until;
       usleep(20000)) {
    std::ifstream in(dump);
    state.assign(std::istreambuf_iterator<char>(in), {});
  }
  unlink(dump.c_str());
  EXPECT_NE(state.find("\nrelays 1\n"), std::string::npos) << state;
  EXPECT_NE(state.find("\nmodel KV99\n"), std::string::npos) << state;
  EXPECT_EQ(state.find("image "), 0u);
  EXPECT_EQ(state.find('\n'), 6 + 2 * 3568u) << "the whole configuration image";
}

TEST(SimServer, ServesAnImageFromAFileWithThePasswordGiven) {
  const std::string path = "/tmp/devicesim-test-image-" + std::to_string(getpid());
  SimBytes image(3568);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = std::uint8_t(i % 251);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
  {
    SimProcess sim({"--no-pace", "--image", path, "--password", "42"});
    ASSERT_TRUE(sim.Ready());
    ASSERT_TRUE(sim.OpenPort());
    sim.Write(HexBytes("23 83 00 00 00 00 00 00 83"));
    const SimBytes block = sim.Read(265);
    ASSERT_EQ(block.size(), 265u);
    EXPECT_EQ(HexText(SimBytes(block.begin() + 8, block.begin() + 16)), "3432000004050607");
  }
  {
    image.resize(100);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
    SimProcess sim({"--image", path});
    EXPECT_FALSE(sim.Ready());
    EXPECT_EQ(sim.Wait(), 2);
  }
  unlink(path.c_str());
}

}  // namespace
}  // namespace kv
