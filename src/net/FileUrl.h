#pragma once
// File URLs of Unix-domain socket files: "file://" followed by the path, as the socket address
// conversions write them.
#include <string>

namespace vm::fileurl {

// The path of a "file://" URL ("file://localhost/x" included); empty for anything else.
std::string pathFromFileUrl(const std::string& url);

}  // namespace vm::fileurl
