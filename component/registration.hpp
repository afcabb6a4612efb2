// The registry entries of the library and the file that keeps them. The file
// is a JSON object whose keys are registry key paths (under
// HKEY_CLASSES_ROOT) and whose values are objects of named values, "" being
// the default value. Registration adds the library's keys and keeps every
// other key; unregistration removes exactly the library's keys, and removes
// the file when nothing else is left in it.
//
// The file is replaced atomically, and processes that register or unregister
// at once take turns, so none loses another's keys; any thread.

#ifndef ORVO_COMPONENT_REGISTRATION_HPP_
#define ORVO_COMPONENT_REGISTRATION_HPP_

#include <string>

#include <nlohmann/json.hpp>

namespace orvo::component {

// The path of the shared object (or program) that holds this code.
std::string LibraryPath();

// The keys that registering the library at `libraryPath` writes.
nlohmann::json RegistrationEntries(const std::string& libraryPath);

// Raise AutomationError when the file cannot be read or written.
void RegisterLibrary(const std::string& registryPath, const std::string& libraryPath);
void UnregisterLibrary(const std::string& registryPath);

}  // namespace orvo::component

#endif  // ORVO_COMPONENT_REGISTRATION_HPP_
