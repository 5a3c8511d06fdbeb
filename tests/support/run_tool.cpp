#include "support/run_tool.h"

#include "support/temp_dir.h"

#include <cstdio>
#include <sys/wait.h>

namespace tarnix::test {

ToolResult runCommand(const std::string& command, const std::string& errFile) {
    ToolResult r;
    FILE* p = popen((command + " 2>" + errFile).c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.err = readTextFile(errFile);
    return r;
}

ToolResult runTarnixRun(const TempDir& dir, const std::string& args, const std::string& env) {
    return runCommand((env.empty() ? std::string() : env + " ") + TARNIX_BINARY_DIR +
                          "/tarnix-run --no-defaults " + args,
                      dir.file("stderr.txt"));
}

} // namespace tarnix::test
