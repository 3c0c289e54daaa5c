#pragma once
// Runs the batch runner as a user does, with its standard output and error and its exit status.

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/test_files.h"

namespace tav::testing {

struct BatchRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the batch runner with args (shell words); its standard error goes through a file in dir. The time
// limit turns a run that blocks (on a FIFO, say) into a failure instead of a hang.
inline BatchRun runBatch(const std::string& args, const TempDir& dir) {
    const std::string errFile = dir.file("stderr.txt");
    const std::string cmd = "timeout 20 " + std::string(TAVOLEX_BATCH_EXE) + " " + args + " 2>" + errFile;
    BatchRun r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.err = readBytes(errFile);
    return r;
}

}  // namespace tav::testing
