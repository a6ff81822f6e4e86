#include "app/shell/DebugLogFiles.h"

#include "platform/core/Log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <vector>

namespace vm {

namespace fs = std::filesystem;

std::string debugLogFileName(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d_%H%M%S.txt", &local);
    return text;
}

bool redirectStandardError(const std::string& path) {
    // A symbolic link, or anything but a plain file, in the log's place is refused: the log must
    // not be written wherever someone points it.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return false;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return false;
    }
    const int saved = ::dup2(fd, STDERR_FILENO) < 0 ? errno : 0;
    ::close(fd);
    errno = saved;
    return saved == 0;
}

namespace {

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

void logSaved(double bytes, const std::string& folder, const std::string& extension) {
    fs::path shown(folder);
    if (shown.filename().empty()) {
        shown = shown.parent_path();  // "…/debug_log_files/" shows as "debug_log_files"
    }
    const std::string name = shown.filename().string();
    if (bytes <= 1024) {
        log("purgeFilesAtPath:{:8.0f} By saved in {} .{}", bytes, name, extension);
    } else if (bytes <= 1048576) {
        log("purgeFilesAtPath:{:8.1f} KB saved in {} .{}", bytes / 1024, name, extension);
    } else {
        log("purgeFilesAtPath:{:8.1f} MB saved in {} .{}", bytes / 1024 / 1024, name, extension);
    }
}

}  // namespace

void purgeFilesAtPath(const std::string& path, double age, const std::string& extension) {
    if (path.size() < 20 || age < 3600 || extension.empty()) {
        return;
    }
    std::vector<fs::path> entries;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(path, ec)) {
        entries.push_back(entry.path());
    }
    if (ec || entries.size() < 10) {
        return;
    }
    std::sort(entries.begin(), entries.end());
    const std::time_t now = std::time(nullptr);
    double total = 0;
    for (const auto& entry : entries) {
        std::error_code statusError;
        if (!fs::exists(entry, statusError) || fs::is_directory(entry, statusError)) {
            continue;
        }
        const std::string suffix = entry.extension().string();
        if (suffix.size() < 2 || !sameIgnoringCase(suffix.substr(1), extension)) {
            continue;
        }
        struct stat attributes {};
        if (::lstat(entry.c_str(), &attributes) != 0) {
            log("purgeFilesAtPath:Error reading file attributes for: {} - {}", entry.string(),
                std::strerror(errno));
            continue;
        }
        if (double(now - attributes.st_mtime) > age) {
            if (::unlink(entry.c_str()) != 0) {
                log("purgeFilesAtPath:Error: {}", std::strerror(errno));
                break;
            }
            total += double(attributes.st_size);
        }
    }
    if (total != 0) {
        logSaved(total, path, extension);
    }
}

}  // namespace vm
