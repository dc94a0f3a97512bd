#include "batch/PageFacts.h"

#include "analysis/TextContent.h"
#include "batch/ExistingMetaTags.h"
#include "common/Settings.h"

namespace zelk {

void ReadPageFacts(FileSystem& fs, const std::string& path, const Settings& settings,
                   PageFacts& out) {
    out.readError = 0;
    out.read = ReadSnapshot(fs, path, out.page, out.readError);
    if (out.read) {
        ExaminePage(path, settings, out);
    } else {
        out.page.bytes.clear();
        out.hasHead = out.hasHeadEnd = out.keepViewport = out.keepKeywords = false;
        out.oldKeywordsTag.clear();
        out.oldViewportTag.clear();
        out.test = TextFileTest{};
    }
}

void ExaminePage(const std::string& path, const Settings& settings, PageFacts& out) {
    const std::string_view bytes = out.page.bytes;
    out.keepViewport = settings.InsertVPMT == 1 && settings.PreserveExistingVPMT == 1 &&
                       HasMetaTag(bytes, "viewport");
    out.keepKeywords = settings.InsertKWMT == 1 && settings.PreserveExistingKWMT == 1 &&
                       HasMetaTag(bytes, "keywords");
    out.hasHead = LinesHold(bytes, "<head", 100);
    out.hasHeadEnd = out.hasHead && LinesHold(bytes, "</head", 100);
    out.test = TextFileTest{};
    if (out.hasHeadEnd) {
        GetExistingMetaTags(bytes, out.oldKeywordsTag, out.oldViewportTag);
        out.test = IsTextContent(bytes, path, kTextTestBytes, kTextTestThreshold, true);
    } else {
        out.oldKeywordsTag.clear();
        out.oldViewportTag.clear();
    }
}

bool PreservedWhole(const Settings& settings, const PageFacts& facts) {
    const bool vp = settings.InsertVPMT == 1, kw = settings.InsertKWMT == 1;
    if (vp && kw) return facts.keepViewport && facts.keepKeywords;
    if (vp) return facts.keepViewport;
    if (kw) return facts.keepKeywords;
    return false;
}

}  // namespace zelk
