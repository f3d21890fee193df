#include "MachineCpu.h"

#include <unistd.h>

#include <fstream>
#include <string>

MachineCpu ReadMachineCpu() {
  std::ifstream stat("/proc/stat");
  std::string label;
  unsigned long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0,
                     steal = 0;
  stat >> label >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal;
  MachineCpu cpu;
  if (label != "cpu") return cpu;
  const double tick = 1.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  cpu.stealSeconds = static_cast<double>(steal) * tick;
  return cpu;
}

MachineCpu MachineCpuBetween(const MachineCpu& before, const MachineCpu& after) {
  return {after.stealSeconds - before.stealSeconds};
}
