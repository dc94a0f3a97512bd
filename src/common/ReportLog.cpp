#include "common/ReportLog.h"

#include "common/StrProc.h"

namespace zelk {

void ReportLog::AppendRaw(const std::string& s) {
    if (s.empty()) return;
    text_ += s;
    if (onAppend) onAppend(s);
}

void ReportLog::Append(const std::string& text) {
    // Not held by the full box: only logged lines are. The run's closing
    // line ("That's all.", "Operation stopped.") must still say how it ended.
    AppendRaw(text);
}

void ReportLog::Clear() {
    text_.clear();
    blnTextboxIsfull_ = false;
    if (onClear) onClear();
}

void ReportLog::ReportLine(const std::string& textIn, bool indent) {
    if (blnTextboxIsfull_) return;
    std::string line = indent ? "  " + textIn : textIn;
    const std::string vp = viewportText ? viewportText() : std::string();
    if (LastInsertedTag.empty()) {
        line += CRLF;
    } else if (LastInsertedTag == vp) {
        line += " As given.";
        line += CRLF;
    } else {
        // A short form of the tag: its first 21 characters, then the 27 that
        // start at the first double quote from character 22 on (the opening
        // quote of the content value for a tag this program writes).
        line += CRLF;
        line += "  ";
        line += Left(LastInsertedTag, 21);
        line += " ... ";
        long q = InStr(22, LastInsertedTag, "\"");
        if (q > 0) {
            line += Mid(LastInsertedTag, q, 27);
            line += CRLF;
        }
    }
    AppendRaw(line);
    if (text_.size() > maxChars) {
        AppendRaw(std::string(CRLF) + std::string(CRLF) + "Textbox is full." + std::string(CRLF));
        blnTextboxIsfull_ = true;
    }
}

}  // namespace zelk
