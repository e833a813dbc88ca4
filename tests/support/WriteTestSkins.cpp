// Writes the test skins that stand for skins users bring from elsewhere,
// Dark.asz and Sparse.asz, into a folder.
#include <cstdio>
#include <fstream>
#include <string>

#include "support/TestSkin.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_test_skins FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  const std::pair<const char*, kvtest::TTestSkinOptions> skins[] = {
      {"Dark.asz", kvtest::DarkTexturedSkinOptions()}, {"Sparse.asz", kvtest::SparseSkinOptions()}};
  for (const auto& [name, options] : skins) {
    const kv::TacBytes bytes = kvtest::TTestSkin(options).Packed();
    std::ofstream out(folder + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "write_test_skins: cannot write %s%s\n", folder.c_str(), name);
      return 1;
    }
  }
  return 0;
}
