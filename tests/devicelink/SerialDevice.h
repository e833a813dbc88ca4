// The serial component opened on the device simulator's port, as both
// windows set it up, with every event it raises recorded (run through
// scripts/serial-test).
#pragma once

#include <gtest/gtest.h>

#include "SerialTestSupport.h"
// After windows.h, which it needs.
#include <tlhelp32.h>

#include "classlib/Forms.h"
#include "devicelink/SendHandle_Unt.h"
#include "devicelink/SerialComm_win.h"

namespace kv::test {

inline constexpr DWORD kReplyDeadline = 3000;

inline int ThreadsOfThisProcess() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snap == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 te{};
  te.dwSize = sizeof te;
  int count = 0;
  for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te)) {
    if (te.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  CloseHandle(snap);
  return count;
}

class SerialDevice : public testing::Test {
 protected:
  void SetUp() override {
    if (!sim_.Present()) GTEST_SKIP() << "needs scripts/serial-test";
    comm_ = NewComm();
    rec_.Attach(*comm_);
  }

  // Set up as both windows' resources do.
  Owned<TComm> NewComm() const {
    auto comm = CreateOwned<TComm>();
    comm->SetCommName(sim_.Port());
    comm->SetBaudRate(115200);
    comm->SetDtrControl(TDtrControl::DtrDisable);
    comm->SetRtsControl(TRtsControl::RtsDisable);
    comm->SetTxContinueOnXoff(false);
    comm->SetOutx_XonXoffFlow(false);
    comm->SetInx_XonXoffFlow(false);
    comm->SetXonLimit(0);
    comm->SetXoffLimit(0);
    return comm;
  }

  // Waits for `count` chunks in all.
  bool AwaitChunks(std::size_t count, DWORD deadline = kReplyDeadline) {
    return PumpUntil([&] { return rec_.chunks.size() >= count; }, deadline);
  }

  DCB PortStateAfterClose() const {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    const std::string name = "\\\\.\\" + sim_.Port();
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << "the closed port is still held";
    if (h == INVALID_HANDLE_VALUE) return dcb;
    EXPECT_TRUE(GetCommState(h, &dcb));
    CloseHandle(h);
    return dcb;
  }

  test::Simulator sim_;
  Owned<TComm> comm_;
  test::Recorder rec_;
};

}  // namespace kv::test
