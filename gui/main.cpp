// varnolde: the log-scaling program. Makes sure it is the only copy running,
// then shows the main screen until it is closed. An optional argument names a
// scale file (".scl") to open or a setup file (".SetupScl") to make a new
// scale file from; while a copy runs, a second start hands its file to that
// copy and ends.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <deque>

#include "app/application.h"
#include "app/main_screen.h"
#include "gui/file_hand_over.h"
#include "gui/main_dialog.h"
#include "gui/qt_screens.h"
#include "gui/qt_ui.h"
#include "platform/clock.h"
#include "gui/screen_fit.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/instance_lock.h"

namespace {

constexpr const char* kUsage =
    "Usage: varnolde [FILE.scl | FILE.SetupScl]\n"
    "The log-scaling program: records log loads, computes their volumes,\n"
    "samples by 3P and writes the reports.\n"
    "\n"
    "  FILE.scl       open this scale file\n"
    "  FILE.SetupScl  make a new scale file from this setup file\n"
    "  -h, --help     show this help and end\n"
    "  -v, --version  show the version and end\n"
    "\n"
    "While a copy runs, starting the program with a file hands the file to\n"
    "that copy. The command-line tool is varnolde-cli.\n";

// --help and --version, answered before any window or display is needed.
// -1 when the command line asks for neither.
int AnswerInformationOptions(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
      std::printf("varnolde %s\n", app::kProgramVersion);
      return 0;
    }
  }
  return -1;
}

// The running program's folders, with the desktop's documents folder (the
// home folder when the user has none).
platform::Folders ProgramFolders() {
  platform::Folders folders = platform::Folders::ForThisUser();
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!documents.isEmpty() && QDir(documents).exists()) {
    folders.documents = QDir(documents).absolutePath().toStdString() + "/";
  }
  return folders;
}

}  // namespace

int main(int argc, char** argv) {
  if (const int answered = AnswerInformationOptions(argc, argv); answered >= 0) return answered;
  QApplication qtApp(argc, argv);
  // Ties the windows to the installed desktop entry (its name and icon).
  QGuiApplication::setDesktopFileName("varnolde");
  // Qt has switched the process to the user's locale; the core formats its
  // numbers with printf and must keep the decimal point.
  std::setlocale(LC_NUMERIC, "C");
  gui::ScreenFit screenFit;  // every window within the screen, small ones too
  qtApp.installEventFilter(&screenFit);
  std::optional<std::string> path;
  if (argc > 1) path = argv[1];  // QApplication has taken its own options out

  gui::QtUi ui;
  const std::string lockPath = platform::InstanceLockPath("Varnolde");
  const QString socketPath = QString::fromStdString(platform::InstanceSocketPath("Varnolde"));
  const platform::InstanceLock lock(lockPath);
  if (lock.state() == platform::InstanceLock::State::kAlreadyRunning && path &&
      gui::FileHandOver::Send(socketPath,
                              QFileInfo(QString::fromStdString(*path)).absoluteFilePath())) {
    return 0;
  }
  if (!app::CheckSingleInstance(lock.state(), lockPath, ui)) return 1;

  platform::PosixFileSystem fs;
  platform::SystemClock clock;
  app::Application application(ui, fs, clock, ProgramFolders());
  gui::QtScreens screens(ui);
  gui::MainDialog dialog(application, screens);

  // Files handed over wait until the main screen is the window in front (no
  // other screen or box open above it), so that no open screen loses its file.
  gui::FileHandOver handOver;
  QString listenError;
  if (!handOver.Listen(socketPath, &listenError)) {
    std::fprintf(stderr, "varnolde: files cannot be handed to this copy: %s\n",
                 listenError.toLocal8Bit().constData());
  }
  std::deque<std::string> handedOver;
  QTimer waiting;
  waiting.setInterval(300);
  QObject::connect(&waiting, &QTimer::timeout, &dialog, [&] {
    if (handedOver.empty()) return waiting.stop();
    // The main dialog was shown before its exec(), so it is not itself in
    // Qt's list of modal windows: any window there is a screen or box above it.
    const QWidget* above = QApplication::activeModalWidget();
    if (above != nullptr && above != &dialog) return;
    const std::string next = handedOver.front();
    handedOver.pop_front();
    dialog.OpenHandedOver(next);
  });
  QObject::connect(&handOver, &gui::FileHandOver::FileReceived, &dialog, [&](const QString& file) {
    handedOver.push_back(file.toStdString());
    waiting.start();
  });

  dialog.show();
  QTimer::singleShot(0, &dialog, [&] { dialog.Start(path); });
  dialog.exec();
  return 0;
}
