#pragma once
// Output files written again in place: a profile saved over the one the last
// run wrote keeps the file's pages, where truncating it first made the system
// free a hundred megabytes of cache only to fill as many anew.
#include <cstdio>
#include <string>

namespace tarnix {

// The file opened for writing from its start: an existing regular file as it
// is, anything else created or truncated as by fopen(path, "wb"). Null when
// it cannot be opened.
std::FILE* openForRewrite(const std::string& path);

// Cuts the file at the current position (what was written from the start, so
// the caller seeks there last), then closes it. False when any of it failed.
bool closeRewritten(std::FILE* f);

} // namespace tarnix
