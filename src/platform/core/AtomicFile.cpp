#include "platform/core/AtomicFile.h"

#include "platform/core/Paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

namespace vm {

namespace {

// The temporary files of a write of `path`: "." + its name + "." + six characters of mkstemp.
std::string temporaryPrefix(const std::filesystem::path& path) {
    return "." + path.filename().string() + ".";
}
constexpr std::size_t kTemporarySuffix = 6;

Error posixError(const std::string& what) {
    const int code = errno;
    return Error{"NSPOSIXErrorDomain", code, what + ": " + std::strerror(code)};
}

}  // namespace

bool writeFileAtomically(const std::filesystem::path& path, const std::string& bytes, mode_t mode,
                         Error* error) {
    const auto folder =
        path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    paths::createFolders(folder);

    std::string temp = (folder / (temporaryPrefix(path) + "XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        setError(error, posixError("cannot create " + temp));
        return false;
    }
    bool ok = ::fchmod(fd, mode) == 0;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (ok && left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        if (ok) {
            p += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    ok = ok && ::fsync(fd) == 0;
    if (!ok) {
        setError(error, posixError("cannot write " + temp));
    }
    ::close(fd);
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        setError(error, posixError("cannot rename " + temp + " to " + path.string()));
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);  // the rename itself reaches the disk
        ::close(dir);
    }
    return true;
}

void removeInterruptedWrites(const std::filesystem::path& path) {
    const auto folder =
        path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    const std::string prefix = temporaryPrefix(path);
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        std::error_code typeError;
        if (name.size() == prefix.size() + kTemporarySuffix && name.rfind(prefix, 0) == 0 &&
            entry.is_regular_file(typeError)) {
            std::filesystem::remove(entry.path(), typeError);
        }
    }
}

std::optional<std::filesystem::path> renameAside(const std::filesystem::path& path,
                                                 const std::string& suffix) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d_%H%M%S", &local);
    for (int n = 1; n < 1000; ++n) {
        std::string name = path.string() + "." + stamp;
        if (n > 1) {
            name += "-" + std::to_string(n);
        }
        name += "." + suffix;
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0) {
            return std::filesystem::path(name);
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<std::string> readWholeFile(const std::filesystem::path& path, Error* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        setError(error, posixError("cannot open " + path.string()));
        return std::nullopt;
    }
    std::ostringstream out;
    out << in.rdbuf();
    return std::move(out).str();
}

}  // namespace vm
