// Item data descriptors from untrusted XML: the document's root element is read with
// LoadItemDesc and written back with SaveItemDesc; the written document, parsed and
// read again, must give the same id, type, size, name, class, default and column keys
// (the target aborts otherwise).
#include <cstddef>
#include <cstdint>

#include "datakit/item_data_desc.h"
#include "datakit/item_data_store.h"
#include "datakit_loaditem_same.h"
#include "platform/dockit/xdom_writer.h"
#include "platform/dockit/xml_archive.h"
#include "platform/dockit/xml_node.h"

namespace {

void Release(XItemDataDesc *desc)
{
    ReleaseItemDesc(desc);
    ReleaseItemNode(desc);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    XML_Archive doc;
    if (!doc.ParseBuffer(data, static_cast<uint32_t>(size), XML_Archive::kReadOnly))
        return 0;
    XML_Node *root = doc.GetRootItem();
    if (!root)
        return 0;
    XItemDataDesc *desc = MallocItemDesc();
    LoadItemDesc(desc, root);
    XDomWriter writer(0);
    if (!SaveItemDesc(desc, &writer))
        __builtin_trap();
    XML_Archive again;
    if (!again.ParseBuffer(reinterpret_cast<const uint8_t *>(writer.GetString()),
                           writer.GetLength(), XML_Archive::kReadOnly) ||
        !again.GetRootItem())
        __builtin_trap();
    XItemDataDesc *back = MallocItemDesc();
    LoadItemDesc(back, again.GetRootItem());
    if (!loaditem_same::SameXmlFields(desc, back))
        __builtin_trap();
    Release(back);
    Release(desc);
    return 0;
}
