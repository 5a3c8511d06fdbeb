#include "core/rewrite_file.h"

#include <sys/stat.h>
#include <unistd.h>

namespace tarnix {

std::FILE* openForRewrite(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        if (std::FILE* f = std::fopen(path.c_str(), "r+b")) return f;
    return std::fopen(path.c_str(), "wb");
}

bool closeRewritten(std::FILE* f) {
    bool ok = std::fflush(f) == 0;
    const off_t end = ::ftello(f);
    ok = ok && end >= 0 && ::ftruncate(::fileno(f), end) == 0;
    return std::fclose(f) == 0 && ok;
}

} // namespace tarnix
