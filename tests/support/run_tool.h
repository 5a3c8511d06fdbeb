#pragma once
// Runs a built program the way a script would and collects what it printed.
#include <string>

namespace tarnix::test {

struct ToolResult {
    int status = -1;
    std::string out, err;
};

// `command` is passed to the shell; stderr is captured apart from stdout.
ToolResult runCommand(const std::string& command, const std::string& errFile);

} // namespace tarnix::test
