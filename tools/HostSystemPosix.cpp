// The test host's process figures on Linux: /proc and getrusage.
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tools/HostWindow.h"

std::string HostProcessStats(const void*) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::to_string(std::atol(line.c_str() + 6));
  }
  return "0";
}

double HostCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
