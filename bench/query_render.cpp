// Binding and rendering a 50-condition query template against sqlite3 merely preparing
// the statement that holds the resulting WHERE text. A search form pays for both on
// every query, so the template's part should stay well below the engine's parse.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstring>
#include <string>
#include <vector>

#include "corekit/encoding/encoding.h"
#include "corekit/memory/memory.h"
#include "corekit/memory/xmemo_helper.h"
#include "corekit/text/xstring.h"
#include "datakit/query_template.h"

namespace {

constexpr int kConditions = 50;

// ":pN" parameters become quoted values, as a form's binder would make them.
int32_t Binder(void *, const char16_t *expression, XString *work)
{
    if (expression[0] != u':')
        return 0;
    work->AppendChar(u'\'');
    work->Append(expression + 1);
    work->Append(u"-value'");
    return 1;
}

void Copy(char16_t *area, const std::u16string &s)
{
    std::memcpy(area, s.c_str(), (s.size() + 1) * sizeof(char16_t));
}

std::u16string Wide(const std::string &s)
{
    char16_t *w = StrMalloc(s.c_str(), 1);
    std::u16string out = w;
    MemFree(w);
    return out;
}

// Mixed comparisons, IN lists and date ranges, in brackets of three joined by AND and OR.
void Build(XQueryTemplate *t)
{
    XFieldRecord_t f{};
    Copy(f.body, u"C.ID");
    t->AddDesc(kQueryFields, &f);
    t->SetDataMuster(1, 0);
    t->SetFromClause(u"CUSTOMER C");
    t->SetBinder(nullptr, Binder);
    static constexpr uint16_t kPares[] = {1, 2, 3, 4, 5, 6, 8, 10, 11, 12, 34};
    for (int i = 0; i < kConditions; ++i) {
        XWhereRecord_t w{};
        const uint16_t pare = kPares[i % std::size(kPares)];
        Copy(w.lbox, i % 3 == 0 && i + 2 < kConditions ? u"(" : u"");
        Copy(w.rbox, i % 3 == 2 ? u")" : u"");
        Copy(w.body, Wide("C.COL" + std::to_string(i)));
        std::string kape = pare == 10 || pare == 11 ? "\"1,2,3,\""
                           : pare == 12             ? "NULL"
                           : pare == 34             ? "'2020-12-05'"
                                                    : ":p" + std::to_string(i);
        Copy(w.kape, Wide(kape));
        w.pare = pare;
        w.join = i % 3 == 2 ? 1 : 2;
        w.mode = 1;
        t->AddDesc(kQueryWheres, &w);
    }
}

std::string Render(XQueryTemplate *t, XMemoHelper *memo, XString *text)
{
    memo->ClearBuffer();
    text->SetEmpty();
    if (t->ReplaceTemplate(memo) != 0 || t->ComputeWhereTree() != 0 ||
        !MakeWhereClause(static_cast<XWhereTree *>(t->GetDescWare(kQueryTree)), text))
        return {};
    char *utf8 = StrMalloc(text->GetString(), 1);
    std::string out = utf8;
    MemFree(utf8);
    return out;
}

void BM_TemplateBindAndRender(benchmark::State &state)
{
    XQueryTemplate t;
    Build(&t);
    XMemoHelper memo;
    XString text;
    for (auto _ : state) {
        memo.ClearBuffer();
        text.SetEmpty();
        t.ReplaceTemplate(&memo);
        t.ComputeWhereTree();
        MakeWhereClause(static_cast<XWhereTree *>(t.GetDescWare(kQueryTree)), &text);
        benchmark::DoNotOptimize(text.GetString());
    }
    state.SetLabel(std::to_string(text.GetLength()) + " units of WHERE text");
}
BENCHMARK(BM_TemplateBindAndRender);

void BM_SqlitePrepare(benchmark::State &state)
{
    XQueryTemplate t;
    Build(&t);
    XMemoHelper memo;
    XString text;
    const std::string where = Render(&t, &memo, &text);
    if (where.empty()) {
        state.SkipWithError("the template did not render");
        return;
    }
    sqlite3 *db = nullptr;
    sqlite3_open(":memory:", &db);
    std::string create = "CREATE TABLE CUSTOMER(ID INTEGER";
    for (int i = 0; i < kConditions; ++i)
        create += ", COL" + std::to_string(i);
    sqlite3_exec(db, (create + ")").c_str(), nullptr, nullptr, nullptr);
    const std::string sql = "SELECT C.ID FROM CUSTOMER C WHERE" + where;
    for (auto _ : state) {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(db));
            break;
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
}
BENCHMARK(BM_SqlitePrepare);

} // namespace
