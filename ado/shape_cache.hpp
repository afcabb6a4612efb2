// ShapeCache keeps what a backend made of each shape of statement text (its
// adapted text, its prepared statement, its columns), the least recently
// used shape making room when the cache is full. A backend adapts and
// prepares a shape once, so a repeated call costs a lookup.
//
// `Shape` has a member `text`, the shape's text, which the cache's index
// views. One cache per connection, used on its thread.

#ifndef ORVO_ADO_SHAPE_CACHE_HPP_
#define ORVO_ADO_SHAPE_CACHE_HPP_

#include <cstddef>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>

namespace orvo::ado {

// The shapes of statements that one connection keeps: far more than every
// statement of the classes, so only business statements of many shapes (id
// lists of many lengths) ever push an old shape out.
inline constexpr std::size_t kShapesKept = 512;

template <class Shape>
class ShapeCache {
 public:
  // The cached shape of `text`; when there is none, `make(text)` gives it,
  // the least recently used shape making room (a shape lets go of what it
  // holds on the database as it is destroyed).
  template <class Make>
  Shape& Find(std::string_view text, Make&& make) {
    if (const auto found = index_.find(text); found != index_.end()) {
      shapes_.splice(shapes_.begin(), shapes_, found->second);
      return *found->second;
    }
    if (shapes_.size() >= kShapesKept) {
      index_.erase(shapes_.back().text);
      shapes_.pop_back();
    }
    shapes_.push_front(make(text));
    index_.emplace(shapes_.front().text, shapes_.begin());
    return shapes_.front();
  }

  // Forgets every shape.
  void Clear() {
    index_.clear();
    shapes_.clear();
  }

 private:
  std::list<Shape> shapes_;  // most recently used first
  std::unordered_map<std::string_view, typename std::list<Shape>::iterator> index_;
};

}  // namespace orvo::ado

#endif  // ORVO_ADO_SHAPE_CACHE_HPP_
