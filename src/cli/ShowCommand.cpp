// show: what the output box holds after "Show existing keywords, etc." in
// single-file mode.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "insertion/ExistingTags.h"

namespace zelk::cli {

int ShowCommand(const std::vector<std::string>& args) {
    std::string file;
    bool fileGiven = false, optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            std::fputs(HelpText().c_str(), stdout);
            return kExitOk;
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            UsageError("show: unknown option " + arg);
            return kExitUsage;
        }
        if (fileGiven) {
            UsageError("show: more than one FILE given");
            return kExitUsage;
        }
        file = arg;
        fileGiven = true;
    }
    CliPrompter prompter;
    auto box = ShowExistingMetaTags(file, prompter);
    if (!box) return kExitMessage;
    const std::string out = BoxForTerminal(*box);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

}  // namespace zelk::cli
