// vpmt: the validity code of a viewport meta tag text.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "insertion/Viewport.h"

namespace zelk::cli {

int VpmtCommand(const std::vector<std::string>& args) {
    std::vector<std::string> texts;
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(HelpText().c_str(), stdout);
            return kExitOk;
        }
        texts.push_back(a);
    }
    if (texts.size() != 1) {
        UsageError(texts.empty() ? "vpmt: TEXT is missing" : "vpmt: more than one TEXT given");
        return kExitUsage;
    }
    std::string tag = ArgToCp1252(texts[0]);
    int16_t validity = 0;
    VPMTvalid(tag, validity);
    std::printf("%d\n", static_cast<int>(validity));
    return kExitOk;
}

}  // namespace zelk::cli
