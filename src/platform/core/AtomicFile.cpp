#include "platform/core/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace vm {

namespace {

Error posixError(const std::string& what) {
    const int code = errno;
    return Error{"NSPOSIXErrorDomain", code, what + ": " + std::strerror(code)};
}

}  // namespace

bool writeFileAtomically(const std::filesystem::path& path, const std::string& bytes, mode_t mode,
                         Error* error) {
    std::error_code ec;
    const auto folder =
        path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    std::filesystem::create_directories(folder, ec);

    std::string temp = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
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
