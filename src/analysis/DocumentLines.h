// A document read in one go and handed out line by line, each line already
// prepared for the scanner: trimmed, LF made blank in a Unix-type file,
// UTF-8 cleaned up, markup codes and entities in place, one leading blank.
//
// The buffers are kept from document to document, and every step works in
// place: a document of one long line (LF line ends) is held once, and its
// line takes over the document's buffer instead of being copied out of it.
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
    // Takes a copy of a document already read.
    void Assign(std::string_view bytes);
    // The document's bytes (valid until the first call of Next).
    std::string_view Bytes() const;
    // Puts the next non-empty prepared line into line (whose old buffer may
    // be kept for later use); false after the last one.
    bool Next(std::string& line, int16_t verdict, bool utf8);
    // Gives a large buffer back to the system after a large document.
    void Trim();

private:
    std::string doc_;      // doc_[0] is spare room for the leading blank
    std::size_t pos_ = 1;  // start of the next line in doc_
};

}  // namespace zelk
