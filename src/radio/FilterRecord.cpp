#include "radio/FilterRecord.h"

#include <utility>

namespace vm {

FilterSpec::FilterSpec(std::string menuLabel, std::string modeName, int txFilterLo, int txFilterHi,
                       int filterLo, int filterHi)
    : label(std::move(menuLabel)),
      mode(std::move(modeName)),
      txLo(txFilterLo),
      txHi(txFilterHi),
      lo(filterLo),
      hi(filterHi) {}

}  // namespace vm
