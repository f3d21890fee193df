// A reading thread's calls run on the main thread, one at a time and in order, and each returns
// to the reading thread only once it has run there; an error thrown by a call travels back to
// the reading thread. Checked for back-to-back calls, the stream in which the reading thread
// spins before it sleeps, and for calls a second apart, in which it does not.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>

#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "hid/THandOff.h"

namespace {

struct StreamResult {
  std::vector<int> ranOnMain;   // indices of the calls, in the order the main thread ran them
  std::vector<int> afterReturn;  // what the reading thread saw once each call had returned
  std::vector<int> errorsCaught;
  bool allOnMainThread = true;
};

// The reading thread makes `count` calls, `gap` apart; call `failing` throws.
StreamResult Stream(int count, std::chrono::microseconds gap, int failing) {
  THandOff handOff;
  StreamResult result;
  const std::thread::id mainThread = std::this_thread::get_id();
  int lastRun = -1;  // written by the main thread, read by the reading thread after each return
  std::thread reader([&] {
    for (int i = 0; i < count; ++i) {
      try {
        handOff.Call([&, i] {
          if (std::this_thread::get_id() != mainThread) result.allOnMainThread = false;
          result.ranOnMain.push_back(i);
          lastRun = i;
          if (i == failing) throw std::runtime_error("call failed");
        });
      } catch (const std::runtime_error&) {
        result.errorsCaught.push_back(i);
      }
      result.afterReturn.push_back(lastRun);
      if (gap.count() > 0) std::this_thread::sleep_for(gap);
    }
    handOff.MarkFinished();
  });
  handOff.ServeUntilFinished();
  reader.join();
  return result;
}

std::vector<int> Indices(int count) {
  std::vector<int> indices(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) indices[static_cast<std::size_t>(i)] = i;
  return indices;
}

TEST(HandOff, BackToBackCallsRunOnTheMainThreadInOrderAndAnErrorReturnsToItsCaller) {
  constexpr int kCalls = 3000;
  const StreamResult r = Stream(kCalls, std::chrono::microseconds(0), 777);
  EXPECT_TRUE(r.allOnMainThread);
  EXPECT_EQ(r.ranOnMain, Indices(kCalls));
  EXPECT_EQ(r.afterReturn, Indices(kCalls));  // no call returned before it had run
  EXPECT_EQ(r.errorsCaught, std::vector<int>{777});
}

TEST(HandOff, SlowCallsKeepTheSameOrderAndErrors) {
  constexpr int kCalls = 40;
  const StreamResult r = Stream(kCalls, std::chrono::microseconds(1000), 3);
  EXPECT_TRUE(r.allOnMainThread);
  EXPECT_EQ(r.ranOnMain, Indices(kCalls));
  EXPECT_EQ(r.afterReturn, Indices(kCalls));
  EXPECT_EQ(r.errorsCaught, std::vector<int>{3});
}

// Calls served from the event loop, as the program serves them, not from ServeUntilFinished.
TEST(HandOff, TheEventLoopServesAFastStreamToItsEnd) {
  constexpr int kCalls = 5000;
  THandOff handOff;
  int served = 0;
  std::atomic<bool> done{false};
  std::thread reader([&] {
    for (int i = 0; i < kCalls; ++i) handOff.Call([&] { ++served; });
    done = true;
    handOff.MarkFinished();
  });
  QElapsedTimer waited;
  waited.start();
  while (!done && waited.elapsed() < 30000) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  handOff.ServeUntilFinished();
  reader.join();
  EXPECT_EQ(served, kCalls);
}

}  // namespace
