// Re-styling a form of 1,000 items under a page style sheet of 200 rules: every item
// matched again (XItemStyle::ApplyStyle) and its descriptor resolved again
// (UpdateStyleDesc(2)), against Qt 6 widgets of the same shape re-polished under an
// equivalent widget style sheet (unpolish and polish per widget), in the same run. At
// exit the ratio of the times of one pass (ours / Qt) is printed.
//
// The shapes: 10 boxes, each with 9 rows, each with 10 cells (1,000 items). Type names
// box, row and cell stand for the widget classes QGroupBox, QFrame and QLabel (exact class
// selectors ".QGroupBox" ...), class words for a string-list property "cls" (attribute
// selectors [cls~="c3"]), names for object names.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <QStyle>
#include <QVariant>

#include <benchmark/benchmark.h>

#include "bench/bench_util.h"
#include "bench/qt_app.h"

#include "pagekit/core/item_style.h"
#include "pagekit/core/page_owner.h"
#include "pagekit/core/page_viewer.h"

namespace {

constexpr int kBoxes = 10, kRows = 9, kCells = 10;
constexpr int kRules = 200;
constexpr int kClasses = 20;

// One node of the shared shape: type, name, class words, parent index (-1: the root).
struct Shape
{
    int type; // 0 box, 1 row, 2 cell
    std::string name;
    std::vector<std::string> classes;
    int parent;
};

// A letter followed by a number: "c3", "n120".
std::string Word(char letter, size_t number)
{
    std::string word(1, letter);
    word += std::to_string(number);
    return word;
}

std::vector<Shape> MakeShape()
{
    std::vector<Shape> nodes;
    uint32_t seed = 2026;
    auto next = [&seed]() { return (seed = seed * 1103515245u + 12345u) >> 16; };
    auto add = [&](int type, int parent) {
        Shape s{type, Word('n', nodes.size()), {}, parent};
        for (unsigned k = next() % 2 + 1; k > 0; --k)
            s.classes.push_back(Word('c', next() % kClasses));
        nodes.push_back(s);
        return static_cast<int>(nodes.size() - 1);
    };
    for (int b = 0; b < kBoxes; ++b) {
        const int box = add(0, -1);
        for (int r = 0; r < kRows; ++r) {
            const int row = add(1, box);
            for (int c = 0; c < kCells; ++c)
                add(2, row);
        }
    }
    return nodes;
}

// Selector shapes of the rules; %c a class word, %n a name, %t a type. Each comes in our
// page style form and in Qt's.
struct RuleShape
{
    const char *ours;
    const char *qt;
};
constexpr RuleShape kRuleShapes[] = {
    {".%c", "*[cls~=\"%c\"]"},
    {"row > .%c", ".QFrame > *[cls~=\"%c\"]"},
    {"box .%c", ".QGroupBox *[cls~=\"%c\"]"},
    {"#%n", "#%n"},
    {".%c:hover", "*[cls~=\"%c\"]:hover"},
    {"box > row > .%c", ".QGroupBox > .QFrame > *[cls~=\"%c\"]"},
    {"cell", ".QLabel"},
    {".%c .%c", "*[cls~=\"%c\"] *[cls~=\"%c\"]"},
};
constexpr const char *kDeclarations[] = {
    "color: #203040;",   "background-color: #f0f0f0;", "margin: 2px;",
    "padding: 1px 3px;", "border: 1px solid #808080;", "font-weight: bold;",
};

std::string Fill(const char *pattern, uint32_t &seed)
{
    auto next = [&seed]() { return (seed = seed * 1103515245u + 12345u) >> 16; };
    std::string out;
    for (const char *p = pattern; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        ++p;
        if (*p == 'c')
            out += Word('c', next() % kClasses);
        else if (*p == 'n')
            out += Word('n', next() % (kBoxes * kRows * (kCells + 1) + kBoxes));
    }
    return out;
}

// The two sheets: the same rules, same order, same declarations.
void MakeSheets(std::string *ours, std::string *qt)
{
    for (int i = 0; i < kRules; ++i) {
        const RuleShape &shape = kRuleShapes[i % std::size(kRuleShapes)];
        uint32_t seed = 7919u * static_cast<uint32_t>(i) + 1;
        uint32_t again = seed;
        std::string body = " { ";
        body += kDeclarations[i % std::size(kDeclarations)];
        body += kDeclarations[(i * 5 + 1) % std::size(kDeclarations)];
        body += " }\n";
        *ours += Fill(shape.ours, seed) + body;
        *qt += Fill(shape.qt, again) + body;
    }
}

const std::vector<Shape> &Nodes()
{
    static const std::vector<Shape> nodes = MakeShape();
    return nodes;
}

// CPU time of this thread: the machine may be shared.
// Best seconds of one pass of each side, for the ratio printed at exit.
struct Passes
{
    double ours = 0, qt = 0;
    ~Passes()
    {
        if (ours > 0 && qt > 0)
            std::printf("ratio page style / Qt style sheet: %.3f ms / %.3f ms per pass of "
                        "1000 items, %.2fx\n",
                        ours * 1e3, qt * 1e3, ours / qt);
    }
} g_passes;

// ---------------------------------------------------------------------------------------
// Ours
// ---------------------------------------------------------------------------------------

using Root = XPageViewer;

struct Form
{
    Form()
    {
        std::string sheet, unused;
        MakeSheets(&sheet, &unused);
        root.GetPageStyle()->ParseStyle(sheet.c_str());
        static const char *const kTypes[] = {"box", "row", "cell"};
        for (const Shape &s : Nodes()) {
            XPageItem *item = s.type == 2 ? new XPageItem : new XPageOwner;
            item->kind = s.type == 2 ? 0x11 : 0x81;
            item->typeName = kTypes[s.type];
            std::string classes;
            for (const std::string &c : s.classes)
                classes += (classes.empty() ? "" : " ") + c;
            item->classList = Keep(classes);
            std::u16string name(s.name.begin(), s.name.end());
            item->SetItemName(name.c_str());
            XPageOwner *owner = s.parent < 0 ? &root : static_cast<XPageOwner *>(items[s.parent]);
            owner->AddItem(item);
            items.push_back(item);
        }
        root.OnCreateItem();
    }
    const char *Keep(const std::string &s)
    {
        strings.push_back(s);
        return strings.back().c_str();
    }
    std::deque<std::string> strings;
    Root root;
    std::vector<XPageItem *> items;
};

void BM_PageStyleRestyle(benchmark::State &state)
{
    Form form;
    TimeBest(state, &g_passes.ours, static_cast<int64_t>(Nodes().size()), [&] {
        for (XPageItem *item : form.items) {
            item->itemStyle.ApplyStyle(item, nullptr);
            item->UpdateStyleDesc(2);
        }
        benchmark::DoNotOptimize(form.items.back()->style.textColor);
    });
    // The rules do match: the matched pairs of one pass over the form.
    double matches = 0;
    for (XPageItem *item : form.items)
        matches += item->itemStyle.m_matchCount;
    state.counters["matches"] = matches;
}
BENCHMARK(BM_PageStyleRestyle)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------------------
// Qt
// ---------------------------------------------------------------------------------------

void BM_QtStyleSheetRepolish(benchmark::State &state)
{
    QtApp();
    std::string unused, sheet;
    MakeSheets(&unused, &sheet);
    QWidget top;
    top.setStyleSheet(QString::fromUtf8(sheet.c_str()));
    std::vector<QWidget *> widgets;
    for (const Shape &s : Nodes()) {
        QWidget *parent = s.parent < 0 ? &top : widgets[s.parent];
        QWidget *w = s.type == 0   ? static_cast<QWidget *>(new QGroupBox(parent))
                     : s.type == 1 ? static_cast<QWidget *>(new QFrame(parent))
                                   : static_cast<QWidget *>(new QLabel(parent));
        w->setObjectName(QString::fromStdString(s.name));
        QStringList classes;
        for (const std::string &c : s.classes)
            classes << QString::fromStdString(c);
        w->setProperty("cls", classes);
        widgets.push_back(w);
    }
    top.ensurePolished();
    for (QWidget *w : widgets)
        w->ensurePolished();
    TimeBest(state, &g_passes.qt, static_cast<int64_t>(Nodes().size()), [&] {
        for (QWidget *w : widgets) {
            w->style()->unpolish(w);
            w->style()->polish(w);
        }
        benchmark::DoNotOptimize(widgets.back()->palette());
    });
}
BENCHMARK(BM_QtStyleSheetRepolish)->Unit(benchmark::kMillisecond);

} // namespace
