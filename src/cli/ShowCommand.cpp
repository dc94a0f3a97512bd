// show: what the output box holds after "Show existing keywords, etc." in
// single-file mode.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/JsonWriter.h"
#include "insertion/ExistingTags.h"

namespace zelk::cli {

namespace {

// show --json: the box's lines taken apart. Each item is the first line
// that begins with its label, without the label; null when there is none.
std::string ShowJson(const std::string& file, const std::string& box) {
    struct Item {
        const char* key;
        const char* label;
    };
    const Item items[] = {{"title", "TITLE: "},
                          {"viewport", "VIEWPORT meta tag: "},
                          {"keywords", "KEYWORDS meta tag: "},
                          {"description", "DESCRIPTION meta tag: "}};
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < box.size();) {
        std::size_t end = box.find("\r\n", start);
        if (end == std::string::npos) end = box.size();
        lines.push_back(box.substr(start, end - start));
        start = end + 2;
    }
    JsonWriter j;
    j.BeginObject().Key("file").String(file);
    // A page with LF line ends only is not read: the box holds a notice.
    const bool unixFile = box.rfind("Input file is a Unix/Linux file.", 0) == 0;
    j.Key("unix_file").Bool(unixFile);
    for (const Item& item : items) {
        j.Key(item.key);
        const std::string label = item.label;
        bool found = false;
        for (const std::string& line : lines) {
            if (line.rfind(label, 0) != 0) continue;
            j.Cp1252(line.substr(label.size()));
            found = true;
            break;
        }
        if (!found) j.Null();
    }
    j.EndObject();
    return j.Text() + "\n";
}

}  // namespace

int ShowCommand(const std::vector<std::string>& args) {
    std::string file;
    bool fileGiven = false, optionsEnded = false, json = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            std::fputs(HelpText().c_str(), stdout);
            return kExitOk;
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && arg == "--json") {
            json = true;
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
    const std::string out = json ? ShowJson(file, *box) : BoxForTerminal(*box);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

}  // namespace zelk::cli
