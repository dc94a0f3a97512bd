#include "shell/SettingsFile.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "common/SafeWrite.h"
#include "common/StrProc.h"

namespace zelk {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Reads the values of lines 2 to 19 as a list of values separated by commas
// or line ends. Files written by earlier versions of zelk hold texts with
// unescaped quotes; reading them this way keeps their meaning stable from
// version to version (see RestoreState in the header).
class ValueReader {
public:
    ValueReader(const std::string& data, size_t pos) : d_(data), p_(pos) {}

    bool AtEnd() const { return p_ >= d_.size(); }

    // One value; false at the end of the file.
    bool Next(std::string& value) {
        while (p_ < d_.size() && (d_[p_] == ' ' || d_[p_] == '\t')) ++p_;
        if (AtEnd()) return false;
        value.clear();
        if (d_[p_] == '"') {
            // A quoted text ends at the next quote, even on a later line.
            const size_t close = d_.find('"', p_ + 1);
            if (close == std::string::npos) {
                value = d_.substr(p_ + 1);
                p_ = d_.size();
                return true;
            }
            value = d_.substr(p_ + 1, close - p_ - 1);
            p_ = close + 1;
            // Blanks after the closing quote are skipped; a comma or a line
            // end closes the value. Anything else is where the next value
            // starts.
            while (p_ < d_.size() && (d_[p_] == ' ' || d_[p_] == '\t')) ++p_;
            if (p_ < d_.size() && d_[p_] == ',') {
                ++p_;
            } else {
                SkipLineEnd();
            }
            return true;
        }
        // An unquoted value runs to the end of its line.
        size_t end = p_;
        while (end < d_.size() && d_[end] != '\r' && d_[end] != '\n') ++end;
        value = RTrim(std::string_view(d_).substr(p_, end - p_));
        p_ = end;
        SkipLineEnd();
        return true;
    }

private:
    void SkipLineEnd() {
        if (p_ < d_.size() && d_[p_] == '\r') ++p_;
        if (p_ < d_.size() && d_[p_] == '\n') ++p_;
    }

    const std::string& d_;
    size_t p_;
};

// The numeric value of a text as a whole number, as a control would take it:
// leading number (0 when none), rounded half to even. False when it does not
// fit a 32-bit integer.
bool WholeNumber(const std::string& text, long long& out) {
    const double v = Val(text);
    if (!std::isfinite(v) || v > 2147483647.5 || v < -2147483648.5) return false;
    out = RoundHalfEven(v);
    return out >= std::numeric_limits<int32_t>::min() && out <= std::numeric_limits<int32_t>::max();
}

bool CheckBoxValue(const std::string& text, int& field) {
    long long n = 0;
    if (!WholeNumber(text, n) || n < 0 || n > 2) return false;
    field = static_cast<int>(n);
    return true;
}

bool ListIndex(const std::string& text, int count, int& field) {
    long long n = 0;
    if (!WholeNumber(text, n) || n < 0 || n >= count) return false;
    field = static_cast<int>(n);
    return true;
}

}  // namespace

std::string StateFileText(const Settings& s) {
    std::string out;
    auto line = [&out](const std::string& text) {
        out += text;
        out += CRLF;
    };
    line(s.VPMT);
    line(Quoted(s.InputFile));
    line(Quoted(s.Folder));
    line(Quoted(s.BeginMetaTagWith));
    line(Quoted(s.ExcludedFilepaths));
    line(Quoted(s.MaxNumKeywordsInMetaTag));
    line(Quoted(s.MaxNumBytesInMetaTag));
    line(Dec(s.ForwardSlash));
    line(Dec(s.InsertKWMT));
    line(Dec(s.InsertVPMT));
    line(Dec(s.Language));
    line(Dec(s.IncludeAllSubfolders));
    line(Dec(s.PreserveExistingKWMT));
    line(Dec(s.PreserveExistingVPMT));
    line(Dec(s.SaveStateOnQuit));
    line(Dec(s.SaveStateOnClose));
    line(Dec(s.Pause));
    line(s.SingleFile ? "#TRUE#" : "#FALSE#");
    line(Dec(s.BackColor));
    return out;
}

bool SaveState(const Settings& s, const std::string& path, std::string& errorDescription,
               FileSystem& fs) {
    errorDescription.clear();
    if (path.empty()) {
        errorDescription = "No settings file path";
        return false;
    }
    SafeRewrite file(fs);
    switch (file.Open(path, /*createWhenMissing=*/true)) {
        case SafeRewrite::Opened::Missing:
            errorDescription = ErrorText(EISDIR);  // not a regular file: a folder, a FIFO ...
            return false;
        case SafeRewrite::Opened::Failed:
            errorDescription = file.Failure();
            return false;
        case SafeRewrite::Opened::Ok:
            break;
    }
    // A settings file the user has made read-only stays untouched, as it
    // would with a write in place.
    if (file.Status().exists && !fs.CanWrite(file.Target())) {
        errorDescription = ErrorText(FileSystem::LastError());
        return false;
    }
    if (!file.Replace(file.Target() + ".tmp", StateFileText(s))) {
        errorDescription = file.Failure();
        return false;
    }
    return true;
}

bool RestoreState(Settings& s, const std::string& path, FileSystem& fs) {
    return RestoreState(s, path, std::string(), StateFieldPlaced(), fs);
}

bool RestoreState(Settings& s, const std::string& path, const std::string& folderBoxText,
                  const StateFieldPlaced& placed, FileSystem& fs) {
    auto report = [&placed](int line) {
        if (placed) placed(line);
    };
    std::string data;
    int err = 0;
    if (!ReadWholeFile(fs, path, data, err)) return false;
    // Line 1, whole.
    size_t end = 0;
    while (end < data.size() && data[end] != '\r' && data[end] != '\n') ++end;
    const std::string first = data.substr(0, end);
    size_t pos = end;
    if (pos < data.size() && data[pos] == '\r') ++pos;
    if (pos < data.size() && data[pos] == '\n') ++pos;
    if (LowerCaseAccented(first).rfind("<meta", 0) != 0 && !Trim(first).empty()) return false;
    s.VPMT = Trim(first);
    report(1);

    ValueReader reader(data, pos);
    std::string v;
    for (int line = 2; line <= kStateFileLines; ++line) {
        if (!reader.Next(v)) return false;  // early end of file
        bool ok = true;
        switch (line) {
        case 2: s.InputFile = v; break;
        case 3: s.Folder = v; break;
        case 4: s.BeginMetaTagWith = v; break;
        case 5: s.ExcludedFilepaths = v; break;
        case 6: s.MaxNumKeywordsInMetaTag = v; break;
        case 7: s.MaxNumBytesInMetaTag = v; break;
        case 8: ok = CheckBoxValue(v, s.ForwardSlash); break;
        case 9: ok = CheckBoxValue(v, s.InsertKWMT); break;
        case 10: ok = CheckBoxValue(v, s.InsertVPMT); break;
        case 11: ok = ListIndex(v, kNumLanguages, s.Language); break;
        case 12: ok = CheckBoxValue(v, s.IncludeAllSubfolders); break;
        case 13: ok = CheckBoxValue(v, s.PreserveExistingKWMT); break;
        case 14: ok = CheckBoxValue(v, s.PreserveExistingVPMT); break;
        case 15: ok = CheckBoxValue(v, s.SaveStateOnQuit); break;
        case 16: ok = CheckBoxValue(v, s.SaveStateOnClose); break;
        case 17: ok = ListIndex(v, 5, s.Pause); break;
        case 18: s.SingleFile = v != "#FALSE#"; break;
        case 19: {
            long long n = 0;
            ok = WholeNumber(v, n);
            if (ok) s.BackColor = static_cast<int32_t>(n);
            break;
        }
        default: break;
        }
        if (!ok) return false;
        report(line);
    }
    if (!folderBoxText.empty()) {
        s.SingleFile = false;
        report(kStateFileLines + 1);
    }
    return true;
}

void SetDefaultValues(Settings& s) {
    const Settings d;
    s.ExcludedFilepaths = d.ExcludedFilepaths;
    s.VPMT = d.VPMT;
    s.BeginMetaTagWith = d.BeginMetaTagWith;
    s.ForwardSlash = d.ForwardSlash;
    s.TitleWeight = d.TitleWeight;
    s.DescriptionWeight = d.DescriptionWeight;
    s.ExistingKeywordsWeight = d.ExistingKeywordsWeight;
    s.BoldWeight = d.BoldWeight;
    s.ItalicWeight = d.ItalicWeight;
    s.TableWeight = d.TableWeight;
    s.DivWeight = d.DivWeight;
    s.SpanWeight = d.SpanWeight;
    s.ShortWordSize = d.ShortWordSize;
    s.ThresholdFrequency = d.ThresholdFrequency;
    s.MaxNumKeywordsInMetaTag = d.MaxNumKeywordsInMetaTag;
    s.MaxNumBytesInMetaTag = d.MaxNumBytesInMetaTag;
    s.Language = d.Language;
    s.IncludeAllSubfolders = d.IncludeAllSubfolders;
    s.Confirm = d.Confirm;
    s.PreserveExistingKWMT = d.PreserveExistingKWMT;
    s.PreserveExistingVPMT = d.PreserveExistingVPMT;
    s.SaveStateOnClose = d.SaveStateOnClose;
    s.SaveStateOnQuit = d.SaveStateOnQuit;
    s.Pause = d.Pause;
}

namespace {

// $VAR when it is set and absolute, else ~/ + fallback; "" when neither.
std::string XdgRoot(const char* var, const char* fallback) {
    const char* xdg = std::getenv(var);
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') {
        std::string root = home;
        if (root.back() != '/') root += '/';
        return root + fallback;
    }
    return std::string();
}

bool IsFolder(FileSystem& fs, const std::string& path) {
    FileStatus st;
    return fs.Stat(path, st) && st.exists && st.directory;
}

// Creates path and any missing parents, one level at a time.
bool MakeFolders(FileSystem& fs, const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        FileStatus st;
        if (!fs.Stat(part, st)) return false;
        if (st.exists && !st.directory) {
            FileSystem::SetLastError(ENOTDIR);
            return false;
        }
        if (!st.exists && !fs.MakeFolder(part, 0700) && !IsFolder(fs, part)) return false;
        if (slash == std::string::npos) return true;
    }
}

// Settings saved before they moved to the configuration folder lived in
// $XDG_DATA_HOME/<folder>/ (~/.local/share/<folder>/). The first start
// after the move copies them over, so nobody loses their settings; the old
// file stays where it is.
void CarryOverOldSettings(FileSystem& fs, const std::string& fileName,
                          const std::string& folderName, const std::string& path) {
    FileStatus st;
    if (!fs.Stat(path, st) || st.exists) return;
    const std::string oldRoot = XdgRoot("XDG_DATA_HOME", ".local/share");
    if (oldRoot.empty()) return;
    std::string text;
    int err = 0;
    if (!fs.ReadFile(oldRoot + "/" + folderName + "/" + fileName, text, 0, 1u << 20, err)) return;
    const FileSystem::Handle h = fs.CreateExclusive(path, 0600);
    if (h < 0) return;
    const bool ok = fs.Write(h, text.data(), text.size()) && fs.Sync(h);
    fs.Close(h);
    if (!ok) fs.Remove(path);  // a half copy would pass for the user's settings
}

}  // namespace

std::string UserConfigRoot() { return XdgRoot("XDG_CONFIG_HOME", ".config"); }

std::string DataFilepath(const std::string& fileName, const std::string& folderName,
                         std::string& error, FileSystem& fs) {
    error.clear();
    std::string root = UserConfigRoot();
    if (root.empty()) {
        error = "The folder for the settings of this program cannot be found (neither "
                "XDG_CONFIG_HOME nor HOME is set)." + std::string(CRLF) +
                "Settings will not be saved.";
        return std::string();
    }
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    const std::string folder = root + "/" + folderName;
    if (!IsFolder(fs, folder) && !MakeFolders(fs, folder)) {
        const int err = FileSystem::LastError();
        const std::string cause = err != 0 ? std::strerror(err) : std::string("Not a folder");
        error = "The folder for the settings of this program cannot be created:" +
                std::string(CRLF) + folder + std::string(CRLF) + cause + "." +
                std::string(CRLF) + "Settings will not be saved.";
        return std::string();
    }
    const std::string path = folder + "/" + fileName;
    CarryOverOldSettings(fs, fileName, folderName, path);
    return path;
}

std::string StateFileName(const std::string& programShortName) {
    return LowerCaseAccented(programShortName) + ".usr";
}

}  // namespace zelk
