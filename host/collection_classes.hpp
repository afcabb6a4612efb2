// The class table entries of the collection library's creatable objects,
// shared by the objects themselves (TypeInfo) and by their registration.
//
// The entries are built on first use, never change afterwards and live until
// the process ends; any thread may read them.

#ifndef ORVO_HOST_COLLECTION_CLASSES_HPP_
#define ORVO_HOST_COLLECTION_CLASSES_HPP_

#include <string>
#include <utility>

#include "orvo/automation/dispatch.hpp"

namespace orvo::host {

// A parameter that every call passes, by value.
inline ParamInfo RequiredParam(std::string name, ParamType type) {
  ParamInfo param;
  param.name = std::move(name);
  param.type = type;
  return param;
}

const ClassInfo& DictionaryClass();
const ClassInfo& VectorClass();

}  // namespace orvo::host

#endif  // ORVO_HOST_COLLECTION_CLASSES_HPP_
