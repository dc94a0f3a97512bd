// Option parsing of zelk-cli: every option sets the Settings field of the
// control it stands for, exactly as the control would hold it.
#include <cstring>
#include <string>
#include <vector>

#include "ZelkVersion.h"
#include "cli/Cli.h"

namespace zelk::cli {

namespace {

const char* const kLanguageOptions[] = {"en", "fr", "de", "it", "pt", "es", "all"};

// "--name=value" split into name and value.
bool SplitInline(const std::string& arg, std::string& name, std::string& value) {
    const std::size_t eq = arg.find('=');
    if (arg.rfind("--", 0) != 0 || eq == std::string::npos) return false;
    name = arg.substr(0, eq);
    value = arg.substr(eq + 1);
    return true;
}

// A list position from the number the list shows: step 10 for the title,
// description and existing-keywords lists, step 1 for the others.
bool WeightPosition(const std::string& text, int step, int& position) {
    if (text.empty() || text.size() > 2) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    if (text.size() == 2 && text[0] == '0') return false;
    const int n = std::stoi(text);
    if (n % step != 0 || n / step > 9) return false;
    position = n / step;
    return true;
}

struct WeightOption {
    const char* name;
    int step;
    int Settings::*field;
};

const WeightOption kWeights[] = {
    {"--title-weight", 10, &Settings::TitleWeight},
    {"--description-weight", 10, &Settings::DescriptionWeight},
    {"--existing-keywords-weight", 10, &Settings::ExistingKeywordsWeight},
    {"--bold-weight", 1, &Settings::BoldWeight},
    {"--italic-weight", 1, &Settings::ItalicWeight},
    {"--table-weight", 1, &Settings::TableWeight},
    {"--div-weight", 1, &Settings::DivWeight},
    {"--span-weight", 1, &Settings::SpanWeight},
};

}  // namespace

bool ParseAnalysisOptions(const std::string& command, const std::vector<std::string>& args,
                          AnalysisOptions& opts, ExtraOptionFn extra, void* context) {
    Settings& st = opts.settings;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            opts.help = true;
            return true;
        }
        if (extra) {
            const int used = extra(args, i, opts, context);
            if (used < 0) return false;
            if (used > 0) {
                i += static_cast<std::size_t>(used) - 1;
                continue;
            }
        }
        std::string name = arg, value;
        const bool inlineValue = SplitInline(arg, name, value);
        // The value of an option that needs one: inline or the next argument.
        auto needValue = [&](std::string& out) {
            if (inlineValue) {
                out = value;
                return true;
            }
            if (i + 1 >= args.size()) {
                UsageError(command + ": option " + name + " needs a value");
                return false;
            }
            out = args[++i];
            return true;
        };
        auto noValue = [&] {
            if (inlineValue) {
                UsageError(command + ": option " + name + " takes no value");
                return false;
            }
            return true;
        };

        bool known = false;
        for (const WeightOption& w : kWeights) {
            if (name != w.name) continue;
            known = true;
            std::string v;
            if (!needValue(v)) return false;
            int position = 0;
            if (!WeightPosition(v, w.step, position)) {
                UsageError(command + ": bad value for " + name + ": '" + v + "' (expected " +
                           (w.step == 10 ? "0, 10, 20 ... 90" : "0 to 9") + ")");
                return false;
            }
            st.*(w.field) = position;
        }
        if (known) continue;

        std::string v;
        if (name == "--data-dir") {
            if (!needValue(v)) return false;
            if (v.empty()) {
                UsageError(command + ": bad value for --data-dir: an empty folder name");
                return false;
            }
            opts.dataDir = v;
        } else if (name == "--language") {
            if (!needValue(v)) return false;
            int found = -1;
            for (int k = 0; k < 7; ++k)
                if (v == kLanguageOptions[k]) found = k;
            if (found < 0) {
                UsageError(command + ": bad value for --language: '" + v +
                           "' (expected en, fr, de, it, pt, es or all)");
                return false;
            }
            st.Language = found;
        } else if (name == "--max-keywords") {
            if (!needValue(v)) return false;
            st.MaxNumKeywordsInMetaTag = ArgToCp1252(v);
        } else if (name == "--max-bytes") {
            if (!needValue(v)) return false;
            st.MaxNumBytesInMetaTag = ArgToCp1252(v);
        } else if (name == "--begin-with") {
            if (!needValue(v)) return false;
            st.BeginMetaTagWith = ArgToCp1252(v);
        } else if (name == "--forward-slash") {
            if (!noValue()) return false;
            st.ForwardSlash = 1;
        } else if (name == "--json") {
            if (!noValue()) return false;
            opts.json = true;
        } else if (name == "--folder-mode") {
            if (!noValue()) return false;
            st.SingleFile = false;
        } else if (name == "--viewport") {
            // The text is optional: "--viewport=TEXT", or the next argument
            // when it is not an option and is not the last one (the file).
            st.InsertVPMT = 1;
            if (inlineValue) {
                st.VPMT = ArgToCp1252(value);
            } else if (i + 2 < args.size() && !(args[i + 1].size() > 1 && args[i + 1][0] == '-')) {
                st.VPMT = ArgToCp1252(args[++i]);
            } else {
                st.VPMT = kDefaultViewportMetaTag;
            }
        } else {
            UsageError(command + ": unknown option " + name);
            return false;
        }
    }
    if (positional.size() > 1) {
        UsageError(command + ": more than one FILE given");
        return false;
    }
    if (!positional.empty()) {
        opts.file = positional[0];
        opts.fileGiven = true;
    }
    return true;
}

std::string VersionText() { return std::string("zelk ") + kZelkVersion + "\n"; }

std::string HelpText() {
    return R"(Usage:
  zelk-cli keywords [OPTIONS] FILE   the keywords meta tag of FILE, as Generate shows it
  zelk-cli words [OPTIONS] FILE      the ranked word list of FILE, as List words shows it
  zelk-cli vpmt TEXT                 the validity of a viewport meta tag: 1 valid, 0 empty,
                                     -1 invalid
  zelk-cli show [--json] FILE        the title and the viewport, keywords and description
                                     meta tags FILE already has, as "Show existing
                                     keywords, etc." shows them
  zelk-cli insert [OPTIONS] FILE     the Insert command: writes the ticked tags into FILE
  zelk-cli batch [OPTIONS] FOLDER    an automatic run over the HTML files of FOLDER, as
                                     Generate in multiple-files mode without inspection
  zelk-cli --help                    this text
  zelk-cli --version                 "zelk" and the version number

Options of keywords and words (each sets what the main window's control would hold;
the defaults are the program's defaults):
  --data-dir DIR                  folder of the common-word lists cwds_*.txt
                                  (default: the folder of zelk-cli)
  --language en|fr|de|it|pt|es|all
                                  common words to ignore (default: en)
  --title-weight N                0, 10, 20 ... 90 (default 90)
  --description-weight N          0, 10, 20 ... 90 (default 90)
  --existing-keywords-weight N    0, 10, 20 ... 90 (default 90)
  --bold-weight N                 0 to 9 (default 4)
  --italic-weight N               0 to 9 (default 4)
  --table-weight N                0 to 9 (default 1)
  --div-weight N                  0 to 9 (default 2)
  --span-weight N                 0 to 9 (default 2)
  --max-keywords TEXT             maximum number of keywords, as typed in its box
                                  (default "15"; 0 or no number: no limit)
  --max-bytes TEXT                maximum number of bytes, as typed in its box
                                  (default "150"; 0 or no number: no limit)
  --begin-with TEXT               fixed keywords, separated by commas, that open the tag
  --forward-slash                 close the tag with " />" instead of ">"
  --viewport [TEXT]               the viewport meta tag is inserted too: its length
                                  enters the byte budget (TEXT defaults to
                                  <meta name="viewport" content="width=device-width,initial-scale=1.0">;
                                  also --viewport=TEXT)
  --folder-mode                   compose as for a folder of files: no count lines,
                                  no "<head" check, an empty table still gives a tag
  --json                          one JSON object on one line instead of the output
                                  box (also for show); see man zelk-cli

Options of insert: those of keywords (but not --folder-mode or --json), and
  --keywords                      tick "keywords meta tag": Generate runs first on FILE
                                  and the tag it puts in the output box is inserted
  --viewport [TEXT]               tick "viewport meta tag": TEXT (default as above) is
                                  inserted
insert prints the result message as "TITLE: TEXT" on stdout and exits with status
0 when the tags were inserted, 1 otherwise; its report lines go to stderr. FILE is
rewritten through a working file beside it (FILE with "bak" after its last "."),
renamed over it in one step.

Options of batch: those of keywords (but not --folder-mode), and
  --keywords, --viewport [TEXT]   the tags to insert (at least one)
  --subfolders                    include all subfolders
  --preserve-keywords             keep an existing keywords meta tag
  --preserve-viewport             keep an existing viewport meta tag
  --exclude TEXT                  leave out paths holding one of TEXT's comma-separated
                                  items (case ignored)
  --pause N                       seconds between files, 0 to 5 (default 0)
  --delete-leftovers              answer Yes to "Anomalous file" (default: No, the
                                  leftover working file is reported and left)
  --dry-run                       everything as in a real run, but every rewritten page
                                  is kept in memory: no file changes
  --jobs N                        analyse files on N threads, the run's own among them
                                  (default: the number of cores); output as with --jobs 1
  --json                          one JSON object per file, then a summary object
batch prints the report on stdout as it grows, then the closing message as
"TITLE: TEXT"; questions and the answers given go to stderr. SIGINT or SIGTERM
stops the run as the Stop button does (the current file is finished or left
untouched, the report ends "Operation stopped.") with exit status 1.

Output: the text of the output box, in UTF-8, with LF line ends, then one LF;
exit status 0. Where the window would show a message box, zelk-cli prints
"TITLE: TEXT" on stderr and exits with status 1. Report lines go to stderr.
A Unix-type file warning is answered Yes. A bad command line gives a one-line
error and exit status 2.
)";
}

}  // namespace zelk::cli
