#include "common/SafeWrite.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

namespace zelk {

namespace {

constexpr std::size_t kChunk = 1 << 16;

std::string FolderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Reads an open file to its end into out. The size the file had when it
// was opened is read into one buffer of that size: growing a string as it
// fills would briefly hold the page twice over.
bool ReadToEnd(FileSystem& fs, FileSystem::Handle h, long long sizeHint, std::string& out) {
    out.clear();
    std::size_t filled = 0;
    if (sizeHint > 0) {
        out.resize(static_cast<std::size_t>(sizeHint));
        while (filled < out.size()) {
            long long got = fs.Read(h, out.data() + filled, out.size() - filled);
            if (got < 0) return false;
            if (got == 0) break;
            filled += static_cast<std::size_t>(got);
        }
        out.resize(filled);
    }
    // Whatever else there is: a file that grew meanwhile, or one whose size
    // was not known.
    std::string chunk(kChunk, '\0');
    for (;;) {
        long long got = fs.Read(h, chunk.data(), chunk.size());
        if (got < 0) return false;
        if (got == 0) return true;
        out.append(chunk.data(), static_cast<std::size_t>(got));
    }
}

// Attribute failures that only mean "not here": a file system without them,
// or one this process may not set (another user's security label).
bool AttributeNotApplicable(int err) {
    return err == ENOTSUP || err == EOPNOTSUPP || err == EPERM || err == EACCES || err == ENODATA;
}

}  // namespace

bool ReadWholeFile(FileSystem& fs, const std::string& path, std::string& out, int& err) {
    out.clear();
    err = 0;
    FileSystem::Handle h = fs.OpenRead(path);
    if (h < 0) {
        err = FileSystem::LastError();
        return false;
    }
    FileStatus st;
    bool ok = fs.StatHandle(h, st);
    if (ok && st.directory) {
        FileSystem::SetLastError(EISDIR);
        ok = false;
    }
    if (ok) ok = ReadToEnd(fs, h, st.size, out);
    if (!ok) err = FileSystem::LastError();
    if (!fs.Close(h) && ok) {
        ok = false;
        err = FileSystem::LastError();
    }
    if (!ok) out.clear();
    return ok;
}

bool ReadSnapshot(FileSystem& fs, const std::string& path, FileSnapshot& out, int& err) {
    return fs.ReadFile(path, out.bytes, 0, SIZE_MAX, err, out.status);
}

bool SameFileState(const FileStatus& a, const FileStatus& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.mtimeNs == b.mtimeNs;
}

SafeRewrite::~SafeRewrite() {
    DropWorkingFile();
    if (page_ >= 0) fs_.Close(page_);  // also releases the lock
}

bool SafeRewrite::Fail(const std::string& why) {
    failure_ = why;
    DropWorkingFile();
    return false;
}

bool SafeRewrite::FailWithSystemReason() { return Fail(ErrorText(FileSystem::LastError())); }

SafeRewrite::Opened SafeRewrite::Open(const std::string& path, bool createWhenMissing,
                                      FileSnapshot* earlier, const FileStatus* justTaken) {
    FileStatus named;
    if (justTaken) {
        named = *justTaken;
    } else if (!fs_.Stat(path, named)) {
        FailWithSystemReason();
        return Opened::Failed;
    }
    if (!named.exists) {
        // A dangling link is not a file this program may create.
        if (!createWhenMissing || named.isSymlink) return Opened::Missing;
        target_ = path;
        isNew_ = true;
        return Opened::Ok;
    }
    if (!named.regular) return Opened::Missing;
    // A linked file is rewritten where the link points, so the link itself
    // stays; from here on only the resolved name is used, and it must not
    // turn into a link: a link swapped in later would be refused by the
    // open below or by the checks before the rename.
    target_ = path;
    if (named.isSymlink) {
        target_ = fs_.ResolvePath(path);
        if (target_.empty()) {
            FailWithSystemReason();
            return Opened::Failed;
        }
    }
    page_ = fs_.OpenNoFollow(target_);
    if (page_ < 0) {
        FailWithSystemReason();
        return Opened::Failed;
    }
    if (!fs_.StatHandle(page_, status_)) {
        FailWithSystemReason();
        return Opened::Failed;
    }
    if (!status_.regular) return Opened::Missing;
    if (!fs_.Lock(page_)) {
        const int err = FileSystem::LastError();
        if (err == EWOULDBLOCK || err == EAGAIN)
            Fail("another program is rewriting the file");
        else
            FailWithSystemReason();
        return Opened::Failed;
    }
    // A rewrite that finished while this one waited for the lock has put
    // a new file at the name; this one must not work on the old one.
    if (!StillTheSameFile()) return Opened::Failed;
    if (earlier && earlier->Whole() && SameFileState(earlier->status, status_)) {
        text_.swap(earlier->bytes);
        tookEarlier_ = true;
        return Opened::Ok;
    }
    if (!ReadToEnd(fs_, page_, status_.size, text_)) {
        FailWithSystemReason();
        text_ = std::string();
        return Opened::Failed;
    }
    return Opened::Ok;
}

bool SafeRewrite::StillTheSameFile() {
    FileStatus named;
    if (!fs_.Stat(target_, named)) return FailWithSystemReason();
    if (isNew_) {
        if (named.exists || named.isSymlink) return Fail("the file was created by another program");
        return true;
    }
    FileStatus now;
    if (!fs_.StatHandle(page_, now)) return FailWithSystemReason();
    if (named.isSymlink || !named.exists || named.device != status_.device ||
        named.inode != status_.inode || now.size != status_.size ||
        now.mtimeNs != status_.mtimeNs)
        return Fail("the file was changed by another program");
    return true;
}

bool SafeRewrite::CopyAttributes(FileSystem::Handle to) {
    if (isNew_) return true;
    std::vector<std::string> names;
    if (!fs_.ListAttributes(page_, names)) {
        return AttributeNotApplicable(FileSystem::LastError()) || FailWithSystemReason();
    }
    std::string value;
    for (const std::string& name : names) {
        if (!fs_.GetAttribute(page_, name, value) || !fs_.SetAttribute(to, name, value)) {
            if (!AttributeNotApplicable(FileSystem::LastError())) return FailWithSystemReason();
        }
    }
    return true;
}

void SafeRewrite::DropWorkingFile() {
    if (work_ < 0) return;
    fs_.Close(work_);
    work_ = -1;
    // Only the file this rewrite created is removed: if another program has
    // put something else at the name meanwhile, that stays.
    FileStatus named;
    if (fs_.Stat(workPath_, named) && named.exists && !named.isSymlink &&
        named.device == workStatus_.device && named.inode == workStatus_.inode)
        fs_.Remove(workPath_);
}

bool SafeRewrite::Replace(const std::string& workingPath, std::string text) {
    failure_.clear();
    if (target_.empty()) return Fail("the file was not opened");
    // Whatever stands at the working file's name (a leftover, or a link, a
    // FIFO or another file's hard link put there by someone else) is removed
    // as a name, never opened, followed or truncated.
    if (!fs_.Remove(workingPath)) {
        const int err = FileSystem::LastError();
        if (err == EISDIR || err == EPERM) {
            FileStatus st;
            if (fs_.Stat(workingPath, st) && st.directory && !st.isSymlink)
                return Fail("a folder has the name of the working file");
        }
        if (err != ENOENT) return FailWithSystemReason();
    }
    work_ = fs_.CreateExclusive(workingPath, 0600);
    if (work_ < 0) return FailWithSystemReason();
    workPath_ = workingPath;
    if (!fs_.StatHandle(work_, workStatus_)) {
        // Without its identity the file cannot be told from another one, so
        // it is not removed by name.
        fs_.Close(work_);
        work_ = -1;
        return FailWithSystemReason();
    }
    if (!workStatus_.regular || workStatus_.links != 1)
        return Fail("the working file was replaced by another program");

    // Written in pieces (by WriteAll) so that a slow or interrupted disk
    // shows up as a partial working file, never as a partial document.
    const bool oldTextWhole = !isNew_ && static_cast<long long>(text_.size()) == status_.size;
    if (!fs_.WriteAll(work_, std::move(text), oldTextWhole ? &text_ : nullptr))
        return FailWithSystemReason();
    if (!isNew_ && !fs_.SetMode(work_, status_.mode, status_.uid, status_.gid))
        return FailWithSystemReason();
    if (!CopyAttributes(work_)) return false;
    if (!fs_.Sync(work_)) return FailWithSystemReason();

    // The last look before the rename: the file is the one read, unchanged,
    // and the working name still holds the working file.
    if (!StillTheSameFile()) return false;
    FileStatus named;
    if (!fs_.Stat(workingPath, named)) return FailWithSystemReason();
    if (!named.exists || named.isSymlink || named.device != workStatus_.device ||
        named.inode != workStatus_.inode)
        return Fail("the working file was replaced by another program");

    const bool closed = fs_.Close(work_);
    const int closeErr = FileSystem::LastError();
    work_ = -1;
    if (!closed) {
        FileSystem::SetLastError(closeErr);
        fs_.Remove(workingPath);
        return FailWithSystemReason();
    }
    if (!fs_.Rename(workingPath, target_)) {
        const int err = FileSystem::LastError();
        fs_.Remove(workingPath);
        FileSystem::SetLastError(err);
        return FailWithSystemReason();
    }
    fs_.SyncFolder(FolderOf(target_));
    return true;
}

}  // namespace zelk
