// zelk-cli: the analysis without a window. Each command is one function
// taking the arguments after its name; the window's message boxes become
// "TITLE: TEXT" lines on stderr, the output box goes to stdout as UTF-8.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "analysis/AnalysisHost.h"
#include "common/ReportLog.h"
#include "common/Ui.h"
#include "common/Settings.h"

namespace zelk {
class CommonWords;
}

namespace zelk::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitMessage = 1;  // the window would have shown a message box
inline constexpr int kExitUsage = 2;    // bad command line

// Message boxes on stderr. Questions are answered Yes (or OK) without being
// shown; a box with an OK button is printed as "TITLE: TEXT" and remembered,
// so the command ends with status 1.
class CliPrompter : public Prompter {
public:
    using Prompter::Ask;
    explicit CliPrompter(std::FILE* out = stderr) : out_(out) {}
    Answer Ask(const std::string& text, const std::string& title, Icon icon, Buttons buttons,
               Answer defaultButton) override;
    bool MessageShown() const { return messageShown_; }
    // Notices that are shown but do not fail the command (the common-word
    // lists at start-up).
    bool countsAsFailure = true;

private:
    std::FILE* out_;
    bool messageShown_ = false;
};

// The window side of an analysis: the output box and the input box are
// plain strings; everything else is nothing to look at.
class CliHost : public StringBoxesHost {
public:
    Prompter& prompter() override { return prompter_; }

    CliPrompter& Prompts() { return prompter_; }

private:
    CliPrompter prompter_;
};

// The analysis options of keywords and words (and of the commands built on
// them), applied to a Settings record that starts at the defaults.
struct AnalysisOptions {
    Settings settings;
    std::string dataDir;  // empty: the program's folder
    std::string file;     // the FILE argument (bytes as given)
    bool fileGiven = false;
    bool help = false;
    bool json = false;    // --json: one JSON object instead of the output box
};

// Parses args (the words after the command name). On a bad option prints a
// one-line usage error to stderr and returns false. extra, when given, is
// asked first about every option it knows (return the number of arguments it
// consumed, 0 when it does not know the option, -1 on a bad value after it
// printed its own error).
using ExtraOptionFn = int (*)(const std::vector<std::string>& args, std::size_t i,
                              AnalysisOptions& opts, void* context);
bool ParseAnalysisOptions(const std::string& command, const std::vector<std::string>& args,
                          AnalysisOptions& opts, ExtraOptionFn extra = nullptr,
                          void* context = nullptr);

// One-line usage error: "zelk-cli: <text>" and the hint to --help.
void UsageError(const std::string& text);

// The folder of the running executable.
std::string ProgramFolder();

// A command-line text (UTF-8) as the Windows-1252 bytes a text box would hold.
std::string ArgToCp1252(const std::string& arg);

// The output box as printed: UTF-8, CR LF as LF, one final LF.
std::string BoxForTerminal(const std::string& box);

// Reads the common-word lists from opts.dataDir (or the program's folder);
// a missing list is reported on stderr as the window would report it.
void LoadCommonWords(CommonWords& words, const AnalysisOptions& opts);

// Report lines (the end-font warning ...) go to stderr as they are logged.
void ReportToStderr(ReportLog& log, const Settings& settings);

// --viewport TEXT checked as the window checks txbVPMT when it loses the
// focus: an invalid tag prints "Invalid entry: Viewport meta tag is
// invalid." on stderr (false); an empty one unticks the viewport tag.
bool ViewportOptionValid(Settings& settings);

// The commands.
int KeywordsCommand(const std::vector<std::string>& args);
int WordsCommand(const std::vector<std::string>& args);
int VpmtCommand(const std::vector<std::string>& args);
int ShowCommand(const std::vector<std::string>& args);
int InsertCommandMain(const std::vector<std::string>& args);
int BatchCommand(const std::vector<std::string>& args);

// The text of --help.
std::string HelpText();

// "zelk VERSION", the answer to --version.
std::string VersionText();

}  // namespace zelk::cli
