// Runs a reading thread's calls on the main thread. The reading thread queues a call, wakes the
// main loop with a posted event and blocks until the main thread has run it; an exception thrown
// by the call travels back to the reading thread. The main thread serves the call from its
// event loop, or from ServeUntilFinished while it waits for the reading thread to end, so
// stopping a thread that is blocked in a hand-off never deadlocks. One per reading thread.
// In a fast stream the reading thread spins briefly before it sleeps: the main thread is then
// usually awake and done within microseconds, sooner than a sleeping thread can be woken.
#pragma once

#include <QObject>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>

class THandOff final : public QObject {
 public:
  THandOff();  // on the main thread
  ~THandOff() override;

  // Reading thread: runs call on the main thread and returns when it has run; rethrows what it
  // threw.
  void Call(const std::function<void()>& call);
  // Reading thread: its last act, waking a main thread that waits in ServeUntilFinished.
  void MarkFinished();

  // Main thread, the application's first look at every event it delivers (its notify, before any
  // event filter): a hand-off's wake-up event, and what the reading thread did before posting
  // it, are ordered before whatever then looks at the event. Only ThreadSanitizer needs telling:
  // it cannot see the ordering inside the uninstrumented toolkit.
  static void MarkDelivery(QObject* receiver);

  // Main thread: runs the pending call, if there is one.
  void ServePending();
  // Main thread: waits until the reading thread has finished, serving its calls meanwhile.
  void ServeUntilFinished();

 protected:
  bool event(QEvent* event) override;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  const std::function<void()>* pending_ = nullptr;
  bool running_ = false;
  bool served_ = false;
  bool finished_ = false;
  std::exception_ptr error_;
  std::atomic<std::uint64_t> servedCount_{0};  // calls served so far, watched while spinning
  std::chrono::steady_clock::time_point lastCallReturned_;  // reading thread only

  void SpinWhileUnserved(std::uint64_t servedBefore);
};
