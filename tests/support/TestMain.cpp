// Test main: every test program runs with its own empty home and XDG folders, so no test reads or
// writes the settings, secrets or documents of the person running it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    std::string dir = (std::filesystem::temp_directory_path() / "vmtest-XXXXXX").string();
    if (!::mkdtemp(dir.data())) {
        return 2;
    }
    const std::filesystem::path home(dir);
    ::setenv("HOME", dir.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return result;
}
