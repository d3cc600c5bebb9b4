#include "pagekit/core/item_kind.h"

#include <iterator>

namespace {

struct KindName
{
    uint32_t kind;
    const char *name;
};

// Kinds that style sheets can name: kind code, selector name.
constexpr KindName kKindNames[] = {
    {kKindText, "textClass"},          {kKindEdit, "editClass"},
    {kKindCombo, "comboClass"},        {kKindRadio, "radioClass"},
    {kKindImage, "imageClass"},        {kKindTime, "timeClass"},
    {kKindPhoto, "photoClass"},        {kKindAnnex, "annexClass"},
    {kKindButton, "buttonClass"},      {kKindSlider, "sliderClass"},
    {kKindRicher, "richerClass"},      {kKindTree, "treeClass"},
    {kKindGrider, "griderClass"},      {kKindTainer, "tainerClass"},
    {kKindFolder, "folderClass"},      {kKindPreview, "previewClass"},
    {kKindTabbox, "tabClass"},         {kKindTable, "tableClass"},
    {kKindViewer, "frameClass"},       {kKindToolbarPane, "ToolbarPane"},
    {kKindMenubarPane, "MenubarPane"}, {kKindMenuItem, "menuitemClass"},
    {kKindDropItem, "dropitemClass"},  {kKindToolbarItem, "ToolbarItem"},
    {kKindMenubarItem, "MenubarItem"}, {kKindDockbarPane, "DockbarPane"},
    {kKindActionItem, "ActionItem"},   {kKindActionTree, "ActionTree"},
    {kKindTabFrame, "TabFrame"},       {kKindMainFrame, "MainFrame"},
    {kKindStatusItem, "StatusItem"},
};

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool SameName(const char *name, unsigned n, const char *entry)
{
    unsigned i = 0;
    for (; i < n && entry[i]; ++i) {
        if (Lower(name[i]) != Lower(entry[i]))
            return false;
    }
    return i == n && entry[i] == 0;
}

} // namespace

uint32_t FindItemKind(const char *name, unsigned n)
{
    for (const KindName &k : kKindNames) {
        if (SameName(name, n, k.name))
            return k.kind;
    }
    return 0;
}

const char *GetItemKindName(uint32_t kind)
{
    for (const KindName &k : kKindNames) {
        if (k.kind == kind)
            return k.name;
    }
    return nullptr;
}
