#include "platform/dockit/xml_archive.h"

#include <cstring>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <random>

#include "corekit/archive/iarchive.h"
#include "platform/devkit/native_path.h"
#include "platform/devkit/xfile.h"
#include "platform/dockit/file_replace.h"
#include "platform/dockit/raw_cut.h"
#include "platform/dockit/xml_text.h"

namespace {

// Largest document accepted from a file.
constexpr int64_t kMaxFileSize = 1LL << 30;

constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

// Declared names read as GB18030, the superset of GBK and GB2312.
constexpr const char *kChineseEncodings[] = {"gbk",   "gb2312", "cp936", "gb_2312-80",
                                             "x-gbk", "euc-cn", "ms936", "gb18030"};

bool IsChinese(const std::string &encoding)
{
    for (const char *name : kChineseEncodings)
        if (xmlStrcasecmp(reinterpret_cast<const xmlChar *>(encoding.c_str()),
                          reinterpret_cast<const xmlChar *>(name)) == 0)
            return true;
    return false;
}

// UTF-16 and UCS-4 documents are not ASCII-compatible: their bytes are left alone.
bool IsWideEncoding(const std::string &bytes, const std::string &encoding)
{
    if (bytes.size() >= 2 &&
        ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
        return true;
    if (bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0'))
        return true;
    return xmlStrncasecmp(reinterpret_cast<const xmlChar *>(encoding.c_str()),
                          reinterpret_cast<const xmlChar *>("utf-16"), 6) == 0 ||
           xmlStrncasecmp(reinterpret_cast<const xmlChar *>(encoding.c_str()),
                          reinterpret_cast<const xmlChar *>("ucs"), 3) == 0;
}

// The value of pseudo-attribute `encoding` of an XML declaration; "" when absent.
std::string DeclaredEncoding(const std::string &declaration)
{
    size_t at = declaration.find("encoding");
    if (at == std::string::npos)
        return {};
    at = declaration.find_first_of("\"'", at);
    if (at == std::string::npos)
        return {};
    size_t end = declaration.find(declaration[at], at + 1);
    return end == std::string::npos ? std::string() : declaration.substr(at + 1, end - at - 1);
}

std::string NewToken(const std::string &doc)
{
    std::random_device seed;
    std::mt19937_64 gen(seed());
    for (;;) {
        std::string token = "ZEPRAW" + std::to_string(gen()) + "_";
        if (doc.find(token) == std::string::npos)
            return token;
    }
}

void FreeWrappers(xmlNode *node)
{
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        FreeWrappers(node->children);
        delete static_cast<XML_Node *>(node->_private);
        node->_private = nullptr;
    }
}

// The elements named `name`, in document order.
void CollectNamed(xmlNode *node, const std::string &name, std::vector<xmlNode *> &out)
{
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        if (name == reinterpret_cast<const char *>(node->name))
            out.push_back(node);
        CollectNamed(node->children, name, out);
    }
}

} // namespace

XML_Archive::XML_Archive()
{
    // libxml2 sets up its global tables once, before any thread parses.
    static const bool ready = [] {
        xmlInitParser();
        return true;
    }();
    (void)ready;
}

XML_Archive::~XML_Archive()
{
    CloseDoc();
}

int XML_Archive::SetEscape(const char *name)
{
    m_escape = name ? name : "";
    return 1;
}

int XML_Archive::SetEscape(const char16_t *name)
{
    m_escape = devkit::Utf16ToUtf8(name);
    return 1;
}

void XML_Archive::CloseDoc()
{
    if (m_doc) {
        FreeWrappers(m_doc->children);
        xmlFreeDoc(m_doc);
    }
    m_doc = nullptr;
    m_raws.clear();
    m_token.clear();
    m_encoding.clear();
    m_declaration.clear();
    m_bom.clear();
    m_trailer.clear();
    m_crlf = false;
    m_wide = false;
    m_path.clear();
    m_mode = 0;
}

int XML_Archive::OpenFile(const char16_t *path, int mode)
{
    CloseDoc();
    XFile file;
    if (!file.Open(path))
        return 0;
    int64_t size = file.GetSize();
    if (size <= 0 || size > kMaxFileSize)
        return 0;
    std::string bytes(static_cast<size_t>(size), '\0');
    if (file.Read(bytes.data(), static_cast<uint32_t>(size)) != size)
        return 0;
    if (!Load(std::move(bytes), mode))
        return 0;
    m_path = path;
    return 1;
}

int XML_Archive::ParseBuffer(const void *bytes, uint32_t length, int mode)
{
    CloseDoc();
    if (!bytes || length == 0)
        return 0;
    return Load(std::string(static_cast<const char *>(bytes), length), mode);
}

int XML_Archive::Load(std::string bytes, int mode)
{
    // Documents stored inside other files may carry trailing zero bytes (zero units in
    // UTF-16, which are cut in pairs so the last character stays whole).
    if (IsWideEncoding(bytes, "")) {
        while (bytes.size() >= 2 && bytes.size() % 2 == 0 && bytes[bytes.size() - 1] == '\0' &&
               bytes[bytes.size() - 2] == '\0')
            bytes.resize(bytes.size() - 2);
    } else {
        while (!bytes.empty() && bytes.back() == '\0')
            bytes.pop_back();
    }
    if (bytes.empty())
        return 0;
    size_t at = 0;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        m_bom = bytes.substr(0, at = 3);
    if (bytes.compare(at, 5, "<?xml") == 0) {
        size_t end = bytes.find("?>", at);
        if (end != std::string::npos)
            m_declaration = bytes.substr(at, end + 2 - at);
    }
    m_encoding = DeclaredEncoding(m_declaration);
    m_wide = IsWideEncoding(bytes, m_encoding);
    if (!m_wide) {
        size_t lf = bytes.find('\n');
        m_crlf = lf != std::string::npos && lf > 0 && bytes[lf - 1] == '\r';
        size_t last = bytes.find_last_of('>');
        if (last != std::string::npos &&
            bytes.find_first_not_of(" \t\r\n", last + 1) == std::string::npos)
            m_trailer = bytes.substr(last + 1);
        if (!m_escape.empty()) {
            m_token = NewToken(bytes);
            m_raws = dockit::CutRawElements(bytes, m_escape, m_token);
        }
    }
    const char *override = IsChinese(m_encoding) ? "GB18030" : nullptr;
    m_doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, override,
                          kParseOptions);
    if (!m_doc || !xmlDocGetRootElement(m_doc)) {
        CloseDoc();
        return 0;
    }
    m_mode = mode;
    AttachRawTexts();
    return 1;
}

void XML_Archive::AttachRawTexts()
{
    if (m_raws.empty())
        return;
    std::vector<xmlNode *> named;
    CollectNamed(m_doc->children, m_escape, named);
    for (size_t k = 0, used = 0; k < named.size() && used < m_raws.size(); ++k) {
        std::string token = dockit::RawToken(m_token, used);
        std::string text;
        dockit::GatherText(named[k]->children, text);
        if (text != token)
            continue; // an element without content was not cut
        XML_Node *node = XML_Node::Wrap(this, named[k]);
        node->m_isRaw = true;
        node->m_raw = m_raws[used++];
        // The token leaves the tree; SaveBuffer puts it back while writing.
        xmlNodeSetContent(named[k], nullptr);
    }
    m_raws.clear();
}

std::string XML_Archive::ToUtf8(const std::string &bytes) const
{
    if (m_encoding.empty() || xmlStrcasecmp(reinterpret_cast<const xmlChar *>(m_encoding.c_str()),
                                            reinterpret_cast<const xmlChar *>("utf-8")) == 0)
        return bytes;
    return dockit::ConvertToUtf8(bytes, IsChinese(m_encoding) ? "GB18030" : m_encoding.c_str());
}

XML_Node *XML_Archive::GetRootItem()
{
    return m_doc ? XML_Node::Wrap(this, xmlDocGetRootElement(m_doc)) : nullptr;
}

XML_Node *XML_Archive::SelectNode(const char *path)
{
    XML_Node *root = GetRootItem();
    if (!root || !path || *path != '/')
        return nullptr;
    XML_Node *node = nullptr;
    std::string steps = path + 1;
    size_t at = 0;
    do {
        size_t end = steps.find('/', at);
        std::string step =
            steps.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? end : end + 1;
        if (step.empty() && !node && at == std::string::npos)
            return root; // "/" alone
        if (!node)
            node = step == root->GetNodeName() ? root : nullptr;
        else
            node = node->GetChildItem(step.c_str());
    } while (node && at != std::string::npos);
    return node;
}

XML_Node *XML_Archive::SelectNode(const char16_t *path)
{
    if (!path)
        return nullptr;
    std::string narrow = devkit::Utf16ToUtf8(path);
    return SelectNode(narrow.c_str());
}
