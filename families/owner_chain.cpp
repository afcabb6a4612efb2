#include "families/owner_chain.hpp"
#include "ado/statement_observer.hpp"

#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/host/collections.hpp"

namespace orvo::families {

ado::Recordset RunOwned(component::MethodContext& context, std::string_view pattern,
                        std::span<const Hole> holes, std::size_t maxRecords,
                        const ado::ColumnsRead* read) {
  const Hole owners[] = {
      Hole("user", Deferred{[](const void* source) -> std::int32_t {
                              return static_cast<const component::MethodContext*>(source)->UserID();
                            },
                            &context}),
      Hole("manager", kManagerUser)};
  return context.Connection().Read(FilledStatement(pattern, holes, owners), maxRecords, read);
}

ado::Recordset RunUnobserved(component::MethodContext& context, std::string_view pattern,
                             std::span<const Hole> holes) {
  struct Detached {
    ado::Connection& connection;
    std::shared_ptr<ado::StatementObserver> observer = connection.Observer();
    ~Detached() { connection.SetObserver(std::move(observer)); }
  } detached{context.Connection()};
  detached.connection.SetObserver(nullptr);
  return RunOwned(context, pattern, holes);
}

ado::Recordset FirstFound(component::MethodContext& context,
                          std::span<const std::string_view> chain, std::span<const Hole> holes,
                          std::size_t maxRecords, const ado::ColumnsRead* read) {
  ado::Recordset rows;
  for (const std::string_view pattern : chain) {
    rows = RunOwned(context, pattern, holes, maxRecords, read);
    if (!rows.Eof()) break;
  }
  return rows;
}

std::string SettingsText(component::MethodContext& context, std::string_view userSettings,
                         std::string_view managerSettings, std::span<const Hole> holes) {
  // Only the first row counts.
  auto settings = FirstFound(context, {userSettings, managerSettings}, holes, 1);
  if (settings.Eof()) return {};
  return CStr(Utility::ValueOrDefault(settings.Fields("FData").Value(), ""));
}

}  // namespace orvo::families
