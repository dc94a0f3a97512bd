// zelk-cli: the analysis commands of zelk for scripts and terminals.
#include <csignal>
#include <cstdio>
#include <exception>
#include <new>
#include <cstring>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>& args);
};

// One entry per command; a new command is one function and one line here.
const Command kCommands[] = {
    {"keywords", zelk::cli::KeywordsCommand},
    {"words", zelk::cli::WordsCommand},
    {"vpmt", zelk::cli::VpmtCommand},
    {"show", zelk::cli::ShowCommand},
    {"insert", zelk::cli::InsertCommandMain},
    {"batch", zelk::cli::BatchCommand},
};

int Run(int argc, char** argv) {
    using namespace zelk::cli;
    if (argc < 2) {
        UsageError("no command given");
        return kExitUsage;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(HelpText().c_str(), stdout);
        return kExitOk;
    }
    if (command == "--version") {
        std::fputs(VersionText().c_str(), stdout);
        return kExitOk;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const Command& c : kCommands)
        if (command == c.name) return c.run(args);
    UsageError("unknown command '" + command + "'");
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    // A file-size limit makes a write fail like a full disk, reported and
    // survived, instead of killing the process half-way through a rewrite.
    std::signal(SIGXFSZ, SIG_IGN);
    // Whatever a command runs out of, it ends with a message, never an abort.
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("zelk-cli: out of memory\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zelk-cli: %s\n", e.what());
    }
    return zelk::cli::kExitMessage;
}
