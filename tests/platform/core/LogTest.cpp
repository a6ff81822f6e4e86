#include "platform/core/Log.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

// A value from outside (a link, a radio's text) cannot start a line of its own or drive a
// terminal; ordinary text, UTF-8 included, passes as it is.
TEST(Log, ControlCharactersInALineAreEscaped) {
    const struct {
        std::string value;
        std::string shown;
    } cases[] = {
        {"14.074\nawakeFromNib:forged", "14.074\\nawakeFromNib:forged"},
        {"a\rb\tc", "a\\rb\\tc"},
        {"\x1b[2J\x7f", "\\x1b[2J\\x7f"},
        {std::string("nul\0end", 7), "nul\\x00end"},
        {"next\xc2\x85line", "next\\u0085line"},
        {"sep\xe2\x80\xa8par\xe2\x80\xa9", "sep\\u2028par\\u2029"},
        {"Gr\xc3\xbc\xc3\x9f\x65 \xe2\x80\x94 \xf0\x9f\x93\xbb",
         "Gr\xc3\xbc\xc3\x9f\x65 \xe2\x80\x94 \xf0\x9f\x93\xbb"},
        {"broken \xc2", "broken \xc2"},
    };
    for (const auto& c : cases) {
        test::LogCapture capture;
        log("handleURLEvent:url:[{}]", c.value);
        ASSERT_EQ(capture.lines().size(), 1u);
        EXPECT_EQ(capture.lines()[0], "handleURLEvent:url:[" + c.shown + "]");
    }
}

}  // namespace
}  // namespace vm
