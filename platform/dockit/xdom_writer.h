#pragma once
// Writes an XML document as UTF-8 text, element by element.
//
// Call flow: BeginMarker(name), attributes with WriteString/WriteNumber, then
// EndOfMarker(1) for an empty element or EndOfMarker(0) before content; StartMarker
// opens an element without attributes; content goes through WriteString(text) or
// WriteEscape; CloseMarker closes the innermost open element.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dockit/dockit_export.h"

class IArchive;

class DOCKIT_EXPORT XDomWriter
{
public:
    // declaration non-zero: the text starts with <?xml version="1.0" encoding="UTF-8"?>.
    explicit XDomWriter(int declaration = 1);

    // Opens element `name` with content ("<name>"). Non-zero on success; 0 for an
    // empty name.
    int StartMarker(const char16_t *name);
    int StartMarker(const char *name);
    // Opens the start tag of element `name` ("<name"); attributes may follow.
    int BeginMarker(const char16_t *name);
    int BeginMarker(const char *name);
    // Ends the open start tag: empty non-zero closes the element ("/>"), 0 lets
    // content follow (">"). 0 when no start tag is open.
    int EndOfMarker(int empty);

    // Writes attribute name="text" into the open start tag. Tab, line feed and carriage
    // return are written as character references so they read back unchanged. A null
    // text writes an empty value. 0 when no start tag is open or the name is empty.
    int WriteString(const char16_t *name, const char16_t *text);
    int WriteString(const char *name, const char *text);
    // Writes attribute name="decimal value".
    int WriteNumber(const char16_t *name, int64_t value);
    int WriteNumber(const char *name, int64_t value);

    // Writes escaped content into the open element (an open start tag is ended with
    // ">" first). Carriage returns are kept as references, since readers turn a bare one
    // into a line feed. 0 when no element is open.
    int WriteString(const char16_t *text);
    int WriteString(const char *text);
    // The same for `length` units of text (up to the terminator when length < 0).
    int WriteEscape(const char16_t *text, int length = -1);
    int WriteEscape(const char *text, int length = -1);

    // Closes the innermost open element ("/>" when its start tag is still open, else
    // "</name>"). With a name, it must match that element. 0 when nothing is open or
    // the name differs.
    int CloseMarker(const char16_t *name = nullptr);
    int CloseMarker(const char *name);

    // Elements still open.
    uint32_t GetDepth() const { return static_cast<uint32_t>(m_open.size()); }
    // The text written so far (UTF-8) and its length in bytes.
    const char *GetString() const { return m_text.c_str(); }
    uint32_t GetLength() const { return static_cast<uint32_t>(m_text.size()); }
    // Appends the text written so far to an archive. Non-zero on success.
    int SaveArchive(IArchive *archive) const;
    // Forgets everything written.
    void Reset();

private:
    int Begin(const std::string &name);
    int Attribute(const std::string &name, const std::string &value);
    int Content(const std::string &text);
    int Close(const char *name);
    void EndTag();

    std::string m_text;
    std::vector<std::string> m_open;
    bool m_inTag = false;
    bool m_declaration = true;
};
