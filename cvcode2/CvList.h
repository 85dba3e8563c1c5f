// A doubly linked list of untyped items; it owns its nodes, never its items.
// Head and tail are both null exactly when the list is empty; no count is kept.
#pragma once

#include <cstdint>

struct CvListNode {
    CvListNode* previous;
    CvListNode* next;
    void* item;
};

class CvList {
public:
    CvList() = default;
    CvList(const CvList&) = delete;
    CvList& operator=(const CvList&) = delete;
    ~CvList() { RemoveAll(); }

    void Append(void* item);
    void InsertAfter(CvListNode* node, void* item);
    CvListNode* Head() const { return head; }
    CvListNode* Tail() const { return tail; }
    CvListNode* NodeAt(uint32_t index) const;
    void* ItemAt(uint32_t index) const;
    void Remove(CvListNode* node);
    void RemoveAt(uint32_t index) { Remove(NodeAt(index)); }
    uint32_t Count() const;
    void RemoveAll();

private:
    CvListNode* head = nullptr;
    CvListNode* tail = nullptr;
};
