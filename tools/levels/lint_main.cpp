// level_lint [--stats] <level.txt | map_n.dat>...: checks every level against the rules all
// levels keep (level_lint.h), printing one line per fault, "<level>: (<column>, <row>): <rule>:
// <message>", on standard error. With --stats it also prints, on standard output, one line per
// readable level counting what it is made of (level_stats.h). Status 0 when every level keeps
// every rule, 1 when one breaks one, 2 for a wrong command line.
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "level_files.h"
#include "level_lint.h"
#include "level_stats.h"
#include "media/headless.h"
#include "media/media.h"

namespace {

void print_stats(const std::string& path, const std::string& name) {
  try {
    std::printf("%s\n",
                levels::stats_line(name, levels::count_level(levels::read_level(path))).c_str());
  } catch (const std::runtime_error&) {
    // The lint has named the fault already.
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> paths(argv + 1, argv + argc);
  const bool stats = !paths.empty() && paths.front() == "--stats";
  if (stats) paths.erase(paths.begin());
  if (paths.empty()) {
    std::fprintf(stderr, "usage: level_lint [--stats] <level.txt | map_n.dat>...\n");
    return 2;
  }
  media::use_headless();
  int failing = 0;
  for (const std::string& path : paths) {
    const std::vector<levels::LintFault> faults = levels::lint_level_file(path);
    const std::string name = std::filesystem::path(path).filename().string();
    for (const levels::LintFault& fault : faults) {
      std::fprintf(stderr, "%s\n", levels::fault_line(name, fault).c_str());
    }
    if (!faults.empty()) ++failing;
    if (stats) print_stats(path, name);
  }
  if (failing > 0) {
    std::fprintf(stderr, "level_lint: %d of %zu levels break a rule\n", failing, paths.size());
    return 1;
  }
  return 0;
}
