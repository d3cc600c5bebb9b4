// Default-style sheet parsing (ParseDefaultStyle) against libxml2 parsing an XML document
// of the same size and similar content, both reported in bytes per second.
#include <benchmark/benchmark.h>

#include <libxml/parser.h>

#include <string>

#include "pagekit/core/default_style.h"

namespace {

constexpr int kRules = 10000;

constexpr const char *kSelectors[] = {"editClass",
                                      "comboClass:hover",
                                      "buttonClass:active",
                                      "griderClass:child1",
                                      "tabClass:child3",
                                      "menuitemClass:disabled",
                                      "textClass, radioClass:focus",
                                      ".title > #name",
                                      "treeClass:child2",
                                      "frameClass"};
constexpr const char *kDeclarations[] = {
    "margin:1px 2px 3px 4px;",
    "padding:3px;",
    "border:1px solid #a0a0a0;",
    "border-radius:3px;",
    "background:#fff url('img/back.png') no-repeat center center;",
    "font:bold 12px 'Noto Sans';",
    "color:rgb(16,32,64);",
    "text-align:center;",
    "layout:center extend;",
    "width:50%;",
    "overflow:auto;",
    "background:linear-gradient(to right, red, blue 40%);"};

std::string MakeSheet()
{
    std::string sheet;
    for (int i = 0; i < kRules; ++i) {
        sheet += kSelectors[i % std::size(kSelectors)];
        sheet += " { ";
        for (int k = 0; k < 4; ++k)
            sheet += kDeclarations[(i * 5 + k * 7) % std::size(kDeclarations)];
        sheet += " }\n";
    }
    return sheet;
}

// The same rules as elements with attributes, padded to the sheet's size.
std::string MakeXml(size_t size)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<styles>\n";
    const std::string end = "</styles>\n";
    for (int i = 0; xml.size() + end.size() < size; ++i) {
        std::string rule = "<rule selector=\"";
        rule += kSelectors[i % std::size(kSelectors)];
        rule += "\">";
        for (int k = 0; k < 4; ++k) {
            const std::string decl = kDeclarations[(i * 5 + k * 7) % std::size(kDeclarations)];
            const size_t colon = decl.find(':');
            rule += "<d k=\"" + decl.substr(0, colon) + "\" v=\"" +
                    decl.substr(colon + 1, decl.size() - colon - 2) + "\"/>";
        }
        rule += "</rule>\n";
        if (xml.size() + rule.size() + end.size() > size)
            break;
        xml += rule;
    }
    xml += end;
    return xml;
}

const std::string &Sheet()
{
    static const std::string sheet = MakeSheet();
    return sheet;
}

void BM_ParseDefaultStyle(benchmark::State &state)
{
    const std::string &sheet = Sheet();
    for (auto _ : state)
        ParseDefaultStyle(sheet.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(sheet.size()));
}
BENCHMARK(BM_ParseDefaultStyle)->Unit(benchmark::kMillisecond);

void BM_LibXml2ReadMemory(benchmark::State &state)
{
    const std::string xml = MakeXml(Sheet().size());
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "styles.xml",
                                      nullptr, XML_PARSE_NONET | XML_PARSE_NOBLANKS);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(xml.size()));
}
BENCHMARK(BM_LibXml2ReadMemory)->Unit(benchmark::kMillisecond);

} // namespace
