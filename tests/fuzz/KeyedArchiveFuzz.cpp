// Arbitrary bytes as a keyed archive (colours, band edges and band stacks in the preferences and
// files): the checks before libplist, the archive's structure and the decoding of every built-in
// kind and two record classes. What decodes must archive again into bytes that decode the same.
#include "platform/core/KeyedArchiver.h"
#include "platform/core/KeyedUnarchiver.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::set<std::string> allowed = {
        "Number", "String", "Data", "Date", "Array", "Dictionary", "BandStack", "FrequencyAndMode"};
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto unarchiver = vm::KeyedUnarchiver::create(bytes);
    if (!unarchiver) {
        return 0;
    }
    const auto value = unarchiver->decodeTopObject(allowed);
    if (!value) {
        return 0;
    }
    const auto archived = vm::archivedData(*value);
    if (!archived) {
        return 0;  // a real that is not finite, say: refused when archiving, not a fault
    }
    const auto again = vm::KeyedUnarchiver::create(*archived);
    if (!again || again->decodeTopObject(allowed) != value) {
        std::abort();
    }
    return 0;
}
