// The report log: the text the report window shows. Insertions, batch runs
// and the scanner's end-font warning write to it through ReportLine; the
// window (or zelk-cli, or a test) listens for what is appended.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace zelk {

class ReportLog {
public:
    static constexpr std::size_t kMaxChars = 65000;

    // Appends one logged line (see the .cpp for the short form of the last tag).
    void ReportLine(const std::string& text, bool indent = false);
    // Plain text appended as it stands ("That's all.", the top folder line ...),
    // also once the box is full.
    void Append(const std::string& text);
    // The Generate command starts every operation with an empty, non-full log.
    void Clear();

    const std::string& Text() const { return text_; }
    bool IsFull() const { return blnTextboxIsfull_; }

    // The text box's limit; zelk-cli prints the report whole (no limit).
    std::size_t maxChars = kMaxChars;

    // The tag written by the latest replacement or insertion.
    std::string LastInsertedTag;
    // The main window's viewport tag text, read when a line is logged.
    std::function<std::string()> viewportText;
    // Called with every piece of text appended (CR LF line ends).
    std::function<void(const std::string&)> onAppend;
    // Called after Clear().
    std::function<void()> onClear;

private:
    void AppendRaw(const std::string& s);
    std::string text_;
    bool blnTextboxIsfull_ = false;
};

}  // namespace zelk
