// The families of templates whose operations are the same over other tables:
// the standard bills, the partitioned bills (in partition 1), the reports of
// the standard classes and the reports of the report classes. Each family
// names its tables and the rows it must never read, and calls the members
// that serve it late-bound, all for bill type or report 28. A FamilyTest
// suite runs once per backend and family; its parameter is a struct of the
// suite's own that points to the family and holds what the suite expects of
// it, the statement texts written whole.
//
// Used on the test's thread.

#ifndef ORVO_TESTS_SUPPORT_FAMILIES_HPP_
#define ORVO_TESTS_SUPPORT_FAMILIES_HPP_

#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "orvo/automation/class_registry.hpp"
#include "orvo/host/collections.hpp"
#include "support/store_fixture.hpp"

namespace orvo::testing {

struct Family {
  const char* name;
  TemplateTables tables;
  // Rows of the same kind that the family never reads: the other bill
  // tables, or another partition.
  TemplateTables elsewhere;
  const char* query;  // the classes that serve the family
  const char* update;
  const char* rpt;  // what the report members add to their names

  // The members, for bill type or report 28 and in partition 1 where there
  // is one, called late-bound as a host calls them.
  std::shared_ptr<Dictionary> List(const std::string& dsn) const {
    return Call(query, "Get%NoteInfo", {dsn, 28}).ObjectAs<Dictionary>();
  }
  std::shared_ptr<Dictionary> PrintData(const std::string& dsn, const std::string& subType) const {
    return Call(query, "Get%NotePrintData", {dsn, 28}, {subType}).ObjectAs<Dictionary>();
  }
  void Copy(const std::shared_ptr<ado::Connection>& cn, std::int32_t user,
            const std::string& userName) const {
    Call(query, "Copy%ManagerNoteInfo", {Variant(cn), 28, user, userName});
  }
  std::shared_ptr<Vector> Insert(const std::string& dsn, const std::string& noteName,
                                 const Variant& body) const {
    return Call(update, "Insert%NoteRow", {dsn, 28, noteName, body}).ObjectAs<Vector>();
  }
  Variant Choose(const std::string& dsn, const std::shared_ptr<Dictionary>& modiData) const {
    return Call(update, "UpdateUser%NoteData", {dsn, 28, Variant(modiData)});
  }
  bool Remove(const std::string& dsn, std::int32_t id) const {
    return Call(update, "Delete%NoteRow", {dsn, 28, id}).AsBoolean();
  }

  // Calls `member` of the class `className`: a "%" in its name stands for what
  // the report members add, and the partition goes after `args`, before
  // `last`.
  Variant Call(const char* className, std::string member, std::vector<Variant> args,
               const std::vector<Variant>& last = {}) const {
    if (const auto at = member.find('%'); at != std::string::npos) member.replace(at, 1, rpt);
    if (tables.partition != 0) args.emplace_back(tables.partition);
    args.insert(args.end(), last.begin(), last.end());
    return CreateObject(std::string("OrvoMPrintExport.") + className)->Invoke(member, args);
  }
};

inline const Family kBills{
    "Bills", kBillTables, kBillTablesLM, "clsPrintSetupQuery", "clsPrintSetupUpdate", ""};
inline const Family kPartitioned{
    "Partitioned",          kBillTablesLM,           kBillTablesLM.InPartition(2),
    "clsPrintSetupQueryLM", "clsPrintSetupUpdateLM", ""};
// The report members of the standard classes.
inline const Family kReports{
    "Reports", kReportTables, kBillTables, "clsPrintSetupQuery", "clsPrintSetupUpdate", "Rpt"};
inline const Family kReportClass{
    "ReportClass", kReportTables, kBillTables, "clsPrintSetupQueryRpt", "clsPrintSetupUpdateRpt",
    "Rpt"};

// A suite run on every backend and family; `Expected` points to its family
// with a member `family`.
template <class Expected>
class FamilyTest : public StoreFixture,
                   public ::testing::WithParamInterface<std::tuple<Backend, Expected>> {
 protected:
  const Backend& StoreBackend() const override { return std::get<0>(this->GetParam()); }
  const Expected& F() const { return std::get<1>(this->GetParam()); }
  const TemplateTables& T() const { return F().family->tables; }
  const TemplateTables& Elsewhere() const { return F().family->elsewhere; }
};

}  // namespace orvo::testing

// Runs a FamilyTest suite on every backend for each of `expected`, an array
// of the suite's structs, shown by their family's name.
#define ORVO_INSTANTIATE_FAMILY_SUITE(Suite, expected)                                             \
  [[maybe_unused]] void PrintTo(const std::decay_t<decltype(expected[0])>& e, std::ostream* out) { \
    *out << e.family->name;                                                                        \
  }                                                                                                \
  INSTANTIATE_TEST_SUITE_P(Families, Suite,                                                        \
                           ::testing::Combine(::testing::ValuesIn(::orvo::testing::Backends()),    \
                                              ::testing::ValuesIn(expected)),                      \
                           [](const auto& instance) {                                              \
                             return std::get<0>(instance.param).name +                             \
                                    std::string(std::get<1>(instance.param).family->name);         \
                           })

#endif  // ORVO_TESTS_SUPPORT_FAMILIES_HPP_
