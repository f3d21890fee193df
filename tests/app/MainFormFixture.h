#pragma once
// A settings window on an empty virtual HID platform: no pedal set, so it stays connecting and
// the tests drive its controls and readout directly.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>

#include "TMainForm.h"
#include "hid/platform/virtual/VirtualHidPlatform.h"

class MainFormFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ = std::make_shared<hidplatform::VirtualHidPlatform>();
    form_ = std::make_unique<TMainForm>(platform_);
  }

  void ShowForm() {
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  }

  std::shared_ptr<hidplatform::VirtualHidPlatform> platform_;
  std::unique_ptr<TMainForm> form_;
};
