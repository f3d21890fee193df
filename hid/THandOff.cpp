#include "hid/THandOff.h"

#include <QCoreApplication>
#include <QEvent>
#include <thread>
#include <utility>

// Debian's Qt is not built for ThreadSanitizer, which therefore cannot see that posting an
// event orders the reading thread's work before the main thread's handling of it.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#define QF_TSAN_ACQUIRE(addr) __tsan_acquire(addr)
#define QF_TSAN_RELEASE(addr) __tsan_release(addr)
#else
#define QF_TSAN_ACQUIRE(addr) static_cast<void>(addr)
#define QF_TSAN_RELEASE(addr) static_cast<void>(addr)
#endif

namespace {
const QEvent::Type kHandOffEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

using Clock = std::chrono::steady_clock;
// A call that follows the previous one this closely belongs to a fast stream (above about 3,000
// reports a second) or to a backlog. A slower stream waits as it always did: at 1 kHz a spin
// would mostly find the main thread asleep.
constexpr auto kFastStreamGap = std::chrono::microseconds(300);
// About what waking a sleeping main thread and running a readout take on a virtual machine.
constexpr auto kLongestSpin = std::chrono::microseconds(50);

void RelaxCpu() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#elif defined(__aarch64__)
  asm volatile("yield");
#else
  std::this_thread::yield();
#endif
}

// On one core a spin only keeps the main thread from running.
bool SpinningCanHelp() {
  static const bool severalCores = std::thread::hardware_concurrency() > 1;
  return severalCores;
}
}  // namespace

THandOff::THandOff() = default;

THandOff::~THandOff() { QF_TSAN_ACQUIRE(this); }

void THandOff::Call(const std::function<void()>& call) {
  const auto start = Clock::now();
  std::uint64_t servedBefore = 0;
  {
    std::lock_guard lock(mutex_);
    pending_ = &call;
    served_ = false;
    error_ = nullptr;
    servedBefore = servedCount_.load(std::memory_order_relaxed);
  }
  changed_.notify_all();
  auto* wake = new QEvent(kHandOffEvent);
  QF_TSAN_RELEASE(this);
  QCoreApplication::postEvent(this, wake);
  if (start - lastCallReturned_ < kFastStreamGap && SpinningCanHelp()) {
    SpinWhileUnserved(servedBefore);
  }
  std::exception_ptr error;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return served_; });
    pending_ = nullptr;
    error = error_;
    error_ = nullptr;
  }
  lastCallReturned_ = Clock::now();
  if (error) std::rethrow_exception(error);
}

// Whatever the spin sees, the wait after it decides under the lock; a call served during the
// spin leaves the main thread nobody to wake.
void THandOff::SpinWhileUnserved(std::uint64_t servedBefore) {
  const auto giveUp = Clock::now() + kLongestSpin;
  while (servedCount_.load(std::memory_order_acquire) == servedBefore && Clock::now() < giveUp) {
    RelaxCpu();
  }
}

// The reading thread released on the hand-off's own address: acquiring on the receiver's joins
// exactly that, and is nothing for any other receiver. The event itself is not looked at here.
void THandOff::MarkDelivery(QObject* receiver) { QF_TSAN_ACQUIRE(receiver); }

void THandOff::MarkFinished() {
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
  }
  changed_.notify_all();
}

void THandOff::ServePending() {
  const std::function<void()>* call = nullptr;
  {
    std::lock_guard lock(mutex_);
    if (pending_ == nullptr || served_ || running_) return;
    call = pending_;
    running_ = true;
  }
  std::exception_ptr error;
  try {
    (*call)();
  } catch (...) {
    error = std::current_exception();
  }
  {
    std::lock_guard lock(mutex_);
    running_ = false;
    served_ = true;
    // Handed over, not shared: the reading thread must be the last owner of the error it reads.
    error_ = std::move(error);
    servedCount_.fetch_add(1, std::memory_order_release);
  }
  changed_.notify_all();
}

void THandOff::ServeUntilFinished() {
  std::unique_lock lock(mutex_);
  while (!finished_) {
    if (pending_ != nullptr && !served_ && !running_) {
      lock.unlock();
      ServePending();
      lock.lock();
      continue;
    }
    changed_.wait(lock);
  }
}

bool THandOff::event(QEvent* event) {
  QF_TSAN_ACQUIRE(this);
  if (event->type() != kHandOffEvent) return QObject::event(event);
  ServePending();
  return true;
}
