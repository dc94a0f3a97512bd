// The one way a user's file is rewritten (a page by the insertion, the
// settings file by the window): read through one descriptor, write a
// working file beside it, and put that in its place only when nothing else
// has touched either name meanwhile. Whatever goes wrong, the file is left
// exactly as it was and the working file is gone.
#pragma once

#include <string>
#include <string_view>

#include "common/FileSystem.h"

namespace zelk {

// Reads the whole file at path (following links). On failure returns false
// with the errno-style reason in err.
bool ReadWholeFile(FileSystem& fs, const std::string& path, std::string& out, int& err);

// A file's bytes as one read gave them, with the status of the open file
// taken before the read.
struct FileSnapshot {
    std::string bytes;
    FileStatus status;
    // The bytes are the whole file its status describes (not so when the
    // file grew while it was read).
    bool Whole() const { return static_cast<long long>(bytes.size()) == status.size; }
};

// Reads the whole file at path (following links) in one go; false with the
// errno-style reason in err.
bool ReadSnapshot(FileSystem& fs, const std::string& path, FileSnapshot& out, int& err);

// The test a rewrite makes before it puts its text in place: the same file
// (device and inode), with the same size and modification time.
bool SameFileState(const FileStatus& a, const FileStatus& b);

class SafeRewrite {
public:
    enum class Opened { Ok, Missing, Failed };

    explicit SafeRewrite(FileSystem& fs) : fs_(fs) {}
    ~SafeRewrite();
    SafeRewrite(const SafeRewrite&) = delete;
    SafeRewrite& operator=(const SafeRewrite&) = delete;

    // Resolves path (a link to its target, once), opens the target without
    // following links, checks that it is a regular file, locks it against a
    // second rewrite and reads it. Missing: nothing, or no regular file,
    // stands at path. With createWhenMissing a missing file is Ok with an
    // empty text and is created by Replace. earlier: the bytes of an
    // earlier read of this file (SafeRewrite may move them out); when the
    // opened file is still in the state they were read in, they are taken
    // instead of reading the file again. named: the status of path
    // (FileSystem::Stat) its caller has just taken, with nothing done at
    // path since, so that the name is not looked up twice in a row.
    Opened Open(const std::string& path, bool createWhenMissing = false,
                FileSnapshot* earlier = nullptr, const FileStatus* named = nullptr);

    // Open took the bytes of the earlier read.
    bool TookEarlier() const { return tookEarlier_; }
    // The file actually rewritten (path with its link resolved).
    const std::string& Target() const { return target_; }
    // The bytes read by Open; the caller may move them out or release them,
    // but not change them: while they stand whole, Replace tells the file
    // system that they are what its text replaces.
    std::string& Text() { return text_; }
    const FileStatus& Status() const { return status_; }

    // Writes text to workingPath (whatever stood at that name is removed
    // first, as a name) and renames it over Target(), keeping the permission
    // bits, owner (where allowed) and extended attributes (where supported).
    // False, with the file untouched and the working file removed, on any
    // failure or when the file was changed since Open.
    bool Replace(const std::string& workingPath, std::string text);

    // Why Open or Replace failed: the system's text ("No space left on
    // device") or one of ours ("the file was changed by another program").
    const std::string& Failure() const { return failure_; }

private:
    bool Fail(const std::string& why);
    bool FailWithSystemReason();
    bool StillTheSameFile();
    bool CopyAttributes(FileSystem::Handle to);
    void DropWorkingFile();

    FileSystem& fs_;
    std::string target_;
    std::string text_;
    FileStatus status_;
    bool isNew_ = false;
    bool tookEarlier_ = false;
    FileSystem::Handle page_ = -1;
    FileSystem::Handle work_ = -1;
    FileStatus workStatus_;
    std::string workPath_;
    std::string failure_;
};

}  // namespace zelk
