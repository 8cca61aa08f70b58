// Prints, once the behaviour suite has run, how many of its cases the port played and how
// many it skipped, and why: a line per port that ./run test shows after ctest.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "test_port.h"

namespace vantor {

namespace {

class TPortSummary : public ::testing::Environment {
 public:
  void TearDown() override {
    const ::testing::UnitTest& Unit = *::testing::UnitTest::GetInstance();
    int Run = 0, Skipped = 0;
    std::map<std::string, int> Reasons;
    for (int Suite = 0; Suite < Unit.total_test_suite_count(); ++Suite) {
      const ::testing::TestSuite& Cases = *Unit.GetTestSuite(Suite);
      for (int Case = 0; Case < Cases.total_test_count(); ++Case) {
        const ::testing::TestInfo& Info = *Cases.GetTestInfo(Case);
        if (!Info.should_run()) {
          continue;
        }
        ++Run;
        const ::testing::TestResult& Result = *Info.result();
        if (!Result.Skipped()) {
          continue;
        }
        ++Skipped;
        for (int Part = 0; Part < Result.total_part_count(); ++Part) {
          if (Result.GetTestPartResult(Part).skipped()) {
            ++Reasons[Result.GetTestPartResult(Part).message()];
          }
        }
      }
    }
    std::printf("[ behaviour ] port %s: %d cases, %d skipped\n", MakeTestPort()->Name().c_str(),
                Run, Skipped);
    for (const auto& [Reason, Count] : Reasons) {
      std::printf("[ behaviour ]   %d skipped: %s\n", Count, Reason.c_str());
    }
    std::fflush(stdout);
  }
};

// GoogleTest owns the environment from here on.
::testing::Environment* const kPortSummary =
    ::testing::AddGlobalTestEnvironment(std::make_unique<TPortSummary>().release());

}  // namespace

}  // namespace vantor
