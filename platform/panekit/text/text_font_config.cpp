// Synthetic bold and oblique faces. The shipped Chinese fonts have one weight and no
// italic; fontconfig renders the missing styles by emboldening and slanting the regular
// face, but only when its configuration asks for it, which a minimal configuration (like
// the one the tests pin) does not. The rules are added once, before any font is loaded,
// and only those the configuration lacks, so that a full configuration is not slanted twice.
#include <mutex>

#include <fontconfig/fontconfig.h>

#include "platform/panekit/text/text_font_config.h"

namespace {

constexpr const char kEmboldenRule[] = R"(<?xml version="1.0"?>
<fontconfig>
  <match target="font">
    <test name="weight" compare="less_eq"><const>medium</const></test>
    <test target="pattern" name="weight" compare="more_eq"><const>bold</const></test>
    <edit name="embolden" mode="assign"><bool>true</bool></edit>
    <edit name="weight" mode="assign" binding="strong"><const>bold</const></edit>
  </match>
</fontconfig>)";

constexpr const char kObliqueRule[] = R"(<?xml version="1.0"?>
<fontconfig>
  <match target="font">
    <test name="slant"><const>roman</const></test>
    <test target="pattern" name="slant" compare="not_eq"><const>roman</const></test>
    <edit name="matrix" mode="assign">
      <times><name>matrix</name>
        <matrix><double>1</double><double>0.2</double><double>0</double><double>1</double></matrix>
      </times>
    </edit>
    <edit name="slant" mode="assign" binding="strong"><const>oblique</const></edit>
  </match>
</fontconfig>)";

// The font fontconfig picks for a pattern such as "宋体:weight=bold".
FcPattern *MatchFont(FcConfig *config, const char *name)
{
    FcPattern *pattern = FcNameParse(reinterpret_cast<const FcChar8 *>(name));
    if (pattern == nullptr)
        return nullptr;
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *font = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    return font;
}

// True when the bold default face comes out as a real bold face or an emboldened one.
bool RendersBold(FcConfig *config)
{
    FcPattern *font = MatchFont(config, "宋体:weight=bold");
    if (font == nullptr)
        return true;
    FcBool embolden = FcFalse;
    int weight = 0;
    FcPatternGetBool(font, FC_EMBOLDEN, 0, &embolden);
    FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
    FcPatternDestroy(font);
    return embolden == FcTrue || weight >= FC_WEIGHT_BOLD;
}

// True when the italic default face comes out as a real italic or a slanted face.
bool RendersItalic(FcConfig *config)
{
    FcPattern *font = MatchFont(config, "宋体:slant=italic");
    if (font == nullptr)
        return true;
    int slant = FC_SLANT_ROMAN;
    FcMatrix *matrix = nullptr;
    FcPatternGetInteger(font, FC_SLANT, 0, &slant);
    const bool slanted = FcPatternGetMatrix(font, FC_MATRIX, 0, &matrix) == FcResultMatch &&
                         matrix != nullptr && matrix->xy != 0;
    FcPatternDestroy(font);
    return slant != FC_SLANT_ROMAN || slanted;
}

void AddRule(FcConfig *config, const char *rule)
{
    FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8 *>(rule), FcFalse);
}

} // namespace

void EnsureSyntheticFontStyles()
{
    static std::once_flag once;
    std::call_once(once, [] {
        FcConfig *config = FcConfigGetCurrent();
        if (config == nullptr)
            return;
        if (!RendersBold(config))
            AddRule(config, kEmboldenRule);
        if (!RendersItalic(config))
            AddRule(config, kObliqueRule);
    });
}
