#include "net/FileUrl.h"

#include <string_view>

namespace vm::fileurl {

std::string pathFromFileUrl(const std::string& url) {
    constexpr std::string_view scheme = "file://";
    constexpr std::string_view localhost = "localhost/";
    if (url.compare(0, scheme.size(), scheme) != 0) {
        return {};
    }
    std::string path = url.substr(scheme.size());
    if (path.compare(0, localhost.size(), localhost) == 0) {
        path.erase(0, localhost.size() - 1);
    }
    return path.empty() || path.front() != '/' ? std::string() : path;
}

}  // namespace vm::fileurl
