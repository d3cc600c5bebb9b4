#include "oracle_util.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "corekit/encoding/encoding.h"

std::string RunCommand(const std::string &command, int *status)
{
    std::string out;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe) {
        if (status)
            *status = -1;
        return out;
    }
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    int rc = pclose(pipe);
    if (status)
        *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

bool HaveTool(const char *name)
{
    int status = 0;
    RunCommand(std::string("command -v ") + name + " >/dev/null 2>&1", &status);
    return status == 0;
}

bool WritePgm(const std::string &path, const XBitImage &image)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    fprintf(f, "P5\n%u %u\n255\n", image.GetWidth(), image.GetHeight());
    std::vector<uint8_t> row(image.GetWidth());
    for (uint32_t y = 0; y < image.GetHeight(); y++) {
        for (uint32_t x = 0; x < image.GetWidth(); x++)
            row[x] = image.IsDark(x, y) ? 0 : 255;
        fwrite(row.data(), 1, row.size(), f);
    }
    return fclose(f) == 0;
}

std::string ZintEscape(const std::string &bytes)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += "\\x";
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    return out;
}

std::string ShellQuote(const std::string &s)
{
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

std::string ToAnsiBytes(const std::u16string &text)
{
    std::string out(text.size() * 4 + 4, '\0');
    unsigned n = WStrToAStr(text.c_str(), static_cast<int>(text.size()), out.data(),
                            static_cast<uint32_t>(out.size()));
    out.resize(n);
    return out;
}

void ParallelFor(size_t n, const std::function<void(size_t)> &body)
{
    std::atomic<size_t> next{0};
    auto worker = [&]() {
        for (size_t i; (i = next++) < n;)
            body(i);
    };
    std::thread other(worker);
    worker();
    other.join();
}

uint32_t TestRandom::Next(uint32_t bound)
{
    m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>((m_state >> 33) % bound);
}
