// Assigning and comparing 1,000,000 item values of each type: item data descriptors
// against the same work on plain std::variant values.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "corekit/archive/xmemo_archive.h"
#include "corekit/text/strings.h"
#include "datakit/item_data_desc.h"
#include "platform/scriptkit/xrow_grider.h"

namespace {

constexpr int kOps = 1000000;
constexpr int kDistinct = 1024;

using Shared = std::shared_ptr<std::string>;
struct Time
{
    DATETIME_t t;
    bool operator==(const Time &o) const { return std::memcmp(&t, &o.t, sizeof(t)) == 0; }
};
using Plain = std::variant<std::monostate, int64_t, std::u16string, double, Time,
                           std::vector<uint8_t>, Shared>;

// The distinct source values of one type, in both forms.
struct Values
{
    std::vector<std::u16string> texts;
    std::vector<std::vector<uint8_t>> blocks;
    std::vector<IArchive *> streams;
    std::vector<XRowGrider *> tables;
    std::vector<Plain> plain;
    ~Values()
    {
        for (IArchive *s : streams)
            s->Release();
        for (XRowGrider *t : tables)
            t->Release();
    }
};

Values MakeValues(uint16_t type)
{
    Values v;
    for (int i = 0; i < kDistinct; ++i) {
        std::u16string text = u"value-" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                              std::u16string(i % 7, u'x');
        std::vector<uint8_t> block(4 + 12);
        uint32_t n = 12;
        std::memcpy(block.data(), &n, 4);
        std::memcpy(block.data() + 4, &i, sizeof(i));
        switch (type) {
        case kValueInteger:
            v.plain.emplace_back(int64_t{i} * 7919);
            break;
        case kValueFloater:
            v.plain.emplace_back(i * 0.37);
            break;
        case kValueTime:
            v.plain.emplace_back(
                Time{DATETIME_t{uint16_t(2000 + i % 50), 1, uint8_t(1 + i % 28), 0, 0, 0, 0}});
            break;
        case kValueBytes:
            v.blocks.push_back(block);
            v.plain.emplace_back(block);
            break;
        case kValueStream:
            v.streams.push_back(XMemoArchive::Malloc());
            v.plain.emplace_back(std::make_shared<std::string>("stream"));
            break;
        case kValueTable:
            v.tables.push_back(XRowGrider::Malloc());
            v.plain.emplace_back(std::make_shared<std::string>("table"));
            break;
        default:
            v.texts.push_back(text);
            v.plain.emplace_back(text);
            break;
        }
    }
    return v;
}

int SetOne(XItemDataDesc *d, const Values &v, int i)
{
    switch (d->type) {
    case kValueInteger:
        return SetItemValue(d, std::get<int64_t>(v.plain[i]));
    case kValueFloater:
        return SetItemValue(d, std::get<double>(v.plain[i]));
    case kValueTime:
        return SetItemValue(d, std::get<Time>(v.plain[i]).t);
    case kValueBytes:
        return SetItemValue(d, v.blocks[i].data());
    case kValueStream:
        return SetItemValue(d, v.streams[i]);
    case kValueTable:
        return SetItemValue(d, v.tables[i]);
    default:
        return SetItemValue(d, v.texts[i].c_str());
    }
}

XItemDataDesc *NewDesc(uint16_t type)
{
    XItemDataDesc *d = MallocItemDesc();
    d->type = type;
    d->size = type == kValueText || type == kValueText2 ? 64 : 8;
    return d;
}

void FreeDesc(XItemDataDesc *d)
{
    ReleaseItemDesc(d);
    ReleaseItemNode(d);
}

void DescAssign(benchmark::State &state, uint16_t type)
{
    Values v = MakeValues(type);
    XItemDataDesc *d = NewDesc(type);
    for (auto _ : state)
        for (int i = 0; i < kOps; ++i)
            benchmark::DoNotOptimize(SetOne(d, v, i % kDistinct));
    FreeDesc(d);
}

void VariantAssign(benchmark::State &state, uint16_t type)
{
    Values v = MakeValues(type);
    Plain target;
    for (auto _ : state)
        for (int i = 0; i < kOps; ++i) {
            const Plain &src = v.plain[i % kDistinct];
            if (target != src) // the descriptors report whether anything changed
                target = src;
            benchmark::DoNotOptimize(target);
        }
}

const void *ValuePointer(const XItemDataDesc *d)
{
    return d->type == kValueText || d->type == kValueText2
               ? static_cast<const void *>(d->value.text)
               : &d->value;
}

void DescCompare(benchmark::State &state, uint16_t type)
{
    Values v = MakeValues(type);
    std::vector<XItemDataDesc *> descs;
    for (int i = 0; i < kDistinct; ++i) {
        descs.push_back(NewDesc(type));
        SetOne(descs.back(), v, i);
    }
    for (auto _ : state)
        for (int i = 0; i < kOps; ++i) {
            const XItemDataDesc *a = descs[i % kDistinct], *b = descs[(i * 7 + 3) % kDistinct];
            benchmark::DoNotOptimize(
                CompareSuber(ValuePointer(a), a->isNull, ValuePointer(b), b->isNull, a));
        }
    for (XItemDataDesc *d : descs)
        FreeDesc(d);
}

// -1, 0, 1 (2 for values without an order), as the descriptors answer.
struct Order
{
    int operator()(int64_t a, int64_t b) const { return a < b ? -1 : a > b; }
    int operator()(double a, double b) const { return a < b ? -1 : a > b; }
    int operator()(const std::u16string &a, const std::u16string &b) const
    {
        int c = a.compare(b);
        return c < 0 ? -1 : c > 0;
    }
    int operator()(const Time &a, const Time &b) const { return CompareTime(&a.t, &b.t); }
    template <typename A, typename B> int operator()(const A &, const B &) const { return 2; }
};

void VariantCompare(benchmark::State &state, uint16_t type)
{
    Values v = MakeValues(type);
    for (auto _ : state)
        for (int i = 0; i < kOps; ++i)
            benchmark::DoNotOptimize(
                std::visit(Order{}, v.plain[i % kDistinct], v.plain[(i * 7 + 3) % kDistinct]));
}

void Register()
{
    const std::pair<uint16_t, const char *> types[] = {
        {kValueInteger, "integer"}, {kValueText, "text"},   {kValueFloater, "floater"},
        {kValueTime, "time"},       {kValueBytes, "bytes"}, {kValueText2, "text14"},
        {kValueStream, "stream"},   {kValueTable, "table"},
    };
    for (auto [type, name] : types) {
        std::string n = name;
        benchmark::RegisterBenchmark(("Assign/desc/" + n).c_str(), DescAssign, type)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Assign/variant/" + n).c_str(), VariantAssign, type)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Compare/desc/" + n).c_str(), DescCompare, type)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Compare/variant/" + n).c_str(), VariantCompare, type)
            ->Unit(benchmark::kMillisecond);
    }
}

const int kRegistered = (Register(), 0);

} // namespace
