#include "platform/core/SerialPortList.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace vm {

namespace {

namespace fs = std::filesystem;

// "ttyUSB10" sorts as ("ttyUSB", 10).
std::pair<std::string, unsigned long> naturalKey(const std::string& name) {
    auto digits = name.find_last_not_of("0123456789") + 1;
    const std::string number = name.substr(digits);
    return {name.substr(0, digits), number.empty() || number.size() > 9 ? 0 : std::stoul(number)};
}

}  // namespace

bool isUsbSerialName(const std::string& name) {
    for (const std::string prefix : {"ttyUSB", "ttyACM"}) {
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
            std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                        [](unsigned char c) { return std::isdigit(c); })) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> listSerialPorts(const fs::path& devFolder) {
    std::vector<std::string> ports;
    std::set<fs::path> named;  // devices that a by-id link names
    std::error_code ec;
    std::vector<fs::path> links;
    for (const auto& entry : fs::directory_iterator(devFolder / "serial" / "by-id", ec)) {
        links.push_back(entry.path());
    }
    std::sort(links.begin(), links.end());
    for (const auto& link : links) {
        const auto target = fs::canonical(link, ec);  // a link left behind by a device gone
        if (!ec && !fs::is_directory(target, ec)) {
            ports.push_back(link.string());
            named.insert(target);
        }
    }
    std::vector<fs::path> devices;
    for (const auto& entry : fs::directory_iterator(devFolder, ec)) {
        if (isUsbSerialName(entry.path().filename().string()) &&
            !fs::is_directory(entry.path(), ec) && !named.count(fs::canonical(entry.path(), ec))) {
            devices.push_back(entry.path());
        }
    }
    std::sort(devices.begin(), devices.end(), [](const fs::path& a, const fs::path& b) {
        return naturalKey(a.filename().string()) < naturalKey(b.filename().string());
    });
    for (const auto& device : devices) {
        ports.push_back(device.string());
    }
    return ports;
}

}  // namespace vm
