// level_lint [--stats] <level.txt | map_n.dat>...: checks every level against the rules all
// levels keep (level_lint.h), printing one line per fault, "<level>: (<column>, <row>): <rule>:
// <message>". With --stats it also prints what each level holds and, last, the codes that none
// of them uses. Status 0 when every level keeps every rule, 1 when one breaks one, 2 for a wrong
// command line.
#include <cstdio>
#include <cstring>
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

std::string name_of(const char* path) {
  return std::filesystem::path(path).filename().string();
}

// Levels that cannot be read have already been named by the lint.
void print_stats(int count, char** paths) {
  std::vector<levels::LevelStats> set;
  for (int i = 0; i < count; ++i) {
    try {
      set.push_back(levels::level_stats(levels::read_level(paths[i])));
    } catch (const std::runtime_error&) {
      continue;
    }
    std::printf("%s: %s\n", name_of(paths[i]).c_str(), levels::stats_line(set.back()).c_str());
  }
  const std::string unused = levels::unused_symbols(set);
  if (unused.empty()) {
    std::printf("every code with a character is used\n");
  } else {
    std::printf("codes none of these levels uses: %s\n", unused.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool stats = argc > 1 && std::strcmp(argv[1], "--stats") == 0;
  const int first = stats ? 2 : 1;
  if (argc <= first) {
    std::fprintf(stderr, "usage: level_lint [--stats] <level.txt | map_n.dat>...\n");
    return 2;
  }
  media::use_headless();
  int failing = 0;
  for (int i = first; i < argc; ++i) {
    const std::vector<levels::LintFault> faults = levels::lint_level_file(argv[i]);
    for (const levels::LintFault& fault : faults) {
      std::fprintf(stderr, "%s\n", levels::fault_line(name_of(argv[i]), fault).c_str());
    }
    if (!faults.empty()) ++failing;
  }
  if (stats) print_stats(argc - first, argv + first);
  if (failing > 0) {
    std::fprintf(stderr, "level_lint: %d of %d levels break a rule\n", failing, argc - first);
    return 1;
  }
  return 0;
}
