#include "pagekit/core/style_text.h"

// Writes never run ahead of reads, so out may be in itself.
void ClearStyleNote(char *out, const char *in)
{
    char quote = 0;
    while (*in) {
        if (quote) {
            if (*in == '\\' && in[1])
                *out++ = *in++;
            else if (*in == quote)
                quote = 0;
            *out++ = *in++;
        } else if (in[0] == '/' && in[1] == '*') {
            in += 2;
            while (*in && !(in[0] == '*' && in[1] == '/'))
                ++in;
            if (*in)
                in += 2;
        } else {
            if (*in == '"' || *in == '\'')
                quote = *in;
            *out++ = *in++;
        }
    }
    *out = 0;
}
