// QR codes and Code 128 against the libraries a user would otherwise pick: libqrencode
// (level L, its own segmentation and mask choice) and zint's library (Code 128 with
// automatic code sets). Ours skips mask evaluation (mask 0 always).
//
// Ratio to report: time of ours / time of theirs for the same batch.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <qrencode.h>
#include <string>
#include <vector>
#include <zint.h>

#include "datakit/barcode_elements.h"
#include "datakit/qr_encoder.h"

namespace {

constexpr size_t kBatch = 10000;

// Texts of about 56 bytes like those printed on labels: letters, digits, punctuation.
const std::vector<std::string> &LabelTexts()
{
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> out;
        uint32_t seed = 7;
        for (size_t i = 0; i < kBatch; i++) {
            std::string s = "https://example.com/order?id=" + std::to_string(100000 + i) + "&c=";
            while (s.size() < 56) {
                seed = seed * 1103515245 + 12345;
                s += "abcdefghijklmnopqrstuvwxyz0123456789"[(seed >> 16) % 36];
            }
            out.push_back(s);
        }
        return out;
    }();
    return texts;
}

// The capacity of version 40 at level L in 8-bit bytes.
const std::string &Version40Text()
{
    static const std::string text = [] {
        std::string s;
        for (size_t i = 0; i < 2953; i++)
            s += "abcdefghijklmnopqrstuvwxyz,;!?"[i % 30];
        return s;
    }();
    return text;
}

void BM_QR56_Ours(benchmark::State &state)
{
    XQRCode code;
    for (auto _ : state) {
        for (const std::string &s : LabelTexts()) {
            code.EncodeBytes(reinterpret_cast<const uint8_t *>(s.data()), s.size(), 936);
            benchmark::DoNotOptimize(code.GetMatrix().GetModules());
        }
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_QR56_Ours)->Unit(benchmark::kMillisecond);

void BM_QR56_Libqrencode(benchmark::State &state)
{
    for (auto _ : state) {
        for (const std::string &s : LabelTexts()) {
            QRcode *qr = QRcode_encodeString(s.c_str(), 0, QR_ECLEVEL_L, QR_MODE_8, 1);
            benchmark::DoNotOptimize(qr->data);
            QRcode_free(qr);
        }
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_QR56_Libqrencode)->Unit(benchmark::kMillisecond);

void BM_QRVersion40_Ours(benchmark::State &state)
{
    const std::string &s = Version40Text();
    XQRCode code;
    for (auto _ : state) {
        code.EncodeBytes(reinterpret_cast<const uint8_t *>(s.data()), s.size(), 936);
        benchmark::DoNotOptimize(code.GetMatrix().GetModules());
    }
    if (code.GetVersion() != 40)
        state.SkipWithError("not version 40");
}
BENCHMARK(BM_QRVersion40_Ours)->Unit(benchmark::kMicrosecond);

void BM_QRVersion40_Libqrencode(benchmark::State &state)
{
    const std::string &s = Version40Text();
    int version = 0;
    for (auto _ : state) {
        QRcode *qr = QRcode_encodeString(s.c_str(), 0, QR_ECLEVEL_L, QR_MODE_8, 1);
        version = qr->version;
        benchmark::DoNotOptimize(qr->data);
        QRcode_free(qr);
    }
    if (version != 40)
        state.SkipWithError("not version 40");
}
BENCHMARK(BM_QRVersion40_Libqrencode)->Unit(benchmark::kMicrosecond);

// Code 128 texts with digit runs, so that both code sets come into play.
const std::vector<std::u16string> &Code128Texts()
{
    static const std::vector<std::u16string> texts = [] {
        std::vector<std::u16string> out;
        for (size_t i = 0; i < kBatch; i++) {
            std::string s = "SN-" + std::to_string(20260000 + i) + "/B" + std::to_string(i % 97) +
                            "-" + std::to_string(123456789 + 7 * i);
            out.push_back(std::u16string(s.begin(), s.end()));
        }
        return out;
    }();
    return texts;
}

void BM_Code128_Ours(benchmark::State &state)
{
    XBarcodeElements elements;
    for (auto _ : state) {
        for (const std::u16string &s : Code128Texts()) {
            MakeBarcodeElements(s.c_str(), kBarcodeCode128Auto, elements);
            benchmark::DoNotOptimize(elements.GetString());
        }
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_Code128_Ours)->Unit(benchmark::kMillisecond);

void BM_Code128_Zint(benchmark::State &state)
{
    std::vector<std::string> narrow;
    for (const std::u16string &s : Code128Texts())
        narrow.emplace_back(s.begin(), s.end());
    zint_symbol *symbol = ZBarcode_Create();
    for (auto _ : state) {
        for (const std::string &s : narrow) {
            ZBarcode_Clear(symbol);
            symbol->symbology = BARCODE_CODE128;
            ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char *>(s.data()),
                            static_cast<int>(s.size()));
            benchmark::DoNotOptimize(symbol->encoded_data);
        }
    }
    ZBarcode_Delete(symbol);
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_Code128_Zint)->Unit(benchmark::kMillisecond);

} // namespace
