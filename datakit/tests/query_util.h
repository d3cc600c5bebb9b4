#pragma once
// Helpers for the query template tests: conditions written compactly, a binder with
// predictable answers, rendering through the whole path, and a text dump of a template.

#include <cstdint>
#include <string>
#include <vector>

#include "datakit/query_template.h"

class XString;

// One condition: "(" count, Body (null: none), comparison code, Kape, ")" count, join
// to the next condition, availability mode.
struct QueryCond
{
    uint16_t lbox;
    const char16_t *body;
    uint16_t pare;
    const char16_t *kape;
    uint16_t rbox;
    uint16_t join;
    uint16_t mode = 0;
};

// Appends the conditions to the template's condition list.
void AddConditions(XQueryTemplate *t, const std::vector<QueryCond> &conds);

// Appends conditions written as flat text: names joined by AND / OR with brackets, each
// name becoming the condition "name = 1". "x AND (a OR b)" gives three conditions.
void AddFlatConditions(XQueryTemplate *t, const char *flat);

// The test binder: "?..." is not available (the binder leaves "W" behind), "=text" is
// replaced by text, "!..." is a binder error (kBinderError), anything else is kept.
constexpr int32_t kBinderError = static_cast<int32_t>(0x80001234);
int32_t TestBinder(void *data, const char16_t *expression, XString *workText);

// Gives the template a field, a data-source number and TestBinder when it has none.
void MakeResolvable(XQueryTemplate *t);

// ReplaceTemplate, ComputeWhereTree and MakeWhereClause in a row. The tree stays in the
// template until the next call.
struct QueryRendered
{
    int32_t replaced = 0; // ReplaceTemplate's result
    int computed = 0;     // ComputeWhereTree's result
    int clause = 0;       // MakeWhereClause's result
    std::string text;     // the WHERE text (UTF-8)
};
QueryRendered RenderWhere(XQueryTemplate *t);

// Shape of the current tree: leaves by Body, groups as AND(...) / OR(...), groups of a
// join code n above 2 as ORn(...), "-" for none.
std::string TreeShape(const XWhereTree *tree);

// Every list, the FROM text and the numbers of a template, one item per line.
std::string DumpTemplate(const XQueryTemplate &t, bool withWords = true);

std::string ToUtf8(const char16_t *s);
std::u16string ToUtf16(const std::string &s);
