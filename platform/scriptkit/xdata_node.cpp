#include "platform/scriptkit/xdata_node.h"

#include <cstring>

#include "platform/scriptkit/value_hold.h"

void InitDataNode(XDataNode *node)
{
    std::memset(node, 0, sizeof(*node));
    node->type = kValueNull;
    node->isNull = 1;
}

void ClearDataNode(XDataNode *node)
{
    if (!node->isNull)
        scriptkit::DropValue(node->type, node->value, node->hold == kNodeOwns);
    else
        node->value.integer = 0;
    node->type = kValueNull;
    node->isNull = 1;
    node->hold = kNodeBorrows;
    node->length = 0;
}

void CopyDataNode(XDataNode *node, const XDataNode *src)
{
    ClearDataNode(node);
    if (!src || IsNullNode(src))
        return;
    uint16_t type = src->type == kValueText2 ? kValueText : src->type;
    if ((type == kValueText && !src->value.text) || (type == kValueBytes && !src->value.bytes))
        return;
    scriptkit::CopyValue(type, src->value, node->value, &node->length);
    node->type = type;
    node->isNull = 0;
    node->hold = kNodeOwns;
}
