// FileHandOver: a second start of the program hands its file to the copy
// that runs, instead of ending with the file dropped (a double-click on
// another scale file in a file manager while the program is open).
//
// The running copy listens on a local socket of the user's own
// (platform::InstanceSocketPath); a second start connects, sends the file's
// absolute path as one line of UTF-8 and waits for the line "ok", which the
// running copy sends as soon as it has the path, before it acts on it.
//
// Thread safety: a FileHandOver lives on the Qt GUI thread; Send may be
// called from any thread (it uses no event loop).
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace gui {

class FileHandOver : public QObject {
  Q_OBJECT

 public:
  explicit FileHandOver(QObject* parent = nullptr);

  // Starts listening on the socket at `socketPath`, replacing one a copy
  // that ended left behind (only the lock holder calls this). Only the user
  // may connect. False, with the reason in `error`, when it cannot listen.
  [[nodiscard]] bool Listen(const QString& socketPath, QString* error);

  // Hands `path` to the copy listening at `socketPath`: true once that copy
  // has confirmed it, false when no copy answers within `timeoutMs`.
  [[nodiscard]] static bool Send(const QString& socketPath, const QString& path,
                                 int timeoutMs = 5000);

 Q_SIGNALS:
  // A path handed over by a second start.
  void FileReceived(const QString& path);

 private:
  void Accept();

  QLocalServer* server_;
};

}  // namespace gui
