// GetNotePrintData of the standard and the partitioned query class: the body
// of the template the calling user selected for a bill type (and sub-type),
// falling back to the manager user's selection and, with a sub-type, to
// anyone's, with the user's settings text.

#include "families/print_data.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// A read that completes its unit of work before it starts.
constexpr component::MethodConvention kConvention{
    .start = component::MethodConvention::Start::Complete, .completeAtEnd = false};

// The chosen template's bill type and id, of both tables.
const families::ChosenColumns kBillColumns("FBillType", "FBillId");

// The first statement of the sub-type chain joins with two blanks before
// "Where", every other with three.
constexpr std::string_view kStandardSubTypeChain[] = {
    "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
    "i.FbillId=c.FId  Where i.FBillType={type} And i.FBillTypeSub='{subType}' and i.FSel=1 and "
    "FPreparerId={user}",
    "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
    "i.FbillId=c.FId   Where i.FBillType={type} And i.FBillTypeSub='' and i.FSel=1 and "
    "FPreparerId={user}",
    "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
    "i.FbillId=c.FId   Where i.FBillType={type} And i.FBillTypeSub='{subType}' and i.FSel=1 and "
    "FPreparerId={manager}",
    "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
    "i.FbillId=c.FId   Where i.FBillType={type} And i.FBillTypeSub='' and i.FSel=1 and "
    "FPreparerId={manager}",
    "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
    "i.FbillId=c.FId   Where i.FBillType={type} And i.FBillTypeSub='{subType}' and i.FSel=1"};
constexpr std::string_view kStandardPlainChain[] = {
    "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
    "i.FbillId=c.FId   Where i.FBillType={type} And isnull(i.FBillTypeSub, '') = ''  And "
    "i.FSel=1 and FPreparerId={user}",
    "Select c.FData as FBlob,i.* From T_PrintExport i inner Join T_PrintExportNote c  On "
    "i.FbillId=c.FId   Where i.FBillType={type} And i.FSel=1 and FPreparerId={manager}"};
constexpr families::PrintDataStatements kStandard{
    .subTypeChain = kStandardSubTypeChain,
    .plainChain = kStandardPlainChain,
    .userSettings =
        "Select FData from T_PrintExport where fbilltype={type} and fbillid=0  and "
        "FPreparerId={user}",
    .managerSettings =
        "Select FData from T_PrintExport where fbilltype={type} and fbillid=0  and "
        "FPreparerId={manager}",
    .chosen = &kBillColumns};

// Both the assignment row and the template belong to the partition.
constexpr std::string_view kPartitionedSubTypeChain[] = {
    "Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
    "i.FbillId=c.FId  Where i.FBillType={type} And i.FBillTypeSub='{subType}' and i.FSel=1 AND "
    "i.FDataFrom = {dataFrom} AND c.FDataFrom = {dataFrom}  and FPreparerId={user}",
    "Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
    "i.FbillId=c.FId   Where i.FBillType={type} And i.FBillTypeSub='' and i.FSel=1 AND "
    "i.FDataFrom = {dataFrom} AND c.FDataFrom = {dataFrom}  and FPreparerId={user}",
    "Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
    "i.FbillId=c.FId   Where i.FBillType={type} And i.FBillTypeSub='{subType}' and i.FSel=1 AND "
    "i.FDataFrom = {dataFrom} AND c.FDataFrom = {dataFrom}  and FPreparerId={manager}",
    "Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
    "i.FbillId=c.FId   Where i.FBillType={type} And i.FBillTypeSub='' and i.FSel=1 AND "
    "i.FDataFrom = {dataFrom} AND c.FDataFrom = {dataFrom}  and FPreparerId={manager}",
    "Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
    "i.FbillId=c.FId   Where i.FBillType={type} And i.FBillTypeSub='{subType}' and i.FSel=1 AND "
    "i.FDataFrom = {dataFrom} AND c.FDataFrom = {dataFrom} "};
constexpr std::string_view kPartitionedPlainChain[] = {
    "Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
    "i.FbillId=c.FId   Where i.FBillType={type} And isnull(i.FBillTypeSub, '') = ''  And "
    "i.FSel=1 AND i.FDataFrom = {dataFrom} AND c.FDataFrom = {dataFrom} and FPreparerId={user}",
    "Select c.FData as FBlob,i.* From T_PrintExportLM i inner Join T_PrintExportNoteLM c  On "
    "i.FbillId=c.FId   Where i.FBillType={type} And i.FSel=1 AND i.FDataFrom = {dataFrom} AND "
    "c.FDataFrom = {dataFrom} and FPreparerId={manager}"};
constexpr families::PrintDataStatements kPartitioned{
    .subTypeChain = kPartitionedSubTypeChain,
    .plainChain = kPartitionedPlainChain,
    .userSettings =
        "Select FData from T_PrintExportLM where fbilltype={type} and fbillid=0 AND "
        "FDataFrom = {dataFrom}  and FPreparerId={user}",
    .managerSettings =
        "Select FData from T_PrintExportLM where fbilltype={type} and fbillid=0 "
        "AND FDataFrom = {dataFrom}  and FPreparerId={manager}",
    .chosen = &kBillColumns};

}  // namespace

std::shared_ptr<Dictionary> clsPrintSetupQuery::GetNotePrintData(const std::string& sDsn,
                                                                 std::int32_t fClassTypeId,
                                                                 const std::string& FSubType) {
  return component::MethodFrame::Run(
      *this, kConvention, sDsn, [&](component::MethodContext& context) {
        const families::Hole holes[] = {{"type", fClassTypeId}, families::SubTypeHole(FSubType)};
        return families::ReadPrintData(context, kStandard, holes, FSubType);
      });
}

std::shared_ptr<Dictionary> clsPrintSetupQueryLM::GetNotePrintData(const std::string& sDsn,
                                                                   std::int32_t fClassTypeId,
                                                                   std::int32_t dataFrom,
                                                                   const std::string& FSubType) {
  return component::MethodFrame::Run(
      *this, kConvention, sDsn, [&](component::MethodContext& context) {
        const families::Hole holes[] = {
            {"type", fClassTypeId}, {"dataFrom", dataFrom}, families::SubTypeHole(FSubType)};
        return families::ReadPrintData(context, kPartitioned, holes, FSubType);
      });
}

}  // namespace orvo
