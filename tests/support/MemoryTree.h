// A file system held in memory for the tests: folders and files at absolute
// "/" paths, files or folders that cannot be read, and reads that fail past
// a chosen byte. Faults at any other step come from wrapping it in a
// FaultyFileSystem. Symbolic links are left to the tests on real folders.
#pragma once

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/FileSystem.h"

namespace zelk::testing {

class MemoryTree final : public FileSystem {
public:
    MemoryTree() { Put("/", false, ""); }

    // Missing parent folders are made. A locked file cannot be opened, a
    // locked folder cannot be listed.
    void AddFolder(const std::string& path, bool locked = false) { Put(path, false, "", locked); }
    void AddFile(const std::string& path, const std::string& text, bool locked = false) {
        Put(path, true, text, locked);
    }
    // The text of a file ("<missing>" when there is none).
    std::string Text(const std::string& path) const {
        const Node* n = Find(Normal(path));
        return n && n->file ? n->text : "<missing>";
    }
    // Every file's text by path: a whole tree to compare.
    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> out;
        for (const auto& [p, n] : nodes_)
            if (n->file) out[p] = n->text;
        return out;
    }
    // Handles opened and not yet closed.
    int OpenHandles() const { return static_cast<int>(open_.size()); }
    // A read that would go past this many bytes of a file fails (EIO).
    std::size_t failReadsAfter = static_cast<std::size_t>(-1);

    bool Stat(const std::string& path, FileStatus& out) override {
        const Node* n = Find(Normal(path));
        out = n ? StatusOf(*n) : FileStatus{};
        return true;
    }
    std::string ResolvePath(const std::string& path) override { return Normal(path); }
    Handle OpenRead(const std::string& path) override {
        const auto it = nodes_.find(Normal(path));
        if (it == nodes_.end()) return Err(ENOENT), -1;
        if (!it->second->file || it->second->unreadable) return Err(EACCES), -1;
        open_[next_] = Open{it->second, 0};
        return next_++;
    }
    Handle OpenNoFollow(const std::string& path) override { return OpenRead(path); }
    // An open file stays what it was, also once renamed or removed.
    bool StatHandle(Handle h, FileStatus& out) override {
        out = StatusOf(*open_.at(h).node);
        return true;
    }
    long long Read(Handle h, char* buf, std::size_t size) override {
        Open& o = open_.at(h);
        const std::size_t n = o.node->text.copy(buf, size, o.pos);
        if (n > 0 && o.pos + n > failReadsAfter) return Err(EIO), -1;
        o.pos += n;
        return static_cast<long long>(n);
    }
    bool Write(Handle h, const char* data, std::size_t size) override {
        open_.at(h).node->text.append(data, size);
        return true;
    }
    Handle CreateExclusive(const std::string& path, uint32_t) override {
        if (Find(Normal(path))) return Err(EEXIST), -1;
        open_[next_] = Open{Put(path, true, ""), 0};
        return next_++;
    }
    bool Close(Handle h) override { return open_.erase(h) > 0 || Err(EBADF); }
    bool Rename(const std::string& from, const std::string& to) override {
        auto moved = nodes_.extract(Normal(from));
        if (moved.empty()) return Err(ENOENT);
        nodes_[Normal(to)] = moved.mapped();
        return true;
    }
    bool Remove(const std::string& path) override {
        return nodes_.erase(Normal(path)) > 0 || Err(ENOENT);
    }
    bool ListFolder(const std::string& folder, std::vector<FolderEntry>& out) override {
        out.clear();
        const std::string f = Normal(folder);
        if (const Node* d = Find(f); !d || d->file || d->unreadable) return Err(EACCES);
        const std::string prefix = f == "/" ? f : f + "/";
        for (const auto& [p, n] : nodes_)
            if (p.size() > prefix.size() && p.starts_with(prefix) &&
                p.find('/', prefix.size()) == std::string::npos)
                out.push_back({p.substr(prefix.size()), KindOf(*n)});
        return true;
    }
    bool Identify(const std::string& path, FileIdentity& out) override {
        const Node* n = Find(Normal(path));
        out = n ? FileIdentity{KindOf(*n), FileKey{0, n->inode}, Size(*n)} : FileIdentity{};
        return true;
    }
    // Nothing to do in memory: modes, flushes, locks and attributes.
    bool SetMode(Handle, uint32_t, uint32_t, uint32_t) override { return true; }
    bool Sync(Handle) override { return true; }
    void SyncFolder(const std::string&) override {}
    bool Lock(Handle) override { return true; }
    bool ListAttributes(Handle, std::vector<std::string>&) override { return Err(ENOTSUP); }
    bool GetAttribute(Handle, const std::string&, std::string&) override { return false; }
    bool SetAttribute(Handle, const std::string&, const std::string&) override { return true; }
    bool CanWrite(const std::string&) override { return true; }

private:
    struct Node {
        bool file;  // else a folder
        std::string text;
        uint64_t inode;
        bool unreadable;
    };
    struct Open {
        std::shared_ptr<Node> node;
        std::size_t pos;
    };

    static bool Err(int err) {
        SetLastError(err);
        return false;
    }
    static EntryKind KindOf(const Node& n) { return n.file ? EntryKind::File : EntryKind::Folder; }
    static long long Size(const Node& n) { return static_cast<long long>(n.text.size()); }
    static FileStatus StatusOf(const Node& n) {
        FileStatus s{.exists = true, .regular = n.file, .directory = !n.file, .inode = n.inode};
        s.links = 1;
        s.size = Size(n);
        return s;
    }
    static std::string Normal(std::string p) {
        while (p.size() > 1 && p.back() == '/') p.pop_back();
        for (std::size_t i; (i = p.find("//")) != std::string::npos;) p.erase(i, 1);
        return p;
    }
    Node* Find(const std::string& p) const {
        const auto it = nodes_.find(p);
        return it == nodes_.end() ? nullptr : it->second.get();
    }
    std::shared_ptr<Node> Put(const std::string& path, bool file, const std::string& text,
                              bool unreadable = false) {
        const std::string p = Normal(path);
        const std::string parent = p.substr(0, std::max<std::size_t>(p.rfind('/'), 1));
        if (p != "/" && !Find(parent)) Put(parent, false, "");
        return nodes_[p] = std::make_shared<Node>(Node{file, text, ++inodes_, unreadable});
    }

    std::map<std::string, std::shared_ptr<Node>> nodes_;
    std::map<Handle, Open> open_;
    Handle next_ = 3;
    uint64_t inodes_ = 0;
};

}  // namespace zelk::testing
