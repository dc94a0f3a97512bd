// Streaming reader of text lines through the file-system seam. Memory stays
// proportional to the longest line: the file is read in chunks and only the
// current line is kept.
#pragma once

#include <string>

#include "common/FileSystem.h"

namespace zelk {

class LineReader {
public:
    // CrOrCrLf: a line ends at CR LF or at a lone CR; a lone LF is part of the
    // line (a file with LF line ends arrives as one line holding LF bytes).
    // LfOnly: a line ends at LF (documents that use nothing but LF).
    // In both modes a file that ends with its terminator gives no extra empty
    // line, and a last line without terminator is returned when non-empty.
    enum class Ends { CrOrCrLf, LfOnly };

    LineReader() = default;
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // False when the file cannot be opened (Failed() is then true too).
    bool Open(const std::string& path, Ends ends = Ends::CrOrCrLf,
              FileSystem& fs = RealFileSystem());
    // Next line without its terminator; false at the end of the file or on a
    // read failure (tell them apart with Failed()).
    bool Next(std::string& line);
    bool Failed() const { return failed_; }
    // errno-style number and description of the failure, 0 / "" when none.
    int ErrorNumber() const { return errNumber_; }
    const std::string& ErrorText() const { return errText_; }
    void Close();

private:
    bool Fill();
    void SetError(int err);

    FileSystem* fs_ = nullptr;
    FileSystem::Handle file_ = -1;
    Ends ends_ = Ends::CrOrCrLf;
    std::string buf_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    int errNumber_ = 0;
    std::string errText_;
};

}  // namespace zelk
