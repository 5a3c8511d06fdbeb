#pragma once
// Runs a built program the way a script would and collects what it printed.
#include <string>

namespace tarnix::test {

struct ToolResult {
    int status = -1;
    std::string out, err;
};

class TempDir;

// `command` is passed to the shell; stderr is captured apart from stdout.
ToolResult runCommand(const std::string& command, const std::string& errFile);
// The built tarnix-run with --no-defaults and `args`; `env` ("NAME=value ...")
// is put before the command. Its stderr goes through a file in `dir`.
ToolResult runTarnixRun(const TempDir& dir, const std::string& args,
                        const std::string& env = std::string());

} // namespace tarnix::test
