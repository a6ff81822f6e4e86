#pragma once
// A desktop command (xdg-open, xdg-email) replaced for one test: a script of that name in a
// folder of its own, put first in PATH, that writes the arguments it gets into a file (each ended
// by a NUL, so that texts of several lines stay whole) and ends with the status the test chose.
#include "support/ScopedEnv.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

namespace vm::test {

class StandInCommand {
public:
    explicit StandInCommand(const std::string& name, int exitStatus = 0) {
        const std::string folder = dir_.path().toStdString();
        script_ = folder + "/" + name;
        arguments_ = folder + "/" + name + ".arguments";
        std::ofstream(script_)
            << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\000' \"$a\"; done > \"" << arguments_
            << ".part\"\nmv \"" << arguments_ << ".part\" \"" << arguments_ << "\"\nexit "
            << exitStatus << "\n";
        EXPECT_EQ(::chmod(script_.c_str(), 0700), 0);
        const char* path = std::getenv("PATH");
        env_.set("PATH", (folder + ":" + (path ? path : "/usr/bin:/bin")).c_str());
    }

    // The arguments of the last run, or none while it has not run.
    std::vector<std::string> arguments() const {
        std::ifstream file(arguments_, std::ios::binary);
        std::vector<std::string> arguments;
        for (std::string argument; std::getline(file, argument, '\0');) {
            arguments.push_back(argument);
        }
        return arguments;
    }
    bool ran() const {
        struct stat info {};
        return ::stat(arguments_.c_str(), &info) == 0;
    }

private:
    QTemporaryDir dir_;
    std::string script_;
    std::string arguments_;
    ScopedEnv env_;
};

}  // namespace vm::test
