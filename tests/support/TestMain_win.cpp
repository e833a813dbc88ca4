// The main of every test program of the Windows builds. It ends the process
// as soon as GoogleTest has printed and written its results: under Wine a
// test program occasionally never finished exiting once main had returned
// (seen only with many programs running at once), and the run then lost the
// whole program to its time-out although every test had passed.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

namespace {

class TEndAtProgramEnd : public ::testing::EmptyTestEventListener {
  void OnTestProgramEnd(const ::testing::UnitTest& unit) override {
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), unit.Passed() ? 0 : 1);
  }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Appended last: the result file is written before (at the iteration's end).
  ::testing::UnitTest::GetInstance()->listeners().Append(new TEndAtProgramEnd);
  return RUN_ALL_TESTS();
}
