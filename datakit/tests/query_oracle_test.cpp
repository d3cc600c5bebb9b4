// WHERE text checked by real SQL engines. sqlite3 runs the text of generated condition
// lists (join codes 1 to 4, every availability mode) over a table that holds every
// true/false combination of the conditions and must select exactly the rows the
// author's flat condition text selects; PostgreSQL must
// accept the date ranges and find in them exactly the times of the year, month or day.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "corekit/text/xstring.h"
#include "datakit/query_template.h"
#include "oracle_util.h"
#include "query_util.h"
#include "scoped_util.h"

namespace {

constexpr int kBits = 8; // conditions per list at most; the table has 2^kBits rows

class Sqlite
{
public:
    Sqlite()
    {
        sqlite3_open(":memory:", &m_db);
        std::string create = "CREATE TABLE t(r INTEGER PRIMARY KEY";
        for (int k = 0; k < kBits; ++k)
            create += ", b" + std::to_string(k) + " INTEGER";
        Exec(create + ")");
        Exec("BEGIN");
        for (int r = 0; r < (1 << kBits); ++r) {
            std::string row = "INSERT INTO t VALUES(" + std::to_string(r);
            for (int k = 0; k < kBits; ++k)
                row += r >> k & 1 ? ",1" : ",0";
            Exec(row + ")");
        }
        Exec("COMMIT");
    }
    ~Sqlite() { sqlite3_close(m_db); }

    void Exec(const std::string &sql)
    {
        ASSERT_EQ(SQLITE_OK, sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr)) << sql;
    }

    // The first column of the first row as text ("<error: ...>" when the text is refused).
    std::string Value(const std::string &sql)
    {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            return std::string("<error: ") + sqlite3_errmsg(m_db) + ">";
        std::string out;
        int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW && sqlite3_column_text(st, 0))
            out = reinterpret_cast<const char *>(sqlite3_column_text(st, 0));
        else if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            out = std::string("<error: ") + sqlite3_errmsg(m_db) + ">";
        sqlite3_finalize(st);
        return out;
    }

    // The rows of t that the condition selects, as "r1,r2,...".
    std::string Rows(const std::string &where)
    {
        return Value("SELECT group_concat(r) FROM (SELECT r FROM t" +
                     (where.empty() ? std::string() : " WHERE " + where) + " ORDER BY r)");
    }

private:
    sqlite3 *m_db = nullptr;
};

// ---- Generated condition lists ----------------------------------------------------------

struct GenCond
{
    uint16_t lbox = 0, rbox = 0, join = 0, pare = 0, mode = 0;
    std::u16string body, kape;
    bool hasBody = true;
};

// What the flat text holds for a term: its SQL, or nothing when it was dropped.
struct FlatTerm
{
    bool dropped = false;
    std::string sql;
};

// How a condition's parameters reach the binder (OracleBinder below).
enum Situation { kBodyMissing, kKapeMissing, kKapeReplaced, kKapeKept, kSituations };
// Availability modes tried: the four rules and two that drop.
constexpr uint16_t kModes[] = {kModeFalse, kModeRequired, kModeTrue, kModeUnless, 0, 5};
constexpr uint16_t kMaxJoin = 4; // join codes 1 to 4

// Builds a condition list and the same conditions as flat SQL text. Condition k is true
// exactly on the rows whose bit k is set (or constant for a missing parameter). The flat
// text brackets every precedence group itself: a larger join code binds tighter, code 2
// is AND and every other code OR; a dropped condition is left out of its group, and a
// group left without conditions is left out of the one around it.
class Generator
{
public:
    Generator(std::mt19937 &rng, Sqlite &db) : m_rng(rng), m_db(db) {}

    void Make()
    {
        m_conds.clear();
        m_open = 0;
        m_fails = false;
        FlatTerm root;
        Expr(0, 1, 1 + static_cast<int>(Pick(kBits)), &root);
        m_flat = root.dropped ? std::string() : root.sql;
    }

    const std::vector<GenCond> &Conds() const { return m_conds; }
    // The WHERE text the conditions mean (empty: every row).
    const std::string &Flat() const { return m_flat; }
    // True when a condition of mode 2 misses a parameter: the query must fail.
    bool Fails() const { return m_fails; }
    // Conditions made per mode (index into kModes) and situation; joins per code.
    uint32_t Seen(size_t mode, int situation) const { return m_seen[mode][situation]; }
    uint32_t Joins(uint16_t code) const { return m_joins[code]; }

private:
    uint32_t Pick(uint32_t n) { return m_rng() % n; }

    // minTerms to minTerms + 2 terms using at most budget conditions (budget >= minTerms);
    // returns the conditions used. A bracket always holds two terms or more.
    int Expr(int depth, int minTerms, int budget, FlatTerm *out)
    {
        const int terms = std::min(budget, minTerms + static_cast<int>(Pick(3)));
        std::vector<FlatTerm> parts;
        std::vector<uint16_t> joins;
        int left = budget;
        for (int i = 0; i < terms; ++i) {
            if (i > 0) {
                const auto join = static_cast<uint16_t>(1 + Pick(kMaxJoin));
                m_conds.back().join = join;
                joins.push_back(join);
                ++m_joins[join];
            }
            const int avail = left - (terms - i - 1); // later terms need one each
            if (depth < 3 && avail >= 2 && Pick(3) == 0) {
                ++m_open;
                FlatTerm inner;
                left -= Expr(depth + 1, 2, 2 + static_cast<int>(Pick(avail - 1)), &inner);
                ++m_conds.back().rbox;
                parts.push_back(inner);
            } else {
                parts.push_back(Condition());
                --left;
            }
        }
        *out = Combine(parts, joins, 0, parts.size());
        return budget - left;
    }

    // Terms first to last - 1, split at their loosest join into groups.
    static FlatTerm Combine(const std::vector<FlatTerm> &parts, const std::vector<uint16_t> &joins,
                            size_t first, size_t last)
    {
        if (last - first == 1)
            return parts[first];
        const uint16_t loosest = *std::min_element(joins.begin() + first, joins.begin() + last - 1);
        std::vector<FlatTerm> members;
        size_t start = first;
        for (size_t k = first; k + 1 < last; ++k)
            if (joins[k] == loosest) {
                members.push_back(Combine(parts, joins, start, k + 1));
                start = k + 1;
            }
        members.push_back(Combine(parts, joins, start, last));
        FlatTerm group{true, ""};
        for (const FlatTerm &m : members) {
            if (m.dropped)
                continue;
            if (!group.dropped)
                group.sql += loosest == kJoinAnd ? " AND " : " OR ";
            group.sql += "(" + m.sql + ")";
            group.dropped = false;
        }
        return group;
    }

    // The flat term of a condition whose Body (kape false) or Kape is not available.
    FlatTerm Missing(uint16_t mode, bool kape, const std::string &flat)
    {
        switch (mode) {
        case kModeFalse:
            return {false, "1 = 0"};
        case kModeRequired:
            m_fails = true;
            return {false, "1 = 0"};
        case kModeTrue:
            return {false, "1 = 1"};
        case kModeUnless: // the binder leaves the value behind
            return kape ? FlatTerm{false, flat} : FlatTerm{true, ""};
        default:
            return {true, ""};
        }
    }

    FlatTerm Condition()
    {
        GenCond c;
        c.lbox = m_open;
        m_open = 0;
        const std::string bit = "b" + std::to_string(m_conds.size());
        const std::string flat = Comparison(bit, &c);
        const size_t mode = Pick(std::size(kModes));
        c.mode = kModes[mode];
        const uint32_t roll = Pick(16);
        int situation = roll == 0 && c.hasBody ? kBodyMissing
                        : roll <= 2            ? kKapeMissing
                        : roll <= 7            ? kKapeReplaced
                                               : kKapeKept;
        ++m_seen[mode][situation];
        FlatTerm term{false, flat};
        if (situation == kBodyMissing) {
            c.body = u"?" + c.body;
            term = Missing(c.mode, false, flat);
        } else if (situation == kKapeMissing) {
            c.kape = u"?" + c.kape;
            term = Missing(c.mode, true, flat);
        } else if (situation == kKapeReplaced) {
            c.kape = u"=" + c.kape;
            if (c.mode == kModeUnless) // a supplied value drops it
                term = {true, ""};
        }
        if (c.hasBody && situation != kBodyMissing && Pick(4) == 0)
            c.body = u"=" + c.body;
        m_conds.push_back(c);
        return term;
    }

    static std::string Case(const std::string &bit, const std::string &yes, const std::string &no)
    {
        return "CASE WHEN " + bit + " THEN " + yes + " ELSE " + no + " END";
    }

    // Fills the condition for one comparison code and returns its flat text.
    std::string Comparison(const std::string &bit, GenCond *c)
    {
        // Code, value true, value false, operator, for the value 5.
        struct Numeric
        {
            uint16_t pare;
            const char *yes, *no, *op;
        };
        static constexpr Numeric kNumeric[] = {{1, "6", "5", ">"},  {2, "5", "4", "="},
                                               {3, "4", "5", "<"},  {4, "5", "4", ">="},
                                               {5, "5", "6", "<="}, {6, "4", "5", "<>"}};
        static constexpr uint16_t kCodes[] = {1,  2,  3,  4,  5,  6,  8,  10,
                                              11, 12, 13, 16, 17, 33, 34, 35};
        c->pare = kCodes[Pick(std::size(kCodes))];
        std::string x, flat;
        switch (c->pare) {
        case 8:
            x = Case(bit, "'abc'", "'xbc'");
            c->kape = u"'ab%'";
            flat = x + " LIKE 'ab%'";
            break;
        case 10:
        case 11:
            return InList(bit, c);
        case 12:
        case 13:
            x = c->pare == 12 ? Case(bit, "NULL", "1") : Case(bit, "1", "NULL");
            c->kape = u"NULL";
            flat = x + (c->pare == 12 ? " IS NULL" : " IS NOT NULL");
            break;
        case 16:
        case 17: {
            c->hasBody = false;
            std::string sub = "(SELECT 1 WHERE " + bit + (c->pare == 16 ? " = 1)" : " = 0)");
            c->kape = ToUtf16(sub);
            return (c->pare == 16 ? "EXISTS " : "NOT EXISTS ") + sub;
        }
        case 33:
        case 34:
        case 35:
            return DateRange(bit, c);
        default: {
            const Numeric &n = kNumeric[c->pare - 1];
            x = Case(bit, n.yes, n.no);
            c->kape = u"5";
            flat = x + " " + n.op + " 5";
        }
        }
        c->body = ToUtf16(x);
        return flat;
    }

    std::string InList(const std::string &bit, GenCond *c)
    {
        const bool in = c->pare == 10;
        std::string x, list;
        if (Pick(2)) {
            x = in ? Case(bit, "2", "4") : Case(bit, "4", "2");
            static const char *const kForms[] = {"(1,2,3)", "\"1,2,3,\"", " '1,2,3' ", "\"1,2,3\""};
            c->kape = ToUtf16(kForms[Pick(4)]);
            list = "(1,2,3)";
        } else {
            x = in ? Case(bit, "'b'", "'c'") : Case(bit, "'c'", "'b'");
            c->kape = Pick(2) ? u"\"'a','b',\"" : u"('a','b')";
            list = "('a','b')";
        }
        c->body = ToUtf16(x);
        return x + (in ? " IN " : " NOT IN ") + list;
    }

    // A date, one time inside its year, month or day and one outside, chosen near the
    // bounds; the bounds come from sqlite's own date functions.
    std::string DateRange(const std::string &bit, GenCond *c)
    {
        static const char *const kDates[] = {"2020-02-29", "2021-02-28", "2020-12-31",
                                             "2021-01-01", "1999-12-31", "2000-02-29",
                                             "2024-06-30", "2023-11-15"};
        std::string date = kDates[Pick(std::size(kDates))];
        if (Pick(2)) {
            char buf[16];
            snprintf(buf, sizeof buf, "%04u-%02u-%02u", 1990 + Pick(50), 1 + Pick(12),
                     1 + Pick(28));
            date = buf;
        }
        const char *unit = c->pare == 33 ? "year" : c->pare == 34 ? "month" : "day";
        const std::string start = "datetime('" + date + "', 'start of " + unit + "')";
        const std::string next =
            "datetime('" + date + "', 'start of " + unit + "', '+1 " + unit + "')";
        const std::string inside[] = {start, "datetime(" + next + ", '-1 second')",
                                      "datetime('" + date + "', '+12 hours')"};
        const std::string outside[] = {next, "datetime(" + start + ", '-1 second')"};
        std::string yes = m_db.Value("SELECT " + inside[Pick(3)]);
        std::string no = m_db.Value("SELECT " + outside[Pick(2)]);
        std::string x = Case(bit, "'" + yes + "'", "'" + no + "'");
        c->body = ToUtf16(x);
        c->kape = ToUtf16("'" + date + "'");
        if (c->pare == 33)
            return "strftime('%Y', " + x + ") = '" + date.substr(0, 4) + "'";
        if (c->pare == 34)
            return "strftime('%Y-%m', " + x + ") = '" + date.substr(0, 7) + "'";
        return "date(" + x + ") = '" + date + "'";
    }

    std::mt19937 &m_rng;
    Sqlite &m_db;
    std::vector<GenCond> m_conds;
    std::string m_flat;
    uint16_t m_open = 0;
    bool m_fails = false;
    uint32_t m_seen[std::size(kModes)][kSituations] = {};
    uint32_t m_joins[kMaxJoin + 1] = {};
};

// "?text": not available, text left behind; "=text": replaced by text; others kept.
int32_t OracleBinder(void *, const char16_t *expression, XString *work)
{
    if (expression[0] != u'?' && expression[0] != u'=')
        return 0;
    work->Append(expression + 1);
    return expression[0] == u'?' ? kQueryNotAvailable : 1;
}

// The template rendered through OracleBinder.
QueryRendered RenderGenerated(const std::vector<GenCond> &conds)
{
    std::vector<QueryCond> qc;
    for (const GenCond &c : conds)
        qc.push_back({c.lbox, c.hasBody ? c.body.c_str() : nullptr, c.pare, c.kape.c_str(), c.rbox,
                      c.join, c.mode});
    XQueryTemplate t;
    AddConditions(&t, qc);
    MakeResolvable(&t);
    t.SetBinder(nullptr, OracleBinder);
    return RenderWhere(&t);
}

TEST(QueryOracle, SqliteSelectsWhatTheFlatConditionsSelect)
{
    Sqlite db;
    std::mt19937 rng(0x5eed);
    Generator gen(rng, db);
    const std::string all = db.Rows("");
    int mismatches = 0, mixed = 0, failed = 0;
    constexpr int kTemplates = 10000;
    for (int i = 0; i < kTemplates && mismatches < 10; ++i) {
        gen.Make();
        const QueryRendered r = RenderGenerated(gen.Conds());
        if (gen.Fails()) {
            ASSERT_EQ(kQueryNotAvailable, r.replaced) << gen.Flat();
            ++failed;
            continue;
        }
        const bool none = r.replaced == 0 && r.computed == 1;
        ASSERT_TRUE(r.replaced == 0 && (r.clause == 1 || none)) << gen.Flat();
        const std::string expected = db.Rows(gen.Flat());
        ASSERT_EQ(std::string::npos, expected.find("<error")) << gen.Flat() << expected;
        const std::string got = none ? std::string() : db.Rows(r.text);
        if (got != expected) {
            ++mismatches;
            ADD_FAILURE() << "flat: " << gen.Flat() << "\nours: " << r.text << "\nexpected "
                          << expected << "\ngot " << got;
        }
        mixed += !expected.empty() && expected != all;
    }
    EXPECT_EQ(0, mismatches);
    EXPECT_GT(mixed, kTemplates / 2); // most lists select some rows and not others
    EXPECT_GT(failed, 0);
    for (uint16_t join = 1; join <= kMaxJoin; ++join)
        EXPECT_GT(gen.Joins(join), 0u) << "join " << join;
    for (size_t mode = 0; mode < std::size(kModes); ++mode)
        for (int situation = 0; situation < kSituations; ++situation)
            EXPECT_GT(gen.Seen(mode, situation), 0u) << kModes[mode] << " " << situation;
}

// ---- Values and quoting ----------------------------------------------------------------------

const char16_t kInjected[] = u"' OR '1'='1";

int32_t QuotingBinder(void *data, const char16_t *expression, XString *work)
{
    if (expression[0] != u':')
        return 0;
    const bool doubling = data != nullptr;
    work->AppendChar(u'\'');
    for (const char16_t *p = kInjected; *p; ++p) {
        work->AppendChar(*p);
        if (*p == u'\'' && doubling)
            work->AppendChar(u'\'');
    }
    work->AppendChar(u'\'');
    return 1;
}

TEST(QueryOracle, ABinderThatDoublesQuotesMakesAnInjectedValueHarmless)
{
    Sqlite db;
    db.Exec("CREATE TABLE people(id INTEGER, name TEXT)");
    db.Exec("INSERT INTO people VALUES (1, 'alice'), (2, 'bob'), (3, ''' OR ''1''=''1')");
    int doubling = 1;
    for (void *data : {static_cast<void *>(&doubling), static_cast<void *>(nullptr)}) {
        XQueryTemplate t;
        AddConditions(&t, {{0, u"name", 2, u":name", 0, 0}});
        MakeResolvable(&t);
        t.SetBinder(data, QuotingBinder);
        QueryRendered r = RenderWhere(&t);
        ASSERT_EQ(1, r.clause);
        std::string ids = db.Value("SELECT group_concat(id) FROM (SELECT id FROM people WHERE " +
                                   r.text + " ORDER BY id)");
        // Inserted verbatim: only the binder's quoting stands between the value and the query.
        EXPECT_EQ(data ? "3" : "1,2,3", ids) << r.text;
    }
}

// ---- PostgreSQL ----------------------------------------------------------------------------

TEST(QueryOracle, PostgresqlAcceptsTheDateRanges)
{
    ASSERT_TRUE(HaveTool("pg_virtualenv")) << "postgresql-common is needed";
    static const char *const kDates[] = {"2020-12-05", "2020-02-29", "2021-02-28", "2020-12-31",
                                         "2021-01-01", "1999-12-31", "2000-02-29", "2100-02-28",
                                         "2024-07-31", "2023-04-30"};
    // Prefix and suffix around the quoted date; Body is the column x.
    static const char *const kForms[][2] = {
        {"'", "'"}, {"TIMESTAMP '", "'"}, {"'", "'::timestamp"}, {"CAST('", "' AS timestamp)"}};
    std::string sql = "\\set ON_ERROR_STOP 1\nCREATE TEMP TABLE base(b timestamp);\n";
    for (const char *d : kDates)
        sql += std::string("INSERT INTO base VALUES ('") + d + " 13:14:15');\n";
    sql += "CREATE TEMP TABLE d AS SELECT DISTINCT x FROM base, LATERAL (VALUES ";
    for (const char *u : {"year", "month", "day"}) {
        std::string s = std::string("date_trunc('") + u + "', b)",
                    n = s + " + interval '1 " + u + "'";
        sql += "(" + s + "), (" + s + " - interval '1 second'), (" + n + "), (" + n +
               " - interval '1 second'), ";
    }
    sql += "(b)) v(x);\n";
    int count = 0;
    for (const char *d : kDates)
        for (uint16_t pare : {33, 34, 35})
            for (const auto &form : kForms) {
                std::u16string kape = ToUtf16(std::string(form[0]) + d + form[1]);
                XQueryTemplate t;
                AddConditions(&t, {{0, u"x", pare, kape.c_str(), 0, 0}});
                MakeResolvable(&t);
                QueryRendered r = RenderWhere(&t);
                ASSERT_EQ(1, r.clause) << d;
                const char *unit = pare == 33 ? "year" : pare == 34 ? "month" : "day";
                sql += "SELECT " + std::to_string(++count) + ", bool_and(coalesce(" + r.text +
                       ", false) = (date_trunc('" + unit + "', x) = date_trunc('" + unit +
                       "', timestamp '" + d + "'))), count(*) FILTER (WHERE " + r.text +
                       ") FROM d;\n";
            }
    TempFolder temp;
    ASSERT_FALSE(temp.Path().empty());
    const std::string &folder = temp.Path();
    const std::string file = folder + "/ranges.sql";
    std::ofstream(file) << sql;
    int status = -1;
    std::string out = RunCommand("cd " + ShellQuote(folder) + " && pg_virtualenv sh -c " +
                                     ShellQuote("psql -X -At -f " + ShellQuote(file)) + " 2>&1",
                                 &status);
    ASSERT_EQ(0, status) << out;
    int checked = 0;
    for (size_t pos = 0; (pos = out.find('\n', pos)) != std::string::npos; ++pos) {
        size_t start = out.rfind('\n', pos - 1);
        std::string line = out.substr(start == std::string::npos ? 0 : start + 1,
                                      pos - (start == std::string::npos ? 0 : start + 1));
        size_t bar = line.find('|');
        if (bar == std::string::npos || line.find('|', bar + 1) == std::string::npos)
            continue;
        ++checked;
        EXPECT_EQ("t", line.substr(bar + 1, 1)) << line;
        EXPECT_NE("0", line.substr(line.rfind('|') + 1)) << line;
    }
    EXPECT_EQ(count, checked) << out;
}

} // namespace
