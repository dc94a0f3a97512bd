#include "analysis/LineReader.h"

#include <cerrno>
#include <cstring>

namespace zelk {

namespace {
constexpr std::size_t kChunk = 1 << 16;
}

LineReader::~LineReader() { Close(); }

void LineReader::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    buf_.clear();
    pos_ = 0;
}

void LineReader::SetError(int err) {
    failed_ = true;
    errNumber_ = err == 0 ? EIO : err;
    errText_ = std::strerror(errNumber_);
}

bool LineReader::Open(const std::string& path, Ends ends) {
    Close();
    ends_ = ends;
    eof_ = false;
    failed_ = false;
    errNumber_ = 0;
    errText_.clear();
    errno = 0;
    file_ = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (!file_) {
        SetError(path.empty() ? ENOENT : errno);
        return false;
    }
    return true;
}

// Replaces the consumed buffer by the next chunk; false at the end of the
// file or on a failure.
bool LineReader::Fill() {
    if (!file_ || eof_ || failed_) return false;
    buf_.resize(kChunk);
    std::size_t n = std::fread(buf_.data(), 1, kChunk, file_);
    buf_.resize(n);
    pos_ = 0;
    if (n < kChunk) {
        if (std::ferror(file_)) {
            SetError(errno);
            buf_.clear();
            return false;
        }
        eof_ = true;
    }
    return n > 0;
}

bool LineReader::Next(std::string& line) {
    line.clear();
    if (!file_ || failed_) return false;
    const char term = ends_ == Ends::LfOnly ? '\n' : '\r';
    while (true) {
        if (pos_ >= buf_.size() && !Fill()) {
            if (failed_) {
                line.clear();
                return false;
            }
            // A last line without terminator counts when it holds anything.
            return !line.empty();
        }
        const char* start = buf_.data() + pos_;
        std::size_t avail = buf_.size() - pos_;
        const void* hit = std::memchr(start, term, avail);
        if (!hit) {
            line.append(start, avail);
            pos_ = buf_.size();
            continue;
        }
        std::size_t len = static_cast<std::size_t>(static_cast<const char*>(hit) - start);
        line.append(start, len);
        pos_ += len + 1;
        if (term == '\r') {
            // CR LF is one terminator, also when the LF opens the next chunk.
            if (pos_ >= buf_.size()) Fill();
            if (failed_) {
                line.clear();
                return false;
            }
            if (pos_ < buf_.size() && buf_[pos_] == '\n') ++pos_;
        }
        return true;
    }
}

}  // namespace zelk
