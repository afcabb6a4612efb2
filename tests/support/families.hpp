// The families of templates whose operations are the same over other tables:
// the standard bills, the partitioned bills (in partition 1), the reports of
// the standard classes and the reports of the report classes. Each family
// names its tables and calls the members that serve it, all for bill type or
// report 28. A FamilyTest suite runs once per backend and family, its
// parameter a struct of the suite's own that points to the family and holds
// what the suite expects of it (the statement texts, written whole).
//
// Used on the test's thread.

#ifndef ORVO_TESTS_SUPPORT_FAMILIES_HPP_
#define ORVO_TESTS_SUPPORT_FAMILIES_HPP_

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <type_traits>

#include "orvo/component/classes.hpp"
#include "support/store_fixture.hpp"

namespace orvo::testing {

struct Family {
  const char* name;
  TemplateTables tables;
  std::function<std::shared_ptr<Dictionary>(const std::string& dsn)> list;
  std::function<std::shared_ptr<Dictionary>(const std::string& dsn, const std::string& subType)>
      printData;
  std::function<void(const std::shared_ptr<ado::Connection>& cn, std::int32_t user,
                     const std::string& name)>
      copy;
  std::function<std::shared_ptr<Vector>(const std::string& dsn, const std::string& name,
                                        const Variant& body)>
      insert;
  std::function<Variant(const std::string& dsn, const std::shared_ptr<Dictionary>& modiData)>
      choose;
  std::function<bool(const std::string& dsn, std::int32_t id)> remove;
};

inline const Family kBills{
    "Bills",
    kBillTables,
    [](const std::string& dsn) { return clsPrintSetupQuery().GetNoteInfo(dsn, 28); },
    [](const std::string& dsn, const std::string& sub) {
      return clsPrintSetupQuery().GetNotePrintData(dsn, 28, sub);
    },
    [](const std::shared_ptr<ado::Connection>& cn, std::int32_t user, const std::string& name) {
      clsPrintSetupQuery().CopyManagerNoteInfo(cn, 28, user, name);
    },
    [](const std::string& dsn, const std::string& name, const Variant& body) {
      return clsPrintSetupUpdate().InsertNoteRow(dsn, 28, name, body);
    },
    [](const std::string& dsn, const std::shared_ptr<Dictionary>& modi) {
      return clsPrintSetupUpdate().UpdateUserNoteData(dsn, 28, modi);
    },
    [](const std::string& dsn, std::int32_t id) {
      return clsPrintSetupUpdate().DeleteNoteRow(dsn, 28, id);
    }};

inline const Family kPartitioned{
    "Partitioned",
    kBillTablesLM,
    [](const std::string& dsn) { return clsPrintSetupQueryLM().GetNoteInfo(dsn, 28, 1); },
    [](const std::string& dsn, const std::string& sub) {
      return clsPrintSetupQueryLM().GetNotePrintData(dsn, 28, 1, sub);
    },
    [](const std::shared_ptr<ado::Connection>& cn, std::int32_t user, const std::string& name) {
      clsPrintSetupQueryLM().CopyManagerNoteInfo(cn, 28, user, name, 1);
    },
    [](const std::string& dsn, const std::string& name, const Variant& body) {
      return clsPrintSetupUpdateLM().InsertNoteRow(dsn, 28, name, body, 1);
    },
    [](const std::string& dsn, const std::shared_ptr<Dictionary>& modi) {
      return clsPrintSetupUpdateLM().UpdateUserNoteData(dsn, 28, modi, 1);
    },
    [](const std::string& dsn, std::int32_t id) {
      return clsPrintSetupUpdateLM().DeleteNoteRow(dsn, 28, id, 1);
    }};

// The report members of the standard classes.
inline const Family kReports{
    "Reports",
    kReportTables,
    [](const std::string& dsn) { return clsPrintSetupQuery().GetRptNoteInfo(dsn, 28); },
    [](const std::string& dsn, const std::string& sub) {
      return clsPrintSetupQuery().GetRptNotePrintData(dsn, 28, sub);
    },
    [](const std::shared_ptr<ado::Connection>& cn, std::int32_t user, const std::string& name) {
      clsPrintSetupQuery().CopyRptManagerNoteInfo(cn, 28, user, name);
    },
    [](const std::string& dsn, const std::string& name, const Variant& body) {
      return clsPrintSetupUpdate().InsertRptNoteRow(dsn, 28, name, body);
    },
    [](const std::string& dsn, const std::shared_ptr<Dictionary>& modi) {
      return clsPrintSetupUpdate().UpdateUserRptNoteData(dsn, 28, modi);
    },
    [](const std::string& dsn, std::int32_t id) {
      return clsPrintSetupUpdate().DeleteRptNoteRow(dsn, 28, id);
    }};

inline const Family kReportClass{
    "ReportClass",
    kReportTables,
    [](const std::string& dsn) { return clsPrintSetupQueryRpt().GetRptNoteInfo(dsn, 28); },
    [](const std::string& dsn, const std::string& sub) {
      return clsPrintSetupQueryRpt().GetRptNotePrintData(dsn, 28, sub);
    },
    [](const std::shared_ptr<ado::Connection>& cn, std::int32_t user, const std::string& name) {
      clsPrintSetupQueryRpt().CopyRptManagerNoteInfo(cn, 28, user, name);
    },
    [](const std::string& dsn, const std::string& name, const Variant& body) {
      return clsPrintSetupUpdateRpt().InsertRptNoteRow(dsn, 28, name, body);
    },
    [](const std::string& dsn, const std::shared_ptr<Dictionary>& modi) {
      return clsPrintSetupUpdateRpt().UpdateUserRptNoteData(dsn, 28, modi);
    },
    [](const std::string& dsn, std::int32_t id) {
      return clsPrintSetupUpdateRpt().DeleteRptNoteRow(dsn, 28, id);
    }};

// A suite run on every backend and family; `Expected` points to its family
// with a member `family`.
template <class Expected>
class FamilyTest : public StoreFixture,
                   public ::testing::WithParamInterface<std::tuple<Backend, Expected>> {
 protected:
  const Backend& StoreBackend() const override { return std::get<0>(this->GetParam()); }
  const Expected& F() const { return std::get<1>(this->GetParam()); }
  const TemplateTables& T() const { return F().family->tables; }
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
