#pragma once
// CPU time from the scheduler's own accounting, steadier than frame counts on a shared host.
#include <dirent.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace bench {

// Nanoseconds the calling process's threads (the driver's rasteriser threads included) have
// run on a CPU: the sum of the first field of every /proc/self/task/<tid>/schedstat.
inline uint64_t ProcessCpuNs()
{
  uint64_t total = 0;
  DIR* tasks = opendir("/proc/self/task");
  if (!tasks) return 0;
  while (const dirent* entry = readdir(tasks)) {
    if (entry->d_name[0] == '.') continue;
    const std::string name = std::string("/proc/self/task/") + entry->d_name + "/schedstat";
    if (FILE* f = std::fopen(name.c_str(), "r")) {
      unsigned long long ns = 0;
      if (std::fscanf(f, "%llu", &ns) == 1) total += ns;
      std::fclose(f);
    }
  }
  closedir(tasks);
  return total;
}

}  // namespace bench
