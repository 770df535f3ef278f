// kelu-cksum run as a user runs it, on files made here: empty, the catalogue
// digits, one longer than the tool's read piece, unreadable ones, standard
// input, and one past 4 GiB. Expected values come from ISA-L directly, in
// one call per file where the length allows.
#include <sys/wait.h>

#include <gtest/gtest.h>
#include <isa-l/crc.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/common.h"

namespace {

std::vector<uint8_t> randomBytes(std::mt19937_64 &rng, size_t count) {
    std::vector<uint8_t> bytes(count);
    for (uint8_t &byte : bytes) {
        byte = static_cast<uint8_t>(rng());
    }
    return bytes;
}

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string &path, const std::vector<uint8_t> &bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// The line the tool prints for `bytes`, with " name" unless `name` is empty.
std::string expectedLine(const std::vector<uint8_t> &bytes, const std::string &name) {
    auto *p = const_cast<uint8_t *>(bytes.data());
    uint32_t crc32 = crc32_ieee(0, p, bytes.size());
    uint32_t crc32c = ~crc32_iscsi(p, static_cast<int>(bytes.size()), 0xFFFFFFFFu);
    char line[64];
    std::snprintf(line, sizeof line, "%08x %08x %zu", crc32, crc32c, bytes.size());
    return std::string(line) + (name.empty() ? "" : " " + name) + "\n";
}

class KeluCksum : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kelu-cksum-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    std::string path(const std::string &name) const { return dir_ + "/" + name; }

    // Runs the tool with `args`, standard input from `input` (a path).
    ToolRun run(const std::string &args, const std::string &input = "/dev/null") const {
        const std::string command = std::string("'") + KELU_CKSUM_PATH + "' " + args + " <'" +
                                    input + "' >'" + path("out") + "' 2>'" + path("err") + "'";
        ToolRun result;
        int status = std::system(command.c_str());
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = slurp(path("out"));
        result.err = slurp(path("err"));
        return result;
    }

    std::string dir_;
};

TEST_F(KeluCksum, HelpExplainsTheColumns) {
    ToolRun help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("CRC32 CRC32C BYTES NAME"), std::string::npos) << help.out;
    EXPECT_EQ(run("--bogus").status, 2);
}

TEST_F(KeluCksum, FilesInOrderAndUnreadableOnesReported) {
    std::mt19937_64 rng(kelu::test::testSeed());
    const std::vector<uint8_t> empty, digits = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    const std::vector<uint8_t> large = randomBytes(rng, 2 * 256 * 1024 + 123);
    writeFile(path("empty"), empty);
    writeFile(path("digits"), digits);
    writeFile(path("large"), large);

    ToolRun result = run(path("empty") + " " + path("missing") + " " + path("digits") + " " + dir_ +
                         " " + path("large"));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, expectedLine(empty, path("empty")) +
                              expectedLine(digits, path("digits")) +
                              expectedLine(large, path("large")));
    EXPECT_EQ(expectedLine(digits, ""), "fc891918 e3069283 9\n");
    EXPECT_EQ(result.err, "kelu-cksum: " + path("missing") + ": No such file or directory\n" +
                              "kelu-cksum: " + dir_ + ": Is a directory\n");
}

TEST_F(KeluCksum, StandardInputUnnamedByDefaultAndAsDash) {
    std::mt19937_64 rng(kelu::test::testSeed());
    const std::vector<uint8_t> bytes = randomBytes(rng, 300 * 1024);
    writeFile(path("input"), bytes);
    ToolRun unnamed = run("", path("input"));
    EXPECT_EQ(unnamed.status, 0);
    EXPECT_EQ(unnamed.out, expectedLine(bytes, ""));
    ToolRun dash = run("-", path("input"));
    EXPECT_EQ(dash.status, 0);
    EXPECT_EQ(dash.out, expectedLine(bytes, "-"));
}

// A result that cannot be written is a failure, whatever the input.
TEST_F(KeluCksum, UnwritableOutputFails) {
    writeFile(path("digits"), {'1', '2', '3'});
    for (const std::string &args : {std::string(""), path("digits")}) {
        SCOPED_TRACE("arguments: '" + args + "'");
        const std::string command = std::string("'") + KELU_CKSUM_PATH + "' " + args + " <'" +
                                    path("digits") + "' >/dev/full 2>/dev/null";
        int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1);
    }
}

// 4 GiB of zeros and three bytes, written into a pipe to the tool: the
// count is 64-bit and every piece reaches the library with a 32-bit count.
TEST_F(KeluCksum, PastFourGibibytesThroughAPipe) {
    const uint64_t zeros = uint64_t{1} << 32;
    std::vector<unsigned char> block(1 << 20, 0);
    unsigned char tail[] = {'a', 'b', 'c'};
    const std::string command =
        std::string("'") + KELU_CKSUM_PATH + "' >'" + path("out") + "' 2>'" + path("err") + "'";
    FILE *tool = popen(command.c_str(), "w");
    ASSERT_NE(tool, nullptr);
    uint32_t crc32 = 0;
    uint32_t crc32c = 0xFFFFFFFFu;
    for (uint64_t done = 0; done < zeros; done += block.size()) {
        ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), tool), block.size());
        crc32 = crc32_ieee(crc32, block.data(), block.size());
        crc32c = crc32_iscsi(block.data(), static_cast<int>(block.size()), crc32c);
    }
    ASSERT_EQ(std::fwrite(tail, 1, 3, tool), 3u);
    const int status = pclose(tool);
    crc32 = crc32_ieee(crc32, tail, 3);
    crc32c = ~crc32_iscsi(tail, 3, crc32c);
    char line[80];
    std::snprintf(line, sizeof line, "%08x %08x %llu\n", crc32, crc32c,
                  static_cast<unsigned long long>(zeros + 3));

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << slurp(path("err"));
    EXPECT_EQ(slurp(path("out")), line);
}

}  // namespace
