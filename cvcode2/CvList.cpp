// Node management for CvList; allocation failures raise out-of-memory and leave the list unchanged.
// Indexed access walks from the head, so callers keep lists short or iterate by node.
#include "CvList.h"

#include <new>

#include "CvErrorCode.h"
#include "CvLog.h"

void CvList::Append(void* item) {
    if (!tail) {
        CvListNode* node = CvAllocated(new (std::nothrow) CvListNode{nullptr, nullptr, item});
        head = tail = node;
    } else {
        InsertAfter(tail, item);
    }
}

void CvList::InsertAfter(CvListNode* node, void* item) {
    CvListNode* fresh = CvAllocated(new (std::nothrow) CvListNode{node, node->next, item});
    if (node->next) node->next->previous = fresh;
    node->next = fresh;
    if (tail == node) tail = fresh;
}

CvListNode* CvList::NodeAt(uint32_t index) const {
    CvListNode* node = head;
    for (uint32_t i = 0; i < index && node; ++i) node = node->next;
    CV_ASSERT(node != nullptr);
    return node;
}

void* CvList::ItemAt(uint32_t index) const {
    CvListNode* node = NodeAt(index);
    return node ? node->item : nullptr;
}

void CvList::Remove(CvListNode* node) {
    if (!node) return;
    if (node->previous)
        node->previous->next = node->next;
    else
        head = node->next;
    if (node->next)
        node->next->previous = node->previous;
    else
        tail = node->previous;
    delete node;
}

uint32_t CvList::Count() const {
    uint32_t count = 0;
    for (CvListNode* node = head; node; node = node->next) ++count;
    return count;
}

void CvList::RemoveAll() {
    for (uint32_t i = Count(); i > 0; --i) Remove(head);
}
