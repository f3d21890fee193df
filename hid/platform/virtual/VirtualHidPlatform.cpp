#include "hid/platform/virtual/VirtualHidPlatform.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>

#include "hid/platform/TextConversion.h"

namespace hidplatform {

namespace {

constexpr std::uint32_t kDefaultInputBuffers = 32;
constexpr std::uint32_t kMinInputBuffers = 2;
constexpr std::uint32_t kMaxInputBuffers = 512;

std::size_t ModeIndex(OpenMode mode) { return static_cast<std::size_t>(mode); }

class VirtualPreparsedData final : public PreparsedData {
 public:
  explicit VirtualPreparsedData(const HidCaps& caps) : caps_(caps) {}
  HidCaps Caps() const override { return caps_; }

 private:
  HidCaps caps_;
};

// A waker that can also wake the interface a reading thread waits on.
class VirtualWaker final : public Waker {
 public:
  void Signal() override {
    std::lock_guard lock(mutex_);
    signalled_ = true;
    cv_.notify_all();
    if (onSignal_) onSignal_();
  }
  bool IsSignalled() const override { return signalled_; }
  bool Wait(std::chrono::milliseconds timeout) override {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, timeout, [this] { return signalled_.load(); });
  }
  // While attached, Signal also calls wake (which must not call back into this waker).
  void Attach(std::function<void()> wake) {
    std::lock_guard lock(mutex_);
    onSignal_ = std::move(wake);
  }
  void Detach() { Attach(nullptr); }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::atomic<bool> signalled_{false};
  std::function<void()> onSignal_;
};

}  // namespace

class VirtualHandle;

class VirtualInterfaceState {
 public:
  mutable std::mutex mutex;
  std::condition_variable changed;
  VirtualInterfaceSpec spec;
  std::uint32_t instance = 0;
  bool plugged = false;
  std::deque<std::vector<std::uint8_t>> input;
  std::vector<std::vector<std::uint8_t>> written;
  VirtualInterface::OutputReportHandler outputHandler;
  std::function<void(OpenMode)> closeObserver;
  std::function<void()> readCompletionObserver;
  int openFailures = 0;
  bool attributesFail = false;
  bool stringsFail = false;
  bool writeFails = false;
  std::uint32_t readError = kErrorSuccess;
  std::array<int, 4> opens{};
  int openHandles = 0;
  int readsStarted = 0;
  int readsOutstanding = 0;
  std::vector<std::weak_ptr<VirtualHandle>> handles;

  // Records an output report and hands it to the device model, outside the lock.
  bool DeliverOutput(std::span<const std::uint8_t> report, std::unique_lock<std::mutex>& lock) {
    if (writeFails || !plugged) return false;
    written.emplace_back(report.begin(), report.end());
    auto handler = outputHandler;
    lock.unlock();
    if (handler) handler(report);
    return true;
  }
};

class VirtualHandle final : public Handle, public std::enable_shared_from_this<VirtualHandle> {
 public:
  VirtualHandle(std::shared_ptr<VirtualInterfaceState> state, OpenMode mode)
      : state_(std::move(state)), mode_(mode) {}

  ~VirtualHandle() override {
    std::lock_guard lock(state_->mutex);
    CloseLocked();
  }

  OpenMode Mode() const override { return mode_; }

  void Close() override {
    std::function<void(OpenMode)> observer;
    {
      std::lock_guard lock(state_->mutex);
      if (closed_) return;
      CloseLocked();
      observer = state_->closeObserver;
    }
    if (observer) observer(mode_);
  }
  // Caller holds state_->mutex.
  void CloseLocked() {
    if (closed_) return;
    closed_ = true;
    --state_->openHandles;
    if (outstanding_) EndRead(0);
    state_->changed.notify_all();
  }
  bool IsClosed() const override {
    std::lock_guard lock(state_->mutex);
    return closed_;
  }

  bool GetAttributes(HidAttributes& attributes) override {
    std::lock_guard lock(state_->mutex);
    if (closed_ || state_->attributesFail) return false;
    attributes = state_->spec.Attributes;
    return true;
  }
  bool GetProductString(std::u16string& text) override {
    return GetString(&VirtualInterfaceSpec::Product, text);
  }
  bool GetManufacturerString(std::u16string& text) override {
    return GetString(&VirtualInterfaceSpec::Manufacturer, text);
  }
  bool GetSerialNumberString(std::u16string& text) override {
    return GetString(&VirtualInterfaceSpec::SerialNumber, text);
  }
  bool GetIndexedString(std::uint32_t index, std::u16string& text) override {
    switch (index) {
      case 0: {
        std::lock_guard lock(state_->mutex);
        if (closed_ || state_->stringsFail || state_->spec.LanguageIds.empty()) return false;
        text.assign(state_->spec.LanguageIds.begin(), state_->spec.LanguageIds.end());
        return true;
      }
      case 1:
        return GetManufacturerString(text);
      case 2:
        return GetProductString(text);
      case 3:
        return GetSerialNumberString(text);
      default:
        return false;
    }
  }
  std::shared_ptr<const PreparsedData> GetPreparsedData() override {
    std::lock_guard lock(state_->mutex);
    if (closed_) return nullptr;
    return std::make_shared<VirtualPreparsedData>(state_->spec.Caps);
  }

  bool GetNumInputBuffers(std::uint32_t& count) override {
    std::lock_guard lock(state_->mutex);
    if (closed_) return false;
    count = numInputBuffers_;
    return true;
  }
  bool SetNumInputBuffers(std::uint32_t count) override {
    std::lock_guard lock(state_->mutex);
    if (closed_ || count < kMinInputBuffers || count > kMaxInputBuffers) return false;
    numInputBuffers_ = count;
    return true;
  }

  bool Write(std::span<const std::uint8_t> report, std::uint32_t& written) override {
    std::unique_lock lock(state_->mutex);
    if (closed_ || mode_ != OpenMode::ReadWrite) return false;
    const auto size = static_cast<std::uint32_t>(report.size());
    if (!state_->DeliverOutput(report, lock)) return false;
    written = size;
    return true;
  }
  std::uint32_t StartWrite(std::span<const std::uint8_t> report) override {
    std::unique_lock lock(state_->mutex);
    if (closed_ || mode_ != OpenMode::OverlappedWrite) return kErrorInvalidHandle;
    lastCount_ = 0;
    const auto size = static_cast<std::uint32_t>(report.size());
    if (!state_->DeliverOutput(report, lock)) return kErrorGenFailure;
    std::lock_guard relock(state_->mutex);
    lastCount_ = size;
    return kErrorSuccess;
  }

  bool Read(std::span<std::uint8_t> report, std::uint32_t& read) override {
    std::unique_lock lock(state_->mutex);
    if (mode_ != OpenMode::ReadWrite) return false;
    state_->changed.wait(lock, [this] { return closed_ || !state_->input.empty(); });
    if (closed_) return false;
    read = TakeInputReport(report);
    return true;
  }

  std::uint32_t StartRead(std::span<std::uint8_t> buffer) override {
    std::lock_guard lock(state_->mutex);
    if (closed_ || mode_ != OpenMode::OverlappedRead) return kErrorInvalidHandle;
    if (state_->readError != kErrorSuccess) return state_->readError;
    if (outstanding_) return kErrorInvalidParameter;
    if (buffer.size() < state_->spec.Caps.InputReportByteLength || buffer.empty()) {
      return kErrorInvalidUserBuffer;
    }
    buffer_ = buffer;
    outstanding_ = true;
    lastCount_ = 0;
    ++state_->readsStarted;
    ++state_->readsOutstanding;
    state_->changed.notify_all();
    return kErrorSuccess;
  }

  ReadWait WaitRead(std::chrono::milliseconds slice, Waker& waker) override {
    auto* virtualWaker = dynamic_cast<VirtualWaker*>(&waker);
    if (virtualWaker != nullptr) {
      virtualWaker->Attach([state = state_] {
        std::lock_guard lock(state->mutex);
        state->changed.notify_all();
      });
    }
    const ReadWait result = WaitForCompletion(slice, waker);
    if (virtualWaker != nullptr) virtualWaker->Detach();
    return result;
  }

  std::uint32_t LastTransferCount() override {
    std::lock_guard lock(state_->mutex);
    return lastCount_;
  }

  bool CancelRead() override {
    std::lock_guard lock(state_->mutex);
    if (closed_) return false;
    if (outstanding_) EndRead(0);
    return true;
  }

  bool FlushQueue() override {
    std::lock_guard lock(state_->mutex);
    if (closed_) return false;
    state_->input.clear();
    state_->changed.notify_all();
    return true;
  }

 private:
  ReadWait WaitForCompletion(std::chrono::milliseconds slice, Waker& waker) {
    const auto deadline = std::chrono::steady_clock::now() + slice;
    std::unique_lock lock(state_->mutex);
    for (;;) {
      if (!outstanding_) return ReadWait::Completed;  // completed, closed or cancelled
      if (!state_->input.empty()) {
        EndRead(TakeInputReport(buffer_));
        if (state_->readCompletionObserver) {
          const std::function<void()> observer = state_->readCompletionObserver;
          lock.unlock();
          observer();
        }
        return ReadWait::Completed;
      }
      if (waker.IsSignalled()) return ReadWait::Interrupted;
      if (state_->changed.wait_until(lock, deadline) == std::cv_status::timeout &&
          state_->input.empty() && outstanding_ && !waker.IsSignalled()) {
        return ReadWait::TimedOut;
      }
    }
  }

  // Caller holds the lock. Copies the oldest queued report (cut to the buffer) and drops it.
  std::uint32_t TakeInputReport(std::span<std::uint8_t> destination) {
    const std::vector<std::uint8_t> report = std::move(state_->input.front());
    state_->input.pop_front();
    const std::size_t count = std::min(report.size(), destination.size());
    std::copy_n(report.begin(), count, destination.begin());
    state_->changed.notify_all();
    return static_cast<std::uint32_t>(count);
  }

  // Caller holds the lock.
  void EndRead(std::uint32_t count) {
    outstanding_ = false;
    buffer_ = {};
    lastCount_ = count;
    --state_->readsOutstanding;
    state_->changed.notify_all();
  }

  bool GetString(std::optional<std::string> VirtualInterfaceSpec::*field, std::u16string& text) {
    std::lock_guard lock(state_->mutex);
    const auto& value = state_->spec.*field;
    if (closed_ || state_->stringsFail || !value) return false;
    text = Utf8ToUtf16(*value);
    return true;
  }

  std::shared_ptr<VirtualInterfaceState> state_;
  OpenMode mode_;
  bool closed_ = false;
  bool outstanding_ = false;
  std::span<std::uint8_t> buffer_;
  std::uint32_t lastCount_ = 0;
  std::uint32_t numInputBuffers_ = kDefaultInputBuffers;
};

// ---- VirtualInterface ----

VirtualInterface::VirtualInterface(std::shared_ptr<VirtualInterfaceState> state)
    : state_(std::move(state)) {}

std::uint32_t VirtualInterface::DeviceInstance() const {
  std::lock_guard lock(state_->mutex);
  return state_->instance;
}
std::u16string VirtualInterface::DevicePath() const {
  std::lock_guard lock(state_->mutex);
  return state_->spec.DevicePath;
}
bool VirtualInterface::IsPluggedIn() const {
  std::lock_guard lock(state_->mutex);
  return state_->plugged;
}
HidCaps VirtualInterface::Caps() const {
  std::lock_guard lock(state_->mutex);
  return state_->spec.Caps;
}
void VirtualInterface::QueueInputReport(std::vector<std::uint8_t> report) {
  std::lock_guard lock(state_->mutex);
  if (!state_->plugged) return;
  state_->input.push_back(std::move(report));
  state_->changed.notify_all();
}
std::size_t VirtualInterface::PendingInputReports() const {
  std::lock_guard lock(state_->mutex);
  return state_->input.size();
}
void VirtualInterface::SetOutputReportHandler(OutputReportHandler handler) {
  std::lock_guard lock(state_->mutex);
  state_->outputHandler = std::move(handler);
}
std::vector<std::vector<std::uint8_t>> VirtualInterface::WrittenReports() const {
  std::lock_guard lock(state_->mutex);
  return state_->written;
}
void VirtualInterface::ClearWrittenReports() {
  std::lock_guard lock(state_->mutex);
  state_->written.clear();
}
void VirtualInterface::SetOpenFailures(int count) {
  std::lock_guard lock(state_->mutex);
  state_->openFailures = count;
}
void VirtualInterface::SetAttributesFail(bool fail) {
  std::lock_guard lock(state_->mutex);
  state_->attributesFail = fail;
}
void VirtualInterface::SetStringsFail(bool fail) {
  std::lock_guard lock(state_->mutex);
  state_->stringsFail = fail;
}
void VirtualInterface::SetReadError(std::uint32_t error) {
  std::lock_guard lock(state_->mutex);
  state_->readError = error;
}
void VirtualInterface::SetCloseObserver(std::function<void(OpenMode mode)> observer) {
  std::lock_guard lock(state_->mutex);
  state_->closeObserver = std::move(observer);
}
void VirtualInterface::SetReadCompletionObserver(std::function<void()> observer) {
  std::lock_guard lock(state_->mutex);
  state_->readCompletionObserver = std::move(observer);
}
void VirtualInterface::SetReadWriteAccess(bool allowed) {
  std::lock_guard lock(state_->mutex);
  state_->spec.ReadWrite = allowed;
}
void VirtualInterface::SetWriteFails(bool fail) {
  std::lock_guard lock(state_->mutex);
  state_->writeFails = fail;
}
int VirtualInterface::OpenCount(OpenMode mode) const {
  std::lock_guard lock(state_->mutex);
  return state_->opens[ModeIndex(mode)];
}
int VirtualInterface::OpenHandleCount() const {
  std::lock_guard lock(state_->mutex);
  return state_->openHandles;
}
int VirtualInterface::ReadsStarted() const {
  std::lock_guard lock(state_->mutex);
  return state_->readsStarted;
}
bool VirtualInterface::WaitUntilReadOutstanding(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(state_->mutex);
  return state_->changed.wait_for(lock, timeout, [this] { return state_->readsOutstanding > 0; });
}
bool VirtualInterface::WaitUntilInputConsumed(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(state_->mutex);
  return state_->changed.wait_for(lock, timeout, [this] { return state_->input.empty(); });
}

// ---- VirtualHidPlatform ----

struct VirtualHidPlatform::Shared {
  mutable std::mutex mutex;
  std::vector<std::shared_ptr<VirtualInterfaceState>> interfaces;
  std::vector<Watch*> watches;
  bool available = true;
  bool listingFails = false;
  bool deliversNotifications = true;
  std::u16string version;
  std::uint32_t nextInstance = 1;
  std::uint32_t nextPath = 1;
  int listings = 0;
};

class VirtualHidPlatform::Watch final : public DeviceChangeWatch {
 public:
  Watch(std::shared_ptr<Shared> shared, DeviceChangeCallback callback)
      : shared_(std::move(shared)), callback_(std::move(callback)) {
    std::lock_guard lock(shared_->mutex);
    shared_->watches.push_back(this);
  }
  ~Watch() override {
    std::lock_guard lock(shared_->mutex);
    std::erase(shared_->watches, this);
  }
  const DeviceChangeCallback& Callback() const { return callback_; }
  void CallBackAsFromAWindowProcedure(std::uintptr_t wParam, std::intptr_t lParam) const {
    CallBackCatchingErrors(callback_, kWmDeviceChange, wParam, lParam);
  }
  bool DeliversNotifications() const override {
    std::lock_guard lock(shared_->mutex);
    return shared_->deliversNotifications;
  }

 private:
  std::shared_ptr<Shared> shared_;
  DeviceChangeCallback callback_;
};

VirtualHidPlatform::VirtualHidPlatform() : shared_(std::make_shared<Shared>()) {}
VirtualHidPlatform::~VirtualHidPlatform() = default;

std::shared_ptr<VirtualInterface> VirtualHidPlatform::AddInterface(const VirtualInterfaceSpec& spec,
                                                                   bool plugIn) {
  auto state = std::make_shared<VirtualInterfaceState>();
  state->spec = spec;
  {
    std::lock_guard lock(shared_->mutex);
    if (state->spec.DevicePath.empty()) {
      state->spec.DevicePath =
          u"\\\\?\\virtual-hid#" + Utf8ToUtf16(std::to_string(shared_->nextPath++));
    }
    shared_->interfaces.push_back(state);
  }
  auto iface = std::make_shared<VirtualInterface>(state);
  if (plugIn) Plug(*iface);
  return iface;
}

void VirtualHidPlatform::Plug(VirtualInterface& iface) {
  std::uint32_t instance = 0;
  {
    std::lock_guard lock(shared_->mutex);
    instance = shared_->nextInstance++;
  }
  auto& state = *iface.State();
  std::lock_guard lock(state.mutex);
  if (state.plugged) return;
  state.plugged = true;
  state.instance = instance;
}

void VirtualHidPlatform::Unplug(VirtualInterface& iface) {
  auto& state = *iface.State();
  // Strong references are released after the lock: a handle's destructor takes it too.
  std::vector<std::shared_ptr<VirtualHandle>> open;
  std::lock_guard lock(state.mutex);
  state.plugged = false;
  state.input.clear();
  for (auto& weak : state.handles) {
    if (auto handle = weak.lock()) open.push_back(std::move(handle));
  }
  for (auto& handle : open) handle->CloseLocked();
  state.handles.clear();
  state.changed.notify_all();
}

void VirtualHidPlatform::RaiseDeviceChange(std::uintptr_t wParam, std::intptr_t lParam) {
  std::vector<DeviceChangeCallback> callbacks;
  {
    std::lock_guard lock(shared_->mutex);
    for (Watch* watch : shared_->watches) callbacks.push_back(watch->Callback());
  }
  for (auto& callback : callbacks) callback(kWmDeviceChange, wParam, lParam);
}

void VirtualHidPlatform::RaiseDeviceChangeFromAWindowProcedure(std::uintptr_t wParam,
                                                               std::intptr_t lParam) {
  std::vector<Watch*> watches;
  {
    std::lock_guard lock(shared_->mutex);
    watches = shared_->watches;
  }
  for (Watch* watch : watches) watch->CallBackAsFromAWindowProcedure(wParam, lParam);
}

void VirtualHidPlatform::SetAvailable(bool available) {
  std::lock_guard lock(shared_->mutex);
  shared_->available = available;
}
void VirtualHidPlatform::SetListingFails(bool fail) {
  std::lock_guard lock(shared_->mutex);
  shared_->listingFails = fail;
}
void VirtualHidPlatform::SetDeliversNotifications(bool delivers) {
  std::lock_guard lock(shared_->mutex);
  shared_->deliversNotifications = delivers;
}
void VirtualHidPlatform::SetHidVersion(std::u16string version) {
  std::lock_guard lock(shared_->mutex);
  shared_->version = std::move(version);
}
int VirtualHidPlatform::WatchCount() const {
  std::lock_guard lock(shared_->mutex);
  return static_cast<int>(shared_->watches.size());
}
int VirtualHidPlatform::ListingCount() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->listings;
}

bool VirtualHidPlatform::IsAvailable() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->available;
}
std::u16string VirtualHidPlatform::HidVersion() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->version;
}
std::u16string VirtualHidPlatform::LanguageName(std::uint16_t languageId) const {
  return languageId == 0x0409 ? u"English (United States)" : u"";
}

bool VirtualHidPlatform::ListInterfaces(std::vector<InterfaceInfo>& interfaces) {
  std::lock_guard lock(shared_->mutex);
  ++shared_->listings;
  interfaces.clear();
  if (shared_->listingFails) return false;
  for (const auto& state : shared_->interfaces) {
    std::lock_guard stateLock(state->mutex);
    if (!state->plugged) continue;
    interfaces.push_back({state->instance, state->spec.DevicePath, state->spec.Properties});
  }
  return true;
}

HandlePtr VirtualHidPlatform::Open(const std::u16string& devicePath, OpenMode mode,
                                   std::uint32_t* error) {
  std::uint32_t code = kErrorFileNotFound;
  std::shared_ptr<VirtualInterfaceState> target;
  {
    std::lock_guard lock(shared_->mutex);
    for (const auto& state : shared_->interfaces) {
      if (state->spec.DevicePath == devicePath) target = state;
    }
  }
  HandlePtr result;
  if (target) {
    std::lock_guard lock(target->mutex);
    if (!target->plugged) {
      code = kErrorFileNotFound;
    } else if (target->openFailures != 0) {
      if (target->openFailures > 0) --target->openFailures;
      code = kErrorAccessDenied;
    } else if (mode != OpenMode::QueryOnly && !target->spec.ReadWrite) {
      code = kErrorAccessDenied;
    } else {
      auto handle = std::make_shared<VirtualHandle>(target, mode);
      target->handles.push_back(handle);
      std::erase_if(target->handles, [](const auto& weak) { return weak.expired(); });
      ++target->opens[ModeIndex(mode)];
      ++target->openHandles;
      result = handle;
      code = kErrorSuccess;
    }
  }
  if (error != nullptr) *error = code;
  return result;
}

std::unique_ptr<Waker> VirtualHidPlatform::CreateWaker() {
  return std::make_unique<VirtualWaker>();
}

std::unique_ptr<DeviceChangeWatch> VirtualHidPlatform::WatchDeviceChanges(
    DeviceChangeCallback callback) {
  return std::make_unique<Watch>(shared_, std::move(callback));
}

}  // namespace hidplatform
