// A file system that reads through to another and keeps every write in
// memory: the pages a dry run rewrites stay byte for byte as they were, and
// later reads in the same run see the rewritten text (also through another
// path to the same page). Removals are remembered, not done. A rewritten
// page is kept as the part that differs from the file outside, so that a
// dry run over a large site does not hold the whole site in memory; when
// that file is changed by another program meanwhile, the change stands
// and the page is forgotten, as a real run would read that change too.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "common/BriefMutex.h"
#include "common/FileSystem.h"

namespace zelk {

class DryRunFileSystem final : public FileSystem {
public:
    explicit DryRunFileSystem(FileSystem& inner);

    bool Stat(const std::string& path, FileStatus& out) override;
    std::string ResolvePath(const std::string& path) override;
    Handle OpenRead(const std::string& path) override;
    long long Read(Handle h, char* buf, std::size_t size) override;
    bool Write(Handle h, const char* data, std::size_t size) override;
    bool WriteAll(Handle h, std::string&& text, const std::string* replacing) override;
    bool SetMode(Handle h, uint32_t mode, uint32_t uid, uint32_t gid) override;
    bool Sync(Handle h) override;
    bool Close(Handle h) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override;
    void SyncFolder(const std::string& folder) override;
    Handle OpenNoFollow(const std::string& path) override;
    bool StatHandle(Handle h, FileStatus& out) override;
    bool Lock(Handle h) override;
    Handle CreateExclusive(const std::string& path, uint32_t mode) override;
    bool ListAttributes(Handle h, std::vector<std::string>& names) override;
    bool GetAttribute(Handle h, const std::string& name, std::string& value) override;
    bool SetAttribute(Handle h, const std::string& name, const std::string& value) override;
    bool CanWrite(const std::string& path) override;
    bool ListFolder(const std::string& folder, std::vector<FolderEntry>& out) override;
    bool Identify(const std::string& path, FileIdentity& out) override;

private:
    // Handles of this file system lie above every descriptor the inner one
    // hands out.
    static constexpr Handle kFirstHandle = 1 << 28;
    // A page rewritten in memory and how many times it was. When based,
    // it is the bytes of the file outside (as base describes it) with those
    // between the first prefix and the last suffix of them replaced by
    // text; otherwise text is the whole page.
    struct Page {
        std::shared_ptr<const std::string> text;
        long long version = 0;
        bool based = false;
        std::size_t prefix = 0;
        std::size_t suffix = 0;
        FileStatus base;  // the file outside when the page was kept; exists false: none
        std::size_t size = 0;
    };
    // A working file, written in memory and not yet renamed: the pieces as
    // written, joined once it is read or renamed (a string grown piece by
    // piece would be copied and reallocated over and over for a large page).
    struct Scratch {
        std::vector<std::string> pieces;
        std::size_t size = 0;
        uint64_t inode = 0;
        // Written whole by WriteAll over bytes of baseSize: how many of
        // them it begins and ends with.
        bool differs = false;
        std::size_t prefix = 0;
        std::size_t suffix = 0;
        std::size_t baseSize = 0;
        std::string Text() &&;
    };
    struct Open {
        std::string key;       // reading an overlay page: its key
        std::string path;      // writing a working file: its name
        std::shared_ptr<const std::string> text;
        std::size_t pos = 0;
    };
    bool Ours(Handle h) const { return h >= kFirstHandle; }
    // The page a path leads to: its resolved path, or the path as given
    // when it does not exist outside this file system.
    std::string KeyOf(const std::string& path);
    // KeyOf(path) for a path whose status outside (lstat-like) is named:
    // the name is joined to its folder resolved once for the run, unless
    // the name itself is a link. False when the key cannot be told this
    // way (the folder cannot be resolved).
    bool KeyFromFolder(const std::string& path, const FileStatus& named, std::string& key);
    // The folder with every symbolic link resolved, remembered for the run:
    // the folders of a tree are many fewer than its pages.
    const std::string& ResolvedFolder(const std::string& folder);
    // KeyOf(path) when the path may lead to a page or a removed file; false
    // when it cannot: its file is none of theirs (which a stat tells
    // without resolving every folder of the path).
    // seen: the file's identity outside, when that was what told.
    bool TrackedKey(const std::string& path, std::string& key, FileIdentity* seen = nullptr);
    // The key of path (KeyOf), recording the file behind it as one that
    // may be a page or a removed file from now on; seen (when given): its
    // status outside, exists false when it could not be told.
    std::string TrackKey(const std::string& path, FileStatus* seen = nullptr);
    // The status of path outside (Stat of the inner file system); with
    // mayReuse, the latest look of this thread when it was at this path.
    bool LookOutside(const std::string& path, FileStatus& out, bool mayReuse);
    // Another look outside: the latest status is no longer the latest.
    void LookedElsewhere();
    Handle OpenPage(const std::string& path, bool noFollow);
    // Opens path outside and, when the file opened is none of the pages or
    // removed files, hands out that handle with the status it was told by
    // (false, with h = -1, when the caller must look further).
    bool OpenOutside(const std::string& path, bool noFollow, Handle& h);
    // The status of the page at key (when there is one): that of the file
    // outside with the page's size and a time moved on by each rewrite. A
    // page whose file outside changed since it was kept is dropped here.
    bool PageStatus(const std::string& key, FileStatus& out);
    // Keeps text as the page at key, as far as it can as a difference from
    // the file outside.
    void KeepPage(const std::string& key, std::string&& text, Page& page);
    // Keeps text as the page, over the file outside (whose status is
    // outside) that it begins and ends with prefix and suffix bytes of.
    void KeepDifference(const std::string& text, std::size_t prefix, std::size_t suffix,
                        const FileStatus& outside, Page& page);
    // The whole text of a page; null when the file outside changed since
    // the page was kept (or cannot be read): the page no longer stands.
    std::shared_ptr<const std::string> PageText(const std::string& key, const Page& page);
    void ScratchStatus(const Scratch& s, FileStatus& out) const;

    FileSystem& inner_;
    const uint64_t id_;  // tells this file system's thread-local looks from others'
    BriefMutex mutex_;
    std::map<std::string, Page> pages_;       // by KeyOf
    std::map<std::string, Scratch> scratch_;  // by name
    std::set<std::string> removed_;           // by KeyOf
    std::set<FileKey> tracked_;               // the files behind those keys
    bool resolveAlways_ = false;              // a key tracked_ cannot stand for
    std::map<std::string, std::string> folders_;  // ResolvedFolder, "" when it failed
    std::map<Handle, Open> open_;
    Handle next_ = kFirstHandle;
    uint64_t nextInode_ = 1;
};

}  // namespace zelk
