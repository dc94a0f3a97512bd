// Settings saved before they moved to ~/.config are carried over once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "shell/SettingsFile.h"
#include "support/TempDir.h"

namespace zelk {
namespace {

using testing::ReadBytes;
using testing::TempDir;

TEST(SettingsCarryOver, OldFileIsCopiedOnceAndNeverOverwritesTheNewOne) {
    TempDir dir;
    const std::string oldEnv = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    const std::string newEnv = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    std::filesystem::create_directories(dir / "data/zelk");
    testing::WriteBytes(dir / "data/zelk/zelk.usr", "old\r\nsettings\r\n");

    std::string err;
    const std::string path = DataFilepath("zelk.usr", "zelk", err);
    EXPECT_EQ(path, dir / "config/zelk/zelk.usr");
    EXPECT_EQ(ReadBytes(path), "old\r\nsettings\r\n");
    EXPECT_EQ(ReadBytes(dir / "data/zelk/zelk.usr"), "old\r\nsettings\r\n");

    testing::WriteBytes(path, "new\r\n");
    EXPECT_EQ(DataFilepath("zelk.usr", "zelk", err), path);
    EXPECT_EQ(ReadBytes(path), "new\r\n");

    oldEnv.empty() ? (void)::unsetenv("XDG_DATA_HOME") : (void)::setenv("XDG_DATA_HOME", oldEnv.c_str(), 1);
    newEnv.empty() ? (void)::unsetenv("XDG_CONFIG_HOME") : (void)::setenv("XDG_CONFIG_HOME", newEnv.c_str(), 1);
}

}  // namespace
}  // namespace zelk
