// Runs the built zelk-cli the way a user's shell would, and captures its
// exit status, stdout and stderr byte for byte.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace zelk::testing {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// args is already shell text (quote what needs it); the output is captured
// in two scratch files inside scratchDir, which is also the working folder
// when runInScratchDir is set. launcher, when given, is shell text put before
// the program ("ulimit -f 64 &&", "setpriv ... ").
inline CliResult RunZelkCli(const std::filesystem::path& scratchDir, const std::string& args,
                            bool runInScratchDir = false, const std::string& launcher = "") {
    const std::filesystem::path out = scratchDir / "cli-stdout.txt";
    const std::filesystem::path err = scratchDir / "cli-stderr.txt";
    std::string cmd;
    if (runInScratchDir) cmd = "cd " + ShellQuote(scratchDir.string()) + " && ";
    if (!launcher.empty()) cmd += launcher + " ";
    cmd += ShellQuote(ZELK_CLI_PATH) + " " + args + " >" + ShellQuote(out.string()) + " 2>" +
           ShellQuote(err.string());
    const int raw = std::system(cmd.c_str());
    const CliResult r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(out), ReadBytes(err)};
    std::error_code ec;
    std::filesystem::remove(out, ec);
    std::filesystem::remove(err, ec);
    return r;
}

}  // namespace zelk::testing
