// What the shared library shows its hosts. The library is built with every
// symbol hidden; ORVO_EXPORT marks the types and functions of these public
// headers, the interface a host links against. What a public class holds for
// the library's own layers (members that take types of no public header) is
// marked ORVO_INTERNAL and stays hidden even in an exported class.
//
// Programs that link the layers statically (the tests, orvoprint, the
// benchmarks) see everything: visibility only decides what leaves the shared
// object.

#ifndef ORVO_EXPORT_HPP_
#define ORVO_EXPORT_HPP_

#define ORVO_EXPORT __attribute__((visibility("default")))
#define ORVO_INTERNAL __attribute__((visibility("hidden")))

#endif  // ORVO_EXPORT_HPP_
