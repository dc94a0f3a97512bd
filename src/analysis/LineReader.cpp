#include "analysis/LineReader.h"

#include <cerrno>
#include <cstring>

namespace zelk {

namespace {
constexpr std::size_t kChunk = 1 << 16;
}

LineReader::~LineReader() { Close(); }

void LineReader::Close() {
    if (fs_ && file_ >= 0) fs_->Close(file_);
    file_ = -1;
    buf_.clear();
    pos_ = 0;
}

void LineReader::SetError(int err) {
    failed_ = true;
    errNumber_ = err == 0 ? EIO : err;
    errText_ = std::strerror(errNumber_);
}

bool LineReader::Open(const std::string& path, Ends ends, FileSystem& fs) {
    Close();
    fs_ = &fs;
    ends_ = ends;
    eof_ = false;
    failed_ = false;
    errNumber_ = 0;
    errText_.clear();
    FileSystem::SetLastError(0);
    file_ = path.empty() ? -1 : fs.OpenRead(path);
    if (file_ < 0) {
        SetError(path.empty() ? ENOENT : FileSystem::LastError());
        return false;
    }
    return true;
}

// Replaces the consumed buffer by the next chunk; false at the end of the
// file or on a failure.
bool LineReader::Fill() {
    if (file_ < 0 || eof_ || failed_) return false;
    buf_.resize(kChunk);
    FileSystem::SetLastError(0);
    const long long n = fs_->Read(file_, buf_.data(), kChunk);
    pos_ = 0;
    if (n < 0) {
        SetError(FileSystem::LastError());
        buf_.clear();
        return false;
    }
    buf_.resize(static_cast<std::size_t>(n));
    if (n == 0) eof_ = true;
    return n > 0;
}

bool LineReader::Next(std::string& line) {
    line.clear();
    if (file_ < 0 || failed_) return false;
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
