// varnolde: the log-scaling program. Makes sure it is the only copy running,
// then shows the main screen until it is closed. An optional argument names a
// scale file (".scl") to open or a setup file (".SetupScl") to make a new
// scale file from.
#include <QApplication>
#include <QTimer>
#include <clocale>

#include "app/application.h"
#include "app/main_screen.h"
#include "gui/main_dialog.h"
#include "gui/qt_screens.h"
#include "gui/qt_ui.h"
#include "platform/clock.h"
#include "gui/screen_fit.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/instance_lock.h"

int main(int argc, char** argv) {
  QApplication qtApp(argc, argv);
  // Ties the windows to the installed desktop entry (its name and icon).
  QGuiApplication::setDesktopFileName("varnolde");
  // Qt has switched the process to the user's locale; the core formats its
  // numbers with printf and must keep the decimal point.
  std::setlocale(LC_NUMERIC, "C");
  gui::ScreenFit screenFit;  // every window within the screen, small ones too
  qtApp.installEventFilter(&screenFit);
  gui::QtUi ui;
  const std::string lockPath = platform::InstanceLockPath("Varnolde");
  const platform::InstanceLock lock(lockPath);
  if (!app::CheckSingleInstance(lock.state(), lockPath, ui)) return 1;

  platform::PosixFileSystem fs;
  platform::SystemClock clock;
  app::Application application(ui, fs, clock, platform::ProgramFolder());
  gui::QtScreens screens(ui);
  gui::MainDialog dialog(application, screens);
  std::optional<std::string> path;
  if (argc > 1) path = argv[1];  // QApplication has taken its own options out
  dialog.show();
  QTimer::singleShot(0, &dialog, [&] { dialog.Start(path); });
  dialog.exec();
  return 0;
}
