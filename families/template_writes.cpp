#include "families/template_writes.hpp"

#include "families/text_command.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/component/classes.hpp"

namespace orvo::families {

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

// Today as the short date text that the rows' FDate takes.
Hole Today() {
  return {"today", Verbatim{Date::Now().ShortText()}};
}

}  // namespace

std::vector<Hole> With(std::vector<Hole> holes, std::initializer_list<Hole> more) {
  holes.insert(holes.end(), more);
  return holes;
}

const Dictionary& Required(const std::shared_ptr<Dictionary>& dictionary) {
  if (!dictionary) throw RuntimeError(kObjectNotSet);
  return *dictionary;
}

std::shared_ptr<Vector> InsertTemplate(PrintSetupObject& self, const std::string& sDsn,
                                       const InsertStatements& statements,
                                       const std::vector<Hole>& holes, std::int32_t key,
                                       const std::string& fNoteName, const Variant& fNoteBlob) {
  return component::MethodFrame::Run(self, kWriting, sDsn, [&](component::MethodContext& context) {
    ado::Connection& connection = context.Connection();
    const std::string user_name = context.UserName();
    // A template is the user's by its creator's name, and of the type by its
    // screen id (not by its bill type).
    const auto found = connection.Execute(FilledStatement(
        statements.lookup,
        With(holes, {{"userName", Quoted{user_name}}, {"name", Quoted{fNoteName}}})));
    std::int32_t id = 0;
    if (found->Eof()) {
      TextCommand insert(context.ConnectionPtr(), std::string(statements.templateInsert));
      AppendNewTemplate(insert, {.name = fNoteName,
                                 .screenId = std::to_string(key),
                                 .creator = user_name,
                                 .modifier = user_name,
                                 .type = key,
                                 .body = fNoteBlob,
                                 .userNameSize = statements.userNameSize});
      if (statements.partitioned) insert.Partition(holes);
      insert.Execute();
      id = NewIdentity(connection).value_or(0);
    } else {
      // Only the body changes; the template keeps its dates and modifier.
      id = CLng(found->Fields("FID").Value());
      TextCommand(context.ConnectionPtr(), Fill(statements.bodyUpdate, {{"id", id}}))
          .Input(ado::adLongVarBinary, ado::kLongBinarySize, fNoteBlob)
          .Execute();
    }
    connection.Execute(FilledStatement(
        statements.assignment,
        With(holes,
             {{"id", id}, Today(), {"name", Quoted{fNoteName}}, {"userId", context.UserID()}})));
    return std::make_shared<Vector>(std::vector<Variant>{id, key, fNoteName, fNoteBlob});
  });
}

Variant StoreChoices(PrintSetupUpdateObject& self, const std::string& sDsn,
                     const ChoiceStatements& statements, const std::vector<Hole>& holes,
                     const std::shared_ptr<Dictionary>& modiData) {
  return component::MethodFrame::Run(self, kWriting, sDsn, [&](component::MethodContext& context) {
    ado::Connection& connection = context.Connection();
    const std::int32_t user = context.UserID();
    const Dictionary& modi = Required(modiData);
    const std::string option = CStr(modi.Value("Option"));
    const auto choices = ObjectIn<Vector>(modi.Value("Data"), "modiData's \"Data\"", "Vector");

    if (connection
            .Execute(FilledStatement(statements.settingsRow, With(holes, {{"userId", user}})))
            ->Eof()) {
      connection.Execute(
          FilledStatement(statements.settingsInsert,
                          With(holes, {Today(), {"userId", user}, {"option", Quoted{option}}})));
    } else {
      connection.Execute(
          FilledStatement(statements.settingsUpdate,
                          With(holes, {{"option", Quoted{option}}, {"userId", context.UserID()}})));
    }

    const std::int32_t count = choices->Count();
    for (std::int32_t i = 1; i <= count; ++i) {
      const auto entry = ObjectIn<Dictionary>(
          choices->Item(i), "modiData's \"Data\" item " + std::to_string(i), "Dictionary");
      // "FKey" is "<type>|<template id>"; without an id the choice falls on
      // the settings row.
      const std::int32_t id =
          CLng(Variant(Val(self.GetSplitItem(CStr(entry->Value("FKey")), "|", 1))));
      const std::string sel = NumberText(entry->Value("FSel"));
      const std::string sub_type = CStr(entry->Value("FType"));
      const std::vector<Hole> choice = With(
          holes,
          {{"id", id}, {"userId", user}, {"sel", Verbatim{sel}}, {"subType", Quoted{sub_type}}});
      if (connection.Execute(FilledStatement(statements.choiceRow, choice))->Eof()) {
        const std::string name = CStr(entry->Value("FName"));
        connection.Execute(FilledStatement(statements.choiceInsert,
                                           With(choice, {Today(), {"name", Quoted{name}}})));
      } else {
        // Only the sub-type and the selection of an existing row change.
        connection.Execute(FilledStatement(statements.choiceUpdate, choice));
      }
    }
    return Variant();
  });
}

bool DeleteTemplate(PrintSetupObject& self, const std::string& sDsn,
                    const DeleteStatements& statements, const std::vector<Hole>& holes,
                    std::int32_t FID) {
  return component::MethodFrame::Run(self, kWriting, sDsn, [&](component::MethodContext& context) {
    const std::int32_t user = context.UserID();
    const std::string user_name = context.UserName();
    // The template goes only when it is the user's; the user's rows that
    // point at it go in any case.
    context.Connection().Execute(FilledStatement(
        statements.templateDelete, With(holes, {{"userName", Quoted{user_name}}, {"id", FID}})));
    context.Connection().Execute(
        FilledStatement(statements.rowsDelete, With(holes, {{"userId", user}, {"id", FID}})));
    return true;
  });
}

}  // namespace orvo::families
