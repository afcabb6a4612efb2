// The six classes of the component, three families of a query class and an
// update class each: the standard family for bills (T_PrintExport and
// T_PrintExportNote), the partitioned family whose rows also carry a data
// source partition `dataFrom` (the LM tables), and the report family
// (T_RptExcelPrintExport and T_RptExcelPrintExportNote).
//
// Every member is also reachable late-bound through Dispatch::Invoke by name
// or DISPID; the class table lists members whose operations are not built
// yet, and calling those raises 438. Members run on the instance's thread; a
// returned collection belongs to the caller.

#ifndef ORVO_COMPONENT_CLASSES_HPP_
#define ORVO_COMPONENT_CLASSES_HPP_

#include <cstdint>
#include <memory>
#include <string>

#include "orvo/component/print_setup_object.hpp"
#include "orvo/host/collections.hpp"

namespace orvo {

class clsPrintSetupQuery : public PrintSetupObject {
 public:
  const ClassInfo& TypeInfo() const override;

  // The user's page and print settings of a bill type under "Set", else the
  // manager user's; empty when neither has a settings row.
  std::shared_ptr<Dictionary> GetPageAndPrintSet(const std::string& sDsn,
                                                 std::int32_t fClassTypeId);
  // The bytes of one binary column of one row of a business table, or Empty.
  Variant GetPictureData(const std::string& sDsn, const std::shared_ptr<Dictionary>& dctDataInfo);
};

class clsPrintSetupUpdate : public PrintSetupUpdateObject {
 public:
  const ClassInfo& TypeInfo() const override;
};

class clsPrintSetupQueryLM : public PrintSetupObject {
 public:
  const ClassInfo& TypeInfo() const override;

  std::shared_ptr<Dictionary> GetPageAndPrintSet(const std::string& sDsn, std::int32_t fClassTypeId,
                                                 std::int32_t dataFrom);
  Variant GetPictureData(const std::string& sDsn, const std::shared_ptr<Dictionary>& dctDataInfo);
};

class clsPrintSetupUpdateLM : public PrintSetupUpdateObject {
 public:
  const ClassInfo& TypeInfo() const override;
};

class clsPrintSetupQueryRpt : public PrintSetupObject {
 public:
  const ClassInfo& TypeInfo() const override;

  Variant GetPictureData(const std::string& sDsn, const std::shared_ptr<Dictionary>& dctDataInfo);
};

class clsPrintSetupUpdateRpt : public PrintSetupUpdateObject {
 public:
  const ClassInfo& TypeInfo() const override;
};

}  // namespace orvo

#endif  // ORVO_COMPONENT_CLASSES_HPP_
