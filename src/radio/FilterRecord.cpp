#include "radio/FilterRecord.h"

#include <utility>

namespace vm {

FilterSpec::FilterSpec(std::string label, std::string mode, int txFilterLo, int txFilterHi,
                       int filterLo, int filterHi)
    : label(std::move(label)),
      mode(std::move(mode)),
      txLo(txFilterLo),
      txHi(txFilterHi),
      lo(filterLo),
      hi(filterHi) {}

}  // namespace vm
