#pragma once
// A doubly linked list of plain values (the engine keeps object addresses in it), reached
// through its head. Scenes add themselves when they are made and leave when released.
class CPointerList {
 public:
  CPointerList() = default;
  ~CPointerList();
  CPointerList(const CPointerList&) = delete;
  CPointerList& operator=(const CPointerList&) = delete;

  // Appends `value` at the tail; returns 1.
  int Add(void* value);
  // Unlinks and frees the first node holding `value`; 0 when none holds it.
  int Remove(void* value);
  // 1 when any node holds `value`.
  int Contains(void* value) const;
  bool IsEmpty() const { return m_head == nullptr; }
  // Calls visit(value) for every value from the head; `visit` must not change the list.
  template <class Visit>
  void ForEach(Visit visit) const {
    for (const Node* node = m_head; node; node = node->next) visit(node->value);
  }

 private:
  struct Node {
    void* value;
    Node* next;
    Node* previous;
  };

  Node* Find(void* value) const;

  Node* m_head = nullptr;
  Node* m_tail = nullptr;
};
