#pragma once
// The real settings window, offscreen, on the virtual HID platform with the virtual pedal set:
// every report travels the whole way (the pedal set's interface, the reading thread, the
// hand-off, the pedal link, the window's reactions), and the tests read what the window shows
// and what the pedal set received. They run under the program's own application object.

#include <gtest/gtest.h>

#include <QLocale>
#include <QTest>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "TMainForm.h"
#include "TPanel.h"
#include "hid/platform/virtual/VirtualHidPlatform.h"
#include "sim/VirtualPedalSet.h"
#include "tests/support/ProgramApplication.h"

class EndToEndFixture : public ::testing::Test {
 protected:
  static constexpr int kGenerousTimeoutMs = 20000;

  void SetUp() override { QLocale::setDefault(QLocale::c()); }

  void TearDown() override {
    pedals_->StopMoving();
    form_.reset();  // lets go of the pedal set before it goes
    QLocale::setDefault(QLocale::system());
  }

  static bool WaitUntil(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, kGenerousTimeoutMs);
  }

  // The window on screen, its messages collected instead of shown.
  void CreateAndShowForm() {
    form_ = std::make_unique<TMainForm>(platform_);
    form_->ShowMessage = [this](TMainForm::TMessageKind kind, const QString& text) {
      messages_.emplace_back(kind, text);
    };
    form_->show();
  }

  void PlugInAndShow() {
    pedals_->PlugIn();
    CreateAndShowForm();
    ASSERT_TRUE(WaitUntil([&] { return form_->Link.PedalsDevice() != nullptr; }));
  }

  // One report from the pedal set, handled by the window before this returns.
  void Step(int count = 1) {
    for (int i = 0; i < count; ++i) {
      pedals_->SendReports(1);
      ASSERT_TRUE(WaitUntil([&] { return pedals_->HostCaughtUp(); }));
    }
  }

  void StepUntilLoaded() {
    for (int i = 0; i < 60 && !form_->Link.SettingsLoaded; ++i) Step();
    ASSERT_TRUE(form_->Link.SettingsLoaded);
  }

  void ConnectAndGoLive() {
    ASSERT_NO_FATAL_FAILURE(PlugInAndShow());
    ASSERT_NO_FATAL_FAILURE(StepUntilLoaded());
    ASSERT_NO_FATAL_FAILURE(Step());
    ASSERT_TRUE(form_->SplashPanel->isHidden());
  }

  void Hold(std::uint16_t throttle, std::uint16_t brake, std::uint16_t clutch) {
    pedals_->HoldPedals(sim::RawPositions{throttle, brake, clutch});
  }

  // Command codes the pedal set received from `from` on (an index into its received reports).
  std::vector<std::uint8_t> CommandsFrom(std::size_t from) const {
    const std::vector<std::uint8_t> all = pedals_->ReceivedCommands();
    return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
  }
  std::size_t CommandCount() const { return pedals_->ReceivedCommands().size(); }

  // One pedal's settings as carried by the last report with `code` the pedal set received.
  PedalData LastSent(std::uint8_t code, PedalName pedal) const {
    const auto reports = pedals_->ReceivedReports();
    for (auto it = reports.rbegin(); it != reports.rend(); ++it) {
      if (it->size() < SettingsOffset::Pedal(pedal) + kPedalDataSize || (*it)[1] != code) continue;
      const std::span<const std::uint8_t> bytes(*it);
      return PedalDataFromBytes(
          bytes.subspan(SettingsOffset::Pedal(pedal)).first<kPedalDataSize>());
    }
    ADD_FAILURE() << "no report with command " << int{code} << " was received";
    return {};
  }

  std::shared_ptr<hidplatform::VirtualHidPlatform> platform_ =
      std::make_shared<hidplatform::VirtualHidPlatform>();
  std::unique_ptr<sim::VirtualPedalSet> pedals_ =
      std::make_unique<sim::VirtualPedalSet>(*platform_);
  std::unique_ptr<TMainForm> form_;
  std::vector<std::pair<TMainForm::TMessageKind, QString>> messages_;
};
