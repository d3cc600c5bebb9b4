#pragma once
// An XML document read from a file or from bytes, navigated by XML_Node and saved
// back. Network access and external entities are never used; entity expansion is
// bounded. Documents declared as GBK or GB2312 are read (as GB18030, their superset).
//
// An element named with SetEscape before the document is read is kept as raw text:
// its content is cut out before parsing (it may hold `<`, `&` and `>` freely) and is
// written back byte for byte when the document is saved.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dockit/dockit_export.h"
#include "platform/dockit/xml_node.h"

struct _xmlDoc;
class IArchive;

class DOCKIT_EXPORT XML_Archive
{
public:
    // Mode bit of OpenFile and ParseBuffer: the document is only read; SaveFile(null)
    // refuses to write it back.
    static constexpr int kReadOnly = 0x1;

    XML_Archive();
    ~XML_Archive();
    XML_Archive(const XML_Archive &) = delete;
    XML_Archive &operator=(const XML_Archive &) = delete;

    // Declares element `name` raw (null or "" clears the declaration). Applies to the
    // documents read afterwards. Non-zero on success.
    int SetEscape(const char *name);
    int SetEscape(const char16_t *name);

    // Reads the document at path; any document open before is closed. Mode 0 keeps the
    // path for SaveFile(null); mode 1 (kReadOnly) reads only. Non-zero on success.
    int OpenFile(const char16_t *path, int mode);
    // Reads a document from `length` bytes (mode as for OpenFile; the bytes are copied).
    int ParseBuffer(const void *bytes, uint32_t length, int mode);

    // Writes the document to path (null: the path it was opened from) through a
    // temporary file in the same folder that is renamed over the target, so a failed
    // save leaves the old file as it was. Non-zero on success.
    int SaveFile(const char16_t *path);
    // Appends the document's bytes to an archive. Non-zero on success.
    int SaveArchive(IArchive *archive);
    // The document's bytes as SaveFile writes them. Empty when no document is open.
    std::string SaveBuffer();

    // The root element; null without a document.
    XML_Node *GetRootItem();
    // The element at an absolute path such as "/Configure/Settings/Server" (the first
    // step names the root; "/" alone is the root). Null when a step is missing.
    XML_Node *SelectNode(const char *path);
    XML_Node *SelectNode(const char16_t *path);

    // Releases the document and its nodes.
    void CloseDoc();

private:
    friend class XML_Node;
    int Load(std::string bytes, int mode);
    void AttachRawTexts();
    // The raw bytes of a document's encoding converted to UTF-8.
    std::string ToUtf8(const std::string &bytes) const;
    std::string OutputEncoding() const;

    _xmlDoc *m_doc = nullptr;
    std::string m_escape;            // element kept raw
    std::vector<std::string> m_raws; // raw contents in document order
    std::string m_token;             // stands for a raw content while parsed
    std::string m_encoding;          // encoding named by the declaration ("" UTF-8)
    std::string m_declaration;       // original XML declaration, "" when none
    std::string m_bom;               // original byte-order mark
    std::string m_trailer;           // bytes after the root element
    bool m_crlf = false;             // the file broke lines with CR LF
    bool m_wide = false;             // UTF-16 or UCS-4 bytes, written as libxml2 makes them
    std::u16string m_path;
    int m_mode = 0;
};
