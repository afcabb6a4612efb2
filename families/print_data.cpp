#include "families/print_data.hpp"

#include <charconv>

#include "families/owner_chain.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"

namespace orvo::families {

EntryKey::EntryKey(std::int32_t key, std::int32_t id) {
  char* const end = text_.data() + text_.size();
  char* at = std::to_chars(text_.data(), end, key).ptr;
  *at++ = '|';
  size_ = static_cast<std::size_t>(std::to_chars(at, end, id).ptr - text_.data());
}

std::shared_ptr<Dictionary> ReadPrintData(component::MethodContext& context,
                                          const PrintDataStatements& statements,
                                          std::span<const Hole> holes,
                                          const std::string& FSubType) {
  // The first template chosen is the one printed.
  const ChosenColumns& columns = *statements.chosen;
  auto chosen =
      FirstFound(context, FSubType.empty() ? statements.plainChain : statements.subTypeChain, holes,
                 1, &columns.Read());
  std::string settings =
      SettingsText(context, statements.userSettings, statements.managerSettings, holes);
  auto result = std::make_shared<Dictionary>();
  if (chosen.Eof()) return result;
  Variant body = chosen.Fields(ChosenColumns::kBody).Value();
  const std::int32_t id = CLng(chosen.Fields(columns.Id()).Value());
  const std::int32_t key = CLng(chosen.Fields(columns.Key()).Value());
  // Built in place: a list of initial values would copy the settings and the
  // body's reference once more.
  std::vector<Variant> entry;
  entry.reserve(2);
  entry.emplace_back(std::move(settings));
  entry.push_back(std::move(body));
  result->SetObject(EntryKey(key, id).Text(), std::make_shared<Vector>(std::move(entry)));
  return result;
}

}  // namespace orvo::families
