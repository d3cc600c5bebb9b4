#pragma once
// Descriptors for the style painting tests. The painting library does not link the page
// library, so the tests build their descriptors without its InitStyleDesc.

#include <cstring>

#include "platform/panekit/paint/style_record.h"

// A descriptor with every field unset, as a fresh descriptor starts.
inline XStyleDesc BlankStyle()
{
    XStyleDesc d;
    std::memset(&d, 0, sizeof d);
    for (int i = 0; i < 4; ++i) {
        d.margin[i] = d.padding[i] = kStyleUnsetSpace;
        d.border[i] = kStyleUnsetByte;
        d.radius[i] = kStyleUnsetRadius;
    }
    d.layoutWord = d.stateWord = d.width = d.height = kStyleUnsetWord;
    d.opacity = -1;
    d.backWord = kStyleUnsetBackground;
    d.backColor = d.textColor = kStyleUnsetWord;
    return d;
}
