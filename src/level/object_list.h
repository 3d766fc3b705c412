#pragma once
// The ordered lists a level's objects live in. Objects are shared by reference; a list keeps its
// insertion order, appends at the end, removes an element by identity, and is walked one kind at
// a time. Walks may remove any element (the one being visited or any other) and append new ones:
// a removed element is never visited again but stays alive until the outermost walk of its list
// has ended, and an appended one is visited later in the same walk.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

enum class ObjectKind {
  player,
  wall,
  cloud,
  flower,
  bullet,
  bonus,
  obj,
  script,
  hedgehog,
  stone,
  saw
};

// The common base of every world object: it only tells the kinds apart.
class TObject {
 public:
  explicit TObject(ObjectKind kind) : kind_(kind) {}
  virtual ~TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;

  ObjectKind kind() const { return kind_; }

 private:
  ObjectKind kind_;
};

class TList {
 public:
  void add_last(std::shared_ptr<TObject> object);
  // Takes `object` out of the list; an object that is not in it is left alone.
  void remove(const TObject* object);
  bool contains(const TObject* object) const;
  // The elements in the list now.
  std::size_t count() const { return items_.size() - holes_; }
  // Goes up with every append and every removal, so that what is derived from the list (an
  // index of where its walls stand) can tell whether it is still up to date.
  std::uint64_t revision() const { return revision_; }

  // Visits the elements of kind T in list order. `visit(T&)` may return bool: false ends the
  // walk there.
  template <class T, class Visit>
  void each(Visit&& visit);
  // Visits every element in list order, whatever its kind.
  template <class Visit>
  void each_object(Visit&& visit) const;

 private:
  class WalkGuard;
  void compact();

  // The kind is kept beside the element, so that a walk over one kind passes the others without
  // reaching into them.
  struct Slot {
    std::shared_ptr<TObject> object;
    ObjectKind kind;
  };
  std::vector<Slot> items_;  // removed elements leave an empty slot...
  std::size_t holes_ = 0;    // ...until no walk is under way
  std::vector<std::shared_ptr<TObject>> removed_during_walk_;
  int walks_ = 0;
  std::uint64_t revision_ = 0;
};

class TList::WalkGuard {
 public:
  explicit WalkGuard(TList& list) : list_(list) { ++list_.walks_; }
  ~WalkGuard() {
    if (--list_.walks_ == 0) list_.compact();
  }
  WalkGuard(const WalkGuard&) = delete;
  WalkGuard& operator=(const WalkGuard&) = delete;

 private:
  TList& list_;
};

template <class T, class Visit>
void TList::each(Visit&& visit) {
  WalkGuard guard(*this);
  // By index: elements appended during the walk may move the storage.
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const Slot& slot = items_[i];
    if (slot.kind != T::object_kind || !slot.object) continue;
    T& element = static_cast<T&>(*slot.object);
    if constexpr (std::is_same_v<decltype(visit(element)), bool>) {
      if (!visit(element)) return;
    } else {
      visit(element);
    }
  }
}

template <class Visit>
void TList::each_object(Visit&& visit) const {
  for (const Slot& slot : items_) {
    if (slot.object) visit(*slot.object);
  }
}
