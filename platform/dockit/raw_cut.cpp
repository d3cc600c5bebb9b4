#include "platform/dockit/raw_cut.h"

#include <cstring>

namespace dockit {

namespace {

constexpr size_t kNone = std::string::npos;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// End (one past) of a construct opened at `at` and closed by `close`; kNone if open.
size_t SkipTo(const std::string &doc, size_t at, const char *close)
{
    size_t end = doc.find(close, at);
    return end == kNone ? kNone : end + std::strlen(close);
}

// One past the '>' of a tag or declaration at `at`, honouring quotes and, in a
// document type, its bracketed internal subset.
size_t SkipTag(const std::string &doc, size_t at)
{
    char quote = 0;
    int brackets = 0;
    for (size_t i = at + 1; i < doc.size(); ++i) {
        char c = doc[i];
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++brackets;
        } else if (c == ']') {
            --brackets;
        } else if (c == '>' && brackets <= 0) {
            return i + 1;
        }
    }
    return kNone;
}

// Where "</name" followed by blanks and '>' starts at or after `from`, and its end.
size_t FindClose(const std::string &doc, const std::string &name, size_t from, size_t &end)
{
    std::string open = "</" + name;
    for (size_t at = doc.find(open, from); at != kNone; at = doc.find(open, at + 1)) {
        size_t i = at + open.size();
        while (i < doc.size() && IsSpace(doc[i]))
            ++i;
        if (i < doc.size() && doc[i] == '>') {
            end = i + 1;
            return at;
        }
    }
    return kNone;
}

bool StartsWith(const std::string &doc, size_t at, const char *prefix)
{
    return doc.compare(at, std::strlen(prefix), prefix) == 0;
}

// One past the end of the markup at `at` that is not a start tag; kNone if unclosed.
size_t SkipMarkup(const std::string &doc, size_t at)
{
    if (StartsWith(doc, at, "<!--"))
        return SkipTo(doc, at + 4, "-->");
    if (StartsWith(doc, at, "<![CDATA["))
        return SkipTo(doc, at + 9, "]]>");
    if (StartsWith(doc, at, "<?"))
        return SkipTo(doc, at + 2, "?>");
    return SkipTag(doc, at); // document type or end tag
}

} // namespace

std::string RawToken(const std::string &token, size_t index)
{
    return token + std::to_string(index) + "_";
}

std::vector<std::string> CutRawElements(std::string &doc, const std::string &name,
                                        const std::string &token)
{
    std::vector<std::string> raws;
    if (name.empty())
        return raws;
    std::string out;
    size_t copied = 0;
    for (size_t at = doc.find('<'); at != kNone; at = doc.find('<', at)) {
        bool startTag =
            at + 1 < doc.size() && doc[at + 1] != '!' && doc[at + 1] != '?' && doc[at + 1] != '/';
        size_t end = startTag ? SkipTag(doc, at) : SkipMarkup(doc, at);
        if (end == kNone)
            break;
        size_t nameEnd = at + 1 + name.size();
        bool named = startTag && doc.compare(at + 1, name.size(), name) == 0 &&
                     nameEnd < doc.size() && (IsSpace(doc[nameEnd]) || doc[nameEnd] == '>');
        if (!named || doc[end - 2] == '/') {
            at = end;
            continue;
        }
        size_t closeEnd = 0;
        size_t close = FindClose(doc, name, end, closeEnd);
        if (close == kNone)
            break;
        out.append(doc, copied, end - copied);
        out += RawToken(token, raws.size());
        raws.push_back(doc.substr(end, close - end));
        copied = close;
        at = closeEnd;
    }
    if (!raws.empty()) {
        out.append(doc, copied, kNone);
        doc.swap(out);
    }
    return raws;
}

} // namespace dockit
