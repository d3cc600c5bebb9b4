#include "platform/dockit/xml_text.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <libxml/entities.h>
#include <libxml/tree.h>

#include "platform/devkit/native_path.h"

namespace dockit {

namespace {

constexpr int kMaxEntityDepth = 8;

void Gather(const xmlNode *node, std::string &out, int depth)
{
    for (; node; node = node->next) {
        if (out.size() >= kMaxExpandedText)
            return;
        switch (node->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (node->content)
                out += reinterpret_cast<const char *>(node->content);
            break;
        case XML_ELEMENT_NODE:
            Gather(node->children, out, depth);
            break;
        case XML_ENTITY_REF_NODE: {
            // The reference points at its declaration, whose children are the parsed
            // replacement; external entities are never loaded and stay empty.
            const auto *entity = reinterpret_cast<const xmlEntity *>(node->children);
            if (entity && depth < kMaxEntityDepth)
                Gather(entity->children, out, depth + 1);
            break;
        }
        default:
            break;
        }
    }
    if (out.size() > kMaxExpandedText)
        out.resize(kMaxExpandedText);
}

} // namespace

void GatherText(const _xmlNode *first, std::string &out)
{
    Gather(first, out, 0);
}

std::string CleanXmlText(const char *text)
{
    if (!text)
        return {};
    std::string narrow = text;
    std::u16string wide = devkit::Utf8ToUtf16(narrow.data(), narrow.size());
    for (char16_t &c : wide)
        if ((c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF)
            c = 0xFFFD;
    return devkit::Utf16ToUtf8(wide.data(), wide.size());
}

std::string ConvertToUtf8(const std::string &bytes, const char *encoding)
{
    iconv_t cd = ::iconv_open("UTF-8", encoding);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string out(bytes.size() * 4 + 4, '\0');
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = bytes.size();
    char *put = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (::iconv(cd, &in, &inLeft, &put, &outLeft) != static_cast<size_t>(-1))
            continue;
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // An undecodable byte becomes U+FFFD, and reading goes on after it.
        if (outLeft < 3)
            break;
        std::memcpy(put, "\xEF\xBF\xBD", 3);
        put += 3;
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    ::iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace dockit
