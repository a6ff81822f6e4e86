// The documents folder follows the user's XDG folder settings; "~" paths expand into it.
#include "platform/core/AtomicFile.h"
#include "platform/core/Paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace vm {
namespace {

namespace fs = std::filesystem;

class PathsTest : public ::testing::Test {
protected:
    void TearDown() override { fs::remove(settings()); }
    static fs::path home() { return std::getenv("HOME"); }
    static fs::path settings() { return paths::configHome() / "user-dirs.dirs"; }
    static void writeSettings(const std::string& text) {
        ASSERT_TRUE(writeFileAtomically(settings(), text));
    }
};

TEST_F(PathsTest, DocumentsFolderComesFromTheUserFolderSettings) {
    struct Case {
        const char* name;
        const char* settings;  // nullptr: no settings file
        fs::path expected;
    };
    const Case cases[] = {
        {"no settings", nullptr, home() / "Documents"},
        {"below home",
         "# written by the "
         "desktop\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n",
         home() / "Dokumente"},
        {"absolute", "XDG_DOCUMENTS_DIR=\"/srv/papers\"\n", "/srv/papers"},
        {"escaped blank", "XDG_DOCUMENTS_DIR=\"$HOME/My\\ Papers\"\n", home() / "My Papers"},
        {"relative, not allowed", "XDG_DOCUMENTS_DIR=\"papers\"\n", home() / "Documents"},
        {"the last setting holds", "XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"$HOME/b\"\n",
         home() / "b"},
    };
    for (const auto& c : cases) {
        fs::remove(settings());
        if (c.settings) {
            writeSettings(c.settings);
        }
        EXPECT_EQ(paths::documentsFolder(), c.expected) << c.name;
    }
}

TEST_F(PathsTest, TildePathsExpandIntoHomeAndDocuments) {
    writeSettings("XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    const std::string h = home().string();
    struct Case {
        std::string path, expected;
    };
    const Case cases[] = {
        {"~", h},
        {"~/tmp/", h + "/tmp/"},
        {"~/Documents/velmoraSDR_Files/data_files/", h + "/Dokumente/velmoraSDR_Files/data_files/"},
        {"~/Documents", h + "/Dokumente"},
        {"~/DocumentsOld/x", h + "/DocumentsOld/x"},
        {"/var/log/~/x", "/var/log/~/x"},
        {"~other/x", "~other/x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(paths::expandTilde(c.path), c.expected) << c.path;
    }
}

}  // namespace
}  // namespace vm
