// The component's identity as callers and the registry know it: the type
// library (name, identifier, version) and, for each of the six classes, its
// class identifier, interface, ProgID and every member with its DISPID,
// parameters, defaults and result. Late-bound calls, CreateObject, the
// command line's member list and registration all read this one table.
//
// Immutable; any thread may read it.

#ifndef ORVO_COMPONENT_TYPE_LIBRARY_HPP_
#define ORVO_COMPONENT_TYPE_LIBRARY_HPP_

#include "orvo/automation/class_registry.hpp"
#include "orvo/automation/dispatch.hpp"
#include "orvo/export.hpp"

namespace orvo {

ORVO_EXPORT const TypeLibInfo& TypeLibrary();

// Enters the six classes and the collection classes into the class registry,
// so that CreateObject finds them by ProgID or class identifier. Loading the
// library does this already; calling it again changes nothing.
ORVO_EXPORT void RegisterComponentClasses();

}  // namespace orvo

#endif  // ORVO_COMPONENT_TYPE_LIBRARY_HPP_
