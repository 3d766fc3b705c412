#include "level/object_list.h"

#include <algorithm>

void TList::add_last(std::shared_ptr<TObject> object) {
  if (!object) return;
  const ObjectKind kind = object->kind();
  items_.push_back({std::move(object), kind});
  ++revision_;
}

void TList::remove(const TObject* object) {
  if (!object) return;
  auto it = std::find_if(items_.begin(), items_.end(),
                         [&](const Slot& slot) { return slot.object.get() == object; });
  if (it == items_.end()) return;
  ++revision_;
  if (walks_ == 0) {
    items_.erase(it);
    return;
  }
  // A walk may be holding the element right now: it lives on until the walks are over.
  removed_during_walk_.push_back(std::move(it->object));
  ++holes_;
}

bool TList::contains(const TObject* object) const {
  return object && std::any_of(items_.begin(), items_.end(),
                               [&](const Slot& slot) { return slot.object.get() == object; });
}

void TList::compact() {
  if (holes_ == 0) return;
  std::erase_if(items_, [](const Slot& slot) { return !slot.object; });
  holes_ = 0;
  removed_during_walk_.clear();
}
