#include "oracle_util.h"

#include "platform/devkit/tests/test_folder.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace dockit_test {

std::string TempFile(const std::string &suffix)
{
    static std::atomic<int> counter{0};
    return zeptest::TestFile(std::to_string(counter++) + suffix);
}

std::string ReadWhole(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteWhole(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string RunTool(const std::string &command, const std::string &input, int *status)
{
    std::string in = TempFile(".in");
    WriteWhole(in, input);
    std::string out;
    FILE *pipe = ::popen((command + " < " + in).c_str(), "r");
    if (!pipe) {
        *status = -1;
        std::filesystem::remove(in);
        return out;
    }
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), pipe)) > 0)
        out.append(buf, n);
    int rc = ::pclose(pipe);
    *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    std::filesystem::remove(in);
    return out;
}

} // namespace dockit_test
