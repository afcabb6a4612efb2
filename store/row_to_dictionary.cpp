#include "store/row_to_dictionary.hpp"

namespace orvo::store {

std::shared_ptr<Dictionary> RowToDictionary(ado::Recordset& recordset) {
  auto row = std::make_shared<Dictionary>();
  const std::int32_t count = recordset.FieldCount();
  for (std::int32_t i = 0; i < count; ++i) {
    const ado::Field field = recordset.Fields(i);
    const Variant& value = field.Value();
    if (value.IsNull()) {
      row->SetValue(field.Name(), Variant(""));
    } else if (field.Type() == ado::adBoolean) {
      row->SetValue(field.Name(), Variant(static_cast<std::int16_t>(value.AsBoolean() ? 1 : 0)));
    } else {
      row->SetValue(field.Name(), value);
    }
  }
  return row;
}

}  // namespace orvo::store
