#pragma once
// Archives and the document byte form: the interface, the memory and byte archives, the
// functions that write and read integers, strings, times and described structures, and
// the byte-order helpers under them.

#include "corekit/archive/archive_doc.h"
#include "corekit/archive/byte_order.h"
#include "corekit/archive/iarchive.h"
#include "corekit/archive/struct_desc.h"
#include "corekit/archive/xbyte_archive.h"
#include "corekit/archive/xmemo_archive.h"
