// UTF-8 to UTF-16 and back over 1 MB of mixed Chinese and ASCII text: corekit's coder
// against glibc iconv in the same run. At exit the throughput ratios (ours / iconv) are
// printed for both directions.
#include <cstdio>
#include <ctime>
#include <iconv.h>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/bench_util.h"

#include "corekit/encoding/encoding.h"

namespace {

// About 1 MB of UTF-8: runs of ASCII words and runs of common CJK ideographs, mixed
// like business text (names, addresses, remarks) with fixed pseudo-random lengths.
std::string MixedText()
{
    static const char *kWords[] = {"order ",    "2024-03-05 ", "amount=1234.50 ",
                                   "ID:A0018 ", "remark, ",    "OK. "};
    std::string text;
    uint32_t seed = 12345;
    auto next = [&seed]() { return (seed = seed * 1103515245u + 12345u) >> 16; };
    char buf[4];
    while (text.size() < (1u << 20)) {
        for (unsigned i = next() % 4 + 1; i > 0; --i)
            text += kWords[next() % 6];
        for (unsigned i = next() % 12 + 2; i > 0; --i) {
            char16_t u = static_cast<char16_t>(0x4E00 + next() % 0x51A6);
            text.append(buf, GetUTF8Char(u, buf));
        }
    }
    return text;
}

const std::string &Utf8()
{
    static const std::string text = MixedText();
    return text;
}

const std::u16string &Utf16()
{
    static const std::u16string text = [] {
        std::u16string w(Utf8().size() + 1, u'\0');
        w.resize(UStrToWStr(Utf8().data(), static_cast<int>(Utf8().size()), w.data(),
                            static_cast<uint32_t>(w.size())));
        return w;
    }();
    return text;
}

// Best bytes per second seen by each benchmark, for the ratios printed at exit.
struct Rates
{
    double ours[2] = {0, 0}, iconv[2] = {0, 0};
    ~Rates()
    {
        const char *names[] = {"UTF-8 -> UTF-16", "UTF-16 -> UTF-8"};
        for (int d = 0; d < 2; ++d)
            if (ours[d] > 0 && iconv[d] > 0)
                std::printf("ratio %s: corekit %.0f MB/s, iconv %.0f MB/s, %.2fx\n", names[d],
                            ours[d] / 1e6, iconv[d] / 1e6, ours[d] / iconv[d]);
    }
} g_rates;

// CPU time of this thread: the machine may be shared, so wall time would mostly measure
// the other load.
// Runs one conversion per iteration, records throughput over the UTF-8 bytes.
template <typename F> void Measure(benchmark::State &state, size_t bytes, double *best, F convert)
{
    double start = CpuSeconds();
    int64_t iterations = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(convert());
        ++iterations;
    }
    double seconds = CpuSeconds() - start;
    state.SetBytesProcessed(iterations * static_cast<int64_t>(bytes));
    if (seconds > 0 && iterations * bytes / seconds > *best)
        *best = static_cast<double>(iterations * bytes) / seconds;
}

size_t RunIconv(iconv_t cd, const char *in, size_t inBytes, char *out, size_t outBytes)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char *src = const_cast<char *>(in), *dst = out;
    size_t left = inBytes, room = outBytes;
    iconv(cd, &src, &left, &dst, &room);
    return outBytes - room;
}

void Utf8ToUtf16Corekit(benchmark::State &state)
{
    const std::string &in = Utf8();
    std::vector<char16_t> out(in.size() + 1);
    Measure(state, in.size(), &g_rates.ours[0], [&] {
        return UStrToWStr(in.data(), static_cast<int>(in.size()), out.data(),
                          static_cast<uint32_t>(out.size()));
    });
}
BENCHMARK(Utf8ToUtf16Corekit)->Unit(benchmark::kMicrosecond);

void Utf8ToUtf16Iconv(benchmark::State &state)
{
    const std::string &in = Utf8();
    std::vector<char16_t> out(in.size() + 1);
    iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
    Measure(state, in.size(), &g_rates.iconv[0], [&] {
        return RunIconv(cd, in.data(), in.size(), reinterpret_cast<char *>(out.data()),
                        out.size() * 2);
    });
    iconv_close(cd);
}
BENCHMARK(Utf8ToUtf16Iconv)->Unit(benchmark::kMicrosecond);

void Utf16ToUtf8Corekit(benchmark::State &state)
{
    const std::u16string &in = Utf16();
    std::vector<char> out(in.size() * 3 + 1);
    Measure(state, Utf8().size(), &g_rates.ours[1], [&] {
        return WStrToUStr(in.data(), static_cast<int>(in.size()), out.data(),
                          static_cast<uint32_t>(out.size()));
    });
}
BENCHMARK(Utf16ToUtf8Corekit)->Unit(benchmark::kMicrosecond);

void Utf16ToUtf8Iconv(benchmark::State &state)
{
    const std::u16string &in = Utf16();
    std::vector<char> out(in.size() * 3 + 1);
    iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
    Measure(state, Utf8().size(), &g_rates.iconv[1], [&] {
        return RunIconv(cd, reinterpret_cast<const char *>(in.data()), in.size() * 2, out.data(),
                        out.size());
    });
    iconv_close(cd);
}
BENCHMARK(Utf16ToUtf8Iconv)->Unit(benchmark::kMicrosecond);

} // namespace
