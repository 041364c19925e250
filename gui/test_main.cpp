// The dialog tests' main: one QApplication for all tests, numbers formatted
// as the core expects.
#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>

#include "gui/screen_fit.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  gui::ScreenFit screenFit;  // as the program does
  app.installEventFilter(&screenFit);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
