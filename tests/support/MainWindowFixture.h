#pragma once
// A main window started as the program starts it, in a temporary environment, with message boxes
// recorded and questions answered by the test.

#include "app/main/KestrelMain.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "desktop/install/InstallRecord.h"
#include "platform/settings/Settings.h"
#include "platform/ui/MessageBox.h"
#include "support/ListHelpers.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace kestrel::test {

class MainWindowFixture : public ::testing::Test {
protected:
  void SetUp() override {
    TestApplication();
    SetMessageHandler([this](const TMessageRequest& request) {
      Messages.push_back(request);
      return request.Buttons == TMsgButtons::YesNo ? Answer : TMsgResult::Ok;
    });
  }
  void TearDown() override {
    Windows.clear();
    SetMessageHandler({});
  }

  // Creates and starts a window; the arguments follow the program's own name.
  TKestrelMain* Start(const QStringList& arguments = {}) {
    if (!FirstRun && !IsInstalled()) WriteInstallRecord();
    auto window = std::make_unique<TKestrelMain>(QStringList{"kestrel"} + arguments);
    if (window->FormCreate() != TKestrelMain::TStart::Run) {
      Halted = true;
      return nullptr;
    }
    window->FinishStart();
    window->FListBox1->FinishReading();
    Windows.push_back(std::move(window));
    return Windows.back().get();
  }
  QString LastMessage() const { return Messages.empty() ? QString() : Messages.back().Text; }
  QString Stored(const char* section, const char* name) const {
    TSettingValue value = QString("(none)");
    try {
      ReadSetting(section, name, value);
    } catch (const std::exception&) {
      return "(kind)";
    }
    return std::get<QString>(value);
  }
  int StoredNumber(const char* section, const char* name) const {
    TSettingValue value = -1;
    ReadSetting(section, name, value);
    return std::get<int>(value);
  }

  TKeepCurrentFolder KeepFolder;
  TTempEnvironment Env;
  std::vector<TMessageRequest> Messages;
  TMsgResult Answer = TMsgResult::No;
  bool Halted = false;
  // Unless a test sets it, the program counts as installed, so no first-run window comes up.
  bool FirstRun = false;
  std::vector<std::unique_ptr<TKestrelMain>> Windows;
};

} // namespace kestrel::test
