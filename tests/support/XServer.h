#pragma once
// Tests that need a real X server (another program's clipboard, reading the screen) run again in
// a child process under a private Xvfb, with Qt on X11; the parent only checks that the child
// passed. A system without xvfb-run skips them.
//
//   KESTREL_UNDER_X_SERVER();   // first line of the test
//   ... the test, on X11

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace kestrel::test {

inline bool UnderXServer() {
  return qEnvironmentVariableIsSet("KESTREL_TEST_X11");
}

enum class TXRun { Parent, Child, Unavailable };

inline TXRun RerunUnderXServer() {
  if (UnderXServer()) return TXRun::Child;
  if (QStandardPaths::findExecutable("xvfb-run").isEmpty()) return TXRun::Unavailable;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const QString filter = QString("--gtest_filter=%1.%2").arg(info->test_suite_name(), info->name());
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("KESTREL_TEST_X11", "1");
  environment.insert("QT_QPA_PLATFORM", "xcb");
  QProcess child;
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start("xvfb-run", {"-a", "-s", "-screen 0 640x480x24",
                           QFileInfo("/proc/self/exe").canonicalFilePath(), filter});
  EXPECT_TRUE(child.waitForStarted());
  EXPECT_TRUE(child.waitForFinished(120000));
  const QString output = QString::fromLocal8Bit(child.readAll());
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
  return TXRun::Parent;
}

} // namespace kestrel::test

// The rest of the test runs in the child, on X11; the parent returns once the child passed, and a
// system without xvfb-run skips the test.
#define KESTREL_UNDER_X_SERVER()                                                                   \
  do {                                                                                             \
    const auto run = ::kestrel::test::RerunUnderXServer();                                         \
    if (run == ::kestrel::test::TXRun::Parent) return;                                             \
    if (run == ::kestrel::test::TXRun::Unavailable) GTEST_SKIP() << "xvfb-run is not installed";   \
  } while (false)
