#include "platform/dockit/xdom_writer.h"

#include <cstring>

#include "corekit/archive/iarchive.h"
#include "platform/devkit/native_path.h"

namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string Narrow(const char16_t *text, int length = -1)
{
    if (!text)
        return {};
    size_t n = length < 0 ? std::char_traits<char16_t>::length(text) : static_cast<size_t>(length);
    return devkit::Utf16ToUtf8(text, n);
}

// Decodes the code point at text[i] of valid UTF-8 (the input has been through the
// converter or is checked here); returns its byte count, 0 for a malformed sequence.
size_t SequenceLength(const std::string &text, size_t i, char32_t &c)
{
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (n == 0 || lead > 0xF4 || i + n > text.size())
        return 0;
    c = n == 1 ? lead : lead & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
        unsigned char b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (b & 0x3F);
    }
    constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMinimum[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return n;
}

// Characters XML 1.0 cannot carry at all, not even as references.
bool IsForbidden(char32_t c)
{
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0xFFFE || c == 0xFFFF;
}

// Appends text escaped for content (inAttribute false) or a quoted attribute value.
// A character XML cannot hold becomes U+FFFD.
void AppendEscaped(std::string &out, const std::string &text, bool inAttribute)
{
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        size_t n = SequenceLength(text, i, c);
        if (n == 0 || IsForbidden(c)) {
            out += "\xEF\xBF\xBD";
            i += n ? n : 1;
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\r':
            out += "&#13;";
            break;
        case '"':
            out += inAttribute ? "&quot;" : "\"";
            break;
        case '\t':
            out += inAttribute ? "&#9;" : "\t";
            break;
        case '\n':
            out += inAttribute ? "&#10;" : "\n";
            break;
        default:
            out.append(text, i, n);
        }
        i += n;
    }
}

// Element and attribute names: non-empty, no blanks or markup characters.
bool IsName(const std::string &name)
{
    if (name.empty())
        return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) <= ' ' || std::strchr("<>&\"'=/", c))
            return false;
    return true;
}

} // namespace

XDomWriter::XDomWriter(int declaration) : m_declaration(declaration != 0)
{
    Reset();
}

void XDomWriter::Reset()
{
    m_text.clear();
    m_open.clear();
    m_inTag = false;
    if (m_declaration)
        m_text = kDeclaration;
}

void XDomWriter::EndTag()
{
    if (m_inTag)
        m_text += '>';
    m_inTag = false;
}

int XDomWriter::Begin(const std::string &name)
{
    if (!IsName(name))
        return 0;
    EndTag();
    m_text += '<';
    m_text += name;
    m_open.push_back(name);
    m_inTag = true;
    return 1;
}

int XDomWriter::Attribute(const std::string &name, const std::string &value)
{
    if (!m_inTag || !IsName(name))
        return 0;
    m_text += ' ';
    m_text += name;
    m_text += "=\"";
    AppendEscaped(m_text, value, true);
    m_text += '"';
    return 1;
}

int XDomWriter::Content(const std::string &text)
{
    if (m_open.empty())
        return 0;
    EndTag();
    AppendEscaped(m_text, text, false);
    return 1;
}

int XDomWriter::Close(const char *name)
{
    if (m_open.empty() || (name && m_open.back() != name))
        return 0;
    if (m_inTag) {
        m_text += "/>";
        m_inTag = false;
    } else {
        m_text += "</";
        m_text += m_open.back();
        m_text += '>';
    }
    m_open.pop_back();
    return 1;
}

int XDomWriter::StartMarker(const char16_t *name)
{
    return Begin(Narrow(name)) && EndOfMarker(0);
}

int XDomWriter::StartMarker(const char *name)
{
    return Begin(name ? name : "") && EndOfMarker(0);
}

int XDomWriter::BeginMarker(const char16_t *name)
{
    return Begin(Narrow(name));
}

int XDomWriter::BeginMarker(const char *name)
{
    return Begin(name ? name : "");
}

int XDomWriter::EndOfMarker(int empty)
{
    if (!m_inTag)
        return 0;
    if (empty)
        return Close(nullptr);
    EndTag();
    return 1;
}

int XDomWriter::WriteString(const char16_t *name, const char16_t *text)
{
    return Attribute(Narrow(name), Narrow(text));
}

int XDomWriter::WriteString(const char *name, const char *text)
{
    return Attribute(name ? name : "", text ? text : "");
}

int XDomWriter::WriteNumber(const char16_t *name, int64_t value)
{
    return Attribute(Narrow(name), std::to_string(value));
}

int XDomWriter::WriteNumber(const char *name, int64_t value)
{
    return Attribute(name ? name : "", std::to_string(value));
}

int XDomWriter::WriteString(const char16_t *text)
{
    return Content(Narrow(text));
}

int XDomWriter::WriteString(const char *text)
{
    return Content(text ? text : "");
}

int XDomWriter::WriteEscape(const char16_t *text, int length)
{
    return Content(Narrow(text, length));
}

int XDomWriter::WriteEscape(const char *text, int length)
{
    if (!text)
        return Content("");
    return Content(length < 0 ? std::string(text) : std::string(text, static_cast<size_t>(length)));
}

int XDomWriter::CloseMarker(const char16_t *name)
{
    if (!name)
        return Close(nullptr);
    std::string narrow = Narrow(name);
    return Close(narrow.c_str());
}

int XDomWriter::CloseMarker(const char *name)
{
    return Close(name);
}

int XDomWriter::SaveArchive(IArchive *archive) const
{
    return archive && archive->Write(m_text.data(), static_cast<uint32_t>(m_text.size())) ? 1 : 0;
}
