#include "ThreadCpu.h"

#include <dirent.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string ReadLine(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  std::getline(file, line);
  return line;
}

}  // namespace

ThreadCpuTable ReadThreadCpu() {
  ThreadCpuTable table;
  DIR* tasks = opendir("/proc/self/task");
  if (tasks == nullptr) return table;
  while (const dirent* entry = readdir(tasks)) {
    if (entry->d_name[0] == '.') continue;
    const std::string dir = std::string("/proc/self/task/") + entry->d_name;
    // First field: nanoseconds spent on a CPU.
    const std::string schedstat = ReadLine(dir + "/schedstat");
    if (schedstat.empty()) continue;
    ThreadCpu cpu;
    cpu.name = ReadLine(dir + "/comm");
    cpu.seconds = static_cast<double>(std::strtoull(schedstat.c_str(), nullptr, 10)) * 1e-9;
    std::ifstream status(dir + "/status");
    for (std::string line; std::getline(status, line);) {
      std::istringstream field(line);
      std::string key;
      if (field >> key && key == "voluntary_ctxt_switches:") field >> cpu.sleeps;
    }
    table[static_cast<pid_t>(std::atol(entry->d_name))] = cpu;
  }
  closedir(tasks);
  return table;
}

ThreadCpu CpuBetween(const ThreadCpuTable& before, const ThreadCpuTable& after, pid_t tid) {
  const auto then = before.find(tid);
  const auto now = after.find(tid);
  ThreadCpu spent;
  if (then == before.end() || now == after.end()) return spent;
  spent.name = now->second.name;
  spent.seconds = now->second.seconds - then->second.seconds;
  spent.sleeps = now->second.sleeps - then->second.sleeps;
  return spent;
}

ThreadCpu CpuBetween(const ThreadCpuTable& before, const ThreadCpuTable& after,
                     const std::string& name) {
  ThreadCpu sum;
  sum.name = name;
  for (const auto& [tid, cpu] : after) {
    if (cpu.name != name) continue;
    const ThreadCpu spent = CpuBetween(before, after, tid);
    sum.seconds += spent.seconds;
    sum.sleeps += spent.sleeps;
  }
  return sum;
}
