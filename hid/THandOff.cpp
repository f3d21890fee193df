#include "hid/THandOff.h"

#include <QCoreApplication>
#include <QEvent>
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
}

THandOff::THandOff() = default;

THandOff::~THandOff() { QF_TSAN_ACQUIRE(this); }

void THandOff::Call(const std::function<void()>& call) {
  {
    std::lock_guard lock(mutex_);
    pending_ = &call;
    served_ = false;
    error_ = nullptr;
  }
  changed_.notify_all();
  auto* wake = new QEvent(kHandOffEvent);
  QF_TSAN_RELEASE(this);
  QCoreApplication::postEvent(this, wake);
  std::exception_ptr error;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return served_; });
    pending_ = nullptr;
    error = error_;
    error_ = nullptr;
  }
  if (error) std::rethrow_exception(error);
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
