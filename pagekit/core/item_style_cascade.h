#pragma once
// Private to the item and page styles: the steps every resolution of a descriptor shares.
//
// A resolution fills a descriptor from a sequence of contributing descriptors, the first
// value found winning. Grouped fields travel together: a border side with its colour and
// pen, the background word with its colour, source and picture, the font flags with the
// family (a descriptor gives that group when it sets either).

#include <cstdint>

#include "pagekit/core/style_desc.h"

class XRescHelper;

// Resolves a contributing descriptor's drawing resources once (marked by kStyleResolved
// in its touchedGroups): border pens, the picture of the picture and named-render kinds,
// the icon set of the icon kinds. Nothing without a helper.
void ResolveStyleSource(XStyleDesc *desc, XRescHelper *helper);

// Fills a resolution from contributing descriptors.
class StyleCascade
{
public:
    // out must hold no strings of its own (initialised, or freed by the caller).
    StyleCascade(XStyleDesc *out, XRescHelper *helper) : m_out(out), m_helper(helper) {}

    // Resolves desc's resources, then fills every field of out that is still unset from
    // it. Inset and outset sides of desc count its radii at their two end corners as 0.
    void Take(XStyleDesc *desc);
    // The text fields an item inherits from its owner's resolved descriptor, where unset:
    // font size, font flags and family, text colour, text-align, vertical-align, layout
    // bits 4-7.
    void Inherit(const XStyleDesc *owner);
    // Non-zero when Take filled any field.
    int Contributed() const { return m_contributed ? 1 : 0; }

private:
    bool TakeLayout(const XStyleDesc *d);
    bool TakeBox(const XStyleDesc *d);
    bool TakeBackground(const XStyleDesc *d);
    bool TakeText(const XStyleDesc *d);

    XStyleDesc *m_out;
    XRescHelper *m_helper;
    bool m_fontGiven = false; // the font flags and family group is taken
    bool m_contributed = false;
};

// Completes a descriptor: font size, flags and family from base when it sets them, else
// 12 and "宋体"; text colour from base, else 0; a font handle when a helper is given;
// every unset layout-word field, space and radius 0; a border side that draws no line 0
// (with its pen refreshed otherwise); an unset background kind 0. base may be null.
void CompleteStyleDesc(XStyleDesc *desc, const XStyleDesc *base, XRescHelper *helper);

// Non-zero when a border side byte with its colour draws a line (the rule by which the
// resource helper hands out a pen for it).
bool StyleSideDraws(uint8_t side, uint32_t color);
