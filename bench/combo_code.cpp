// Code strings against Qt 6 QComboBox (offscreen), in the same run:
//  - filling 1,000 entries from a code string (ours: the entries read with their codes
//    converted, as a combo keeps them; Qt: the same text split and addItem per entry),
//  - 100,000 lookups by code (SetComboCode / findData) and by name (SetComboName /
//    findText) spread over the 1,000 entries,
//  - 1,000,000 value -> name conversions of an 8-entry list as grid cells make them
//    (SetComboBox / findData + itemText),
//  - and the combo item itself: XPageCombo::SetItemMapper, SearchCode and SearchName on
//    the same list and keys, against the same QComboBox passes.
// At exit the ratio of the best pass of each pair (ours / Qt) is printed.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <benchmark/benchmark.h>

#include "bench/bench_util.h"
#include "bench/qt_app.h"

#include "corekit/numbers/numbers.h"
#include "pagekit/core/combo_code.h"
#include "pagekit/core/page_combo.h"

namespace {

constexpr int kEntries = 1000;
constexpr int kLookups = 100000;
constexpr int kCells = 1000000;
constexpr int kCellEntries = 8;

// "C0000;Name 0000 ..." lines with CR LF, as a form designer writes them.
std::u16string MakeList(int count)
{
    std::u16string list;
    char line[64];
    for (int i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "%d;Name %04d \xE9\x80\x89\xE9\xA1\xB9%s", 1000 + i, i,
                      i + 1 < count ? "\r\n" : "");
        for (const char *p = line; *p != 0;) {
            // The line is ASCII apart from one two-character CJK word (UTF-8 above).
            const unsigned char c = static_cast<unsigned char>(*p);
            if (c < 0x80) {
                list.push_back(c);
                ++p;
            } else {
                list.push_back(
                    static_cast<char16_t>((c & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F)));
                p += 3;
            }
        }
    }
    return list;
}

const std::u16string &List()
{
    static const std::u16string list = MakeList(kEntries);
    return list;
}
const std::u16string &CellList()
{
    static const std::u16string list = MakeList(kCellEntries);
    return list;
}

QString ToQt(const std::u16string &s)
{
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

// The keys looked up: codes and names of entries spread over the list.
struct Keys
{
    std::vector<std::u16string> codes, names;
    Keys()
    {
        uint32_t seed = 2026;
        for (int i = 0; i < kLookups; ++i) {
            seed = seed * 1103515245 + 12345;
            const int k = static_cast<int>((seed >> 8) % kEntries);
            std::string code = std::to_string(1000 + k);
            codes.emplace_back(code.begin(), code.end());
            char name[32];
            std::snprintf(name, sizeof name, "Name %04d ", k);
            std::u16string n(name, name + std::char_traits<char>::length(name));
            n += u"选项";
            names.push_back(n);
        }
    }
};
const Keys &TheKeys()
{
    static const Keys keys;
    return keys;
}

struct Pair
{
    const char *what;
    double ours = 0, qt = 0;
};

struct Passes
{
    Pair fill{"fill 1,000 entries"};
    Pair code{"100,000 lookups by code"};
    Pair name{"100,000 lookups by name"};
    Pair cells{"1,000,000 cell conversions"};
    Pair comboFill{"XPageCombo fill 1,000 entries"};
    Pair comboCode{"XPageCombo 100,000 lookups by code"};
    Pair comboName{"XPageCombo 100,000 lookups by name"};
    ~Passes()
    {
        comboFill.qt = fill.qt;
        comboCode.qt = code.qt;
        comboName.qt = name.qt;
        for (const Pair *p : {&fill, &code, &name, &cells, &comboFill, &comboCode, &comboName}) {
            if (p->ours > 0 && p->qt > 0)
                std::printf("ratio code string / QComboBox, %s: %.3f ms / %.3f ms, %.3fx\n",
                            p->what, p->ours * 1e3, p->qt * 1e3, p->ours / p->qt);
        }
    }
} g_passes;

// ---------------------------------------------------------------------------------------
// Ours
// ---------------------------------------------------------------------------------------

struct Entry
{
    int64_t data;
    std::u16string name;
};

void BM_CodeStringFill(benchmark::State &state)
{
    std::vector<Entry> entries;
    TimeBest(state, &g_passes.fill.ours, kEntries, [&] {
        entries.clear();
        char16_t code[kComboCodeSize], name[256];
        for (const char16_t *p = List().c_str(); (p = GetNextComboEx(p, code, name, 256));)
            entries.push_back({ToInt64(code), name});
        benchmark::DoNotOptimize(entries.data());
    });
    if (entries.size() != kEntries)
        state.SkipWithError("wrong entry count");
}
BENCHMARK(BM_CodeStringFill)->Unit(benchmark::kMicrosecond);

void BM_CodeStringByCode(benchmark::State &state)
{
    const Keys &keys = TheKeys();
    long found = 0;
    TimeBest(state, &g_passes.code.ours, kLookups, [&] {
        char16_t name[64];
        for (const std::u16string &code : keys.codes)
            found += SetComboCode(code.c_str(), List().c_str(), name, 64) >= 0;
    });
    if (found != kLookups * static_cast<long>(state.iterations()))
        state.SkipWithError("a code was not found");
}
BENCHMARK(BM_CodeStringByCode)->Unit(benchmark::kMillisecond);

void BM_CodeStringByName(benchmark::State &state)
{
    const Keys &keys = TheKeys();
    long found = 0;
    TimeBest(state, &g_passes.name.ours, kLookups, [&] {
        uint32_t value;
        for (const std::u16string &name : keys.names)
            found += GetComboBox(&value, List().c_str(), name.c_str()) >= 0;
    });
    if (found != kLookups * static_cast<long>(state.iterations()))
        state.SkipWithError("a name was not found");
}
BENCHMARK(BM_CodeStringByName)->Unit(benchmark::kMillisecond);

void BM_CodeStringCells(benchmark::State &state)
{
    long found = 0;
    TimeBest(state, &g_passes.cells.ours, kCells, [&] {
        char16_t name[64];
        for (int i = 0; i < kCells; ++i)
            found += SetComboBox(1000 + i % kCellEntries, CellList().c_str(), name, 64) >= 0;
    });
    if (found != kCells * static_cast<long>(state.iterations()))
        state.SkipWithError("a value was not found");
}
BENCHMARK(BM_CodeStringCells)->Unit(benchmark::kMillisecond);

void BM_ComboItemFill(benchmark::State &state)
{
    XPageCombo combo;
    TimeBest(state, &g_passes.comboFill.ours, kEntries,
             [&] { benchmark::DoNotOptimize(combo.SetItemMapper(List().c_str())); });
    if (combo.GetItemCount() != kEntries)
        state.SkipWithError("wrong entry count");
}
BENCHMARK(BM_ComboItemFill)->Unit(benchmark::kMicrosecond);

void BM_ComboItemByCode(benchmark::State &state)
{
    XPageCombo combo;
    combo.SetItemMapper(List().c_str());
    const Keys &keys = TheKeys();
    long found = 0;
    TimeBest(state, &g_passes.comboCode.ours, kLookups, [&] {
        for (const std::u16string &code : keys.codes)
            found += combo.SearchCode(code.c_str()) >= 0;
    });
    if (found != kLookups * static_cast<long>(state.iterations()))
        state.SkipWithError("a code was not found");
}
BENCHMARK(BM_ComboItemByCode)->Unit(benchmark::kMillisecond);

void BM_ComboItemByName(benchmark::State &state)
{
    XPageCombo combo;
    combo.SetItemMapper(List().c_str());
    const Keys &keys = TheKeys();
    long found = 0;
    TimeBest(state, &g_passes.comboName.ours, kLookups, [&] {
        for (const std::u16string &name : keys.names)
            found += combo.SearchName(name.c_str()) >= 0;
    });
    if (found != kLookups * static_cast<long>(state.iterations()))
        state.SkipWithError("a name was not found");
}
BENCHMARK(BM_ComboItemByName)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------------------
// Qt
// ---------------------------------------------------------------------------------------

// The text split into lines and at the first ';', each entry added with its code.
void FillQt(QComboBox *box, const QString &text)
{
    box->clear();
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype semi = line.indexOf(u';');
        if (semi < 0)
            box->addItem(line);
        else
            box->addItem(line.mid(semi + 1), line.left(semi));
    }
}

void BM_QComboBoxFill(benchmark::State &state)
{
    QtApp();
    QComboBox box;
    const QString text = ToQt(List());
    TimeBest(state, &g_passes.fill.qt, kEntries, [&] { FillQt(&box, text); });
    if (box.count() != kEntries)
        state.SkipWithError("wrong entry count");
}
BENCHMARK(BM_QComboBoxFill)->Unit(benchmark::kMicrosecond);

void BM_QComboBoxFindData(benchmark::State &state)
{
    QtApp();
    QComboBox box;
    FillQt(&box, ToQt(List()));
    std::vector<QVariant> codes;
    for (const std::u16string &code : TheKeys().codes)
        codes.emplace_back(ToQt(code));
    long found = 0;
    TimeBest(state, &g_passes.code.qt, kLookups, [&] {
        for (const QVariant &code : codes) {
            const int index = box.findData(code);
            found += index >= 0;
            benchmark::DoNotOptimize(box.itemText(index));
        }
    });
    if (found != kLookups * static_cast<long>(state.iterations()))
        state.SkipWithError("a code was not found");
}
BENCHMARK(BM_QComboBoxFindData)->Unit(benchmark::kMillisecond);

void BM_QComboBoxFindText(benchmark::State &state)
{
    QtApp();
    QComboBox box;
    FillQt(&box, ToQt(List()));
    std::vector<QString> names;
    for (const std::u16string &name : TheKeys().names)
        names.push_back(ToQt(name));
    long found = 0;
    TimeBest(state, &g_passes.name.qt, kLookups, [&] {
        for (const QString &name : names) {
            const int index = box.findText(name);
            found += index >= 0;
            benchmark::DoNotOptimize(box.itemData(index));
        }
    });
    if (found != kLookups * static_cast<long>(state.iterations()))
        state.SkipWithError("a name was not found");
}
BENCHMARK(BM_QComboBoxFindText)->Unit(benchmark::kMillisecond);

void BM_QComboBoxCells(benchmark::State &state)
{
    QtApp();
    QComboBox box;
    box.clear();
    for (int i = 0; i < kCellEntries; ++i)
        box.addItem(QStringLiteral("Name %1").arg(i), QVariant(1000 + i));
    long found = 0;
    TimeBest(state, &g_passes.cells.qt, kCells, [&] {
        for (int i = 0; i < kCells; ++i) {
            const int index = box.findData(QVariant(1000 + i % kCellEntries));
            found += index >= 0;
            benchmark::DoNotOptimize(box.itemText(index));
        }
    });
    if (found != kCells * static_cast<long>(state.iterations()))
        state.SkipWithError("a value was not found");
}
BENCHMARK(BM_QComboBoxCells)->Unit(benchmark::kMillisecond);

} // namespace
