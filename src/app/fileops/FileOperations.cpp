#include "app/fileops/FileOperations.h"

#include "app/fileops/OperationWorker.h"
#include "platform/files/FileTransfer.h"
#include "platform/files/Trash.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <memory>

namespace kestrel {
namespace {

using TTransferFunction = int (*)(const QString&, const QString&, const TCopyControl&);

qint64 SizeOf(const QString& file) {
  const QFileInfo info(file);
  return info.isFile() ? info.size() : 0;
}

} // namespace

TFileOperations::TFileOperations(QWidget* window) : Window(window) {}

bool TFileOperations::Ask(const TFileFailure& failure) const {
  if (AskToContinue) return AskToContinue(failure);
  const QString name = QFileInfo(failure.Path).fileName();
  const TMessageRequest question = failure.Action == TFileAction::Trash
                                       ? TrashQuestion(name, failure.Error)
                                       : CopyMoveQuestion(name, failure.Error);
  return MessageBox(question, Window) == TMsgResult::Yes;
}

bool TFileOperations::ConfirmTrash(const QStringList& paths) const {
  return !paths.isEmpty() && MessageBox(TrashConfirmation(paths), Window) == TMsgResult::Yes;
}

TOperationResult TFileOperations::Run(TFileAction action, const std::vector<TJob>& jobs) {
  TOperationResult result;
  const int count = int(jobs.size());
  // Each step's outcome, written by the worker and read once it is done.
  std::vector<int> errors(jobs.size(), ECANCELED);
  std::vector<QString> targets(jobs.size());
  TOperationWorker worker(Window, ProgressTitle(action), ProgressDelay);
  TOperationSteps steps;
  steps.Count = count;
  steps.Run = [&](int i, const TCopyControl& control) {
    const TJob& job = jobs[size_t(i)];
    targets[size_t(i)] = job.Target;
    return errors[size_t(i)] = job.Work(control, targets[size_t(i)]);
  };
  steps.Bytes = [&](int i) {
    return action == TFileAction::Trash ? 0 : SizeOf(jobs[size_t(i)].Source);
  };
  steps.Label = [&](int i) {
    return ProgressLabel(action, QFileInfo(jobs[size_t(i)].Source).fileName(), i, count);
  };
  steps.Failed = [&](int i, int error) {
    const QString& source = jobs[size_t(i)].Source;
    result.Failed << source;
    const bool goOn = Ask({action, source, error});
    result.Stopped = !goOn;
    return goOn;
  };
  worker.Run(steps);
  for (size_t i = 0; i < jobs.size(); ++i) {
    if (errors[i] != 0) continue;
    result.Done << jobs[i].Source;
    result.Targets << targets[i];
  }
  result.Stopped = result.Stopped || worker.Stopped();
  return result;
}

TOperationResult TFileOperations::Transfer(TFileAction action, const QStringList& files,
                                           const QString& folder) {
  const TTransferFunction transfer = action == TFileAction::Copy ? &CopyNewFile : &MoveNewFile;
  std::vector<TJob> jobs;
  for (const QString& file : files) {
    const QString target = QDir(folder).filePath(QFileInfo(file).fileName());
    jobs.push_back({file, target, [file, transfer](const TCopyControl& control, QString& to) {
                      return transfer(file, to, control);
                    }});
  }
  return Run(action, jobs);
}

TOperationResult TFileOperations::Copy(const QStringList& files, const QString& folder) {
  return Transfer(TFileAction::Copy, files, folder);
}

TOperationResult TFileOperations::Move(const QStringList& files, const QString& folder) {
  return Transfer(TFileAction::Move, files, folder);
}

TOperationResult TFileOperations::CopyReplacing(const QString& file, const QString& target) {
  return Run(TFileAction::Copy, {{file, target, [file](const TCopyControl& control, QString& to) {
                                    return kestrel::CopyReplacing(file, to, control);
                                  }}});
}

TOperationResult TFileOperations::MoveReplacing(const QString& file, const QString& target) {
  return Run(TFileAction::Move, {{file, target, [file](const TCopyControl& control, QString& to) {
                                    return kestrel::MoveReplacing(file, to, control);
                                  }}});
}

TOperationResult TFileOperations::Trash(const QStringList& paths) {
  // One Trash for the whole list: each volume's Trash is looked up once.
  auto trash = std::make_shared<TTrash>();
  std::vector<TJob> jobs;
  for (const QString& path : paths)
    jobs.push_back({path, {}, [trash, path](const TCopyControl&, QString& to) {
                      const int error = trash->MoveToTrash(path);
                      if (error == 0) to = trash->LastTrash() + "/files/" + trash->LastName();
                      return error;
                    }});
  return Run(TFileAction::Trash, jobs);
}

} // namespace kestrel
