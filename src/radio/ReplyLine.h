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

// The radio's codes are hexadecimal error numbers ("50000015", "E2000048"). A code that does not
// read as one counts as a failure (1), so nothing unreadable passes for success.
inline unsigned replyCode(const Reply& reply) {
    Scanner scan(reply.code);
    unsigned code = 1;
    return scan.scanHexInt(&code) ? code : 1;
}

inline bool replySucceeded(const Reply& reply) { return replyCode(reply) == 0; }

}  // namespace vm
