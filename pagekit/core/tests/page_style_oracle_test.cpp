// Page-style matching against CSS selectors as cssselect (GenericTranslator) and lxml
// select them on an XML mirror of the form: element = item, tag = type name, id = name,
// class = class list. The mirror is queried from each child of its root, so the form root
// is never an ancestor.
//
// CSS tries every ancestor for a descendant combinator, the page style takes the nearest
// that matches. The two agree exactly when no child combinator stands to the left of a
// descendant combinator (reading outwards from the subject, once a descendant step is
// taken only descendant steps follow), so the generated chains are of that shape; the
// chains where they differ are a table of their own.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "corekit/encoding/encoding.h"
#include "pagekit/core/item_style.h"
#include "pagekit/core/page_owner.h"
#include "pagekit/core/page_style.h"
#include "pagekit/core/page_viewer.h"

namespace {

struct Node
{
    int parent; // -1: the form root
    std::string type, name;
    std::vector<std::string> classes;
};

struct Rule
{
    std::vector<std::string> selectors; // as the page style reads them (state suffixes)
    std::vector<uint32_t> states;       // the state code of each
};

struct Case
{
    std::vector<Node> nodes;
    std::vector<Rule> rules;
};

// Runs the oracle over the cases; one line of answers per case.
std::vector<std::string> RunOracle(const std::string &input)
{
    char inPath[] = "/tmp/page_style_oracle_in_XXXXXX";
    char outPath[] = "/tmp/page_style_oracle_out_XXXXXX";
    const int inFd = mkstemp(inPath), outFd = mkstemp(outPath);
    EXPECT_GE(inFd, 0);
    EXPECT_GE(outFd, 0);
    close(inFd);
    close(outFd);
    std::ofstream(inPath, std::ios::binary) << input;
    const std::string command = std::string("/usr/bin/python3 ") + ZEP_TEST_DIR +
                                "/page_style_oracle.py < " + inPath + " > " + outPath;
    const int rc = std::system(command.c_str());
    std::ifstream out(outPath, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(out, line);)
        lines.push_back(line);
    std::remove(inPath);
    std::remove(outPath);
    EXPECT_EQ(0, rc) << "the oracle (python3-lxml, python3-cssselect) did not run";
    return lines;
}

std::string Strip(const std::string &selector)
{
    const size_t colon = selector.find(':');
    return colon == std::string::npos ? selector : selector.substr(0, colon);
}

std::string Json(const Case &c)
{
    std::string j = "{\"nodes\":[";
    for (size_t i = 0; i < c.nodes.size(); ++i) {
        const Node &n = c.nodes[i];
        j += (i ? "," : "") + std::string("[") + std::to_string(n.parent) + ",\"" + n.type +
             "\",\"" + n.name + "\",[";
        for (size_t k = 0; k < n.classes.size(); ++k)
            j += (k ? ",\"" : "\"") + n.classes[k] + "\"";
        j += "]]";
    }
    j += "],\"selectors\":[";
    bool first = true;
    for (const Rule &r : c.rules) {
        for (const std::string &s : r.selectors) {
            j += (first ? "\"" : ",\"") + Strip(s) + "\"";
            first = false;
        }
    }
    return j + "]}";
}

// The form of a case, with the strings its items point at.
struct Form
{
    explicit Form(const Case &c)
    {
        for (const Node &n : c.nodes) {
            auto *owner = new XPageOwner;
            owner->kind = 0x81;
            XPageItem *item = owner;
            if (!n.type.empty())
                item->typeName = Keep(n.type);
            std::string classes;
            for (const std::string &w : n.classes)
                classes += (classes.empty() ? "" : " ") + w;
            if (!n.classes.empty())
                item->classList = Keep(classes);
            std::u16string name(n.name.size() + 1, u'\0');
            name.resize(
                UStrToWStr(n.name.c_str(), -1, name.data(), static_cast<uint32_t>(name.size())));
            item->SetItemName(name.c_str());
            (n.parent < 0 ? static_cast<XPageOwner *>(&root) : owners[n.parent])->AddItem(owner);
            owners.push_back(owner);
        }
        std::string sheet;
        for (const Rule &r : c.rules) {
            for (size_t s = 0; s < r.selectors.size(); ++s)
                sheet += (s ? ", " : "") + r.selectors[s];
            sheet += " { color: red }\n";
        }
        root.GetPageStyle()->ParseStyle(sheet.c_str());
        for (const XStyleDesc *r = root.GetPageStyle()->GetFirstRule(); r; r = r->nextEntry)
            rules.push_back(r);
    }

    const char *Keep(const std::string &s)
    {
        strings.push_back(s);
        return strings.back().c_str();
    }

    std::deque<std::string> strings;
    XPageViewer root;
    std::vector<XPageOwner *> owners;
    std::vector<const XStyleDesc *> rules;
};

// The (state, rule index) pairs ApplyStyle records for each item, in their order.
std::vector<std::string> OurMatches(Form &form)
{
    std::map<const XStyleDesc *, size_t> index;
    for (size_t i = 0; i < form.rules.size(); ++i)
        index[form.rules[i]] = i;
    std::vector<std::string> out;
    for (XPageOwner *item : form.owners) {
        XItemStyle style;
        form.root.GetPageStyle()->ApplyStyle(item, &style);
        std::string seq;
        for (uint32_t m = 0; m < style.m_matchCount; ++m)
            seq += std::to_string(index[style.m_matches[m].rule]) + "@" +
                   std::to_string(style.m_matches[m].state) + " ";
        out.push_back(seq);
    }
    return out;
}

// The pairs the oracle's answers call for: later rules first, and within a rule later
// selectors first.
std::vector<std::string> CssMatches(const Case &c, const std::string &answers)
{
    std::vector<std::set<int>> selected;
    std::stringstream in(answers);
    for (std::string part; std::getline(in, part, ';');) {
        std::set<int> hits;
        std::stringstream ks(part);
        for (std::string k; std::getline(ks, k, ',');)
            hits.insert(std::stoi(k));
        selected.push_back(hits);
    }
    std::vector<size_t> first; // flat index of each rule's first selector
    size_t flat = 0;
    for (const Rule &r : c.rules)
        first.push_back(flat), flat += r.selectors.size();
    selected.resize(flat);
    std::vector<std::string> out;
    for (size_t item = 0; item < c.nodes.size(); ++item) {
        std::string seq;
        for (size_t r = c.rules.size(); r-- > 0;) {
            for (size_t s = c.rules[r].selectors.size(); s-- > 0;) {
                if (selected[first[r] + s].count(static_cast<int>(item)))
                    seq += std::to_string(r) + "@" + std::to_string(c.rules[r].states[s]) + " ";
            }
        }
        out.push_back(seq);
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// Generated forms and sheets
// ---------------------------------------------------------------------------------------

constexpr const char *kTypes[] = {"", "", "box", "row", "editClass", "Cell", "表"};
constexpr const char *kNames[] = {"", "", "", "n1", "n2", "名"};
constexpr const char *kClasses[] = {"a", "b", "c", "d", "A", "名"};
// State suffixes of a rule's first and second selector (distinct, so that the recorded
// state tells them apart), with their codes.
constexpr const char *kFirstStates[] = {"", ":hover", ":child1"};
constexpr uint32_t kFirstCodes[] = {0, 3, 16};
constexpr const char *kSecondStates[] = {":focus", ":after"};
constexpr uint32_t kSecondCodes[] = {2, 160};

template <size_t N> const char *Pick(std::mt19937 &rng, const char *const (&words)[N])
{
    return words[rng() % N];
}

Case MakeCase(std::mt19937 &rng)
{
    Case c;
    const size_t count = 1 + rng() % 30;
    std::vector<int> depth;
    for (size_t i = 0; i < count; ++i) {
        int parent = -1;
        if (i > 0 && rng() % 5 != 0) {
            parent = static_cast<int>(rng() % i);
            if (depth[parent] >= 6)
                parent = -1;
        }
        depth.push_back(parent < 0 ? 1 : depth[parent] + 1);
        Node n{parent, Pick(rng, kTypes), Pick(rng, kNames), {}};
        for (unsigned k = rng() % 4; k > 0; --k)
            n.classes.push_back(Pick(rng, kClasses));
        c.nodes.push_back(n);
    }
    const size_t rules = 1 + rng() % 20;
    for (size_t r = 0; r < rules; ++r) {
        Rule rule;
        const size_t selectors = 1 + rng() % 2;
        for (size_t s = 0; s < selectors; ++s) {
            const size_t parts = 1 + rng() % 4;
            // Joins from the outermost part inwards: descendants first, then children.
            const size_t descendants = rng() % parts;
            std::string sel;
            for (size_t p = 0; p < parts; ++p) {
                if (p > 0)
                    sel += p <= descendants ? " " : (rng() % 2 ? " > " : ">");
                switch (rng() % 4) {
                case 0:
                    sel += "*";
                    break;
                case 1: {
                    const char *type = Pick(rng, kTypes);
                    sel += *type ? type : "box";
                    break;
                }
                case 2: {
                    const char *name = Pick(rng, kNames);
                    sel += std::string("#") + (*name ? name : "n1");
                    break;
                }
                default:
                    sel += std::string(".") + Pick(rng, kClasses);
                }
            }
            const size_t state = rng();
            if (s == 0) {
                sel += kFirstStates[state % 3];
                rule.states.push_back(kFirstCodes[state % 3]);
            } else {
                sel += kSecondStates[state % 2];
                rule.states.push_back(kSecondCodes[state % 2]);
            }
            rule.selectors.push_back(sel);
        }
        c.rules.push_back(rule);
    }
    return c;
}

TEST(PageStyleOracle, GeneratedFormsMatchAsCssSelects)
{
    std::mt19937 rng(20261210);
    std::vector<Case> cases;
    std::string input;
    for (int i = 0; i < 1200; ++i) {
        cases.push_back(MakeCase(rng));
        input += Json(cases.back()) + "\n";
    }
    const std::vector<std::string> answers = RunOracle(input);
    ASSERT_EQ(cases.size(), answers.size());
    size_t matched = 0, failures = 0;
    for (size_t i = 0; i < cases.size() && failures < 10; ++i) {
        Form form(cases[i]);
        const std::vector<std::string> ours = OurMatches(form);
        const std::vector<std::string> css = CssMatches(cases[i], answers[i]);
        for (size_t item = 0; item < ours.size(); ++item) {
            matched += !ours[item].empty();
            if (ours[item] == css[item])
                continue;
            ++failures;
            ADD_FAILURE() << "case " << i << " item " << item << ": ours '" << ours[item]
                          << "', css '" << css[item] << "'\n"
                          << Json(cases[i]);
        }
    }
    // The forms are not all misses: a good share of items match some rule.
    EXPECT_GT(matched, 3000u);
}

// Chains with a child combinator left of a descendant combinator, on forms where a
// farther owner would match: CSS selects, the page style does not.
TEST(PageStyleOracle, NearestOwnerDiffersFromCss)
{
    struct Diff
    {
        std::vector<Node> nodes;
        const char *selector;
        const char *css;  // what the oracle selects
        const char *ours; // what the page style matches
    };
    const std::vector<Diff> diffs = {
        // a > b > b > c
        {{{-1, "", "", {"a"}}, {0, "", "", {"b"}}, {1, "", "", {"b"}}, {2, "", "", {"c"}}},
         ".a > .b .c",
         "3",
         ""},
        // a > b > x > b > c
        {{{-1, "", "", {"a"}},
          {0, "", "", {"b"}},
          {1, "", "", {"x"}},
          {2, "", "", {"b"}},
          {3, "", "", {"c"}}},
         ".a > .b .c",
         "4",
         ""},
        {{{-1, "box", "", {}}, {0, "row", "", {}}, {1, "row", "", {}}, {2, "Cell", "", {}}},
         "box > row Cell",
         "3",
         ""},
        // Here the nearest owner is the right one: both select.
        {{{-1, "", "", {"a"}}, {0, "", "", {"b"}}, {1, "", "", {"x"}}, {2, "", "", {"c"}}},
         ".a > .b .c",
         "3",
         "3"},
    };
    std::string input;
    for (const Diff &d : diffs)
        input += Json(Case{d.nodes, {Rule{{d.selector}, {0}}}}) + "\n";
    const std::vector<std::string> answers = RunOracle(input);
    ASSERT_EQ(diffs.size(), answers.size());
    for (size_t i = 0; i < diffs.size(); ++i) {
        EXPECT_EQ(diffs[i].css, answers[i]) << diffs[i].selector;
        Form form(Case{diffs[i].nodes, {Rule{{diffs[i].selector}, {0}}}});
        std::string ours;
        const std::vector<std::string> seq = OurMatches(form);
        for (size_t item = 0; item < seq.size(); ++item) {
            if (!seq[item].empty())
                ours += (ours.empty() ? "" : ",") + std::to_string(item);
        }
        EXPECT_EQ(diffs[i].ours, ours) << diffs[i].selector;
    }
}

// The state suffix of a selector is recorded as its state code.
TEST(PageStyleOracle, StateSuffixes)
{
    struct Suffix
    {
        const char *suffix;
        uint32_t code;
    };
    const Suffix suffixes[] = {{"", 0},          {":focus", 2},   {":hover", 3},   {":active", 4},
                               {":disabled", 5}, {":after", 160}, {":child1", 16}, {":child2", 32},
                               {":child3", 48},  {":child4", 64}, {":Hover", 3},   {":other", 255}};
    for (const Suffix &s : suffixes) {
        Form form(Case{{{-1, "box", "", {}}}, {Rule{{std::string("box") + s.suffix}, {0}}}});
        EXPECT_EQ("0@" + std::to_string(s.code) + " ", OurMatches(form)[0]) << s.suffix;
    }
}

} // namespace
