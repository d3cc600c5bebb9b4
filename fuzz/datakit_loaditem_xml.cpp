// Item data descriptors from untrusted XML: the document's root element is read with
// LoadItemDesc and written back with SaveItemDesc.
#include <cstddef>
#include <cstdint>

#include "datakit/item_data_desc.h"
#include "datakit/item_data_store.h"
#include "platform/dockit/xdom_writer.h"
#include "platform/dockit/xml_archive.h"
#include "platform/dockit/xml_node.h"

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
    SaveItemDesc(desc, &writer);
    ReleaseItemDesc(desc);
    ReleaseItemNode(desc);
    return 0;
}
