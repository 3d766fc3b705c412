// level_lint <level.txt | map_n.dat>...: checks every level against the rules all levels keep
// (level_lint.h), printing one line per fault, "<level>: (<column>, <row>): <rule>: <message>".
// Status 0 when every level keeps every rule, 1 when one breaks one, 2 for a wrong command line.
#include <cstdio>
#include <filesystem>
#include <string>

#include "level_lint.h"
#include "media/headless.h"
#include "media/media.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: level_lint <level.txt | map_n.dat>...\n");
    return 2;
  }
  media::use_headless();
  int failing = 0;
  for (int i = 1; i < argc; ++i) {
    const std::vector<levels::LintFault> faults = levels::lint_level_file(argv[i]);
    const std::string name = std::filesystem::path(argv[i]).filename().string();
    for (const levels::LintFault& fault : faults) {
      std::fprintf(stderr, "%s\n", levels::fault_line(name, fault).c_str());
    }
    if (!faults.empty()) ++failing;
  }
  if (failing > 0) {
    std::fprintf(stderr, "level_lint: %d of %d levels break a rule\n", failing, argc - 1);
    return 1;
  }
  return 0;
}
