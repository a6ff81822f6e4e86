#include "platform/core/Log.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <regex>

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

// What reaches the debug log file: each line with the local time to the millisecond in front.
TEST(Log, EachLineOnStandardErrorStartsWithItsTimeToTheMillisecond) {
    char path[] = "/tmp/vm-log-XXXXXX";
    const int file = ::mkstemp(path);
    ASSERT_GE(file, 0);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(file, STDERR_FILENO);
    logLine("first");
    log("second {}", 2);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    std::string written(256, '\0');
    written.resize(std::size_t(std::max<ssize_t>(0, ::pread(file, written.data(), 256, 0))));
    ::close(file);
    ::unlink(path);
    const std::string stamp = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )";
    EXPECT_TRUE(std::regex_match(written, std::regex(stamp + "first\n" + stamp + "second 2\n")))
        << written;
}

}  // namespace
}  // namespace vm
