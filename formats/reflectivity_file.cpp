#include "formats/reflectivity_file.h"

#include "core/error.h"
#include "core/numtext.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tarnix {

namespace {

constexpr size_t kFlushBytes = 1 << 16;

const char* const kFieldNames[10] = {"shot",   "year",     "day",       "hour",        "minute",
                                     "second", "latitude", "longitude", "coefficient", "depth"};

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// The next blank-separated word from `pos`; empty at the end of the line.
std::string_view nextWord(std::string_view line, size_t& pos) {
    while (pos < line.size() && blank(line[pos])) ++pos;
    const size_t start = pos;
    while (pos < line.size() && !blank(line[pos])) ++pos;
    return line.substr(start, pos - start);
}

} // namespace

std::string reflectivityLine(std::string_view position, long double coefficient,
                             long double depth) {
    std::string line(position);
    line += ' ';
    line += fixedText(coefficient, 10, 5);
    line += ' ';
    line += fixedText(depth, 2, 3);
    return line;
}

ReflectivityRecord parseReflectivityLine(std::string_view line) {
    ReflectivityRecord r;
    size_t pos = 0;
    auto fail = [](int field, std::string_view word) {
        std::string m;
        if (word.empty()) {
            m.append("the ").append(kFieldNames[field]).append(" (field ");
            m.append(std::to_string(field + 1)).append(") is missing");
        } else {
            m.append("'").append(word).append("' is not a number (").append(kFieldNames[field]);
            m.append(", field ").append(std::to_string(field + 1)).append(")");
        }
        return IoError(m);
    };
    for (int k = 0; k < 6; ++k) {
        const std::string_view w = nextWord(line, pos);
        if (!tryParseInt(w, r.fields[k])) throw fail(k, w);
    }
    double* decimals[3] = {&r.lat, &r.lon, &r.coefficient};
    for (int k = 0; k < 3; ++k) {
        const std::string_view w = nextWord(line, pos);
        long double v = 0;
        if (!tryParseFloat(w, v)) throw fail(6 + k, w);
        *decimals[k] = static_cast<double>(v);
    }
    long double depth = 0;
    if (tryParseFloat(nextWord(line, pos), depth)) r.depth = static_cast<double>(depth);
    return r;
}

void parseReflectivityText(std::string_view text, const std::string& path,
                           std::vector<ReflectivityRecord>& out) {
    int lineNo = 0;
    for (size_t at = 0; at < text.size(); ++lineNo) {
        size_t nl = text.find('\n', at);
        if (nl == std::string_view::npos) nl = text.size();
        const std::string_view line = text.substr(at, nl - at);
        at = nl + 1;
        size_t pos = 0;
        const std::string_view first = nextWord(line, pos);
        if (first.empty() || first[0] == '#') continue;
        try {
            out.push_back(parseReflectivityLine(line));
        } catch (const IoError& e) {
            throw IoError(path + ", line " + std::to_string(lineNo + 1) + ": " + e.what());
        }
        out.back().line = lineNo;
    }
}

std::vector<ReflectivityRecord> readReflectivityFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw IoError("Cannot open " + path + ": " + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw IoError("Cannot read " + path);
    std::vector<ReflectivityRecord> records;
    parseReflectivityText(text.str(), path, records);
    return records;
}

ReflectivityOutput::ReflectivityOutput(std::string path) : path_(std::move(path)) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) throw IoError("Cannot create " + path_ + ": " + std::strerror(errno));
    buffer_.reserve(kFlushBytes + 256);
}

ReflectivityOutput::~ReflectivityOutput() {
    if (fd_ >= 0) ::close(fd_);
}

void ReflectivityOutput::append(std::string_view position, long double coefficient,
                                long double depth) {
    if (fd_ < 0) throw IoError(path_ + " is already closed");
    buffer_ += reflectivityLine(position, coefficient, depth);
    buffer_ += '\n';
    ++lines_;
    if (buffer_.size() >= kFlushBytes) flush();
}

void ReflectivityOutput::flush() {
    size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t w = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            throw IoError("Cannot write " + path_ + ": " + std::strerror(errno));
        }
        done += static_cast<size_t>(w);
    }
    buffer_.clear();
}

void ReflectivityOutput::close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    try {
        flush();
    } catch (...) {
        fd_ = -1;
        ::close(fd);
        throw;
    }
    fd_ = -1;
    if (::close(fd) != 0) throw IoError("Cannot write " + path_ + ": " + std::strerror(errno));
}

} // namespace tarnix
