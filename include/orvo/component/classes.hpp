// The six classes of the component, three families of a query class and an
// update class each: the standard family for bills (T_PrintExport and
// T_PrintExportNote), the partitioned family whose rows also carry a data
// source partition `dataFrom` (the LM tables), and the report family
// (T_RptExcelPrintExport and T_RptExcelPrintExportNote).
//
// Every member is also reachable late-bound through Dispatch::Invoke by name
// or DISPID. Members run on the instance's thread; a returned collection
// belongs to the caller.

#ifndef ORVO_COMPONENT_CLASSES_HPP_
#define ORVO_COMPONENT_CLASSES_HPP_

#include <cstdint>
#include <memory>
#include <string>

#include "orvo/component/print_setup_object.hpp"
#include "orvo/export.hpp"
#include "orvo/host/collections.hpp"

namespace orvo {

// The manager user, whose templates serve every user who has none of their
// own, and from whom such a user gets copies on first use.
inline constexpr std::int16_t kManagerUser = 16394;

class ORVO_EXPORT clsPrintSetupQuery : public PrintSetupObject {
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

class ORVO_EXPORT clsPrintSetupUpdate : public PrintSetupUpdateObject {
 public:
  const ClassInfo& TypeInfo() const override;

  // Deletes the user's template FID of a bill type and the user's rows that
  // point at it; true when done.
  bool DeleteNoteRow(const std::string& sDsn, std::int32_t fClassType, std::int32_t FID);
  // Stores a template body under a name for the user (replacing the body of
  // the user's template of that name) and assigns it to the user. Gives the
  // template id, fClassType, fNoteName and fNoteBlob.
  std::shared_ptr<Vector> InsertNoteRow(const std::string& sDsn, std::int32_t fClassType,
                                        const std::string& fNoteName, const Variant& fNoteBlob);
  // Stores "FNoteBlob" under "fNoteName" as the manager's template of a bill
  // type, replacing the body and dates of templates of that name. Gives False.
  bool SaveNewBill(const std::string& sDsn, std::int32_t fClassType,
                   const std::shared_ptr<Dictionary>& dctData);
  // Stores the user's page and print settings of a bill type.
  void SavePageAndPrintSet(const std::string& sDsn, std::int32_t fClassTypeId,
                           const Variant& printSetValue);
  // Replaces the body of every template of a bill type (of that name, when
  // one is given) and records the user as their modifier. Gives Empty.
  Variant UpdateNoteRow(const std::string& sDsn, std::int32_t fClassType, const Variant& fNoteBlob,
                        const std::string& sNoteName = "");
  // Adds 1 to "FieldName" of the rows of "TableName" whose "PriKey" is one
  // of "InterIDs".
  void UpdatePrintCount(const std::string& sDsn, const std::shared_ptr<Dictionary>& dctPCData);
  // Stores the user's "Option" text and template choices ("Data") of a bill
  // type. Gives Empty.
  Variant UpdateUserNoteData(const std::string& sDsn, std::int32_t fClassType,
                             const std::shared_ptr<Dictionary>& modiData);
  // Adds a barcode label template whose name is new for the bill type and
  // describes it; sBillId and vParam play no part.
  std::shared_ptr<Dictionary> AddBarCodeTemplate(const std::string& sDsn, std::int32_t fClassType,
                                                 const std::string& fNoteName,
                                                 const Variant& fNoteBlob,
                                                 const std::string& sUserId = "",
                                                 std::int32_t sBillId = 0,
                                                 const Variant& vParam = Variant::Missing());
  // Deletes the row FID; true when done.
  bool DeleteBarCodeTemplate(const std::string& sDsn, std::int32_t FID);

  // The report counterparts of DeleteNoteRow, InsertNoteRow and
  // UpdateUserNoteData.
  bool DeleteRptNoteRow(const std::string& sDsn, std::int32_t fRptId, std::int32_t FID);
  std::shared_ptr<Vector> InsertRptNoteRow(const std::string& sDsn, std::int32_t fRptId,
                                           const std::string& fNoteName, const Variant& fNoteBlob);
  Variant UpdateUserRptNoteData(const std::string& sDsn, std::int32_t fRptId,
                                const std::shared_ptr<Dictionary>& modiData);
};

class ORVO_EXPORT clsPrintSetupQueryLM : public PrintSetupObject {
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

// The members of clsPrintSetupUpdate on the partitioned tables: those that
// name a bill type read and write only the rows of partition `dataFrom`.
class ORVO_EXPORT clsPrintSetupUpdateLM : public PrintSetupUpdateObject {
 public:
  const ClassInfo& TypeInfo() const override;

  bool DeleteNoteRow(const std::string& sDsn, std::int32_t fClassType, std::int32_t FID,
                     std::int32_t dataFrom);
  std::shared_ptr<Vector> InsertNoteRow(const std::string& sDsn, std::int32_t fClassType,
                                        const std::string& fNoteName, const Variant& fNoteBlob,
                                        std::int32_t dataFrom);
  bool SaveNewBill(const std::string& sDsn, std::int32_t fClassType,
                   const std::shared_ptr<Dictionary>& dctData, std::int32_t dataFrom);
  void SavePageAndPrintSet(const std::string& sDsn, std::int32_t fClassTypeId,
                           const Variant& printSetValue, std::int32_t dataFrom);
  Variant UpdateNoteRow(const std::string& sDsn, std::int32_t fClassType, const Variant& fNoteBlob,
                        std::int32_t dataFrom, const std::string& sNoteName = "");
  void UpdatePrintCount(const std::string& sDsn, const std::shared_ptr<Dictionary>& dctPCData);
  Variant UpdateUserNoteData(const std::string& sDsn, std::int32_t fClassType,
                             const std::shared_ptr<Dictionary>& modiData, std::int32_t dataFrom);
  // Labels keep no partition.
  std::shared_ptr<Dictionary> AddBarCodeTemplate(const std::string& sDsn, std::int32_t fClassType,
                                                 const std::string& fNoteName,
                                                 const Variant& fNoteBlob,
                                                 const std::string& sUserId = "",
                                                 std::int32_t sBillId = 0,
                                                 const Variant& vParam = Variant::Missing());
  bool DeleteBarCodeTemplate(const std::string& sDsn, std::int32_t FID);
};

class ORVO_EXPORT clsPrintSetupQueryRpt : public PrintSetupObject {
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

// The report members of clsPrintSetupUpdate, which here also give the rows
// they add an empty sub-type.
class ORVO_EXPORT clsPrintSetupUpdateRpt : public PrintSetupUpdateObject {
 public:
  const ClassInfo& TypeInfo() const override;

  void UpdatePrintCount(const std::string& sDsn, const std::shared_ptr<Dictionary>& dctPCData);
  bool DeleteRptNoteRow(const std::string& sDsn, std::int32_t fRptId, std::int32_t FID);
  std::shared_ptr<Vector> InsertRptNoteRow(const std::string& sDsn, std::int32_t fRptId,
                                           const std::string& fNoteName, const Variant& fNoteBlob);
  Variant UpdateUserRptNoteData(const std::string& sDsn, std::int32_t fRptId,
                                const std::shared_ptr<Dictionary>& modiData);
};

}  // namespace orvo

#endif  // ORVO_COMPONENT_CLASSES_HPP_
