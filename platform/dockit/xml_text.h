#pragma once
// Helpers shared by the XML archive and its nodes (not exported).

#include <cstddef>
#include <string>

struct _xmlNode;

namespace dockit {

// Upper bound of the text one call may produce by expanding entity references.
constexpr size_t kMaxExpandedText = 16u << 20;

// Appends the text of a node list (text, CDATA, elements and entity references, the
// latter expanded at most 8 levels deep and within kMaxExpandedText) to out.
void GatherText(const _xmlNode *first, std::string &out);

// Valid UTF-8 that XML 1.0 can carry: malformed bytes and forbidden control
// characters become U+FFFD.
std::string CleanXmlText(const char *text);

// Converts bytes of the named encoding to UTF-8 with iconv; "" on failure.
std::string ConvertToUtf8(const std::string &bytes, const char *encoding);

} // namespace dockit
