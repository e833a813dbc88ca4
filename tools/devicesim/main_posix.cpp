// devicesim: a KV41/KV42/KV43 logger on a pseudo-terminal.

#include <cstdio>
#include <exception>

#include "devicesim/SimServer.h"

int main(int argc, char** argv) {
  try {
    kv::SimOptions options;
    std::string error;
    if (!kv::ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
      std::fprintf(stderr, "devicesim: %s\n%s", error.c_str(), kv::SimUsage());
      return 2;
    }
    kv::SimServer server(std::move(options));
    return server.Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "devicesim: %s\n", e.what());
    return 1;
  }
}
