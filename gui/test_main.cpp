// The dialog tests' main: one QApplication for all tests, numbers formatted
// as the core expects. The tests need no display: without a platform chosen
// they use the offscreen one, so that ctest can list and run them anywhere.
#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>

#include "gui/screen_fit.h"

int main(int argc, char** argv) {
  // A platform set by the caller is kept (the small-screen run sets its own).
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  gui::ScreenFit screenFit;  // as the program does
  app.installEventFilter(&screenFit);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
