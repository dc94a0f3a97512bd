// A scratch folder per test, removed afterwards, and byte-exact file helpers,
// shared by every suite that touches files.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zelk::testing {

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string InsertionData(const std::string& name) {
    return std::string(ZELK_TEST_DATA_DIR) + "/insertion/" + name;
}

class TempDir {
public:
    TempDir() {
        std::string name = (std::filesystem::temp_directory_path() / "zelk-test-XXXXXX").string();
        if (::mkdtemp(name.data())) path_ = name;
    }
    ~TempDir() {
        std::error_code ec;
        // Give back write permission that a test may have taken away.
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Writes a file in the folder and gives its path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        WriteBytes(*this / name, bytes);
        return *this / name;
    }

    // Names of the entries, sorted.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};

}  // namespace zelk::testing
