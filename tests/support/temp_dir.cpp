#include "support/temp_dir.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace tarnix::test {

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "tarnix-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("cannot create a temporary directory");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeTextFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string testdataPath(const std::string& relative) {
    std::filesystem::path p = std::filesystem::path(TARNIX_TESTDATA_DIR) / relative;
    return std::filesystem::exists(p) ? p.string() : std::string();
}

} // namespace tarnix::test
