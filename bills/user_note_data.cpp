// UpdateUserNoteData of the standard and the partitioned update class: stores
// the calling user's option text for a bill type in the user's settings row
// and the user's choice among its templates in the user's assignment rows,
// adding the rows that are missing. The report classes' UpdateUserRptNoteData
// runs the same steps on their own tables.

#include <memory>
#include <string>
#include <string_view>

#include "bills/note_rows.hpp"
#include "component/sql_text.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// An object that modiData holds: 424 when the value is no object, 13 when it
// is an object of another kind.
template <class T>
std::shared_ptr<T> ObjectIn(const Variant& value, const std::string& what, const char* kind) {
  auto object = value.ObjectAs<T>();
  if (object) return object;
  throw RuntimeError(value.IsObject() ? kTypeMismatch : kObjectRequired,
                     what + " must be a " + kind + ".");
}

// A number read from the leading numeric part of a value's text, in decimal.
std::string NumberText(const Variant& value) {
  return CStr(Variant(Val(CStr(value))));
}

}  // namespace

namespace bills {

Variant UpdateUserNoteData(PrintSetupObject& self, const std::string& sDsn, const NoteRows& rows,
                           SplitItem split, std::int32_t type,
                           const std::shared_ptr<Dictionary>& modiData) {
  return component::MethodFrame::Run(self, kWriting, sDsn, [&](component::MethodContext& context) {
    const NoteFamily& family = rows.family;
    ado::Connection& connection = context.Connection();
    const std::int32_t user = context.UserID();
    const Dictionary& modi = Required(modiData);
    const std::string option = CStr(modi.Value("Option"));
    const auto choices = ObjectIn<Vector>(modi.Value("Data"), "modiData's \"Data\"", "Vector");
    const std::string type_text = std::to_string(type);

    const std::string settings_row = std::string(" where ") + family.choiceType + "=" + type_text +
                                     " and " + family.rowLink + "=0" + rows.Partition() +
                                     " and FPreParerID=";
    if (connection
            .Execute(std::string("select * from ") + family.rowTable + settings_row +
                     std::to_string(user))
            ->Eof()) {
      connection.Execute(rows.RowInsert(type, 0, kSettingsRowName, user, option));
    } else {
      connection.Execute(std::string("Update ") + family.rowTable + " set Fdata='" +
                         component::QuotesDoubled(option) + "'" + settings_row +
                         std::to_string(context.UserID()));
    }

    const std::int32_t count = choices->Count();
    for (std::int32_t i = 1; i <= count; ++i) {
      const auto entry = ObjectIn<Dictionary>(
          choices->Item(i), "modiData's \"Data\" item " + std::to_string(i), "Dictionary");
      // "FKey" is "<type>|<template id>"; without an id the choice falls on
      // the settings row.
      const std::string id =
          std::to_string(CLng(Variant(Val(split(CStr(entry->Value("FKey")), "|", 1)))));
      const std::string sel = NumberText(entry->Value("FSel"));
      const std::string sub = component::QuotesDoubled(CStr(entry->Value("FType")));
      const std::string where = std::string(" where ") + family.choiceType + "=" + type_text +
                                rows.Partition() + " and " + family.rowLink + "=" + id;
      if (connection
              .Execute(std::string("select * from ") + family.rowTable + " " + where +
                       " and FPreParerID=" + std::to_string(user))
              ->Eof()) {
        connection.Execute(std::string("insert into ") + family.rowTable + " (" + family.rowType +
                           "," + family.rowLink + ",FDate,FName,FSel,FPreParerID,FData," +
                           family.subType + rows.IfPartitioned(",FDataFrom") + ")values(" +
                           type_text + "," + id + ",'" + Date::Now().ShortText() + "','" +
                           component::QuotesDoubled(CStr(entry->Value("FName"))) + "'," + sel +
                           "," + std::to_string(user) + ",'','" + sub + "'" +
                           rows.PartitionValue() + ")");
      } else {
        // Only the sub-type and the selection of an existing row change.
        connection.Execute(std::string("Update ") + family.rowTable + " set " + family.subType +
                           "='" + sub + family.selAfterSub + sel + where +
                           "and FPreParerID=" + std::to_string(user));
      }
    }
    return Variant();
  });
}

}  // namespace bills

Variant clsPrintSetupUpdate::UpdateUserNoteData(const std::string& sDsn, std::int32_t fClassType,
                                                const std::shared_ptr<Dictionary>& modiData) {
  return bills::UpdateUserNoteData(*this, sDsn, {bills::kBillFamily},
                                   &clsPrintSetupUpdate::GetSplitItem, fClassType, modiData);
}

Variant clsPrintSetupUpdateLM::UpdateUserNoteData(const std::string& sDsn, std::int32_t fClassType,
                                                  const std::shared_ptr<Dictionary>& modiData,
                                                  std::int32_t dataFrom) {
  return bills::UpdateUserNoteData(*this, sDsn, {bills::kPartitionedBillFamily, dataFrom},
                                   &clsPrintSetupUpdateLM::GetSplitItem, fClassType, modiData);
}

}  // namespace orvo
