// A file system that reads through to another and keeps every write in
// memory: the pages a dry run rewrites stay byte for byte as they were, and
// later reads in the same run see the rewritten text (also through another
// path to the same page). Deletions are remembered, not done.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "common/FileSystem.h"

namespace zelk {

class DryRunFileSystem final : public FileSystem {
public:
    explicit DryRunFileSystem(FileSystem& inner) : inner_(inner) {}

    bool Stat(const std::string& path, FileStatus& out) override;
    std::string ResolvePath(const std::string& path) override;
    Handle OpenRead(const std::string& path) override;
    long long Read(Handle h, char* buf, std::size_t size) override;
    Handle OpenWrite(const std::string& path, uint32_t mode) override;
    bool Write(Handle h, const char* data, std::size_t size) override;
    bool SetMode(Handle h, uint32_t mode, uint32_t uid, uint32_t gid) override;
    bool Sync(Handle h) override;
    bool Close(Handle h) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override;
    void SyncFolder(const std::string& folder) override;
    bool ListFolder(const std::string& folder, std::vector<FolderEntry>& out) override;
    bool Identify(const std::string& path, FileIdentity& out) override;

    // The text a page would have now ("" and false when it was not rewritten).
    bool RewrittenText(const std::string& path, std::string& out);

private:
    // Handles of this file system lie above every descriptor the inner one
    // can hand out.
    static constexpr Handle kFirstHandle = 1 << 28;
    struct Open {
        std::string path;  // the file being written ("" when reading)
        std::shared_ptr<const std::string> text;  // what is read
        std::string written;
        std::size_t pos = 0;
    };
    bool Ours(Handle h) const { return h >= kFirstHandle; }
    // The page a path leads to: its resolved path, or the path as given
    // when it does not exist outside this file system.
    std::string KeyOf(const std::string& path);

    FileSystem& inner_;
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const std::string>> pages_;  // by KeyOf
    std::map<std::string, std::string> scratch_;  // written, not yet renamed (by path)
    std::set<std::string> removed_;                 // by KeyOf
    std::map<Handle, Open> open_;
    Handle next_ = kFirstHandle;
};

}  // namespace zelk
