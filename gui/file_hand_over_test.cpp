#include "gui/file_hand_over.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

namespace gui {
namespace {

// A second start (the client, on its own thread as in its own process) hands
// its path to the listening copy, whose event loop takes it.
TEST(FileHandOverTest, PathOfASecondStartReachesTheRunningCopy) {
  QTemporaryDir dir;
  const QString socket = dir.filePath("Varnolde.socket");
  QFile stale(socket);  // left behind by a copy that ended
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.close();
  FileHandOver running;
  QString error;
  ASSERT_TRUE(running.Listen(socket, &error)) << error.toStdString();
  QStringList received;
  QObject::connect(&running, &FileHandOver::FileReceived,
                   [&](const QString& path) { received << path; });

  const QString path = QString::fromUtf8("/home/u/Loads/\xC3\xA9t\xC3\xA9 310001.scl");
  std::atomic<int> sent{-1};
  std::thread second([&] { sent = FileHandOver::Send(socket, path) ? 1 : 0; });
  const bool answered = QTest::qWaitFor([&] { return sent != -1 && !received.isEmpty(); }, 20000);
  second.join();
  ASSERT_TRUE(answered);
  EXPECT_EQ(sent, 1);
  EXPECT_EQ(received, QStringList{path});
}

TEST(FileHandOverTest, NoRunningCopyTakesNothing) {
  QTemporaryDir dir;
  EXPECT_FALSE(FileHandOver::Send(dir.filePath("none.socket"), "/x.scl", 1000));
}

}  // namespace
}  // namespace gui
