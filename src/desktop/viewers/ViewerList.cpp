#include "desktop/viewers/ViewerList.h"

#include "platform/process/Process.h"
#include "platform/settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <future>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace kestrel {
namespace {

const char kSection[] = "External Viewer";

QString Letter(int index) {
  return QString(QChar('A' + index));
}

} // namespace

QStringList ExistingFiles(const QStringList& paths, std::chrono::milliseconds limit) {
  // Each check on a thread of its own: one that hangs in the kernel (a dead mount) is left to
  // finish on its own while the others are read.
  std::vector<std::future<bool>> checks;
  for (const QString& path : paths) {
    auto promise = std::make_shared<std::promise<bool>>();
    checks.push_back(promise->get_future());
    std::thread([promise, path] { promise->set_value(QFileInfo::exists(path)); }).detach();
  }
  const auto deadline = std::chrono::steady_clock::now() + limit;
  QStringList existing;
  for (qsizetype i = 0; i < paths.size(); ++i) {
    auto& check = checks[size_t(i)];
    const bool answered = check.wait_until(deadline) == std::future_status::ready;
    if (!answered || check.get()) existing << paths[i];
  }
  return existing;
}

QStringList LoadViewers() {
  QStringList stored;
  for (int i = 0; i < kMaxViewers; ++i) {
    TSettingValue value = QString();
    try {
      PeekSetting(kSection, Letter(i), value);
    } catch (const std::exception&) {
      continue; // not a path: nothing to start
    }
    const QString path = std::get<QString>(value);
    if (!path.isEmpty() && !stored.contains(path)) stored << path;
  }
  return ExistingFiles(stored, kExistenceLimit);
}

void SaveViewers(const QStringList& programs) {
  std::vector<std::pair<QString, TSettingValue>> values;
  for (int i = 0; i < programs.size() && i < kMaxViewers; ++i)
    values.emplace_back(Letter(i), programs[i]);
  values.emplace_back("checked", 0);
  ReplaceSection(kSection, values);
}

QString OpenInViewer(const QString& program, const QString& file, const QString& currentFolder) {
  const QString folder = file.isEmpty() ? currentFolder : QFileInfo(file).absolutePath();
  if (program.isEmpty() || file.isEmpty()) {
    if (OpenUrl(QUrl::fromLocalFile(folder))) return {};
    return "No file manager could open " + folder;
  }
  if (const int error = StartDetachedProcess(program, {file}, folder); error != 0)
    return program + "\r" + SystemErrorText(error);
  return {};
}

} // namespace kestrel
