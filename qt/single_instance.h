#pragma once
// One desktop program per ravelin.ini: the first one to start listens on a local socket in
// the user's runtime folder; a later start with the same ravelin.ini hands its script to
// that program and ends, so that two programs never write one ravelin.ini. Other --ini
// files have sockets of their own.
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <string>

namespace ravelin::qt {

// The socket of the programs that use iniFile (an absolute path): in $XDG_RUNTIME_DIR (a
// folder only its user can enter), named after a digest of the path.
QString instanceSocketPath(const std::string& iniFile);

enum class HandOver {
  NoneRunning,  // no program listens: this one serves the user
  Taken,        // the running program took the script
  NoAnswer,     // a program listens but did not take it
};

// Hands script (desk::handOverText's form: an absolute path, --edit or --run before it;
// empty only brings the window forward) to the program listening on socketPath. Waits at most waitMs for its answer.
HandOver handOverScript(const QString& socketPath, const std::string& script, int waitMs = 10000);

// The listening side: emits scriptHanded for every script a later start hands over.
class InstanceServer : public QObject {
  Q_OBJECT
 public:
  explicit InstanceServer(QObject* parent = nullptr);
  // Listens on socketPath, in place of a socket file that nobody listens on any longer.
  // False when that fails; the program then runs without taking scripts.
  bool listen(const QString& socketPath);

 signals:
  void scriptHanded(const QString& path);

 private:
  void accept();
  QLocalServer server_;
};

}  // namespace ravelin::qt
