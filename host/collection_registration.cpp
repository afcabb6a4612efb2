// Makes the collection objects creatable by name, as scripts and the command
// line create them.

#include "host/collection_classes.hpp"
#include "orvo/automation/class_registry.hpp"
#include "orvo/host/collections.hpp"

namespace orvo {

void RegisterCollectionClasses() {
  // The registry replaces an entry with the same class identifier, so a second
  // call leaves one entry per class.
  ClassRegistry::Instance().Register(host::DictionaryClass());
  ClassRegistry::Instance().Register(host::VectorClass());
}

}  // namespace orvo
