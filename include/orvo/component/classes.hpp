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

  // The calling user's templates of a bill type keyed "<type>|<id>" (each a
  // Vector: id, type, name, data), with "SaveByUser" and "BillTypeSet".
  std::shared_ptr<Dictionary> GetCurrNote(const std::string& sDsn, std::int32_t fClssTypeId);
  // Gives user `UserID` copies of the manager user's templates and rows of a
  // bill type, on `cn` and inside whatever transaction the caller holds
  // there. No handler and no data context: a failure reaches the caller as
  // it is, and 91 is raised for a null connection.
  void CopyManagerNoteInfo(const std::shared_ptr<ado::Connection>& cn, std::int32_t classTypeId,
                           std::int32_t UserID, const std::string& userName);
  // The templates the calling user may choose from for a bill type under
  // "Data" (first giving a user without any copies of the manager user's),
  // and the user's option text under "Option".
  std::shared_ptr<Dictionary> GetNoteInfo(const std::string& sDsn, std::int32_t classTypeId);
  // The selected template of a bill type (and sub-type) with the settings
  // text, as one entry "<type>|<id>" holding (settings text, body); empty when
  // no template is found.
  std::shared_ptr<Dictionary> GetNotePrintData(const std::string& sDsn, std::int32_t fClassTypeId,
                                               const std::string& FSubType = "");
  // The user's page and print settings of a bill type under "Set", else the
  // manager user's; empty when neither has a settings row.
  std::shared_ptr<Dictionary> GetPageAndPrintSet(const std::string& sDsn,
                                                 std::int32_t fClassTypeId);
  // The bytes of one binary column of one row of a business table, or Empty.
  Variant GetPictureData(const std::string& sDsn, const std::shared_ptr<Dictionary>& dctDataInfo);
  // The report counterparts of GetNoteInfo, CopyManagerNoteInfo and
  // GetNotePrintData, without report sub-types.
  std::shared_ptr<Dictionary> GetRptNoteInfo(const std::string& sDsn, std::int32_t rptId);
  void CopyRptManagerNoteInfo(const std::shared_ptr<ado::Connection>& cn, std::int32_t rptId,
                              std::int32_t UserID, const std::string& userName);
  std::shared_ptr<Dictionary> GetRptNotePrintData(const std::string& sDsn, std::int32_t rptId,
                                                  const std::string& FSubType = "");
};

class clsPrintSetupUpdate : public PrintSetupUpdateObject {
 public:
  const ClassInfo& TypeInfo() const override;
};

class clsPrintSetupQueryLM : public PrintSetupObject {
 public:
  const ClassInfo& TypeInfo() const override;

  // The members of clsPrintSetupQuery, within the partition `dataFrom`.
  std::shared_ptr<Dictionary> GetCurrNote(const std::string& sDsn, std::int32_t fClssTypeId,
                                          std::int32_t dataFrom);
  void CopyManagerNoteInfo(const std::shared_ptr<ado::Connection>& cn, std::int32_t classTypeId,
                           std::int32_t UserID, const std::string& userName, std::int32_t dataFrom);
  std::shared_ptr<Dictionary> GetNoteInfo(const std::string& sDsn, std::int32_t classTypeId,
                                          std::int32_t dataFrom);
  std::shared_ptr<Dictionary> GetNotePrintData(const std::string& sDsn, std::int32_t fClassTypeId,
                                               std::int32_t dataFrom,
                                               const std::string& FSubType = "");
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
  // The report members of clsPrintSetupQuery, with report sub-types
  // (FTypeSub) listed, copied and chosen by.
  std::shared_ptr<Dictionary> GetRptNoteInfo(const std::string& sDsn, std::int32_t rptId);
  void CopyRptManagerNoteInfo(const std::shared_ptr<ado::Connection>& cn, std::int32_t rptId,
                              std::int32_t UserID, const std::string& userName);
  std::shared_ptr<Dictionary> GetRptNotePrintData(const std::string& sDsn, std::int32_t rptId,
                                                  const std::string& FSubType = "");
};

class clsPrintSetupUpdateRpt : public PrintSetupUpdateObject {
 public:
  const ClassInfo& TypeInfo() const override;
};

}  // namespace orvo

#endif  // ORVO_COMPONENT_CLASSES_HPP_
