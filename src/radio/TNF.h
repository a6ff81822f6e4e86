#pragma once
// One tracking notch filter of this client ("tnf" status lines): a plain record. The session's
// list holds one record per filter number; it is changed on the main queue only, where the
// panadapter and the TNF table read it and edit it before sending it back with saveTNF.
#include <cstdint>

namespace vm {

class TNF {
public:
    std::int32_t tnf_id = 0;  // the radio's number of the filter
    double frequency = 0;     // MHz
    std::int32_t depth = 0;
    double width = 0;            // MHz
    std::int32_t permanent = 0;  // 1: stays on the radio when the application quits
};

}  // namespace vm
