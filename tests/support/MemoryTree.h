// A file system tree in memory for the batch tests: folders, files and symbolic
// links at absolute "/" paths, and files or folders that cannot be read.
// Faults are injected by wrapping it in a FaultyFileSystem.
#pragma once

#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/FileSystem.h"

namespace zelk::testing {

class MemoryTree final : public FileSystem {
public:
    MemoryTree() { nodes_["/"] = Node{Kind::Folder, {}, {}, NewInode(), false}; }

    // --- building a tree ---
    void AddFolder(const std::string& path, bool unreadable = false) {
        EnsureParents(path);
        nodes_[path] = Node{Kind::Folder, {}, {}, NewInode(), unreadable};
    }
    // An unreadable file cannot be opened for reading.
    void AddFile(const std::string& path, const std::string& text, bool unreadable = false) {
        EnsureParents(path);
        nodes_[path] = Node{Kind::File, text, {}, NewInode(), unreadable};
    }
    void AddLink(const std::string& path, const std::string& target) {
        EnsureParents(path);
        nodes_[path] = Node{Kind::Link, {}, target, NewInode(), false};
    }
    // The text of a file ("<missing>" when there is none).
    std::string Text(const std::string& path) const {
        auto it = nodes_.find(Resolve(path));
        return it != nodes_.end() && it->second.kind == Kind::File ? it->second.text : "<missing>";
    }
    bool Has(const std::string& path) const { return nodes_.count(path) > 0; }
    // Every file's text by path (links left out): a whole tree to compare.
    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> out;
        for (const auto& [p, n] : nodes_)
            if (n.kind == Kind::File) out[p] = n.text;
        return out;
    }

    // --- FileSystem ---
    bool Stat(const std::string& path, FileStatus& out) override {
        out = FileStatus{};
        auto it = nodes_.find(Normal(path));
        if (it == nodes_.end()) return true;
        out.isSymlink = it->second.kind == Kind::Link;
        auto r = nodes_.find(Resolve(path));
        if (r == nodes_.end()) return true;
        Fill(r->second, out);
        return true;
    }
    std::string ResolvePath(const std::string& path) override {
        const std::string r = Resolve(path);
        return nodes_.count(r) ? r : std::string();
    }
    Handle OpenRead(const std::string& path) override { return OpenFile(Resolve(path)); }
    Handle OpenNoFollow(const std::string& path) override { return OpenFile(Normal(path)); }
    bool StatHandle(Handle h, FileStatus& out) override {
        auto it = open_.find(h);
        if (it == open_.end()) return Err(EBADF);
        auto n = nodes_.find(it->second.path);
        out = FileStatus{};
        if (n == nodes_.end() || n->second.inode != it->second.inode) {
            // Renamed or removed since: the open file is what it was.
            out.exists = out.regular = true;
            out.inode = it->second.inode;
            out.device = 7;
            out.links = 1;
            return true;
        }
        Fill(n->second, out);
        return true;
    }
    bool Lock(Handle) override { return true; }
    Handle CreateExclusive(const std::string& path, uint32_t) override {
        const std::string p = Normal(path);
        if (nodes_.count(p)) return Err(EEXIST), -1;
        if (!nodes_.count(Parent(p))) return Err(ENOENT), -1;
        nodes_[p] = Node{Kind::File, {}, {}, NewInode(), false};
        const Handle h = nextHandle_++;
        open_[h] = Open{p, {}, 0, true, nodes_[p].inode};
        return h;
    }
    bool ListAttributes(Handle, std::vector<std::string>& names) override {
        names.clear();
        return true;
    }
    bool GetAttribute(Handle, const std::string&, std::string&) override { return Err(ENODATA); }
    bool SetAttribute(Handle, const std::string&, const std::string&) override { return true; }
    bool CanWrite(const std::string&) override { return true; }

private:
    Handle OpenFile(const std::string& p) {
        auto it = nodes_.find(p);
        if (it == nodes_.end()) return Err(ENOENT), -1;
        if (it->second.kind == Kind::Link) return Err(ELOOP), -1;
        if (it->second.kind != Kind::File || it->second.unreadable) return Err(EACCES), -1;
        const Handle h = nextHandle_++;
        open_[h] = Open{it->first, it->second.text, 0, false, it->second.inode};
        return h;
    }

public:
    long long Read(Handle h, char* buf, std::size_t size) override {
        auto it = open_.find(h);
        if (it == open_.end()) return -1;
        Open& o = it->second;
        const std::size_t n = std::min(size, o.data.size() - o.pos);
        if (n) std::memcpy(buf, o.data.data() + o.pos, n);
        o.pos += n;
        return static_cast<long long>(n);
    }
    bool Write(Handle h, const char* data, std::size_t size) override {
        auto it = open_.find(h);
        if (it == open_.end() || !it->second.writing) return Err(EBADF);
        auto n = nodes_.find(it->second.path);
        if (n != nodes_.end() && n->second.inode == it->second.inode) {
            n->second.text.append(data, size);
            ++n->second.version;
        }
        return true;
    }
    bool SetMode(Handle, uint32_t, uint32_t, uint32_t) override { return true; }
    bool Sync(Handle) override { return true; }
    bool Close(Handle h) override { return open_.erase(h) > 0 || Err(EBADF); }
    bool Rename(const std::string& from, const std::string& to) override {
        auto it = nodes_.find(Normal(from));
        if (it == nodes_.end()) return Err(ENOENT);
        Node n = it->second;
        nodes_.erase(it);
        nodes_[Normal(to)] = n;
        return true;
    }
    bool Remove(const std::string& path) override {
        return nodes_.erase(Normal(path)) > 0 || Err(ENOENT);
    }
    void SyncFolder(const std::string&) override {}
    bool ListFolder(const std::string& folder, std::vector<FolderEntry>& out) override {
        out.clear();
        const std::string f = Resolve(folder);
        auto it = nodes_.find(f);
        if (it == nodes_.end() || it->second.kind != Kind::Folder || it->second.unreadable) return false;
        const std::string prefix = f == "/" ? "/" : f + "/";
        for (const auto& [p, n] : nodes_) {
            if (p.size() <= prefix.size() || p.compare(0, prefix.size(), prefix) != 0) continue;
            if (p.find('/', prefix.size()) != std::string::npos) continue;
            FolderEntry e;
            e.name = p.substr(prefix.size());
            FileIdentity id;
            IdentifyNode(p, id);
            e.kind = id.kind;
            e.key = id.key;
            out.push_back(e);
        }
        return true;
    }
    bool Identify(const std::string& path, FileIdentity& out) override {
        IdentifyNode(path, out);
        return true;
    }

private:
    enum class Kind { File, Folder, Link };
    struct Node {
        Kind kind;
        std::string text;
        std::string target;
        uint64_t inode;
        bool unreadable;
        long long version = 0;
    };
    struct Open {
        std::string path;
        std::string data;
        std::size_t pos;
        bool writing;
        uint64_t inode;
    };

    static bool Err(int err) {
        SetLastError(err);
        return false;
    }
    static void Fill(const Node& n, FileStatus& out) {
        out.exists = true;
        out.regular = n.kind == Kind::File;
        out.directory = n.kind == Kind::Folder;
        out.mode = 0644;
        out.device = 7;
        out.inode = n.inode;
        out.links = 1;
        out.size = static_cast<long long>(n.text.size());
        out.mtimeNs = n.version;
    }

    uint64_t NewInode() { return ++inodes_; }
    static std::string Normal(std::string p) {
        while (p.size() > 1 && p.back() == '/') p.pop_back();
        for (std::size_t i; (i = p.find("//")) != std::string::npos;) p.erase(i, 1);
        return p;
    }
    static std::string Parent(const std::string& p) {
        const std::size_t s = p.rfind('/');
        return s == 0 ? std::string("/") : p.substr(0, s);
    }
    void EnsureParents(const std::string& path) {
        for (std::string p = Parent(path); p != "/" && !nodes_.count(p); p = Parent(p))
            nodes_[p] = Node{Kind::Folder, {}, {}, NewInode(), false};
    }
    // Follows links in every part of the path.
    std::string Resolve(const std::string& path) const {
        std::string p = Normal(path);
        for (int hops = 0; hops < 40; ++hops) {
            bool changed = false;
            for (std::size_t end = 1; end <= p.size(); ++end) {
                if (end < p.size() && p[end] != '/') continue;
                auto it = nodes_.find(p.substr(0, end));
                if (it != nodes_.end() && it->second.kind == Kind::Link) {
                    const std::string& t = it->second.target;
                    const std::string base = t[0] == '/' ? t : Parent(p.substr(0, end)) + "/" + t;
                    p = Normal(base + p.substr(end));
                    changed = true;
                    break;
                }
            }
            if (!changed) return p;
        }
        return {};
    }
    void IdentifyNode(const std::string& path, FileIdentity& out) const {
        out = FileIdentity{};
        auto it = nodes_.find(Resolve(path));
        if (it == nodes_.end()) return;
        out.kind = it->second.kind == Kind::File ? EntryKind::File : EntryKind::Folder;
        out.key = FileKey{7, it->second.inode};
        out.size = static_cast<long long>(it->second.text.size());
    }
    std::map<std::string, Node> nodes_;
    std::map<Handle, Open> open_;
    Handle nextHandle_ = 3;
    uint64_t inodes_ = 0;
};

}  // namespace zelk::testing
