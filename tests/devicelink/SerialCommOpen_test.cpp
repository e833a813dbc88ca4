// Opening the simulator's port when starting the component's threads goes
// wrong: the open fails whole, leaving no thread and no handle behind.
#include <new>

#include "SerialDevice.h"

namespace kv {
namespace {

using test::SerialDevice;

enum class Fault { CreateFails, CreateRaises, StartsLate };

// The thread calls as a failed start sees them: one thread (1 = read, 2 =
// write) is refused, raises or is held back until the wait for its start has
// timed out. A handle of every thread made is kept to see it end.
struct ThreadStarts {
  static inline Fault fault = Fault::CreateFails;
  static inline int faultAt = 0;
  static inline int calls = 0;
  static inline std::vector<HANDLE> threads;
  static inline HANDLE gate = nullptr;
  static inline LPTHREAD_START_ROUTINE heldEntry = nullptr;

  static DWORD WINAPI Held(LPVOID param) {
    WaitForSingleObject(gate, INFINITE);
    return heldEntry(param);
  }

  static HANDLE Create(LPTHREAD_START_ROUTINE entry, LPVOID param, LPDWORD id) {
    if (++calls == faultAt) {
      if (fault == Fault::CreateFails) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
      }
      if (fault == Fault::CreateRaises) throw std::bad_alloc();
      heldEntry = entry;
      entry = &Held;
    }
    HANDLE h = RealCommThreadCalls().CreateSuspendedThread(entry, param, id);
    HANDLE copy = nullptr;
    if (h != nullptr) {
      DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
      threads.push_back(copy);
    }
    return h;
  }

  // The held thread is let go the moment the wait gives up, so it starts
  // while the failed open is being undone.
  static DWORD WaitForStart(HANDLE started, DWORD) {
    const DWORD w = WaitForSingleObject(started, 0);
    SetEvent(gate);
    return w;
  }
};

struct OpenFaultCase {
  const char* name;
  Fault fault;
  int faultAt;
  const char* text;  // null: the exception raised is passed on
};

void PrintTo(const OpenFaultCase& c, std::ostream* os) { *os << c.name; }

class SerialOpenFault : public SerialDevice, public testing::WithParamInterface<OpenFaultCase> {
 protected:
  void SetUp() override {
    SerialDevice::SetUp();
    if (IsSkipped()) return;
    ThreadStarts::fault = GetParam().fault;
    ThreadStarts::faultAt = GetParam().faultAt;
    ThreadStarts::calls = 0;
    ThreadStarts::gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CommThreadCalls().CreateSuspendedThread = &ThreadStarts::Create;
    if (GetParam().fault == Fault::StartsLate)
      CommThreadCalls().WaitForStart = &ThreadStarts::WaitForStart;
  }
  void TearDown() override {
    CommThreadCalls() = RealCommThreadCalls();
    for (HANDLE h : ThreadStarts::threads) CloseHandle(h);
    ThreadStarts::threads.clear();
    if (ThreadStarts::gate != nullptr) CloseHandle(ThreadStarts::gate);
    ThreadStarts::gate = nullptr;
  }
};

TEST_P(SerialOpenFault, FailsWithItsErrorLeavesNoThreadAndOpensAgain) {
  const OpenFaultCase& c = GetParam();
  try {
    comm_->OpenPort();
    ADD_FAILURE() << "opened although a thread did not start";
  } catch (const ECommsError& e) {
    EXPECT_STREQ(e.Message().c_str(), c.text);
  } catch (const std::bad_alloc&) {
    EXPECT_EQ(c.text, nullptr) << "raised bad_alloc";
  }
  EXPECT_FALSE(comm_->Connected());
  EXPECT_EQ(ThreadStarts::calls, c.faultAt);
  for (std::size_t i = 0; i < ThreadStarts::threads.size(); ++i) {
    EXPECT_EQ(WaitForSingleObject(ThreadStarts::threads[i], 0), WAIT_OBJECT_0)
        << "thread " << i + 1 << " of the failed open still exists";
  }
  EXPECT_FALSE(comm_->WriteData("\x23", 1));

  // The port was let go: it opens again, on the system's calls, and works.
  CommThreadCalls() = RealCommThreadCalls();
  comm_->OpenPort();
  EXPECT_TRUE(comm_->Connected());
  SendHandle.SendReadVersion(*comm_);
  EXPECT_TRUE(AwaitChunks(1));
  comm_->ClosePort();
  EXPECT_EQ(rec_.hangups, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Starts, SerialOpenFault,
    testing::Values(
        OpenFaultCase{"ReadThreadNotMade", Fault::CreateFails, 1, "Unable to create event"},
        OpenFaultCase{"WriteThreadNotMade", Fault::CreateFails, 2, "Unable to create event"},
        OpenFaultCase{"RaisedMakingTheReadThread", Fault::CreateRaises, 1, nullptr},
        OpenFaultCase{"RaisedMakingTheWriteThread", Fault::CreateRaises, 2, nullptr},
        OpenFaultCase{"WriteThreadStartsLate", Fault::StartsLate, 2, "Unable to create event"}),
    [](const testing::TestParamInfo<OpenFaultCase>& info) { return info.param.name; });

}  // namespace
}  // namespace kv
