#pragma once
// Trees for the tree tests: a recorder of the notifications the tree dispatches, and
// small helpers for captions and insertion.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pagekit/items/page_tree.h"

// Records the tree's own notifications (codes 65 and above) through its hook.
struct TreeNotes
{
    struct Note
    {
        uint32_t code;
        uint32_t key;
        XTreeItem *node;
        const void *other;
    };
    std::vector<Note> notes;
    uint32_t veto = 0;
    std::function<void(XMessage_t *)> onNote;

    static int Hook(void *user, XMessage_t *m)
    {
        auto *self = static_cast<TreeNotes *>(user);
        if ((m->code & 0xFFFF) >= 65 && m->item == self->tree) {
            self->notes.push_back(
                {m->code, m->key, reinterpret_cast<XTreeItem *>(m->value), m->other});
            if (self->veto != 0 && m->code == self->veto)
                m->state = kMsgStop;
            if (self->onNote) {
                auto handler = self->onNote;
                handler(m);
            }
        }
        return 0;
    }
    void Attach(XPageTree *t)
    {
        tree = t;
        t->SetHook(&TreeNotes::Hook, this);
    }
    XPageTree *tree = nullptr;
    std::vector<uint32_t> Codes() const
    {
        std::vector<uint32_t> out;
        for (const Note &n : notes)
            out.push_back(n.code);
        return out;
    }
};

inline std::string Narrow(const char16_t *s)
{
    std::string out;
    for (; s != nullptr && *s != 0; ++s)
        out += static_cast<char>(*s);
    return out;
}

inline XTreeItem *Add(XPageTree &tree, const char16_t *text, XTreeItem *parent = nullptr)
{
    return tree.InsertAfter(text, 0, 0, nullptr, parent, nullptr);
}

// Binders the tree released, in order.
struct Released
{
    static std::vector<void *> &List()
    {
        static std::vector<void *> list;
        return list;
    }
    static void Proc(void *binder) { List().push_back(binder); }
};
