#pragma once
// A reply line of the command channel, "R<seq>|<code>|<data>", split into its code and its data
// (everything after the second bar), and whether the code says success.
#include "platform/core/Scanner.h"

#include <string>

namespace vm {

struct Reply {
    std::string code;
    std::string data;
};

inline Reply splitReply(const std::string& line) {
    Scanner scan(line);
    scan.scanString("R");
    scan.scanInt();
    scan.scanString("|");
    Reply reply;
    scan.scanUpToString("|", &reply.code);
    scan.scanString("|");
    reply.data = std::string(scan.remainder());
    return reply;
}

// The radio's codes are hexadecimal error numbers; only a code that reads as 0 is success.
inline bool replySucceeded(const Reply& reply) {
    Scanner scan(reply.code);
    unsigned code = 1;
    return scan.scanHexInt(&code) && code == 0;
}

}  // namespace vm
