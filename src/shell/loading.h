#pragma once
// Loading the pictures and sounds the game cannot do without. One that cannot be loaded is
// named on standard error, once, and stays none: it then draws, plays and hits nothing, and the
// game goes on without it.

#include <array>
#include <cstddef>
#include <span>
#include <string>

#include "media/image.h"
#include "media/sound.h"

namespace shell {

// With the default image flags and the mask colour in force.
media::Image load_picture(const std::string& path);
media::Sound load_sound(const std::string& path, int flags);

namespace detail {
template <class T, std::size_t n>
std::span<T> as_span(std::array<T, n>& elements) {
  return elements;
}
template <class T>
std::span<T> as_span(T& element) {
  return {&element, 1};
}
template <class>
struct member_of;
template <class Store, class T>
struct member_of<T Store::*> {
  using store = Store;
};
}  // namespace detail

// The elements of one field of a store of pictures or sounds (one, or an array): tables of files
// say with it where each file goes.
template <auto field>
auto slots(typename detail::member_of<decltype(field)>::store& store) {
  return detail::as_span(store.*field);
}

}  // namespace shell
