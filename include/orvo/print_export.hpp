// Everything a host application needs to use OrvoMPrintExport: the six
// classes, the collections results come in, the host data context through
// which the calling user is signed in and connections are made, late-bound
// calls and the library's exports.

#ifndef ORVO_PRINT_EXPORT_HPP_
#define ORVO_PRINT_EXPORT_HPP_

#include "orvo/ado/connection.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/class_registry.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/dispatch.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/automation/variant.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/component/exports.hpp"
#include "orvo/component/type_library.hpp"
#include "orvo/host/call_scope.hpp"
#include "orvo/host/collections.hpp"
#include "orvo/host/data_context.hpp"
#include "orvo/host/service_hub.hpp"
#include "orvo/host/session_info.hpp"
#include "orvo/store/schema.hpp"

#endif  // ORVO_PRINT_EXPORT_HPP_
