// The tree's walks against python3's ElementTree: for each XML fixture under
// tests/tree_oracle/, tree_oracle.py gives the insertion steps (every form of InsertAfter
// and InsertBefore), and the pre-order, layers, visible flags and first marks, each
// node's subtree, the counters and the rows GetItemPlace must find.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "pagekit/items/page_tree.h"
#include "pagekit/items/tests/tree_fixture.h"

namespace {

std::vector<std::string> Oracle(const std::string &fixture)
{
    const std::string cmd = std::string("/usr/bin/python3 " ZEP_TEST_DIR
                                        "/tree_oracle.py " ZEP_TEST_DIR "/tree_oracle/") +
                            fixture;
    FILE *p = popen(cmd.c_str(), "r");
    std::vector<std::string> lines;
    char buf[4096];
    while (p != nullptr && std::fgets(buf, sizeof buf, p) != nullptr) {
        std::string line = buf;
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        lines.push_back(line);
    }
    EXPECT_TRUE(p != nullptr && pclose(p) == 0) << "the python3 oracle failed on " << fixture;
    return lines;
}

class TreeOracle : public ::testing::TestWithParam<const char *>
{
};

TEST_P(TreeOracle, WalksCountersAndPlacesMatchElementTree)
{
    const std::vector<std::string> lines = Oracle(GetParam());
    ASSERT_FALSE(lines.empty());
    XPageTree tree;
    std::map<int, XTreeItem *> byId;
    std::map<XTreeItem *, int> ids;
    auto node = [&byId](const std::string &token) {
        return token == "-" ? nullptr : byId.at(std::stoi(token));
    };
    std::vector<std::string> walk, sub, count, top;
    for (const std::string &line : lines) {
        std::istringstream in(line);
        std::string kind;
        in >> kind;
        if (kind == "op") {
            std::string how, parent, neighbour;
            int id = 0, expanded = 0;
            std::string name;
            in >> how >> id >> parent >> neighbour >> expanded >> name;
            const std::u16string caption(name.begin(), name.end());
            XTreeItem *n = how == "after" ? tree.InsertAfter(caption.c_str(), 0, 0, nullptr,
                                                             node(parent), node(neighbour))
                                          : tree.InsertBefore(caption.c_str(), 0, 0, nullptr,
                                                              node(parent), node(neighbour));
            ASSERT_NE(nullptr, n) << line;
            if (expanded)
                tree.ExpandItem(n, 1);
            byId[id] = n;
            ids[n] = id;
        } else if (kind == "walk") {
            walk.push_back(line);
        } else if (kind == "sub") {
            sub.push_back(line);
        } else if (kind == "count") {
            count.push_back(line);
        } else if (kind == "top") {
            top.push_back(line);
        }
    }

    std::vector<std::string> ours;
    for (XTreeItem *n = tree.GetNextSuber(nullptr); n != nullptr; n = tree.GetNextSuber(n))
        ours.push_back("walk " + std::to_string(ids[n]) + " " + std::to_string(n->layer) + " " +
                       std::to_string(n->visible) + " " + std::to_string(n->firstMark));
    EXPECT_EQ(walk, ours);

    // The restricted walk of every node, after the whole walk set its layer and flags.
    ours.clear();
    for (size_t k = 0; k < byId.size(); ++k) {
        XTreeItem *s = byId.at(static_cast<int>(k));
        std::string line = "sub " + std::to_string(k);
        for (XTreeItem *n = tree.GetNextSuber(s, nullptr); n != nullptr;
             n = tree.GetNextSuber(s, n))
            line += " " + std::to_string(ids[n]);
        ours.push_back(line);
    }
    EXPECT_EQ(sub, ours);
    EXPECT_EQ(count, std::vector<std::string>{"count " + std::to_string(tree.GetCounter()) + " " +
                                              std::to_string(tree.GetVisibleCounter())});

    ours.clear();
    const int h = static_cast<int>(tree.GetItemHeight());
    for (size_t k = 0; k < byId.size(); ++k) {
        BOUND_t place;
        const int shown = tree.GetItemPlace(byId.at(static_cast<int>(k)), &place);
        ours.push_back("top " + std::to_string(k) + " " + std::to_string(shown ? place.y / h : -1));
        if (shown) {
            EXPECT_EQ(0, place.y % h);
        }
    }
    EXPECT_EQ(top, ours);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, TreeOracle, ::testing::Values("menus.xml", "single.xml"));

} // namespace
