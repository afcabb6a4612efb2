// GetPictureData of the three query classes: one binary value (a picture)
// from a business table that the caller names, returned as a byte array.

#include <memory>
#include <string>
#include <string_view>

#include "ado/chunk.hpp"
#include "ado/stream.hpp"
#include "bills/sql_names.hpp"
#include "component/frame.hpp"
#include "families/statement.hpp"
#include "orvo/ado/recordset.hpp"
#include "orvo/automation/conversions.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

// Neither votes: the host's unit of work is left as the caller had it.
constexpr component::MethodConvention kConvention{
    .completeAtEnd = false,
    .abortOnFailure = false,
    .failure = component::MethodConvention::Failure::PictureData,
    .source = "OrvoMPrintExport:GetPictureData"};

constexpr std::int32_t kChunk = 100;

std::string Entry(const Dictionary& info, std::string_view key) {
  const Variant value = info.Value(key);
  if (value.IsEmpty()) {
    throw AutomationError(ado::kErrFailure, kLibraryName,
                          "dctDataInfo has no \"" + std::string(key) + "\" entry.");
  }
  return CStr(value);
}

Variant ReadPictureData(component::MethodContext& context, const Dictionary& dctDataInfo) {
  const std::string table = Entry(dctDataInfo, "TableName");
  const std::string field = Entry(dctDataInfo, "FieldName");
  const std::string key_field = Entry(dctDataInfo, "PrimaryKeyField");
  const std::string key_value = Entry(dctDataInfo, "PrimaryKeyValue");
  // The statement may only read the named column of the row that the key
  // names, whatever the caller's texts hold.
  const auto named = bills::BusinessTable::Require(context.Connection(), "TableName", table);
  const std::string field_name = named.RequireColumn("FieldName", field);
  named.RequireColumn("PrimaryKeyField", key_field);
  bills::RequireLiteral(context.Connection(), "PrimaryKeyValue", key_value);

  ado::Recordset picture;
  picture.CursorLocation = ado::adUseServer;
  picture.LockType = ado::adLockReadOnly;
  using families::Verbatim;
  picture.Open(families::Fill("select {field} from {table}\r\n where {keyField}={keyValue}",
                              {{"field", Verbatim{field}},
                               {"table", Verbatim{table}},
                               {"keyField", Verbatim{key_field}},
                               {"keyValue", Verbatim{key_value}}}),
               context.ConnectionPtr());
  if (picture.Eof()) return Variant();

  ado::Stream stream;
  stream.Type = ado::adTypeBinary;
  stream.Open();
  ado::Field image = picture.Fields(field_name);
  const std::int32_t size = image.ActualSize();
  if (size == 0) return Variant();
  // Each chunk is borrowed from the row and taken by the stream as it comes:
  // a picture of ten megabytes is a hundred thousand chunks.
  for (std::int32_t offset = 0; offset <= size; offset += kChunk) {
    const std::int32_t remainder = size - offset;
    if (remainder > kChunk) {
      stream.Write(image.BorrowChunk(kChunk));
    } else if (remainder > 0) {
      stream.Write(image.BorrowChunk(remainder));
    }
  }
  stream.SetPosition(0);
  Variant bytes = stream.Read();
  stream.Close();
  return bytes;
}

template <class T>
Variant RunGetPictureData(T& self, const std::string& sDsn,
                          const std::shared_ptr<Dictionary>& dctDataInfo) {
  return component::MethodFrame::Run(self, kConvention, sDsn,
                                     [&](component::MethodContext& context) {
                                       if (!dctDataInfo) throw RuntimeError(kObjectNotSet);
                                       return ReadPictureData(context, *dctDataInfo);
                                     });
}

}  // namespace

Variant clsPrintSetupQuery::GetPictureData(const std::string& sDsn,
                                           const std::shared_ptr<Dictionary>& dctDataInfo) {
  return RunGetPictureData(*this, sDsn, dctDataInfo);
}

Variant clsPrintSetupQueryLM::GetPictureData(const std::string& sDsn,
                                             const std::shared_ptr<Dictionary>& dctDataInfo) {
  return RunGetPictureData(*this, sDsn, dctDataInfo);
}

Variant clsPrintSetupQueryRpt::GetPictureData(const std::string& sDsn,
                                              const std::shared_ptr<Dictionary>& dctDataInfo) {
  return RunGetPictureData(*this, sDsn, dctDataInfo);
}

}  // namespace orvo
