// merrowin-devsim: many simulated devices in one process, for tests and for trying Merrowin
// without hardware. It only runs inside a network namespace made for it (scripts/lab).
#include <cstdio>

#include "tools/devsim/SimConfig.h"
#include "tools/devsim/SimLoop.h"

int main(int argc, char** argv) {
    devsim::SimConfig config;
    std::string error;
    bool help = false;
    if (!devsim::ParseSimArgs(argc, argv, config, error, help)) {
        std::fprintf(help ? stdout : stderr, "%s%s",
                     help ? "" : "merrowin-devsim: ", error.c_str());
        if (!help && (error.empty() || error.back() != '\n')) std::fputc('\n', stderr);
        return help ? 0 : 2;
    }
    if (devsim::InMachineNamespace()) {
        std::fprintf(stderr,
                     "merrowin-devsim: refusing to run in the machine's own network namespace: "
                     "its broadcasts would reach real networks. Run it in a lab:\n"
                     "  scripts/lab up NAME && scripts/lab dev NAME merrowin-devsim ...\n");
        return 3;
    }
    devsim::SimLoop loop(config);
    if (!loop.Open(error)) {
        std::fprintf(stderr, "merrowin-devsim: %s\n", error.c_str());
        return 1;
    }
    return loop.Run();
}
