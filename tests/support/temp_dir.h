#pragma once
// A private directory for one test's files, removed when the test ends.
#include <filesystem>
#include <string>

namespace tarnix::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string readTextFile(const std::string& path);
void writeTextFile(const std::string& path, const std::string& text);
// The shared real-file test data, or empty when it is not beside the checkout.
std::string testdataPath(const std::string& relative);

} // namespace tarnix::test
