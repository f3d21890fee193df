#pragma once
// Time the host of this virtual machine kept its cores from it while it had work ("steal"), from
// /proc/stat, in the kernel's clock ticks (10 ms here). Linux only; 0 on bare metal.

struct MachineCpu {
  double stealSeconds = 0;  // summed over the cores
};

MachineCpu ReadMachineCpu();
MachineCpu MachineCpuBetween(const MachineCpu& before, const MachineCpu& after);
