// A document read in one go and handed out line by line, each line already
// prepared for the scanner: trimmed, LF made blank in a Unix-type file,
// UTF-8 cleaned up, markup codes and entities in place, one leading blank.
//
// The buffers are kept from document to document, and every step works in
// place: a loaded document of one long line (LF line ends) is held once, and
// its line takes over the document's buffer instead of being copied out of
// it. A document the caller already holds is read where it stands.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/FileSystem.h"

namespace zelk {

class DocumentLines {
public:
    // Reads the whole file; false with an errno-style number when it cannot
    // be read.
    bool Load(FileSystem& fs, const std::string& path, int& err);
    // Reads a document the caller holds, without a copy: its bytes must
    // stay as they are until the last line has been taken.
    void View(std::string_view bytes);
    // The document's bytes (valid until the first call of Next).
    std::string_view Bytes() const { return src_; }
    // Puts the next non-empty prepared line into line (whose old buffer may
    // be kept for later use); false after the last one.
    bool Next(std::string& line, int16_t verdict, bool utf8);
    // Gives a large buffer back to the system after a large document.
    void Trim();

private:
    std::string doc_;       // a loaded document; doc_[0] is spare room for the leading blank
    std::string_view src_;  // the document: doc_ behind its spare byte, or the caller's bytes
    bool own_ = false;      // src_ lies in doc_
    std::size_t pos_ = 0;   // start of the next line in src_
};

}  // namespace zelk
