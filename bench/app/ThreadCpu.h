#pragma once
// CPU time of each thread of this process, by thread id, from the scheduler's own accounting
// (/proc/self/task/*/schedstat, exact nanoseconds), with each thread's name and how often it
// went to sleep waiting for something (its voluntary context switches: its wake-ups). Linux only.

#include <map>
#include <string>
#include <sys/types.h>

struct ThreadCpu {
  std::string name;
  double seconds = 0;
  long sleeps = 0;
};

using ThreadCpuTable = std::map<pid_t, ThreadCpu>;

ThreadCpuTable ReadThreadCpu();

// What a thread spent between two readings, or the sum over the threads called `name` that
// exist in both; the main thread's id is the process id.
ThreadCpu CpuBetween(const ThreadCpuTable& before, const ThreadCpuTable& after, pid_t tid);
ThreadCpu CpuBetween(const ThreadCpuTable& before, const ThreadCpuTable& after,
                     const std::string& name);
