// Writing an XML_Archive document back: libxml2 serialises the tree, then the bytes
// the parser normalised away (declaration, byte-order mark, line ends, trailing
// blanks) and the raw element contents are restored from the original.
#include "platform/dockit/xml_archive.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include "corekit/archive/iarchive.h"
#include "platform/devkit/native_path.h"
#include "platform/dockit/file_replace.h"
#include "platform/dockit/raw_cut.h"

namespace {

// The elements holding raw text, in document order.
std::vector<xmlNode *> RawElements(xmlNode *first)
{
    std::vector<xmlNode *> raws;
    for (xmlNode *n = first; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE)
            continue;
        auto *wrap = static_cast<XML_Node *>(n->_private);
        if (wrap && wrap->IsRawText()) {
            raws.push_back(n);
            continue;
        }
        std::vector<xmlNode *> inner = RawElements(n->children);
        raws.insert(raws.end(), inner.begin(), inner.end());
    }
    return raws;
}

// libxml2's own declaration line is replaced by the original one, or dropped.
void RestoreDeclaration(std::string &out, const std::string &declaration)
{
    if (out.compare(0, 5, "<?xml") != 0)
        return;
    size_t end = out.find("?>");
    if (end == std::string::npos)
        return;
    end += 2;
    if (!declaration.empty()) {
        out.replace(0, end, declaration);
        return;
    }
    if (end < out.size() && out[end] == '\n')
        ++end;
    out.erase(0, end);
}

void UseCrLf(std::string &out)
{
    std::string converted;
    converted.reserve(out.size() + out.size() / 32);
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\n' && (i == 0 || out[i - 1] != '\r'))
            converted += '\r';
        converted += out[i];
    }
    out.swap(converted);
}

void RestoreTrailer(std::string &out, const std::string &trailer)
{
    size_t last = out.find_last_of('>');
    if (last != std::string::npos)
        out.erase(last + 1);
    out += trailer;
}

} // namespace

// The encoding the tree is written in: the declared one, or GBK for a declared name the
// converter does not know (the encoding such names stand for in practice; the original
// declaration is put back afterwards).
std::string XML_Archive::OutputEncoding() const
{
    if (m_encoding.empty())
        return "UTF-8";
    if (m_wide)
        return m_encoding;
    xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(m_encoding.c_str());
    if (!handler)
        return "GBK";
    xmlCharEncCloseFunc(handler);
    return m_encoding;
}

std::string XML_Archive::SaveBuffer()
{
    if (!m_doc)
        return {};
    // Raw elements get their tokens back while the tree is written.
    std::vector<xmlNode *> raws = RawElements(m_doc->children);
    for (size_t k = 0; k < raws.size(); ++k) {
        std::string token = dockit::RawToken(m_token, k);
        xmlNodeSetContent(raws[k], reinterpret_cast<const xmlChar *>(token.c_str()));
    }
    xmlChar *mem = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(m_doc, &mem, &size, OutputEncoding().c_str());
    for (xmlNode *n : raws)
        xmlNodeSetContent(n, nullptr);
    if (!mem)
        return {};
    std::string out(reinterpret_cast<const char *>(mem), static_cast<size_t>(size));
    xmlFree(mem);
    if (m_wide)
        return out;

    RestoreDeclaration(out, m_declaration);
    if (m_crlf)
        UseCrLf(out);
    RestoreTrailer(out, m_trailer);
    for (size_t k = raws.size(); k-- > 0;) {
        std::string token = dockit::RawToken(m_token, k);
        size_t at = out.find(token);
        if (at != std::string::npos)
            out.replace(at, token.size(), static_cast<XML_Node *>(raws[k]->_private)->m_raw);
    }
    return m_bom + out;
}

int XML_Archive::SaveFile(const char16_t *path)
{
    if (!m_doc)
        return 0;
    std::u16string target;
    if (path) {
        target = path;
    } else {
        if (m_path.empty() || (m_mode & kReadOnly))
            return 0;
        target = m_path;
    }
    std::string bytes = SaveBuffer();
    if (bytes.empty())
        return 0;
    return dockit::ReplaceFile(devkit::ToNativePath(target.c_str()), bytes) ? 1 : 0;
}

int XML_Archive::SaveArchive(IArchive *archive)
{
    if (!archive)
        return 0;
    std::string bytes = SaveBuffer();
    if (bytes.empty())
        return 0;
    return archive->Write(bytes.data(), static_cast<uint32_t>(bytes.size())) ? 1 : 0;
}
