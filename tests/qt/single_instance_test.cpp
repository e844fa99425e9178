#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

void write(const QString& path, const QByteArray& text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

// Polls until ready() holds, for at most 20 s: the programs start in their own time.
template <typename Ready>
bool within20s(Ready ready) {
  for (int i = 0; i < 1000 && !ready(); ++i) QTest::qWait(20);
  return ready();
}

}  // namespace

// Two real programs on one ravelin.ini: the second hands its script to the first, which
// runs it (ScrExecOrEdit=1), and ends at once; the first goes on serving the user.
TEST(SingleInstance, ASecondStartHandsItsScriptToTheRunningWindowAndEnds) {
  QTemporaryDir dir;
  const QString ini = dir.filePath("ravelin.ini");
  write(ini, "[general]\nNoRegCheck=1\nEDPath=" + dir.path().toUtf8() +
                 "/\n[script]\nScrExecOrEdit=1\n");
  write(dir.filePath("list.html"), "ed2k://|server|127.0.0.1|4661|/\n");
  write(dir.filePath("job.rvs"), "RefreshCustomHTML[list.html]\nSaveCustomTXT[servers.txt]\n");
  QDir().mkpath(dir.filePath("run"));
  QFile::setPermissions(dir.filePath("run"),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("XDG_RUNTIME_DIR", dir.filePath("run"));
  env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
  env.insert("XDG_DATA_HOME", dir.filePath("data"));
  const QString binary = RAVELIN_BINARY_DIR "/qt/ravelin";

  QProcess first, second;
  for (QProcess* p : {&first, &second}) {
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(dir.path());
  }
  first.start(binary, {"--ini", ini});
  ASSERT_TRUE(within20s([&] {
    return !QDir(dir.filePath("run")).entryList({"ravelin-*.socket"}, QDir::System).isEmpty();
  })) << "the first program does not listen";
  second.start(binary, {"--ini", ini, "job.rvs"});  // relative to its working directory
  EXPECT_TRUE(second.waitForFinished(20000)) << "the second program did not end";
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
  EXPECT_TRUE(within20s([&] { return QFile::exists(dir.filePath("servers.txt")); }));
  EXPECT_EQ(first.state(), QProcess::Running);
  first.terminate();
  EXPECT_TRUE(first.waitForFinished(20000));
  if (second.state() != QProcess::NotRunning) second.kill();
  QFile servers(dir.filePath("servers.txt"));
  ASSERT_TRUE(servers.open(QIODevice::ReadOnly));
  EXPECT_TRUE(servers.readAll().contains("127.0.0.1"));
}
