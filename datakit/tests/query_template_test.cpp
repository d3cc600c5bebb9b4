// Query templates: condition trees with brackets and precedence, availability rules,
// WHERE text for every comparison code, result codes, flat records and field editing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "corekit/archive/xmemo_archive.h"
#include "corekit/memory/memory.h"
#include "corekit/memory/xmemo_helper.h"
#include "corekit/text/xstring.h"
#include "datakit/item_data_desc.h"
#include "datakit/query_template.h"
#include "platform/dockit/xmf_archive.h"
#include "query_util.h"

namespace {

// ---- Tree shape and precedence ----------------------------------------------------------

struct FlatCase
{
    const char *flat;
    const char *shape;
    const char *where; // expected WHERE text ("=1" stands for " = 1")
};

std::string Expand(const char *where)
{
    std::string out;
    for (const char *p = where; *p; ++p)
        if (p[0] == '=' && p[1] == '1') {
            out += " = 1";
            ++p;
        } else {
            out += *p;
        }
    return out;
}

TEST(QueryTree, PrecedenceAndBrackets)
{
    const FlatCase cases[] = {
        {"A", "A", "A=1"},
        {"A OR B AND C", "OR(A,AND(B,C))", " A=1 OR (B=1 AND C=1)"},
        {"A AND B OR C", "OR(AND(A,B),C)", " (A=1 AND B=1) OR C=1"},
        {"(A OR B) AND C", "AND(OR(A,B),C)", " (A=1 OR B=1) AND C=1"},
        {"A AND B AND C OR D OR E", "OR(AND(A,B,C),D,E)", " (A=1 AND B=1 AND C=1) OR D=1 OR E=1"},
        {"(A OR B)", "OR(A,B)", " A=1 OR B=1"},
        // A bracket keeps everything up to its ")" together, whatever precedence does inside.
        {"x AND (a AND b OR c)", "AND(x,OR(AND(a,b),c))", " x=1 AND ((a=1 AND b=1) OR c=1)"},
        {"x AND (a OR b AND c) OR d", "OR(AND(x,OR(a,AND(b,c))),d)",
         " (x=1 AND (a=1 OR (b=1 AND c=1))) OR d=1"},
        {"((a AND b) OR c) AND d", "AND(OR(AND(a,b),c),d)", " ((a=1 AND b=1) OR c=1) AND d=1"},
        {"a OR (b AND (c OR d AND e) OR f) AND g", "OR(a,AND(OR(AND(b,OR(c,AND(d,e))),f),g))",
         " a=1 OR (((b=1 AND (c=1 OR (d=1 AND e=1))) OR f=1) AND g=1)"},
        {"(a OR b) AND (c OR d)", "AND(OR(a,b),OR(c,d))", " (a=1 OR b=1) AND (c=1 OR d=1)"},
        {"x OR (a OR b) OR y", "OR(x,OR(a,b),y)", " x=1 OR (a=1 OR b=1) OR y=1"},
        // A bracket never closed holds the rest of the list.
        {"x AND (a OR b", "AND(x,OR(a,b))", " x=1 AND (a=1 OR b=1)"},
    };
    for (const FlatCase &c : cases) {
        XQueryTemplate t;
        AddFlatConditions(&t, c.flat);
        MakeResolvable(&t);
        XMemoHelper memo;
        ASSERT_EQ(0, t.ReplaceTemplate(&memo)) << c.flat;
        EXPECT_EQ(c.shape, TreeShape(static_cast<XWhereTree *>(t.GetDescWare(kQueryTree))))
            << c.flat;
        XString text;
        EXPECT_EQ(1, MakeWhereClause(static_cast<XWhereTree *>(t.GetDescWare(kQueryTree)), &text));
        EXPECT_EQ(Expand(c.where), ToUtf8(text.GetString())) << c.flat;
    }
}

// Codes above 2 are valid joins: a larger code binds tighter, and every group but an
// AND (2) is written and simplified as an OR.
TEST(QueryTree, JoinCodesAboveTwoBindTighter)
{
    struct Case
    {
        std::vector<QueryCond> conds;
        const char *shape;
        const char *where;
    };
    const Case cases[] = {
        {{{0, u"A", 2, u"1", 0, 3}, {0, u"B", 2, u"1", 0, 2}, {0, u"C", 2, u"1", 0, 0}},
         "AND(OR3(A,B),C)",
         " (A = 1 OR B = 1) AND C = 1"},
        {{{0, u"A", 2, u"1", 0, 2}, {0, u"B", 2, u"1", 0, 3}, {0, u"C", 2, u"1", 0, 0}},
         "AND(A,OR3(B,C))",
         " A = 1 AND (B = 1 OR C = 1)"},
        {{{0, u"A", 2, u"1", 0, 1},
          {0, u"B", 2, u"1", 0, 4},
          {0, u"C", 2, u"1", 0, 2},
          {0, u"D", 2, u"1", 0, 0}},
         "OR(A,AND(OR4(B,C),D))",
         " A = 1 OR ((B = 1 OR C = 1) AND D = 1)"},
        {{{0, u"A", 2, u"1", 0, 4}, {0, u"B", 2, u"1", 0, 3}, {0, u"C", 2, u"1", 0, 0}},
         "OR3(OR4(A,B),C)",
         " (A = 1 OR B = 1) OR C = 1"},
        {{{0, u"A", 2, u"1", 0, 3}, {0, u"B", 2, u"1", 0, 3}, {0, u"C", 2, u"1", 0, 0}},
         "OR3(A,B,C)",
         " A = 1 OR B = 1 OR C = 1"},
        {{{0, u"A", 2, u"1", 0, 65535}, {0, u"B", 2, u"1", 0, 1}, {0, u"C", 2, u"1", 0, 0}},
         "OR(OR65535(A,B),C)",
         " (A = 1 OR B = 1) OR C = 1"},
        // Brackets still decide first.
        {{{1, u"A", 2, u"1", 0, 1}, {0, u"B", 2, u"1", 1, 3}, {0, u"C", 2, u"1", 0, 0}},
         "OR3(OR(A,B),C)",
         " (A = 1 OR B = 1) OR C = 1"},
        {{{0, u"A", 2, u"1", 0, 3}, {1, u"B", 2, u"1", 0, 2}, {0, u"C", 2, u"1", 1, 0}},
         "OR3(A,AND(B,C))",
         " A = 1 OR (B = 1 AND C = 1)"},
        {{{1, u"A", 2, u"1", 0, 3},
          {0, u"B", 2, u"1", 0, 2},
          {0, u"C", 2, u"1", 1, 1},
          {0, u"D", 2, u"1", 0, 0}},
         "OR(AND(OR3(A,B),C),D)",
         " ((A = 1 OR B = 1) AND C = 1) OR D = 1"},
    };
    for (const Case &c : cases) {
        XQueryTemplate t;
        AddConditions(&t, c.conds);
        MakeResolvable(&t);
        XMemoHelper memo;
        ASSERT_EQ(0, t.ReplaceTemplate(&memo)) << c.shape;
        EXPECT_EQ(c.shape, TreeShape(static_cast<XWhereTree *>(t.GetDescWare(kQueryTree))));
        XString text;
        EXPECT_EQ(1, MakeWhereClause(static_cast<XWhereTree *>(t.GetDescWare(kQueryTree)), &text))
            << c.shape;
        EXPECT_EQ(c.where, ToUtf8(text.GetString())) << c.shape;
    }
}

// A group written as OR is simplified as one, whatever its code: a FALSE member leaves
// the others, a TRUE one decides the group.
TEST(QueryTree, GroupsAboveTwoSimplifyAsOr)
{
    struct Case
    {
        const char *what;
        std::vector<QueryCond> conds;
        int computed;
        const char *where;
    };
    const Case cases[] = {
        {"FALSE member of a code 3 group",
         {{0, u"A", 2, u"1", 0, 3}, {0, u"B", 2, u"?", 0, 2, 1}, {0, u"C", 2, u"1", 0, 0}},
         0,
         " A = 1 AND C = 1"},
        {"TRUE member of a code 3 group",
         {{0, u"A", 2, u"1", 0, 3}, {0, u"B", 2, u"?", 0, 2, 3}, {0, u"C", 2, u"1", 0, 0}},
         0,
         "C = 1"},
        {"every member of a code 4 group FALSE",
         {{0, u"A", 2, u"?", 0, 4, 1}, {0, u"B", 2, u"?", 0, 2, 1}, {0, u"C", 2, u"1", 0, 0}},
         1,
         ""},
        {"dropped members of a code 3 group",
         {{0, u"A", 2, u"?", 0, 3}, {0, u"B", 2, u"?", 0, 1}, {0, u"C", 2, u"1", 0, 0}},
         0,
         "C = 1"},
    };
    for (const Case &c : cases) {
        XQueryTemplate t;
        AddConditions(&t, c.conds);
        MakeResolvable(&t);
        QueryRendered r = RenderWhere(&t);
        EXPECT_EQ(0, r.replaced) << c.what;
        EXPECT_EQ(c.computed, r.computed) << c.what;
        EXPECT_EQ(c.computed ? 0 : 1, r.clause) << c.what;
        EXPECT_EQ(c.where, r.text) << c.what;
    }
}

TEST(QueryTree, BuildFailures)
{
    struct Case
    {
        const char *what;
        std::vector<QueryCond> conds;
        int32_t expected;
    };
    const Case cases[] = {
        {"one condition in brackets", {{1, u"A", 2, u"1", 1, 0}}, kQueryTreeShape},
        {"bracket of one inside an AND",
         {{0, u"A", 2, u"1", 0, 2}, {1, u"B", 2, u"1", 1, 0}},
         kQueryTreeShape},
        {"brackets around one group",
         {{2, u"A", 2, u"1", 0, 1}, {0, u"B", 2, u"1", 2, 0}},
         kQueryTreeShape},
        {"close without open",
         {{0, u"A", 2, u"1", 1, 2}, {0, u"B", 2, u"1", 0, 0}},
         kQueryTreeBuild},
        {"close one too many",
         {{1, u"A", 2, u"1", 0, 2}, {0, u"B", 2, u"1", 2, 0}},
         kQueryTreeBuild},
        {"join 0 before another condition",
         {{0, u"A", 2, u"1", 0, 0}, {0, u"B", 2, u"1", 0, 0}},
         kQueryTreeBuild},
        {"condition without a value", {{0, u"A", 2, nullptr, 0, 0}}, kQueryWhereKape},
    };
    for (const Case &c : cases) {
        XQueryTemplate t;
        AddConditions(&t, c.conds);
        MakeResolvable(&t);
        XMemoHelper memo;
        EXPECT_EQ(c.expected, t.ReplaceTemplate(&memo)) << c.what;
        EXPECT_EQ(nullptr, t.GetDescWare(kQueryTree)) << c.what;
    }
}

TEST(QueryTree, BracketCountsAreBoundedEverywhere)
{
    XQueryTemplate t;
    AddFlatConditions(&t, "A OR B");
    MakeResolvable(&t);
    auto *w = static_cast<XQueryWhere *>(t.GetDescWare(kQueryWheres));
    w->lbox = kMaxBrackets + 1;
    w->next->rbox = kMaxBrackets + 1;
    XMemoHelper memo;
    EXPECT_EQ(kQueryTreeBuild, t.ReplaceTemplate(&memo));
    XWhereRecord_t r{};
    EXPECT_EQ(nullptr, t.GetNextDesc(kQueryWheres, nullptr, &r)); // 16 "(" do not fit
    EXPECT_EQ(0, r.lbox[0]);
    w->lbox = w->next->rbox = kMaxBrackets;
    ASSERT_EQ(w, t.GetNextDesc(kQueryWheres, nullptr, &r));
    EXPECT_EQ(std::u16string(15, u'('), std::u16string(r.lbox));
    // Deep nesting stays within the builder's limit instead of exhausting the stack.
    XQueryTemplate deep;
    for (int i = 0; i < 10; ++i)
        AddConditions(&deep, {{kMaxBrackets, u"A", 2, u"1", 0, kJoinAnd}});
    AddConditions(&deep, {{0, u"B", 2, u"1", 0, 0}});
    MakeResolvable(&deep);
    EXPECT_EQ(kQueryTreeBuild, deep.ReplaceTemplate(&memo));
}

// ---- Availability rules -------------------------------------------------------------------

TEST(QueryTree, AvailabilityModes)
{
    struct Case
    {
        const char *what;
        std::vector<QueryCond> conds;
        int32_t replaced;
        int computed;
        int clause;
        const char *where;
    };
    const Case cases[] = {
        {"mode 1 in an OR leaves the other condition",
         {{0, u"A", 2, u"?", 0, kJoinOr, 1}, {0, u"B", 2, u"2", 0, 0}},
         0,
         0,
         1,
         "B = 2"},
        {"mode 1 in an AND matches nothing",
         {{0, u"A", 2, u"?", 0, kJoinAnd, 1}, {0, u"B", 2, u"2", 0, 0}},
         0,
         1,
         0,
         ""},
        {"mode 1 with Body missing",
         {{0, u"?A", 2, u"1", 0, kJoinAnd, 1}, {0, u"B", 2, u"2", 0, 0}},
         0,
         1,
         0,
         ""},
        {"mode 2 fails the query",
         {{0, u"A", 2, u"?", 0, kJoinOr, 2}, {0, u"B", 2, u"2", 0, 0}},
         kQueryNotAvailable,
         0,
         0,
         ""},
        {"mode 3 in an AND is left out",
         {{0, u"A", 2, u"?", 0, kJoinAnd, 3}, {0, u"B", 2, u"2", 0, 0}},
         0,
         0,
         1,
         "B = 2"},
        {"mode 3 in an OR matches everything",
         {{0, u"A", 2, u"?", 0, kJoinOr, 3}, {0, u"B", 2, u"2", 0, 0}},
         0,
         0,
         1,
         ""},
        {"mode 4 keeps what the binder left",
         {{0, u"A", 2, u"?", 0, kJoinAnd, 4}, {0, u"B", 2, u"2", 0, 0}},
         0,
         0,
         1,
         " A = W AND B = 2"},
        {"mode 4 drops a supplied value",
         {{0, u"A", 2, u"=5", 0, kJoinAnd, 4}, {0, u"B", 2, u"2", 0, 0}},
         0,
         0,
         1,
         "B = 2"},
        {"mode 4 drops a missing Body",
         {{0, u"?A", 2, u"5", 0, kJoinOr, 4}, {0, u"B", 2, u"2", 0, 0}},
         0,
         0,
         1,
         "B = 2"},
        {"other modes drop",
         {{0, u"A", 2, u"?", 0, kJoinOr, 0}, {0, u"B", 2, u"2", 0, 0}},
         0,
         0,
         1,
         "B = 2"},
        {"replaced texts are used", {{0, u"=T.A", 2, u"=7", 0, 0, 1}}, 0, 0, 1, "T.A = 7"},
        // A decision: a bracket whose conditions were all dropped is dropped itself, not
        // made TRUE. Its conditions asked to be ignored, so the OR around it must search
        // for X alone rather than match every row.
        {"all dropped inside a bracket",
         {{0, u"X", 2, u"1", 0, kJoinOr},
          {1, u"A", 2, u"?", 0, kJoinAnd},
          {0, u"B", 2, u"?", 1, 0}},
         0,
         0,
         1,
         "X = 1"},
        {"everything dropped",
         {{0, u"A", 2, u"?", 0, kJoinOr}, {0, u"B", 2, u"?", 0, 0}},
         0,
         0,
         1,
         ""},
        {"a FALSE bracket in an OR",
         {{0, u"X", 2, u"1", 0, kJoinOr},
          {1, u"A", 2, u"?", 0, kJoinAnd, 1},
          {0, u"B", 2, u"2", 1, kJoinAnd},
          {0, u"C", 2, u"3", 0, 0}},
         0,
         0,
         1,
         "X = 1"},
        {"other binder errors are returned", {{0, u"A", 2, u"!", 0, 0}}, kBinderError, 0, 0, ""},
    };
    for (const Case &c : cases) {
        XQueryTemplate t;
        AddConditions(&t, c.conds);
        MakeResolvable(&t);
        QueryRendered r = RenderWhere(&t);
        EXPECT_EQ(c.replaced, r.replaced) << c.what;
        EXPECT_EQ(c.computed, r.computed) << c.what;
        EXPECT_EQ(c.clause, r.clause) << c.what;
        EXPECT_EQ(c.where, r.text) << c.what;
    }
}

// ---- Comparison codes -------------------------------------------------------------------

TEST(QueryClause, EveryComparisonCode)
{
    struct Case
    {
        const char16_t *body;
        uint16_t pare;
        const char16_t *kape;
        int ok;
        const char *where;
    };
    const Case cases[] = {
        {u"T.A", 1, u"5", 1, "T.A > 5"},
        {u"T.A", 2, u"5", 1, "T.A = 5"},
        {u"T.A", 3, u"5", 1, "T.A < 5"},
        {u"T.A", 4, u"5", 1, "T.A >= 5"},
        {u"T.A", 5, u"5", 1, "T.A <= 5"},
        {u"T.A", 6, u"5", 1, "T.A <> 5"},
        {u"T.A", 7, u"T.B", 1, "T.A =* T.B"},
        {u"T.A", 8, u"'ab%'", 1, "T.A LIKE 'ab%'"},
        {u"T.A", 9, u"T.B", 1, "T.A =# T.B"},
        {u"T.A", 10, u"(1,2)", 1, "T.A IN (1,2)"},
        {u"T.A", 10, u"\"1,2,\"", 1, "T.A IN (1,2)"},
        {u"T.A", 10, u" \t'1,2'  ", 1, "T.A IN (1,2)"},
        {u"T.A", 11, u"\"'a','b',\"", 1, "T.A NOT IN ('a','b')"},
        {u"T.A", 11, u"\"'a','b'\"", 1, "T.A NOT IN ('a','b')"},
        {u"T.A", 11, u"\"\"", 1, "T.A NOT IN ()"},
        {u"T.A", 10, u"\"'a'", 0, ""},
        {u"T.A", 10, u"\"'a''", 0, ""},
        {u"T.A", 10, u"\"", 0, ""},
        {u"T.A", 12, u"NULL", 1, "T.A IS NULL"},
        {u"T.A", 13, u"NULL", 1, "T.A IS NOT NULL"},
        {nullptr, 16, u"(SELECT 1)", 1, "EXISTS (SELECT 1)"},
        {nullptr, 17, u"(SELECT 1)", 1, "NOT EXISTS (SELECT 1)"},
        {nullptr, 2, u"5", 0, ""},
        {u"T.D", 33, u"'2020-06-15'", 1,
         "(T.D >= '2020-01-01 00:00:00' AND T.D < '2021-01-01 00:00:00')"},
        {u"T.D", 34, u"'2020-12-05'", 1,
         "(T.D >= '2020-12-01 00:00:00' AND T.D < '2021-01-01 00:00:00')"},
        {u"T.D", 34, u"'2021-02-10'", 1,
         "(T.D >= '2021-02-01 00:00:00' AND T.D < '2021-03-01 00:00:00')"},
        {u"T.D", 35, u"'2020-02-28'", 1,
         "(T.D >= '2020-02-28 00:00:00' AND T.D < '2020-02-29 00:00:00')"},
        {u"T.D", 35, u"'2021-02-28'", 1,
         "(T.D >= '2021-02-28 00:00:00' AND T.D < '2021-03-01 00:00:00')"},
        {u"T.D", 35, u"'2020-12-31'", 1,
         "(T.D >= '2020-12-31 00:00:00' AND T.D < '2021-01-01 00:00:00')"},
        {u"T.D", 35, u"TIMESTAMP \"2020-03-01 10:00\"::x", 1,
         "(T.D >= TIMESTAMP \"2020-03-01 00:00:00\"::x AND T.D < TIMESTAMP \"2020-03-02 "
         "00:00:00\"::x)"},
        {u"T.D", 34, u"'2020-12-05", 0, ""},
        {u"T.D", 34, u"2020-12-05", 0, ""},
        {u"T.D", 34, u"'2020-13-05'", 0, ""},
        {u"T.D", 35, u"'2021-02-29'", 0, ""},
        {u"T.D", 33, u"'20x0-01-01'", 0, ""},
        {nullptr, 33, u"'2020-01-01'", 0, ""},
        {u"T.A", 0, u"5", 0, ""},
        {u"T.A", 14, u"5", 0, ""},
        {u"T.A", 32, u"5", 0, ""},
        {u"T.A", 36, u"5", 0, ""},
    };
    for (const Case &c : cases) {
        XQueryTemplate t;
        AddConditions(&t, {{0, c.body, c.pare, c.kape, 0, 0}});
        MakeResolvable(&t);
        QueryRendered r = RenderWhere(&t);
        ASSERT_EQ(0, r.replaced) << c.pare << " " << ToUtf8(c.kape);
        EXPECT_EQ(c.ok, r.clause) << c.pare << " " << ToUtf8(c.kape);
        if (c.ok) {
            EXPECT_EQ(c.where, r.text) << c.pare << " " << ToUtf8(c.kape);
        }
    }
}

TEST(QueryClause, DateRangeInsideGroupsAndDecidedRoots)
{
    XQueryTemplate t;
    AddConditions(&t, {{0, u"A", 2, u"1", 0, kJoinOr}, {0, u"D", 34, u"'2020-02-10'", 0, 0}});
    MakeResolvable(&t);
    EXPECT_EQ(" A = 1 OR (D >= '2020-02-01 00:00:00' AND D < '2020-03-01 00:00:00')",
              RenderWhere(&t).text);

    XString text(u"keep");
    EXPECT_EQ(1, MakeWhereClause(nullptr, &text));
    XWhereTree root{};
    root.code = kWhereTrue;
    EXPECT_EQ(1, MakeWhereClause(&root, &text));
    root.code = kWhereDropped;
    EXPECT_EQ(1, MakeWhereClause(&root, &text));
    root.code = kWhereFalse;
    EXPECT_EQ(0, MakeWhereClause(&root, &text));
    EXPECT_EQ("keep", ToUtf8(text.GetString()));
}

TEST(QueryClause, AppendsAfterExistingTextAndKeepsPartialTextOnFailure)
{
    XQueryTemplate t;
    AddConditions(&t, {{0, u"A", 2, u"1", 0, kJoinAnd}, {0, u"B", 99, u"2", 0, 0}});
    MakeResolvable(&t);
    XMemoHelper memo;
    ASSERT_EQ(0, t.ReplaceTemplate(&memo));
    XString text(u"WHERE");
    EXPECT_EQ(0, MakeWhereClause(static_cast<XWhereTree *>(t.GetDescWare(kQueryTree)), &text));
    EXPECT_EQ("WHERE(A = 1 AND ", ToUtf8(text.GetString()));

    XQueryTemplate ok;
    AddFlatConditions(&ok, "A OR B");
    MakeResolvable(&ok);
    ASSERT_EQ(0, ok.ReplaceTemplate(&memo));
    XString where(u"WHERE");
    EXPECT_EQ(1, MakeWhereClause(static_cast<XWhereTree *>(ok.GetDescWare(kQueryTree)), &where));
    EXPECT_EQ("WHERE A = 1 OR B = 1", ToUtf8(where.GetString()));
}

// ---- Result codes of resolving ------------------------------------------------------------

TEST(QueryResolve, ResultCodes)
{
    struct Case
    {
        const char *what;
        void (*setup)(XQueryTemplate *);
        int32_t expected;
    };
    const Case cases[] = {
        {"no binder", [](XQueryTemplate *t) { t->SetBinder(nullptr, nullptr); }, kQueryFailed},
        {"no field", [](XQueryTemplate *t) { t->ClearWare(kQueryFields); }, kQueryNoField},
        {"no data source", [](XQueryTemplate *t) { t->SetDataMuster(0, 0); }, kQueryNoMuster},
        {"second data source only", [](XQueryTemplate *t) { t->SetDataMuster(0, 9); }, 0},
        {"field without Body",
         [](XQueryTemplate *t) {
             XFieldRecord_t f{};
             t->AddDesc(kQueryFields, &f);
         },
         kQueryFieldBody},
        {"group without Body",
         [](XQueryTemplate *t) {
             XGroupRecord_t g{};
             t->AddDesc(kQueryGroups, &g);
         },
         kQueryGroupBody},
        {"order without Body",
         [](XQueryTemplate *t) {
             XOrderRecord_t o{};
             t->AddDesc(kQueryOrders, &o);
         },
         kQueryOrderBody},
        {"binder error in the FROM text", [](XQueryTemplate *t) { t->SetFromClause(u"!T"); },
         kBinderError},
    };
    for (const Case &c : cases) {
        XQueryTemplate t;
        AddFlatConditions(&t, "A");
        MakeResolvable(&t);
        c.setup(&t);
        XMemoHelper memo;
        EXPECT_EQ(c.expected, t.ReplaceTemplate(&memo)) << c.what;
        XMemoArchive out;
        XMF_Archive archive(&out);
        EXPECT_EQ(c.expected, t.ComputeTemplate(&archive)) << c.what;
    }
}

TEST(QueryResolve, ReplaceTemplateRewritesEveryList)
{
    XQueryTemplate t;
    t.SetDataMuster(3, 0);
    XFieldRecord_t f{};
    std::memcpy(f.body, u"=T.NAME", 16);
    t.AddDesc(kQueryFields, &f);
    XGroupRecord_t g{};
    std::memcpy(g.body, u"=T.G", 10);
    t.AddDesc(kQueryGroups, &g);
    XOrderRecord_t o{};
    std::memcpy(o.body, u"T.O", 8);
    t.AddDesc(kQueryOrders, &o);
    t.SetFromClause(u"=CUSTOMER T");
    t.SetBinder(nullptr, TestBinder);
    XMemoHelper memo;
    ASSERT_EQ(0, t.ReplaceTemplate(&memo));
    EXPECT_EQ("from=CUSTOMER T\n"
              "field T.NAME|<null>|0|0|0|0|<null>\n"
              "group T.G|<null>\n"
              "order T.O|<null>|0\n",
              DumpTemplate(t, false));
}

// The resolved query written by ComputeTemplate, read back as a list of records.
std::string ReadComputed(XMemoArchive *out)
{
    out->InitReader();
    XMF_Archive in(out);
    std::string s;
    uint16_t code = 0;
    int depth = 0;
    for (int kind; (kind = in.ReadHeader(&code)) != XMF_Archive::kEnd;) {
        if (kind == XMF_Archive::kSectionStart) {
            s += "[" + std::to_string(code) + " ";
            ++depth;
        } else if (kind == XMF_Archive::kSectionEnd) {
            s += "] ";
            --depth;
        } else if (depth == 1 ? code == 16 : code == 1 || code == 2) {
            char16_t *text = in.ReadStrProper();
            s += std::to_string(code) + "=" + ToUtf8(text) + " ";
            MemFree(text);
        } else {
            int64_t v = 0;
            in.ReadInteger(&v, 8);
            s += std::to_string(code) + ":" + std::to_string(v) + " ";
        }
    }
    return s;
}

TEST(QueryResolve, ComputeTemplateWritesTheResolvedQueryWithoutChangingTheLists)
{
    XQueryTemplate t;
    AddConditions(&t, {{1, u"=T.A", 2, u"=5", 0, kJoinOr},
                       {0, u"B", 1, u"?", 1, kJoinAnd, 3},
                       {0, u"C", 8, u"'x%'", 0, 0}});
    MakeResolvable(&t);
    t.SetExtraWord(0, 7);
    t.SetFromClause(u"=TAB");
    const std::string before = DumpTemplate(t);
    XMemoArchive out;
    XMF_Archive archive(&out);
    ASSERT_EQ(0, t.ComputeTemplate(&archive));
    EXPECT_EQ(before, DumpTemplate(t));
    EXPECT_EQ(nullptr, t.GetDescWare(kQueryTree));
    // B is TRUE inside the OR, so the bracket is TRUE and only C is left.
    EXPECT_EQ("[14337 1:1 2:0 3:7 4:0 5:0 16=TAB [257 [4097 1=* 3:0 4:0 5:0 ] ] "
              "[258 [4097 1=C 2='x%' 4:0 5:0 6:8 7:0 8:0 ] ] ] ",
              ReadComputed(&out));

    XQueryTemplate both;
    AddConditions(&both, {{0, u"=T.A", 2, u"=5", 0, kJoinOr},
                          {0, u"B", 1, u"?", 0, kJoinAnd, 4},
                          {0, u"C", 8, u"'x%'", 0, 0}});
    MakeResolvable(&both);
    XMemoArchive out2;
    XMF_Archive archive2(&out2);
    ASSERT_EQ(0, both.ComputeTemplate(&archive2));
    EXPECT_EQ("[14337 1:1 2:0 3:0 4:0 5:0 [257 [4097 1=* 3:0 4:0 5:0 ] ] "
              "[258 [4097 1=T.A 2=5 4:1 5:0 6:2 7:1 8:0 ] "
              "[4097 1=B 2=W 4:1 5:0 6:1 7:2 8:4 ] [4097 1=C 2='x%' 4:0 5:2 6:8 7:2 8:0 ] ] ] ",
              ReadComputed(&out2));

    XQueryTemplate none;
    AddConditions(&none, {{0, u"A", 2, u"?", 0, 0, 1}});
    MakeResolvable(&none);
    XMemoArchive out3;
    XMF_Archive archive3(&out3);
    EXPECT_EQ(1, none.ComputeTemplate(&archive3)); // can match nothing
}

// ---- Values are inserted verbatim ------------------------------------------------------------

int32_t QuotingBinder(void *, const char16_t *expression, XString *work)
{
    if (expression[0] != u':')
        return 0;
    std::u16string value = u"' OR '1'='1";
    work->AppendChar(u'\'');
    for (char16_t ch : value) {
        work->AppendChar(ch);
        if (ch == u'\'')
            work->AppendChar(u'\'');
    }
    work->AppendChar(u'\'');
    return 1;
}

TEST(QueryClause, ValuesAreInsertedAsTheBinderLeavesThem)
{
    XQueryTemplate t;
    AddConditions(&t, {{0, u"NAME", 2, u":name", 0, 0}});
    MakeResolvable(&t);
    t.SetBinder(nullptr, QuotingBinder);
    EXPECT_EQ("NAME = ''' OR ''1''=''1'", RenderWhere(&t).text);
    // Written by the author, the same text goes through unchanged.
    XQueryTemplate raw;
    AddConditions(&raw, {{0, u"NAME", 2, u"'' OR '1'='1'", 0, 0}});
    MakeResolvable(&raw);
    EXPECT_EQ("NAME = '' OR '1'='1'", RenderWhere(&raw).text);
}

// ---- Records, lists and fields --------------------------------------------------------------

TEST(QueryLists, RecordsRoundTripAndNormaliseSizes)
{
    struct Case
    {
        int32_t type, size, added;
    };
    const Case cases[] = {{1, 0, 2},   {1, 3, 2}, {1, 4, 4}, {1, 7, 4},   {1, 8, 8},
                          {1, 100, 8}, {3, 0, 8}, {4, 2, 8}, {2, 40, 40}, {10, 5, 5}};
    XQueryTemplate t;
    for (const Case &c : cases) {
        XFieldRecord_t f{};
        std::memcpy(f.body, u"F", 4);
        f.type = c.type;
        f.size = c.size;
        ASSERT_NE(nullptr, t.AddDesc(kQueryFields, &f));
    }
    XFieldRecord_t r{};
    const void *item = nullptr;
    for (const Case &c : cases) {
        item = t.GetNextDesc(kQueryFields, item, &r);
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(c.added, r.size) << c.type << " " << c.size;
    }
    EXPECT_EQ(nullptr, t.GetNextDesc(kQueryFields, item, &r));

    XWhereRecord_t w{};
    std::memcpy(w.lbox, u" ( (x", 12);
    std::memcpy(w.body, u"A", 4);
    std::memcpy(w.kape, u"1", 4);
    std::memcpy(w.rbox, u")", 4);
    w.pare = 6;
    w.join = 2;
    w.mode = 3;
    std::memcpy(w.name, u"名称", 6);
    auto *added = static_cast<XQueryWhere *>(t.AddDesc(kQueryWheres, &w));
    ASSERT_NE(nullptr, added);
    EXPECT_EQ(2, added->lbox);
    EXPECT_EQ(1, added->rbox);
    XWhereRecord_t back;
    std::memset(&back, 0x55, sizeof(back));
    ASSERT_EQ(added, t.GetNextDesc(kQueryWheres, nullptr, &back));
    EXPECT_EQ(u"((", std::u16string(back.lbox));
    EXPECT_EQ(u")", std::u16string(back.rbox));
    EXPECT_EQ(u"名称", std::u16string(back.name));
    EXPECT_EQ(6, back.pare);
    EXPECT_EQ(3, back.mode);
}

TEST(QueryLists, TextsThatDoNotFitAreRefused)
{
    XQueryTemplate t;
    XGroupRecord_t g;
    std::memset(&g, 0, sizeof(g));
    for (char16_t &ch : g.body)
        ch = u'x'; // no terminator inside the area
    EXPECT_EQ(nullptr, t.AddDesc(kQueryGroups, &g));
    g.body[1023] = 0;
    ASSERT_NE(nullptr, t.AddDesc(kQueryGroups, &g));
    auto *item = static_cast<XQueryGroup *>(t.GetDescWare(kQueryGroups));
    XGroupRecord_t back{};
    ASSERT_EQ(item, t.GetNextDesc(kQueryGroups, nullptr, &back));
    EXPECT_EQ(1023u, std::u16string(back.body).size());
    item->name = static_cast<char16_t *>(MemAlloc(33 * 2));
    std::u16string longName(32, u'n');
    std::memcpy(item->name, longName.c_str(), 33 * 2);
    EXPECT_EQ(nullptr, t.GetNextDesc(kQueryGroups, nullptr, &back));
    EXPECT_EQ(0, back.name[0]);
    EXPECT_EQ(nullptr, t.AddDesc(7, &g));
    EXPECT_EQ(nullptr, t.AddDesc(kQueryFields, nullptr));
}

TEST(QueryLists, CheckErrorReportsTheFirstFault)
{
    struct Case
    {
        void (*setup)(XQueryTemplate *);
        int valid;
        const char16_t *message;
    };
    const Case cases[] = {
        {[](XQueryTemplate *) {}, 1, u""},
        {[](XQueryTemplate *t) {
             XOrderRecord_t o{};
             t->AddDesc(kQueryOrders, &o);
             XFieldRecord_t f{};
             t->AddDesc(kQueryFields, &f);
         },
         0, u"查询模板检索字段有误！"},
        {[](XQueryTemplate *t) {
             AddConditions(t, {{0, u"A", 0, u"1", 0, 0}});
         },
         0, u"查询模板条件子式有误！"},
        {[](XQueryTemplate *t) {
             AddConditions(t, {{0, u"A", 2, nullptr, 0, 0}});
         },
         0, u"查询模板条件子式有误！"},
        {[](XQueryTemplate *t) {
             XGroupRecord_t g{};
             t->AddDesc(kQueryGroups, &g);
         },
         0, u"查询模板分组字段有误！"},
        {[](XQueryTemplate *t) {
             XOrderRecord_t o{};
             t->AddDesc(kQueryOrders, &o);
         },
         0, u"查询模板排序字段有误！"},
    };
    for (const Case &c : cases) {
        XQueryTemplate t;
        c.setup(&t);
        char16_t buffer[64] = {};
        EXPECT_EQ(c.valid, t.CheckError(buffer));
        EXPECT_EQ(std::u16string(c.message), std::u16string(buffer));
    }
}

XItemDataDesc *Column(XItemDataDesc *prev, uint32_t id, uint16_t type, uint16_t size,
                      const char16_t *name)
{
    XItemDataDesc *d = MallocItemDesc();
    d->id = id;
    d->type = type;
    d->size = size;
    std::memcpy(d->name, name, (std::char_traits<char16_t>::length(name) + 1) * 2);
    if (prev)
        prev->next = d;
    return d;
}

TEST(QueryLists, FieldEditingWithDescriptors)
{
    XItemDataDesc *a = Column(nullptr, 7, 2, 20, u"NAME");
    XItemDataDesc *b = Column(a, 0, 14, 30, u"TEXT");
    Column(b, 12, 1, 4, u"AGE");
    XQueryTemplate t;
    EXPECT_EQ(1, t.InsertSuber(5, a));
    EXPECT_EQ(1, t.InsertSuber(0, b));
    EXPECT_EQ("from=<null>\n"
              "field <null>|TEXT|2|30|0|0|<null>\n"
              "field [7]|NAME|2|20|0|0|<null>\n",
              DumpTemplate(t, false));
    EXPECT_EQ(1, t.SwitchSuber(0, 1));
    EXPECT_EQ(1, t.ModifySuber(1, a->next->next));
    EXPECT_EQ(0, t.ModifySuber(2, a));
    EXPECT_EQ("from=<null>\n"
              "field [7]|NAME|2|20|0|0|<null>\n"
              "field <null>|AGE|1|4|0|0|<null>\n",
              DumpTemplate(t, false));
    EXPECT_EQ(1, t.DeleteSuber(0));
    EXPECT_EQ(0, t.DeleteSuber(1));
    // The chain decides the fields: bodies and names only where missing.
    XFieldRecord_t keep{};
    std::memcpy(keep.body, u"T.X", 8);
    t.AddDesc(kQueryFields, &keep);
    t.AddDesc(kQueryFields, &keep);
    EXPECT_EQ(1, t.UpdateFieldDesc(a));
    EXPECT_EQ("from=<null>\n"
              "field [7]|AGE|2|20|0|0|<null>\n"
              "field T.X|TEXT|2|30|0|0|<null>\n"
              "field T.X|AGE|1|4|0|0|<null>\n",
              DumpTemplate(t, false));
    EXPECT_EQ(1, t.UpdateFieldDesc(a->next->next));
    EXPECT_EQ("from=<null>\nfield [7]|AGE|1|4|0|0|<null>\n", DumpTemplate(t, false));
    EXPECT_EQ(1, t.UpdateFieldDesc(nullptr));
    EXPECT_EQ(nullptr, t.GetDescWare(kQueryFields));
    ReleaseItemDesc(a);
    ReleaseItemNode(a);
}

TEST(QueryLists, CopiesAreDeepAndDisplaceMoves)
{
    XQueryTemplate *t = XQueryTemplate::Malloc();
    AddFlatConditions(t, "A AND (B OR C)");
    MakeResolvable(t);
    t->SetFromClause(u"T");
    t->SetDataMuster(4, 5);
    XQueryTemplate copy(*t);
    XQueryTemplate assigned;
    assigned = *t;
    assigned = assigned;
    const std::string dump = DumpTemplate(*t);
    t->Release(); // the copies keep their own lists
    EXPECT_EQ(dump, DumpTemplate(copy));
    EXPECT_EQ(dump, DumpTemplate(assigned));
    EXPECT_EQ(" A = 1 AND (B = 1 OR C = 1)", RenderWhere(&copy).text);

    XQueryTemplate target;
    AddFlatConditions(&target, "Z");
    target.Displace(&assigned);
    EXPECT_EQ(dump, DumpTemplate(target));
    EXPECT_EQ(nullptr, assigned.GetDescWare(kQueryWheres));
    EXPECT_EQ(nullptr, assigned.GetFromClause());
    EXPECT_EQ(nullptr, target.GetDescWare(5));
}

} // namespace
