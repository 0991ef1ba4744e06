#pragma once
// Tests that need a volume of their own (a second volume to move across, a small one that fills
// up) run again in a child process with a fresh tmpfs mounted in a mount namespace of the child
// alone; the parent only checks that the child passed. A system without private mounts skips them.
//
//   KESTREL_WITH_PRIVATE_VOLUME("64k");
//   const QString volume = test::PrivateVolume();

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrel::test {

enum class TVolumeRun { Parent, Child, Unavailable };

// The private volume's mount point in the child; empty elsewhere.
inline QString PrivateVolume() {
  return qEnvironmentVariable("KESTREL_TEST_VOLUME");
}

inline TVolumeRun RerunWithPrivateVolume(const QString& size) {
  if (!PrivateVolume().isEmpty()) return TVolumeRun::Child;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const QString filter = QString("--gtest_filter=%1.%2").arg(info->test_suite_name(), info->name());
  QTemporaryDir mountPoint;
  QProcess child;
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start("unshare", {"-m", "sh", "-c",
                          "mount -t tmpfs -o size=\"$1\" tmpfs \"$2\" || exit 77\n"
                          "KESTREL_TEST_VOLUME=\"$2\" exec \"$3\" \"$4\"",
                          "sh", size, mountPoint.path(),
                          QFileInfo("/proc/self/exe").canonicalFilePath(), filter});
  if (!child.waitForStarted()) return TVolumeRun::Unavailable;
  EXPECT_TRUE(child.waitForFinished(120000));
  const QString output = QString::fromLocal8Bit(child.readAll());
  if (child.exitCode() == 77 || output.contains("unshare:")) return TVolumeRun::Unavailable;
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
  return TVolumeRun::Parent;
}

} // namespace kestrel::test

// The rest of the test runs in the child, on a volume of size bytes; the parent returns once the
// child passed, and a system without private mounts skips the test.
#define KESTREL_WITH_PRIVATE_VOLUME(size)                                                          \
  switch (::kestrel::test::RerunWithPrivateVolume(size)) {                                         \
  case ::kestrel::test::TVolumeRun::Parent:                                                        \
    return;                                                                                        \
  case ::kestrel::test::TVolumeRun::Unavailable:                                                   \
    GTEST_SKIP() << "no private mounts here";                                                      \
  case ::kestrel::test::TVolumeRun::Child:                                                         \
    break;                                                                                         \
  }
