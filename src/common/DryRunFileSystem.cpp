#include "common/DryRunFileSystem.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "common/SafeWrite.h"

namespace zelk {

namespace {
// Working files of a dry run live on a device of their own.
constexpr uint64_t kScratchDevice = ~uint64_t{0};

bool Err(int err) {
    FileSystem::SetLastError(err);
    return false;
}

// The status a handle was opened with, for the status its opener asks for
// next: the file is not looked at twice with nothing done in between.
struct FreshStatus {
    uint64_t fs = 0;  // DryRunFileSystem::id_, 0: none
    FileSystem::Handle handle = -1;
    FileStatus status;
};
thread_local FreshStatus tFresh;

void Forget(uint64_t fs, FileSystem::Handle h) {
    if (tFresh.fs == fs && tFresh.handle == h) tFresh.fs = 0;
}

// The latest look this thread took at a name outside, through this file
// system: the next look at the same name, with no other name looked at in
// between, may take it instead of looking again.
struct LastLook {
    uint64_t fs = 0;  // DryRunFileSystem::id_, 0: none
    std::string path;
    FileStatus status;
};
thread_local LastLook tLook;

std::atomic<uint64_t> gLastId{0};

// How many bytes a and b share from their starts; from their ends, with
// the first skip bytes of each left out.
std::size_t CommonPrefix(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) break;
    }
    while (i < n && a[i] == b[i]) ++i;
    return i;
}
std::size_t CommonSuffix(std::string_view a, std::string_view b, std::size_t skip) {
    const std::size_t n = std::min(a.size(), b.size()) - skip;
    const char* ea = a.data() + a.size();
    const char* eb = b.data() + b.size();
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, ea - i - 8, 8);
        std::memcpy(&y, eb - i - 8, 8);
        if (x != y) break;
    }
    while (i < n && ea[-1 - static_cast<std::ptrdiff_t>(i)] == eb[-1 - static_cast<std::ptrdiff_t>(i)]) ++i;
    return i;
}

// The file outside is still the one a page was kept over.
bool Unchanged(const FileStatus& base, const FileStatus& now) { return now.exists && SameFileState(base, now); }

std::string FolderPart(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}
}  // namespace

bool DryRunFileSystem::LookOutside(const std::string& path, FileStatus& out, bool mayReuse) {
    if (mayReuse && tLook.fs == id_ && tLook.path == path) {
        tLook.fs = 0;
        out = tLook.status;
        return true;
    }
    tLook.fs = 0;
    if (!inner_.Stat(path, out)) return false;
    tLook.fs = id_;
    tLook.path = path;
    tLook.status = out;
    return true;
}

void DryRunFileSystem::LookedElsewhere() {
    if (tLook.fs == id_) tLook.fs = 0;
}

// An instance made where an earlier one was must not take its looks.
DryRunFileSystem::DryRunFileSystem(FileSystem& inner) : inner_(inner), id_(++gLastId) {}

const std::string& DryRunFileSystem::ResolvedFolder(const std::string& folder) {
    auto it = folders_.find(folder);
    if (it == folders_.end()) {
        LookedElsewhere();
        it = folders_.emplace(folder, inner_.ResolvePath(folder)).first;
    }
    return it->second;
}

bool DryRunFileSystem::KeyFromFolder(const std::string& path, const FileStatus& named,
                                     std::string& key) {
    if (!named.exists || named.isSymlink) return false;
    const auto slash = path.rfind('/');
    const std::string_view name =
        slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
    // "." and ".." are not names in the folder; a link is resolved in full.
    if (name.empty() || name == "." || name == "..") return false;
    const std::string& folder = ResolvedFolder(FolderPart(path));
    if (folder.empty()) return false;
    key = folder;
    if (key.back() != '/') key += '/';
    key += name;
    return true;
}

std::string DryRunFileSystem::KeyOf(const std::string& path) {
    FileStatus named;
    std::string key;
    if (LookOutside(path, named, false) && KeyFromFolder(path, named, key)) return key;
    LookedElsewhere();
    const std::string r = inner_.ResolvePath(path);
    return r.empty() ? path : r;
}

bool DryRunFileSystem::TrackedKey(const std::string& path, std::string& key, FileIdentity* seen) {
    if (pages_.empty() && removed_.empty()) return false;
    if (!resolveAlways_) {
        FileIdentity id;
        LookedElsewhere();
        if (inner_.Identify(path, id)) {
            // A missing file's key is its path as given.
            if (id.kind == EntryKind::Missing) {
                key = path;
                return true;
            }
            if (!tracked_.count(id.key)) {
                if (seen) *seen = id;
                return false;
            }
        }
    }
    key = KeyOf(path);
    return true;
}

std::string DryRunFileSystem::TrackKey(const std::string& path, FileStatus* seen) {
    FileStatus named;
    if (seen) *seen = FileStatus{};
    // A rewrite has just looked at the name before it renames over it.
    if (!LookOutside(path, named, true)) {
        resolveAlways_ = true;
        LookedElsewhere();
        const std::string r = inner_.ResolvePath(path);
        return r.empty() ? path : r;
    }
    if (seen) *seen = named;
    // Nothing outside (a dangling link included): known by the path as given.
    if (!named.exists) return path;
    tracked_.insert(FileKey{named.device, named.inode});
    std::string key;
    if (KeyFromFolder(path, named, key)) return key;
    LookedElsewhere();
    key = inner_.ResolvePath(path);
    // An existing file whose path cannot be resolved is known by its path
    // as given, which its identity cannot tell.
    if (key.empty()) {
        resolveAlways_ = true;
        return path;
    }
    return key;
}

std::string DryRunFileSystem::Scratch::Text() && {
    if (pieces.size() == 1) return std::move(pieces[0]);
    std::string text;
    text.reserve(size);
    for (const std::string& p : pieces) text += p;
    return text;
}

bool DryRunFileSystem::PageStatus(const std::string& key, FileStatus& out) {
    if (!LookOutside(key, out, false)) return false;
    auto p = pages_.find(key);
    if (p == pages_.end()) return true;
    if (p->second.base.exists && !Unchanged(p->second.base, out)) {
        pages_.erase(p);
        return true;
    }
    out.size = static_cast<long long>(p->second.size);
    out.mtimeNs += p->second.version;
    return true;
}

void DryRunFileSystem::KeepDifference(const std::string& text, std::size_t prefix, std::size_t suffix,
                                      const FileStatus& outside, Page& page) {
    page.size = text.size();
    page.based = true;
    page.base = outside;
    page.prefix = prefix;
    page.suffix = suffix;
    page.text = std::make_shared<const std::string>(text, prefix, text.size() - prefix - suffix);
}

void DryRunFileSystem::KeepPage(const std::string& key, std::string&& text, Page& page) {
    page.size = text.size();
    page.based = false;
    page.base = FileStatus{};
    // Read into one buffer of this thread's, which keeps its memory from
    // page to page.
    thread_local std::string outside;
    FileStatus st;
    int err = 0;
    LookedElsewhere();
    if (inner_.ReadFile(key, outside, 0, SIZE_MAX, err, st) && st.regular &&
        static_cast<long long>(outside.size()) == st.size) {
        const std::size_t prefix = CommonPrefix(text, outside);
        KeepDifference(text, prefix, CommonSuffix(text, outside, prefix), st, page);
    } else {
        page.text = std::make_shared<const std::string>(std::move(text));
    }
    constexpr std::size_t kKeptBuffer = std::size_t{16} << 20;
    if (outside.capacity() > kKeptBuffer) std::string().swap(outside);
}

std::shared_ptr<const std::string> DryRunFileSystem::PageText(const std::string& key, const Page& page) {
    if (!page.based) return page.text;
    std::string outside;
    FileStatus st;
    int err = 0;
    LookedElsewhere();
    if (!inner_.ReadFile(key, outside, 0, SIZE_MAX, err, st) || !Unchanged(page.base, st) ||
        static_cast<long long>(outside.size()) != st.size)
        return nullptr;
    auto text = std::make_shared<std::string>();
    text->reserve(page.size);
    text->append(outside, 0, page.prefix);
    text->append(*page.text);
    text->append(outside, outside.size() - page.suffix, page.suffix);
    return text;
}

void DryRunFileSystem::ScratchStatus(const Scratch& s, FileStatus& out) const {
    out = FileStatus{};
    out.exists = out.regular = true;
    out.mode = 0600;
    out.device = kScratchDevice;
    out.inode = s.inode;
    out.links = 1;
    out.size = static_cast<long long>(s.size);
}

bool DryRunFileSystem::Stat(const std::string& path, FileStatus& out) {
    std::unique_lock lock(mutex_);
    if (auto s = scratch_.find(path); s != scratch_.end()) {
        ScratchStatus(s->second, out);
        return true;
    }
    const bool overlay = !pages_.empty() || !removed_.empty();
    const bool resolveAlways = resolveAlways_;
    // The look outside is taken unlocked, as the threads reading ahead of a
    // run open their pages meanwhile.
    lock.unlock();
    if (!overlay) return LookOutside(path, out, false);
    // The status outside tells, as TrackedKey does, whether the path may
    // lead to a page or a removed file at all.
    FileStatus named;
    const bool known = !resolveAlways && LookOutside(path, named, false);
    lock.lock();
    if (known && named.exists && !tracked_.count(FileKey{named.device, named.inode})) {
        out = named;
        return true;
    }
    std::string key;
    if (known && !named.exists)
        key = path;
    else if (!known || !KeyFromFolder(path, named, key))
        key = KeyOf(path);
    if (removed_.count(key)) {
        out = FileStatus{};
        return true;
    }
    if (pages_.count(key)) {
        const bool link = known ? named.isSymlink : LookOutside(path, named, false) && named.isSymlink;
        if (!PageStatus(key, out)) return false;
        out.isSymlink = link;
        return true;
    }
    if (known) {
        out = named;
        return true;
    }
    return LookOutside(path, out, false);
}

std::string DryRunFileSystem::ResolvePath(const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        if (scratch_.count(path)) return path;
    }
    LookedElsewhere();
    return inner_.ResolvePath(path);
}

bool DryRunFileSystem::OpenOutside(const std::string& path, bool noFollow, Handle& h) {
    LookedElsewhere();
    h = noFollow ? inner_.OpenNoFollow(path) : inner_.OpenRead(path);
    if (h < 0) return false;
    FileStatus st;
    if (inner_.StatHandle(h, st)) {
        std::lock_guard lock(mutex_);
        // The file opened tells whether it may be a page or a removed file,
        // without a look at its path first.
        if (!scratch_.count(path) && !resolveAlways_ &&
            ((pages_.empty() && removed_.empty()) || !tracked_.count(FileKey{st.device, st.inode}))) {
            tFresh = FreshStatus{id_, h, st};
            return true;
        }
    }
    inner_.Close(h);
    h = -1;
    return false;
}

FileSystem::Handle DryRunFileSystem::OpenPage(const std::string& path, bool noFollow) {
    if (Handle outside; OpenOutside(path, noFollow, outside)) return outside;
    std::lock_guard lock(mutex_);
    if (auto s = scratch_.find(path); s != scratch_.end()) {
        const Handle h = next_++;
        Scratch& scratch = s->second;
        auto text = std::make_shared<const std::string>(std::move(scratch).Text());
        scratch.pieces.assign(1, *text);
        open_[h] = Open{std::string(), std::string(), std::move(text), 0};
        return h;
    }
    std::string key;
    const bool tracked = TrackedKey(path, key);
    if (tracked && removed_.count(key)) return Err(ENOENT), -1;
    auto p = tracked ? pages_.find(key) : pages_.end();
    if (p != pages_.end()) {
        if (auto text = PageText(key, p->second)) {
            const Handle h = next_++;
            open_[h] = Open{key, std::string(), std::move(text), 0};
            return h;
        }
        pages_.erase(p);
    }
    LookedElsewhere();
    return noFollow ? inner_.OpenNoFollow(path) : inner_.OpenRead(path);
}

FileSystem::Handle DryRunFileSystem::OpenRead(const std::string& path) { return OpenPage(path, false); }
FileSystem::Handle DryRunFileSystem::OpenNoFollow(const std::string& path) { return OpenPage(path, true); }

long long DryRunFileSystem::Read(Handle h, char* buf, std::size_t size) {
    if (!Ours(h)) {
        Forget(id_, h);
        return inner_.Read(h, buf, size);
    }
    std::lock_guard lock(mutex_);
    auto it = open_.find(h);
    if (it == open_.end() || !it->second.text) return Err(EBADF), -1;
    Open& o = it->second;
    const std::size_t n = std::min(size, o.text->size() - o.pos);
    if (n) std::memcpy(buf, o.text->data() + o.pos, n);
    o.pos += n;
    return static_cast<long long>(n);
}

bool DryRunFileSystem::StatHandle(Handle h, FileStatus& out) {
    if (!Ours(h)) {
        if (tFresh.fs == id_ && tFresh.handle == h) {
            tFresh.fs = 0;
            out = tFresh.status;
            return true;
        }
        return inner_.StatHandle(h, out);
    }
    std::lock_guard lock(mutex_);
    auto it = open_.find(h);
    if (it == open_.end()) return Err(EBADF);
    const Open& o = it->second;
    if (!o.path.empty()) {
        auto s = scratch_.find(o.path);
        if (s == scratch_.end()) return Err(EBADF);
        ScratchStatus(s->second, out);
        return true;
    }
    if (pages_.count(o.key)) return PageStatus(o.key, out);
    out = FileStatus{};
    out.exists = out.regular = true;
    out.size = o.text ? static_cast<long long>(o.text->size()) : 0;
    return true;
}

bool DryRunFileSystem::Lock(Handle h) {
    Forget(id_, h);
    return Ours(h) ? true : inner_.Lock(h);
}

FileSystem::Handle DryRunFileSystem::CreateExclusive(const std::string& path, uint32_t /*mode*/) {
    std::lock_guard lock(mutex_);
    if (scratch_.count(path)) return Err(EEXIST), -1;
    FileStatus st;
    // Something outside at the name is in the way, unless it was removed in
    // this run.
    // The rewrite has just removed the name, which looked at it.
    if (LookOutside(path, st, true) && (st.exists || st.isSymlink)) {
        std::string key;
        if (!TrackedKey(path, key) || !removed_.count(key)) return Err(EEXIST), -1;
    }
    scratch_[path] = Scratch{{}, 0, nextInode_++};
    const Handle h = next_++;
    open_[h] = Open{std::string(), path, nullptr, 0};
    return h;
}

bool DryRunFileSystem::Write(Handle h, const char* data, std::size_t size) {
    Forget(id_, h);
    if (!Ours(h)) return inner_.Write(h, data, size);
    std::lock_guard lock(mutex_);
    auto it = open_.find(h);
    if (it == open_.end() || it->second.path.empty()) return Err(EBADF);
    auto s = scratch_.find(it->second.path);
    if (s == scratch_.end()) return Err(EBADF);
    s->second.pieces.emplace_back(data, size);
    s->second.size += size;
    return true;
}

bool DryRunFileSystem::WriteAll(Handle h, std::string&& text, const std::string* replacing) {
    Forget(id_, h);
    if (!Ours(h)) return inner_.WriteAll(h, std::move(text), replacing);
    // Taken over whole: the page a dry run keeps is the text the rewrite made,
    // or only what differs from the bytes it replaces. The two are compared
    // before the lock is taken: the threads reading ahead open their pages
    // meanwhile.
    const std::size_t prefix = replacing ? CommonPrefix(text, *replacing) : 0;
    const std::size_t suffix = replacing ? CommonSuffix(text, *replacing, prefix) : 0;
    std::lock_guard lock(mutex_);
    auto it = open_.find(h);
    if (it == open_.end() || it->second.path.empty()) return Err(EBADF);
    auto s = scratch_.find(it->second.path);
    if (s == scratch_.end()) return Err(EBADF);
    Scratch& scratch = s->second;
    scratch.differs = replacing && scratch.pieces.empty();
    if (scratch.differs) {
        scratch.baseSize = replacing->size();
        scratch.prefix = prefix;
        scratch.suffix = suffix;
    }
    scratch.size += text.size();
    scratch.pieces.push_back(std::move(text));
    return true;
}

bool DryRunFileSystem::SetMode(Handle h, uint32_t mode, uint32_t uid, uint32_t gid) {
    Forget(id_, h);
    return Ours(h) ? true : inner_.SetMode(h, mode, uid, gid);
}

bool DryRunFileSystem::Sync(Handle h) {
    Forget(id_, h);
    return Ours(h) ? true : inner_.Sync(h);
}

bool DryRunFileSystem::Close(Handle h) {
    Forget(id_, h);
    if (!Ours(h)) return inner_.Close(h);
    std::lock_guard lock(mutex_);
    return open_.erase(h) > 0 || Err(EBADF);
}

bool DryRunFileSystem::ListAttributes(Handle h, std::vector<std::string>& names) {
    if (!Ours(h)) return inner_.ListAttributes(h, names);
    names.clear();
    return true;
}

bool DryRunFileSystem::GetAttribute(Handle h, const std::string& name, std::string& value) {
    return Ours(h) ? Err(ENODATA) : inner_.GetAttribute(h, name, value);
}

bool DryRunFileSystem::SetAttribute(Handle h, const std::string& name, const std::string& value) {
    return Ours(h) ? true : inner_.SetAttribute(h, name, value);
}

bool DryRunFileSystem::CanWrite(const std::string& path) {
    LookedElsewhere();
    return inner_.CanWrite(path);
}

bool DryRunFileSystem::Rename(const std::string& from, const std::string& to) {
    std::lock_guard lock(mutex_);
    auto s = scratch_.find(from);
    // A dry run moves nothing that exists outside it.
    if (s == scratch_.end()) return Err(EXDEV);
    FileStatus outside;
    const std::string key = TrackKey(to, &outside);
    // The bytes the working file was written over are those of the file
    // outside (the rewrite has just made sure that file is unchanged),
    // unless this run has already made a page of it.
    auto p = pages_.find(key);
    const bool overOutside = s->second.differs && s->second.pieces.size() == 1 && p == pages_.end() &&
                             !removed_.count(key) && outside.exists && outside.regular &&
                             !outside.isSymlink &&
                             outside.size == static_cast<long long>(s->second.baseSize);
    Page& page = p != pages_.end() ? p->second : pages_[key];
    if (overOutside)
        KeepDifference(s->second.pieces[0], s->second.prefix, s->second.suffix, outside, page);
    else
        KeepPage(key, std::move(s->second).Text(), page);
    ++page.version;
    removed_.erase(key);
    scratch_.erase(s);
    return true;
}

bool DryRunFileSystem::Remove(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (scratch_.erase(path)) return true;
    FileStatus st;
    if (!LookOutside(path, st, false) || (!st.exists && !st.isSymlink)) return Err(ENOENT);
    std::string key;
    if (TrackedKey(path, key) && removed_.count(key)) return Err(ENOENT);
    if (st.directory && !st.isSymlink) return Err(EISDIR);
    key = TrackKey(path);
    removed_.insert(key);
    pages_.erase(key);
    return true;
}

void DryRunFileSystem::SyncFolder(const std::string& /*folder*/) {}

bool DryRunFileSystem::ListFolder(const std::string& folder, std::vector<FolderEntry>& out) {
    LookedElsewhere();
    if (!inner_.ListFolder(folder, out)) return false;
    std::lock_guard lock(mutex_);
    if (removed_.empty()) return true;
    std::vector<FolderEntry> kept;
    std::string key;
    for (FolderEntry& e : out)
        if (!TrackedKey(folder + "/" + e.name, key) || !removed_.count(key))
            kept.push_back(std::move(e));
    out.swap(kept);
    return true;
}

bool DryRunFileSystem::Identify(const std::string& path, FileIdentity& out) {
    {
        std::lock_guard lock(mutex_);
        if (auto s = scratch_.find(path); s != scratch_.end()) {
            out = FileIdentity{};
            out.kind = EntryKind::File;
            out.key = FileKey{kScratchDevice, s->second.inode};
            out.size = static_cast<long long>(s->second.size);
            return true;
        }
        std::string key;
        FileIdentity seen;  // stays Missing unless the file outside told
        const bool tracked = TrackedKey(path, key, &seen);
        if (!tracked && seen.kind != EntryKind::Missing) {
            out = seen;
            return true;
        }
        if (tracked && removed_.count(key)) {
            out = FileIdentity{};
            return true;
        }
        if (auto p = tracked ? pages_.find(key) : pages_.end(); p != pages_.end()) {
            LookedElsewhere();
            if (!inner_.Identify(path, out)) return false;
            out.size = static_cast<long long>(p->second.size);
            return true;
        }
    }
    LookedElsewhere();
    return inner_.Identify(path, out);
}

}  // namespace zelk
