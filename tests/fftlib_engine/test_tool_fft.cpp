// halvex-tool fft, run as a program: files and pipes, exit codes, messages.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string tool = HALVEX_TOOL_PATH;

std::string tempPath(const std::string& name) { return ::testing::TempDir() + "halvex_fft_" + name; }

void writeFloats(const std::string& path, const std::vector<float>& values) {
    std::ofstream out(path, std::ios::binary);
    for (float v : values) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        const char bytes[4] = {char(bits), char(bits >> 8), char(bits >> 16), char(bits >> 24)};
        out.write(bytes, 4);
    }
}

std::vector<float> readFloats(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<float> values(bytes.size() / 4);
    for (size_t i = 0; i < values.size(); ++i) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + 4 * i);
        const uint32_t bits = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
        std::memcpy(&values[i], &bits, 4);
    }
    return values;
}

std::string readText(const std::string& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Runs the tool with a shell command line tail; returns its exit code and
// leaves its standard error in the file "stderr".
int run(const std::string& args) {
    const std::string command = tool + " fft " + args + " 2>" + tempPath("stderr");
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ToolFft, TransformsAFileIntoAFile) {
    writeFloats(tempPath("in"), {1, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(run("--order 2 --flags 1 " + tempPath("in") + " " + tempPath("out")), 0);
    EXPECT_EQ(readFloats(tempPath("out")), (std::vector<float>{1, 1, 1, 1, 0, 0, 0, 0}));
}

TEST(ToolFft, PipesForwardThenInverseBackToTheInput) {
    std::vector<float> x(2 * 1024);
    for (size_t k = 0; k < x.size(); ++k) x[k] = float(std::sin(0.1 * double(k * k % 977)));
    writeFloats(tempPath("x"), x);
    ASSERT_EQ(run("--order 10 --flags 1 --variant 0 <" + tempPath("x") + " | " + tool +
                  " fft --order 10 --flags 0x2 - " + tempPath("back")),
              0);
    const std::vector<float> back = readFloats(tempPath("back"));
    ASSERT_EQ(back.size(), x.size());
    for (size_t k = 0; k < x.size(); ++k) EXPECT_NEAR(back[k], x[k], 1e-6) << k;
}

// Every variant through --variant: the same transform within single-precision
// rounding (orders 9 and 12, forward; 12 inverse with bit-reversed output).
TEST(ToolFft, EveryVariantTransformsTheSameWay) {
    for (int order : {9, 12}) {
        const size_t n = size_t(1) << order;
        std::vector<float> x(2 * n);
        for (size_t k = 0; k < x.size(); ++k) x[k] = float(std::cos(0.37 * double(k * k % 1009)));
        writeFloats(tempPath("vx"), x);
        for (const char* flags : {"1", "0x82"}) {
            std::vector<float> first;
            for (int v = 0; v < 6; ++v) {
                const std::string out = tempPath("v" + std::to_string(v));
                ASSERT_EQ(run("--order " + std::to_string(order) + " --flags " + flags + " --variant " +
                              std::to_string(v) + " " + tempPath("vx") + " " + out),
                          0)
                    << "variant " << v << ": " << readText(tempPath("stderr"));
                const std::vector<float> y = readFloats(out);
                ASSERT_EQ(y.size(), x.size()) << "variant " << v;
                if (v == 0) {
                    first = y;
                    continue;
                }
                double err = 0, ref = 0;
                for (size_t k = 0; k < y.size(); ++k) {
                    err += (double(y[k]) - first[k]) * (double(y[k]) - first[k]);
                    ref += double(first[k]) * first[k];
                }
                EXPECT_LE(std::sqrt(err / ref), 1e-6) << "variant " << v << " order " << order << " flags " << flags;
            }
        }
    }
}

// Variant 5 through --width: every width this build and processor run gives
// the 128-bit body's bytes; the others are refused with exit code 2.
TEST(ToolFft, EveryWidthGivesTheSameBytes) {
    std::vector<float> x(2 << 11);
    for (size_t k = 0; k < x.size(); ++k) x[k] = float(std::sin(0.61 * double(k * k % 1013)));
    writeFloats(tempPath("wx"), x);
    std::string first;
    for (const char* width : {"128", "256", "512"}) {
        const std::string out = tempPath(std::string("w") + width);
        const int code = run("--order 11 --flags 0x21 --variant 5 --width " + std::string(width) + " " +
                             tempPath("wx") + " " + out);
        const std::string err = readText(tempPath("stderr"));
        if (code == 2 && (err.find("does not run") != std::string::npos || err.find("has no") != std::string::npos))
            continue;
        ASSERT_EQ(code, 0) << width << ": " << err;
        if (first.empty()) first = readText(out);
        EXPECT_TRUE(readText(out) == first && first.size() == 8 * 2048u) << width;
    }
}

TEST(ToolFft, FlagsThatOnlyManageTablesReadAndWriteNothing) {
    EXPECT_EQ(run("--order 12 --flags 4 </dev/null >" + tempPath("none")), 0);
    EXPECT_EQ(run("--order 12 --flags 8 </dev/null >" + tempPath("none")), 0);
    EXPECT_TRUE(readFloats(tempPath("none")).empty());
}

TEST(ToolFft, BadArgumentsExitWithTwoAndSayWhy) {
    writeFloats(tempPath("four"), {1, 2, 3, 4, 0, 0, 0, 0});
    const struct {
        std::string args, message;
    } cases[] = {
        {"--order 2 --flags 3 " + tempPath("four"), "(flags & 1) && (flags & 2) [kfxffts line 846]"},
        {"--order 2 --flags 0 " + tempPath("four"), "(flags & 1)==0 && (flags & 2)==0"},
        {"--order 2 --flags 0xC1 " + tempPath("four"), "(flags & 64) && (flags & 128)"},
        {"--order 3 --flags 1 " + tempPath("four"), "exactly 64 bytes"},
        {"--order 32 --flags 1", "--order must be an integer from 0 to 31"},
        {"--order two --flags 1", "--order must be an integer"},
        {"--order 2 --flags 1x", "--flags must be"},
        {"--flags 1", "--order is required"},
        {"--order 2", "--flags is required"},
        {"--order 2 --flags 1 --variant 6", "--variant must be 0 to 5"},
        {"--order 2 --flags 1 --width 384", "--width must be 128, 256 or 512"},
        {"--order 2 --flags 1 --variant 0 --width 128", "--width applies to variant 5 only"},
        {"--order 2 --flags 1 --fast", "unknown option --fast"},
        {"--order 2 --flags 1 a b c", "too many files"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.args + " >/dev/null"), 2) << c.args;
        EXPECT_NE(readText(tempPath("stderr")).find(c.message), std::string::npos)
            << c.args << ": " << readText(tempPath("stderr"));
    }
}

TEST(ToolFft, AMissingInputFileExitsWithOne) {
    EXPECT_EQ(run("--order 2 --flags 1 " + tempPath("no-such-file")), 1);
    EXPECT_NE(readText(tempPath("stderr")).find("cannot open"), std::string::npos);
}

}  // namespace
