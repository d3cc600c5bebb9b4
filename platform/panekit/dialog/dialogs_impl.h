#pragma once
// Pieces shared by the dialog sources: the filter reader, the desktop's choosers and the
// painted fallback.

#include <string>
#include <vector>

#include "platform/panekit/dialog/dialogs.h"

// One entry of a chooser filter: "description|*.a;*.b|".
struct XFileKind
{
    std::u16string description;
    std::vector<std::u16string> patterns;
};

// Reads "description|*.a;*.b|description|*.c|" (the last '|' may be missing). Pairs
// without a pattern are skipped; blanks around patterns are dropped.
std::vector<XFileKind> ParseChooserFilter(const char16_t *filter);

// The painted chooser: a modal window with one line of text (the answer text) and OK,
// Cancel and the extra choice.
int RunPaintedChooser(Panekit *owner, const XChooserRequest &request, std::u16string *answer);
