// Opening a 10 MB XML document and walking every element and attribute: XML_Archive
// against libxml2's own streaming reader, libxml2's tree and pugixml, in the same run. Each walk
// sums the element count and the bytes of every name and attribute value, so all three do the same
// work and the sums must agree.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <libxml/xmlreader.h>
#include <pugixml.hpp>
#include <string>
#include <unistd.h>

#include "platform/devkit/native_path.h"
#include "platform/dockit/xml_archive.h"

namespace {

constexpr size_t kDocumentSize = 10u << 20;

// A form-like document: sections of rows with several attributes and some text.
std::string MakeDocument()
{
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Form name=\"bench\">\n";
    for (int i = 0; doc.size() < kDocumentSize; ++i) {
        doc += " <Section id=\"" + std::to_string(i) + "\" title=\"区段 " + std::to_string(i) +
               "\">\n";
        for (int k = 0; k < 8; ++k)
            doc += "  <item id=\"" + std::to_string(k) + "\" type=\"2\" size=\"32\" name=\"field_" +
                   std::to_string(k) + "\" default=\"a &amp; b\">text " + std::to_string(k) +
                   "</item>\n";
        doc += " </Section>\n";
    }
    return doc + "</Form>\n";
}

// Written once per run and removed at exit; the path is never destroyed, so the exit
// handler can still use it.
const std::string &DocumentPath()
{
    static const std::string *path = [] {
        auto *p = new std::string((std::filesystem::temp_directory_path() /
                                   ("xml_walk_" + std::to_string(::getpid()) + ".xml"))
                                      .string());
        std::ofstream(*p, std::ios::binary) << MakeDocument();
        std::atexit([] { std::remove(DocumentPath().c_str()); });
        return p;
    }();
    return *path;
}

// The document is made before any benchmark runs, so no timing includes it.
const bool kDocumentReady = !DocumentPath().empty();

size_t WalkNode(XML_Node *node)
{
    size_t sum = 1 + std::char_traits<char>::length(node->GetNodeName());
    for (void *a = node->GetNextAttribute(nullptr); a; a = node->GetNextAttribute(a))
        sum += std::char_traits<char>::length(node->GetAttribute(a, 0));
    for (XML_Node *c = node->GetNextItem(nullptr); c; c = node->GetNextItem(c))
        sum += WalkNode(c);
    return sum;
}

void BM_Dockit(benchmark::State &state)
{
    std::string narrow = DocumentPath();
    std::u16string path = devkit::Utf8ToUtf16(narrow.data(), narrow.size());
    for (auto _ : state) {
        XML_Archive doc;
        if (!doc.OpenFile(path.c_str(), XML_Archive::kReadOnly)) {
            state.SkipWithError("open failed");
            break;
        }
        benchmark::DoNotOptimize(WalkNode(doc.GetRootItem()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kDocumentSize);
}

void BM_Libxml2Reader(benchmark::State &state)
{
    for (auto _ : state) {
        xmlTextReaderPtr reader =
            xmlReaderForFile(DocumentPath().c_str(), nullptr, XML_PARSE_NONET);
        size_t sum = 0;
        while (xmlTextReaderRead(reader) == 1) {
            if (xmlTextReaderNodeType(reader) != XML_READER_TYPE_ELEMENT)
                continue;
            sum += 1 + xmlStrlen(xmlTextReaderConstName(reader));
            while (xmlTextReaderMoveToNextAttribute(reader) == 1)
                sum += xmlStrlen(xmlTextReaderConstValue(reader));
        }
        xmlFreeTextReader(reader);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kDocumentSize);
}

size_t WalkTree(const xmlNode *node)
{
    size_t sum = 1 + xmlStrlen(node->name);
    for (const xmlAttr *a = node->properties; a; a = a->next)
        if (a->children && a->children->content)
            sum += xmlStrlen(a->children->content);
    for (const xmlNode *c = node->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE)
            sum += WalkTree(c);
    return sum;
}

// libxml2's own tree, for telling the tree's cost from the wrapper's.
void BM_Libxml2Tree(benchmark::State &state)
{
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadFile(DocumentPath().c_str(), nullptr, XML_PARSE_NONET);
        benchmark::DoNotOptimize(WalkTree(xmlDocGetRootElement(doc)));
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kDocumentSize);
}

size_t WalkPugi(const pugi::xml_node &node)
{
    size_t sum = 1 + std::char_traits<char>::length(node.name());
    for (pugi::xml_attribute a : node.attributes())
        sum += std::char_traits<char>::length(a.value());
    for (pugi::xml_node c : node.children())
        if (c.type() == pugi::node_element)
            sum += WalkPugi(c);
    return sum;
}

void BM_Pugixml(benchmark::State &state)
{
    for (auto _ : state) {
        pugi::xml_document doc;
        if (!doc.load_file(DocumentPath().c_str())) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(WalkPugi(doc.document_element()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kDocumentSize);
}

BENCHMARK(BM_Dockit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libxml2Reader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libxml2Tree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pugixml)->Unit(benchmark::kMillisecond);

} // namespace
