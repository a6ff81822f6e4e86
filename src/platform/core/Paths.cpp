#include "platform/core/Paths.h"

#include "platform/core/AtomicFile.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <vector>

namespace vm::paths {

namespace {

// A value of user-dirs.dirs: a double-quoted "$HOME/..." or absolute path, with \ escapes.
std::optional<std::filesystem::path> userDirValue(const std::string& quoted) {
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') {
        return std::nullopt;
    }
    std::string value;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] == '\\' && i + 2 < quoted.size()) {
            ++i;
        }
        value += quoted[i];
    }
    if (value == "$HOME" || value.rfind("$HOME/", 0) == 0) {
        return value.size() > 6 ? homeFolder() / value.substr(6) : homeFolder();
    }
    if (!value.empty() && value[0] == '/') {
        return std::filesystem::path(value);
    }
    return std::nullopt;
}

}  // namespace

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir) {
        return found->pw_dir;
    }
    return "/";
}

std::filesystem::path configHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    return xdg && *xdg ? std::filesystem::path(xdg) : homeFolder() / ".config";
}

std::filesystem::path documentsFolder() {
    std::optional<std::filesystem::path> documents;
    if (const auto text = readWholeFile(configHome() / "user-dirs.dirs")) {
        std::istringstream lines(*text);
        std::string line;
        while (std::getline(lines, line)) {
            constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
            if (line.rfind(kKey, 0) == 0) {
                documents = userDirValue(line.substr(kKey.size()));  // the last setting holds
            }
        }
    }
    return documents ? *documents : homeFolder() / "Documents";
}

bool createFolders(const std::filesystem::path& folder, mode_t mode) {
    std::filesystem::path made;
    for (const auto& part : folder.lexically_normal()) {
        made /= part;
        if (part.empty() || part == "/" || part == "." || part == "..") {
            continue;
        }
        if (::mkdir(made.c_str(), mode) == 0) {
            ::chmod(made.c_str(), mode);  // the umask may have taken bits away
        }
    }
    std::error_code ec;
    return std::filesystem::is_directory(folder, ec);
}

std::string expandTilde(const std::string& path) {
    if (path == "~") {
        return homeFolder().string();
    }
    if (path.rfind("~/", 0) != 0) {
        return path;
    }
    const std::string rest = path.substr(2);
    constexpr std::string_view kDocuments = "Documents";
    if (rest.rfind(kDocuments, 0) == 0 &&
        (rest.size() == kDocuments.size() || rest[kDocuments.size()] == '/')) {
        return documentsFolder().string() + rest.substr(kDocuments.size());
    }
    return (homeFolder() / rest).string();
}

}  // namespace vm::paths
