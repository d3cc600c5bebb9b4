#pragma once
// Archives and the document byte form: the interface, the memory and byte archives, the
// functions that write and read integers, strings, times and described structures, and
// the byte-order helpers under them.

#include "corekit/archive_doc.h"
#include "corekit/byte_order.h"
#include "corekit/iarchive.h"
#include "corekit/struct_desc.h"
#include "corekit/xbyte_archive.h"
#include "corekit/xmemo_archive.h"
