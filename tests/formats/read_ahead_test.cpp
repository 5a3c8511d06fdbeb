// The read-ahead block and the block read beside the caller: every byte as the
// file holds it, whatever the read lengths and jumps, and a file that ends
// early leaves the reads it cannot deliver to the caller.
#include "formats/read_ahead.h"
#include "support/sonar_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace tarnix;
using namespace tarnix::test;

TEST(ReadAhead, EveryByteAcrossBlocksJumpsAndAnEarlyEnd) {
    TempDir dir;
    const long long size = 5 * ReadAhead::kBlockBytes + 12345;
    Bytes file(static_cast<size_t>(size));
    for (long long i = 0; i < size; ++i) file[i] = static_cast<unsigned char>((i * 7919) >> 5);
    writeBytes(dir.file("f"), file);
    const int fd = ::open(dir.file("f").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    for (const bool thread : {true, false}) {
        ReadAhead r(thread);
        auto same = [&](long long pos, long long n) {
            const unsigned char* p = r.bytes(fd, pos, n, size);
            return p && std::memcmp(p, file.data() + pos, static_cast<size_t>(n)) == 0;
        };
        // Traces of 8240 bytes one after another, a longer one, a jump back.
        long long pos = 3600;
        for (; pos + 8240 <= size; pos += 8240) ASSERT_TRUE(same(pos, 8240)) << pos;
        EXPECT_TRUE(same(size - 100, 100));
        EXPECT_EQ(r.bytes(fd, size - 100, 101, size), nullptr); // past the end
        EXPECT_TRUE(same(3600 + 8240 * 40, 9000));
        EXPECT_TRUE(same(0, 3600 + ReadAhead::kBlockBytes)); // longer than a block
        EXPECT_TRUE(same(3600 + 8240 * 3, 8240));
        r.drop();
        EXPECT_TRUE(same(3600, 8240));
    }
    // The file ends early after the blocks were asked for: what it still holds
    // comes, the rest is null for the caller to read and report.
    for (const bool thread : {true, false}) {
        ReadAhead r(thread);
        writeBytes(dir.file("f"), file);
        ASSERT_NE(r.bytes(fd, 0, 8240, size), nullptr);
        const long long cut = 2 * ReadAhead::kBlockBytes + 500;
        ASSERT_EQ(::truncate(dir.file("f").c_str(), cut), 0);
        long long pos = 8240;
        for (; pos + 8240 <= cut; pos += 8240) {
            const unsigned char* p = r.bytes(fd, pos, 8240, size);
            ASSERT_NE(p, nullptr) << pos;
            ASSERT_EQ(std::memcmp(p, file.data() + pos, 8240), 0) << pos;
        }
        EXPECT_EQ(r.bytes(fd, pos, 8240, size), nullptr) << thread;
    }
    ::close(fd);
}
