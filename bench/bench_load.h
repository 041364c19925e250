// The load the data entry benchmarks measure on: a scale file made from the
// default setup in a temporary folder, its Load row filled in for a 3P cubic
// load and `logs` logs appended (every fifth a measured sample log), then
// opened in an Application as the program opens it.
#pragma once

#include <memory>

#include "app/application.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"
#include "platform/test_support.h"

namespace bench {

// Builds and opens the load; aborts the benchmark program when any step
// fails, since no figure would mean anything then.
class BenchLoad {
 public:
  explicit BenchLoad(int logs);
  // The Application holding the open load (its Ui is a scripted one).
  app::Application& app() { return *app_; }

 private:
  void Fill(int logs);

  platform::testing::TempFolder folder_;  // outlives the file's store
  platform::ScriptedUi ui_;
  platform::PosixFileSystem fs_;
  platform::FixedClock clock_;
  std::unique_ptr<app::Application> app_;
};

}  // namespace bench
