#pragma once
// Cuts the content of raw elements out of XML bytes before parsing (not exported).

#include <string>
#include <vector>

namespace dockit {

// The text that stands for raw content number `index` while the document is parsed.
std::string RawToken(const std::string &token, size_t index);

// Replaces the content of every element named `name` (outside comments, CDATA,
// processing instructions and the document type) with RawToken(token, k) and returns
// the contents cut out, in document order. The content of one element ends at the
// first "</name>" after its start tag. The bytes must use an ASCII-compatible
// encoding; elements without content are left alone.
std::vector<std::string> CutRawElements(std::string &doc, const std::string &name,
                                        const std::string &token);

} // namespace dockit
