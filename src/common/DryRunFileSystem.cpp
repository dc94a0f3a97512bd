#include "common/DryRunFileSystem.h"

#include <cstring>

namespace zelk {

std::string DryRunFileSystem::KeyOf(const std::string& path) {
    const std::string r = inner_.ResolvePath(path);
    return r.empty() ? path : r;
}

bool DryRunFileSystem::Stat(const std::string& path, FileStatus& out) {
    {
        std::lock_guard lock(mutex_);
        if (scratch_.count(path)) {
            out = FileStatus{};
            out.exists = out.regular = true;
            out.mode = 0600;
            return true;
        }
        if (removed_.count(KeyOf(path))) {
            out = FileStatus{};
            return true;
        }
    }
    return inner_.Stat(path, out);
}

std::string DryRunFileSystem::ResolvePath(const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        if (scratch_.count(path)) return path;
    }
    return inner_.ResolvePath(path);
}

FileSystem::Handle DryRunFileSystem::OpenRead(const std::string& path) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<const std::string> text;
    if (auto s = scratch_.find(path); s != scratch_.end()) {
        text = std::make_shared<const std::string>(s->second);
    } else {
        const std::string key = KeyOf(path);
        if (removed_.count(key)) return -1;
        auto p = pages_.find(key);
        if (p == pages_.end()) return inner_.OpenRead(path);
        text = p->second;
    }
    const Handle h = next_++;
    open_[h] = Open{std::string(), std::move(text), std::string(), 0};
    return h;
}

long long DryRunFileSystem::Read(Handle h, char* buf, std::size_t size) {
    if (!Ours(h)) return inner_.Read(h, buf, size);
    std::lock_guard lock(mutex_);
    auto it = open_.find(h);
    if (it == open_.end() || !it->second.text) return -1;
    Open& o = it->second;
    const std::size_t n = std::min(size, o.text->size() - o.pos);
    if (n) std::memcpy(buf, o.text->data() + o.pos, n);
    o.pos += n;
    return static_cast<long long>(n);
}

FileSystem::Handle DryRunFileSystem::OpenWrite(const std::string& path, uint32_t /*mode*/) {
    std::lock_guard lock(mutex_);
    const Handle h = next_++;
    open_[h] = Open{path, nullptr, std::string(), 0};
    scratch_[path].clear();
    return h;
}

bool DryRunFileSystem::Write(Handle h, const char* data, std::size_t size) {
    if (!Ours(h)) return inner_.Write(h, data, size);
    std::lock_guard lock(mutex_);
    auto it = open_.find(h);
    if (it == open_.end() || it->second.text) return false;
    it->second.written.append(data, size);
    return true;
}

bool DryRunFileSystem::SetMode(Handle h, uint32_t mode, uint32_t uid, uint32_t gid) {
    return Ours(h) ? true : inner_.SetMode(h, mode, uid, gid);
}

bool DryRunFileSystem::Sync(Handle h) { return Ours(h) ? true : inner_.Sync(h); }

bool DryRunFileSystem::Close(Handle h) {
    if (!Ours(h)) return inner_.Close(h);
    std::lock_guard lock(mutex_);
    auto it = open_.find(h);
    if (it == open_.end()) return false;
    if (!it->second.text) scratch_[it->second.path] = std::move(it->second.written);
    open_.erase(it);
    return true;
}

bool DryRunFileSystem::Rename(const std::string& from, const std::string& to) {
    std::lock_guard lock(mutex_);
    auto s = scratch_.find(from);
    if (s == scratch_.end()) return false;  // a dry run moves nothing that exists outside it
    const std::string key = KeyOf(to);
    pages_[key] = std::make_shared<const std::string>(std::move(s->second));
    removed_.erase(key);
    scratch_.erase(s);
    return true;
}

bool DryRunFileSystem::Remove(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (scratch_.erase(path)) return true;
    FileIdentity id;
    if (!inner_.Identify(path, id) || id.kind == EntryKind::Missing) return false;
    const std::string key = KeyOf(path);
    removed_.insert(key);
    pages_.erase(key);
    return true;
}

void DryRunFileSystem::SyncFolder(const std::string& /*folder*/) {}

bool DryRunFileSystem::ListFolder(const std::string& folder, std::vector<FolderEntry>& out) {
    if (!inner_.ListFolder(folder, out)) return false;
    std::lock_guard lock(mutex_);
    if (removed_.empty()) return true;
    std::vector<FolderEntry> kept;
    for (FolderEntry& e : out)
        if (!removed_.count(KeyOf(folder + "/" + e.name))) kept.push_back(std::move(e));
    out.swap(kept);
    return true;
}

bool DryRunFileSystem::Identify(const std::string& path, FileIdentity& out) {
    {
        std::lock_guard lock(mutex_);
        if (auto s = scratch_.find(path); s != scratch_.end()) {
            out = FileIdentity{};
            out.kind = EntryKind::File;
            out.size = static_cast<long long>(s->second.size());
            return true;
        }
        const std::string key = KeyOf(path);
        if (removed_.count(key)) {
            out = FileIdentity{};
            return true;
        }
        if (auto p = pages_.find(key); p != pages_.end()) {
            if (!inner_.Identify(path, out)) return false;
            out.size = static_cast<long long>(p->second->size());
            return true;
        }
    }
    return inner_.Identify(path, out);
}

bool DryRunFileSystem::RewrittenText(const std::string& path, std::string& out) {
    std::lock_guard lock(mutex_);
    auto p = pages_.find(KeyOf(path));
    if (p == pages_.end()) {
        out.clear();
        return false;
    }
    out = *p->second;
    return true;
}

}  // namespace zelk
