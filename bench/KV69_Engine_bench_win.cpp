// Time of a full configuration read and a full write through the main
// window's engine and the device simulator (paced at 115200 baud), next to
// the wire time of their bytes. Run through scripts/serial-test; prints one
// line per figure.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/KV69_Frm_win.h"
#include "app/Variable_Unt.h"
#include "classlib/Forms.h"
#include "devicelink/SerialTestSupport.h"

namespace {

double MsNow() {
  LARGE_INTEGER freq, t;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t);
  return 1000.0 * double(t.QuadPart) / double(freq.QuadPart);
}

// Bytes on the line of n frames each way, 10 bits a byte.
double WireMs(int blocks, int requestBytes, int replyBytes) {
  return blocks * (requestBytes + replyBytes) * 10 * 1000.0 / 115200;
}

void Print(const char* what, std::vector<double> ms, double wire) {
  std::sort(ms.begin(), ms.end());
  std::printf("%s: rounds %zu  min %.0f ms  median %.0f ms  max %.0f ms  wire %.0f ms\n", what,
              ms.size(), ms.front(), ms[ms.size() / 2], ms.back(), wire);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kv;
  const int rounds = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 5;
  const std::string port = test::Env("KV_SERIAL_PORT");
  if (port.empty()) {
    std::fprintf(stderr, "run through scripts/serial-test\n");
    return 2;
  }
  LoginPassword = "9173";
  LoginComPort = port;
  Owned<TFormKV69> form(Create<TFormKV69>(nullptr));
  try {
    form->Show();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  if (!test::PumpUntil([&] { return ModelIndex >= 0; }, 10000)) {
    std::fprintf(stderr, "no version reply\n");
    return 1;
  }
  // The last block reply ends the read's block loop; the relay and channel
  // reads after it wait fixed times of their own.
  double lastBlock = 0;
  const auto receive = form->ComPort->OnReceiveData;
  form->ComPort->OnReceiveData = [&](TObject* sender, const void* buffer, std::uint16_t length) {
    const bool block = form->PendingTag() == TAG_MASTERREAD;
    receive(sender, buffer, length);
    if (block) lastBlock = MsNow();
  };
  std::vector<double> blocks, reads, writes, logins;
  // The password and the version request that follows its acceptance, as
  // the window sends them when it opens.
  for (int i = 0; i < rounds; ++i) {
    const double start = MsNow();
    form->Engine().SendPassword(LoginPassword, false);
    test::PumpUntil([&] { return form->PendingTag() == TAG_VERSION; }, 3000);
    test::PumpUntil([&] { return form->PendingTag() == 0; }, 3000);
    logins.push_back(MsNow() - start);
  }
  for (int i = 0; i < rounds; ++i) {
    const double start = MsNow();
    form->Pop_ReadMaster_SetingClick(nullptr);
    const double end = MsNow();
    test::PumpUntil([&] { return form->PendingTag() == 0; }, 3000);
    blocks.push_back(lastBlock - start);
    reads.push_back(end - start);
  }
  for (int i = 0; i < rounds; ++i) {
    const double start = MsNow();
    form->Pop_WirteMasterClick(nullptr);
    writes.push_back(MsNow() - start);
  }
  // Read: 14 requests of 9 bytes, 14 replies of 265. Write: 15 requests of
  // 265 bytes, 15 replies of 10.
  // Password: 13 bytes out, 10 back; version: 9 out, 42 back.
  Print("login, password and version", logins, (13 + 10 + 9 + 42) * 10 * 1000.0 / 115200);
  Print("config read, 14 blocks", blocks, WireMs(14, 9, 265));
  Print("config read, whole command (with relay and channel reads)", reads, WireMs(14, 9, 265));
  Print("config write, 15 blocks", writes, WireMs(15, 265, 10));
  // No write can be faster: its bytes, plus the firmware's settle time after
  // each acknowledgement but the last.
  std::printf("config write floor: %.0f ms (wire + 14 x 100 ms settle)\n",
              WireMs(15, 265, 10) + 14 * 100.0);
  return 0;
}
