// Round trip of one 256-byte configuration block through TComm and the device
// simulator (paced at 115200 baud), next to the wire time of the same bytes.
// Run through scripts/serial-test; prints one line per figure.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "devicelink/SerialTestSupport.h"
#include "devicelink/SendHandle_Unt.h"
#include "devicelink/SerialComm_win.h"

int main(int argc, char** argv) {
  using namespace kv;
  const int rounds = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 50;
  const std::string port = test::Env("KV_SERIAL_PORT");
  if (port.empty()) {
    std::fprintf(stderr, "run through scripts/serial-test\n");
    return 2;
  }
  auto comm = CreateOwned<TComm>();
  comm->SetCommName(port);
  comm->SetBaudRate(115200);
  comm->SetDtrControl(TDtrControl::DtrDisable);
  comm->SetRtsControl(TRtsControl::RtsDisable);
  comm->SetOutx_XonXoffFlow(false);
  comm->SetInx_XonXoffFlow(false);
  std::size_t received = 0, bytes = 0;
  comm->OnReceiveData = [&](TObject*, const void*, std::uint16_t n) {
    ++received;
    bytes = n;
  };
  try {
    comm->OpenPort();
  } catch (const ECommsError& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    return 1;
  }
  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  std::vector<double> ms;
  for (int i = 0; i < rounds; ++i) {
    const std::size_t before = received;
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    SendHandle.SendReadMaster(*comm, i % 14);
    if (!test::PumpUntil([&] { return received > before; }, 3000)) {
      std::fprintf(stderr, "round %d: no reply\n", i);
      return 1;
    }
    QueryPerformanceCounter(&t1);
    ms.push_back(1000.0 * double(t1.QuadPart - t0.QuadPart) / double(freq.QuadPart));
    if (bytes != 265) std::fprintf(stderr, "round %d: %zu bytes\n", i, bytes);
  }
  comm->ClosePort();
  std::sort(ms.begin(), ms.end());
  const double wire = (9 + 265) * 10 * 1000.0 / 115200;
  std::printf("config block round trip: rounds %d  min %.1f ms  median %.1f ms  max %.1f ms\n",
              rounds, ms.front(), ms[ms.size() / 2], ms.back());
  std::printf("wire time of the same bytes (9 + 265 bytes, 10 bits each, 115200 baud): %.1f ms\n",
              wire);
  std::printf("read interval %lu ms\n", static_cast<unsigned long>(comm->ReadIntervalTimeout()));
  return 0;
}
