#pragma once
// The form root the page-style tests build their items under.

#include "pagekit/core/page_viewer.h"

// A form root that clears its own form pointer before it goes: the item base reads the
// form's page window while it is destroyed, and for the root that form is the object
// being destroyed (its viewer part already gone). The children keep theirs.
struct TestForm : XPageViewer
{
    ~TestForm() override { form = nullptr; }
};
