#pragma once
// Permission tests cannot fail for the administrator, who may read every folder. Run as the
// administrator, such a test calls RerunUnprivileged(), which runs this same test again in a child
// process as the unprivileged user "nobody" and checks that it passed there.

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>
#include <unistd.h>

namespace kestrel::test {

// True when the test ran in the child and the caller should return.
inline bool RerunUnprivileged() {
  if (::geteuid() != 0) return false;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const QString filter = QString("--gtest_filter=%1.%2").arg(info->test_suite_name(), info->name());
  QProcess child;
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                          QFileInfo("/proc/self/exe").canonicalFilePath(), filter});
  if (!child.waitForStarted()) {
    ADD_FAILURE() << "cannot start setpriv to run the test unprivileged";
    return true;
  }
  EXPECT_TRUE(child.waitForFinished(120000));
  const QString output = QString::fromLocal8Bit(child.readAll());
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
  return true;
}

} // namespace kestrel::test
