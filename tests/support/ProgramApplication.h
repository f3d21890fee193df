#pragma once
// Runs a test executable's tests under the program's own application object instead of the
// shared test main's plain QApplication: its notify sees every event first, as in the program.
// An error shown in its error box fails the running test, unless the test answers the box.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

#include "TApplication.h"

class ProgramApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    application = new TApplication(argc_, argv_);
    application->SetErrorBox(
        [](const QString& text) { ADD_FAILURE() << "error box: " << text.toStdString(); });
  }
  void TearDown() override {
    delete application;
    application = nullptr;
  }

  static inline TApplication* application = nullptr;

 private:
  int argc_ = 1;
  char name_[16] = "program-test";
  char* argv_[2] = {name_, nullptr};
};

// One per test executable that includes this.
inline const ::testing::Environment* const kProgramApplication =
    ::testing::AddGlobalTestEnvironment(new ProgramApplicationEnvironment);
