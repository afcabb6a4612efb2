#include "orvo/component/type_library.hpp"

#include <memory>

#include "orvo/automation/class_registry.hpp"
#include "orvo/automation/error.hpp"
#include "orvo/component/classes.hpp"

namespace orvo {

namespace {

using P = ParamType;

ParamInfo In(const char* name, ParamType type) {
  return ParamInfo{name, type, false, {}, false};
}

// Omitted, the parameter takes its type's default ("" or 0, Missing for a VARIANT).
ParamInfo Optional(const char* name, ParamType type) {
  return ParamInfo{name, type, true, {}, false};
}

ParamInfo ByRef(const char* name, ParamType type) {
  return ParamInfo{name, type, false, {}, true};
}

// Every member is given the thunk that calls its operation.
MemberInfo Method(const char* name, std::int32_t dispid, std::vector<ParamInfo> params,
                  ParamType result, MemberThunk thunk) {
  return MemberInfo{name, dispid, MemberKind::Method, std::move(params), result, thunk};
}

MemberInfo TransModeMember(MemberThunk thunk) {
  return MemberInfo{"TransMode", 0x68030000, MemberKind::PropertyGet, {}, P::Long, thunk};
}

template <class T>
T& Self(Dispatch& object) {
  return static_cast<T&>(object);
}

std::shared_ptr<Dictionary> DictionaryArg(const Variant& value) {
  auto dictionary = value.ObjectAs<Dictionary>();
  if (!dictionary) throw RuntimeError(kTypeMismatch);
  return dictionary;
}

std::shared_ptr<ado::Connection> ConnectionArg(const Variant& value) {
  auto connection = value.ObjectAs<ado::Connection>();
  if (!connection) throw RuntimeError(kTypeMismatch);
  return connection;
}

template <class T>
Variant GetPictureDataThunk(Dispatch& self, std::vector<Variant>& args) {
  return Self<T>(self).GetPictureData(args[0].AsString(), DictionaryArg(args[1]));
}

template <class T>
Variant TransModeThunk(Dispatch& self, std::vector<Variant>&) {
  return Variant(Self<T>(self).TransMode());
}

// Members that several classes share, the same but for their DISPID.

template <class T>
MemberInfo GetPictureDataMember(std::int32_t dispid) {
  return Method("GetPictureData", dispid, {In("sDsn", P::String), In("dctDataInfo", P::Dictionary)},
                P::Variant, &GetPictureDataThunk<T>);
}

template <class T>
MemberInfo GetRptNoteInfoMember(std::int32_t dispid) {
  return Method("GetRptNoteInfo", dispid, {In("sDsn", P::String), In("rptId", P::Long)},
                P::Dictionary, [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                  return Self<T>(self).GetRptNoteInfo(args[0].AsString(), args[1].AsLong());
                });
}

template <class T>
MemberInfo CopyRptManagerNoteInfoMember(std::int32_t dispid) {
  return Method("CopyRptManagerNoteInfo", dispid,
                {ByRef("cn", P::Connection), In("rptId", P::Long), In("UserID", P::Long),
                 In("userName", P::String)},
                P::None, [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                  Self<T>(self).CopyRptManagerNoteInfo(ConnectionArg(args[0]), args[1].AsLong(),
                                                       args[2].AsLong(), args[3].AsString());
                  return Variant();
                });
}

template <class T>
MemberInfo GetRptNotePrintDataMember(std::int32_t dispid) {
  return Method("GetRptNotePrintData", dispid,
                {In("sDsn", P::String), In("rptId", P::Long), Optional("FSubType", P::String)},
                P::Dictionary, [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                  return Self<T>(self).GetRptNotePrintData(args[0].AsString(), args[1].AsLong(),
                                                           args[2].AsString());
                });
}

template <class T>
MemberInfo UpdatePrintCountMember(std::int32_t dispid) {
  return Method("UpdatePrintCount", dispid, {In("sDsn", P::String), In("dctPCData", P::Dictionary)},
                P::None, [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                  Self<T>(self).UpdatePrintCount(args[0].AsString(), DictionaryArg(args[1]));
                  return Variant();
                });
}

template <class T>
MemberInfo AddBarCodeTemplateMember() {
  return Method("AddBarCodeTemplate", 0x6003000C,
                {In("sDsn", P::String), In("fClassType", P::Long), In("fNoteName", P::String),
                 In("fNoteBlob", P::Variant), Optional("sUserId", P::String),
                 Optional("sBillId", P::Long), Optional("vParam", P::Variant)},
                P::Dictionary, [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                  return Self<T>(self).AddBarCodeTemplate(
                      args[0].AsString(), args[1].AsLong(), args[2].AsString(), args[3],
                      args[4].AsString(), args[5].AsLong(), args[6]);
                });
}

template <class T>
MemberInfo DeleteBarCodeTemplateMember() {
  return Method("DeleteBarCodeTemplate", 0x6003000D, {In("sDsn", P::String), In("FID", P::Long)},
                P::Boolean, [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                  return Self<T>(self).DeleteBarCodeTemplate(args[0].AsString(), args[1].AsLong());
                });
}

template <class T>
MemberInfo DeleteRptNoteRowMember(std::int32_t dispid) {
  return Method("DeleteRptNoteRow", dispid,
                {In("sDsn", P::String), In("fRptId", P::Long), In("FID", P::Long)}, P::Boolean,
                [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                  return Self<T>(self).DeleteRptNoteRow(args[0].AsString(), args[1].AsLong(),
                                                        args[2].AsLong());
                });
}

template <class T>
MemberInfo InsertRptNoteRowMember(std::int32_t dispid) {
  return Method("InsertRptNoteRow", dispid,
                {In("sDsn", P::String), In("fRptId", P::Long), In("fNoteName", P::String),
                 In("fNoteBlob", P::Variant)},
                P::Vector, [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                  return Self<T>(self).InsertRptNoteRow(args[0].AsString(), args[1].AsLong(),
                                                        args[2].AsString(), args[3]);
                });
}

template <class T>
MemberInfo UpdateUserRptNoteDataMember(std::int32_t dispid) {
  return Method("UpdateUserRptNoteData", dispid,
                {In("sDsn", P::String), In("fRptId", P::Long), In("modiData", P::Dictionary)},
                P::Variant, [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                  return Self<T>(self).UpdateUserRptNoteData(args[0].AsString(), args[1].AsLong(),
                                                             DictionaryArg(args[2]));
                });
}

template <class T>
std::function<std::shared_ptr<Dispatch>()> Creator() {
  return [] { return std::make_shared<T>(); };
}

const ClassInfo& QueryClass() {
  static const ClassInfo info{
      "clsPrintSetupQuery",
      "{0338DDFC-4C69-41F8-9011-77D3F24B71A2}",
      "_clsPrintSetupQuery",
      "{5CD298F4-EB75-49DC-BBD0-4C0560B61191}",
      "OrvoMPrintExport.clsPrintSetupQuery",
      {
          Method("GetCurrNote", 0x60030002, {In("sDsn", P::String), In("fClssTypeId", P::Long)},
                 P::Dictionary,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupQuery>(self).GetCurrNote(args[0].AsString(),
                                                                     args[1].AsLong());
                 }),
          Method("CopyManagerNoteInfo", 0x60030003,
                 {ByRef("cn", P::Connection), In("classTypeId", P::Long), In("UserID", P::Long),
                  In("userName", P::String)},
                 P::None,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   Self<clsPrintSetupQuery>(self).CopyManagerNoteInfo(
                       ConnectionArg(args[0]), args[1].AsLong(), args[2].AsLong(),
                       args[3].AsString());
                   return Variant();
                 }),
          Method("GetNoteInfo", 0x60030004, {In("sDsn", P::String), In("classTypeId", P::Long)},
                 P::Dictionary,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupQuery>(self).GetNoteInfo(args[0].AsString(),
                                                                     args[1].AsLong());
                 }),
          Method(
              "GetNotePrintData", 0x60030005,
              {In("sDsn", P::String), In("fClassTypeId", P::Long), Optional("FSubType", P::String)},
              P::Dictionary,
              [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                return Self<clsPrintSetupQuery>(self).GetNotePrintData(
                    args[0].AsString(), args[1].AsLong(), args[2].AsString());
              }),
          Method("GetPageAndPrintSet", 0x60030006,
                 {In("sDsn", P::String), In("fClassTypeId", P::Long)}, P::Dictionary,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupQuery>(self).GetPageAndPrintSet(args[0].AsString(),
                                                                            args[1].AsLong());
                 }),
          GetPictureDataMember<clsPrintSetupQuery>(0x60030007),
          GetRptNoteInfoMember<clsPrintSetupQuery>(0x6003000B),
          CopyRptManagerNoteInfoMember<clsPrintSetupQuery>(0x6003000C),
          GetRptNotePrintDataMember<clsPrintSetupQuery>(0x6003000D),
      },
      Creator<clsPrintSetupQuery>(),
  };
  return info;
}

const ClassInfo& UpdateClass() {
  static const ClassInfo info{
      "clsPrintSetupUpdate",
      "{B7A111D9-60D7-4F02-B0B4-051BC3A33AD3}",
      "_clsPrintSetupUpdate",
      "{327F0A1C-AE1F-43F7-8F54-16D231E62928}",
      "OrvoMPrintExport.clsPrintSetupUpdate",
      {
          TransModeMember(&TransModeThunk<clsPrintSetupUpdate>),
          Method("DeleteNoteRow", 0x60030003,
                 {In("sDsn", P::String), In("fClassType", P::Long), In("FID", P::Long)}, P::Boolean,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupUpdate>(self).DeleteNoteRow(
                       args[0].AsString(), args[1].AsLong(), args[2].AsLong());
                 }),
          Method("InsertNoteRow", 0x60030004,
                 {In("sDsn", P::String), In("fClassType", P::Long), In("fNoteName", P::String),
                  In("fNoteBlob", P::Variant)},
                 P::Vector,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupUpdate>(self).InsertNoteRow(
                       args[0].AsString(), args[1].AsLong(), args[2].AsString(), args[3]);
                 }),
          Method("SaveNewBill", 0x60030005,
                 {In("sDsn", P::String), In("fClassType", P::Long), In("dctData", P::Dictionary)},
                 P::Boolean,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupUpdate>(self).SaveNewBill(
                       args[0].AsString(), args[1].AsLong(), DictionaryArg(args[2]));
                 }),
          Method(
              "SavePageAndPrintSet", 0x60030006,
              {In("sDsn", P::String), In("fClassTypeId", P::Long), In("printSetValue", P::Variant)},
              P::None,
              [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                Self<clsPrintSetupUpdate>(self).SavePageAndPrintSet(args[0].AsString(),
                                                                    args[1].AsLong(), args[2]);
                return Variant();
              }),
          Method("UpdateNoteRow", 0x60030007,
                 {In("sDsn", P::String), In("fClassType", P::Long), In("fNoteBlob", P::Variant),
                  Optional("sNoteName", P::String)},
                 P::Variant,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupUpdate>(self).UpdateNoteRow(
                       args[0].AsString(), args[1].AsLong(), args[2], args[3].AsString());
                 }),
          UpdatePrintCountMember<clsPrintSetupUpdate>(0x60030008),
          Method("UpdateUserNoteData", 0x60030009,
                 {In("sDsn", P::String), In("fClassType", P::Long), In("modiData", P::Dictionary)},
                 P::Variant,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupUpdate>(self).UpdateUserNoteData(
                       args[0].AsString(), args[1].AsLong(), DictionaryArg(args[2]));
                 }),
          AddBarCodeTemplateMember<clsPrintSetupUpdate>(),
          DeleteBarCodeTemplateMember<clsPrintSetupUpdate>(),
          DeleteRptNoteRowMember<clsPrintSetupUpdate>(0x60030012),
          InsertRptNoteRowMember<clsPrintSetupUpdate>(0x60030013),
          UpdateUserRptNoteDataMember<clsPrintSetupUpdate>(0x60030014),
      },
      Creator<clsPrintSetupUpdate>(),
  };
  return info;
}

const ClassInfo& QueryLMClass() {
  static const ClassInfo info{
      "clsPrintSetupQueryLM",
      "{F2DC903C-DEDD-4A80-A0C6-D182F3FAF3C6}",
      "_clsPrintSetupQueryLM",
      "{33C29F46-634D-4B1D-A1BD-BB309F7D5896}",
      "OrvoMPrintExport.clsPrintSetupQueryLM",
      {
          Method("GetCurrNote", 0x60030002,
                 {In("sDsn", P::String), In("fClssTypeId", P::Long), In("dataFrom", P::Long)},
                 P::Dictionary,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupQueryLM>(self).GetCurrNote(
                       args[0].AsString(), args[1].AsLong(), args[2].AsLong());
                 }),
          Method("CopyManagerNoteInfo", 0x60030003,
                 {ByRef("cn", P::Connection), In("classTypeId", P::Long), In("UserID", P::Long),
                  In("userName", P::String), In("dataFrom", P::Long)},
                 P::None,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   Self<clsPrintSetupQueryLM>(self).CopyManagerNoteInfo(
                       ConnectionArg(args[0]), args[1].AsLong(), args[2].AsLong(),
                       args[3].AsString(), args[4].AsLong());
                   return Variant();
                 }),
          Method("GetNoteInfo", 0x60030004,
                 {In("sDsn", P::String), In("classTypeId", P::Long), In("dataFrom", P::Long)},
                 P::Dictionary,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupQueryLM>(self).GetNoteInfo(
                       args[0].AsString(), args[1].AsLong(), args[2].AsLong());
                 }),
          Method("GetNotePrintData", 0x60030005,
                 {In("sDsn", P::String), In("fClassTypeId", P::Long), In("dataFrom", P::Long),
                  Optional("FSubType", P::String)},
                 P::Dictionary,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupQueryLM>(self).GetNotePrintData(
                       args[0].AsString(), args[1].AsLong(), args[2].AsLong(), args[3].AsString());
                 }),
          Method("GetPageAndPrintSet", 0x60030006,
                 {In("sDsn", P::String), In("fClassTypeId", P::Long), In("dataFrom", P::Long)},
                 P::Dictionary,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupQueryLM>(self).GetPageAndPrintSet(
                       args[0].AsString(), args[1].AsLong(), args[2].AsLong());
                 }),
          GetPictureDataMember<clsPrintSetupQueryLM>(0x60030007),
      },
      Creator<clsPrintSetupQueryLM>(),
  };
  return info;
}

const ClassInfo& UpdateLMClass() {
  static const ClassInfo info{
      "clsPrintSetupUpdateLM",
      "{82EB896E-BAD4-4A7A-B03F-60D469A3F67F}",
      "_clsPrintSetupUpdateLM",
      "{C2271C1A-03B9-4993-A580-31350806C7E1}",
      "OrvoMPrintExport.clsPrintSetupUpdateLM",
      {
          TransModeMember(&TransModeThunk<clsPrintSetupUpdateLM>),
          Method("DeleteNoteRow", 0x60030003,
                 {In("sDsn", P::String), In("fClassType", P::Long), In("FID", P::Long),
                  In("dataFrom", P::Long)},
                 P::Boolean,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupUpdateLM>(self).DeleteNoteRow(
                       args[0].AsString(), args[1].AsLong(), args[2].AsLong(), args[3].AsLong());
                 }),
          Method("InsertNoteRow", 0x60030004,
                 {In("sDsn", P::String), In("fClassType", P::Long), In("fNoteName", P::String),
                  In("fNoteBlob", P::Variant), In("dataFrom", P::Long)},
                 P::Vector,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupUpdateLM>(self).InsertNoteRow(
                       args[0].AsString(), args[1].AsLong(), args[2].AsString(), args[3],
                       args[4].AsLong());
                 }),
          Method("SaveNewBill", 0x60030005,
                 {In("sDsn", P::String), In("fClassType", P::Long), In("dctData", P::Dictionary),
                  In("dataFrom", P::Long)},
                 P::Boolean,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupUpdateLM>(self).SaveNewBill(
                       args[0].AsString(), args[1].AsLong(), DictionaryArg(args[2]),
                       args[3].AsLong());
                 }),
          Method("SavePageAndPrintSet", 0x60030006,
                 {In("sDsn", P::String), In("fClassTypeId", P::Long),
                  In("printSetValue", P::Variant), In("dataFrom", P::Long)},
                 P::None,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   Self<clsPrintSetupUpdateLM>(self).SavePageAndPrintSet(
                       args[0].AsString(), args[1].AsLong(), args[2], args[3].AsLong());
                   return Variant();
                 }),
          Method("UpdateNoteRow", 0x60030007,
                 {In("sDsn", P::String), In("fClassType", P::Long), In("fNoteBlob", P::Variant),
                  In("dataFrom", P::Long), Optional("sNoteName", P::String)},
                 P::Variant,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupUpdateLM>(self).UpdateNoteRow(
                       args[0].AsString(), args[1].AsLong(), args[2], args[3].AsLong(),
                       args[4].AsString());
                 }),
          UpdatePrintCountMember<clsPrintSetupUpdateLM>(0x60030008),
          Method("UpdateUserNoteData", 0x60030009,
                 {In("sDsn", P::String), In("fClassType", P::Long), In("modiData", P::Dictionary),
                  In("dataFrom", P::Long)},
                 P::Variant,
                 [](Dispatch& self, std::vector<Variant>& args) -> Variant {
                   return Self<clsPrintSetupUpdateLM>(self).UpdateUserNoteData(
                       args[0].AsString(), args[1].AsLong(), DictionaryArg(args[2]),
                       args[3].AsLong());
                 }),
          AddBarCodeTemplateMember<clsPrintSetupUpdateLM>(),
          DeleteBarCodeTemplateMember<clsPrintSetupUpdateLM>(),
      },
      Creator<clsPrintSetupUpdateLM>(),
  };
  return info;
}

const ClassInfo& QueryRptClass() {
  static const ClassInfo info{
      "clsPrintSetupQueryRpt",
      "{6FE60FA6-AEB4-4C90-BF69-09598BB1180A}",
      "_clsPrintSetupQueryRpt",
      "{061C8690-95E3-4479-9E5E-0E2AC7A9BDC5}",
      "OrvoMPrintExport.clsPrintSetupQueryRpt",
      {
          GetPictureDataMember<clsPrintSetupQueryRpt>(0x60030002),
          GetRptNoteInfoMember<clsPrintSetupQueryRpt>(0x60030004),
          CopyRptManagerNoteInfoMember<clsPrintSetupQueryRpt>(0x60030005),
          GetRptNotePrintDataMember<clsPrintSetupQueryRpt>(0x60030006),
      },
      Creator<clsPrintSetupQueryRpt>(),
  };
  return info;
}

const ClassInfo& UpdateRptClass() {
  static const ClassInfo info{
      "clsPrintSetupUpdateRpt",
      "{E78EBCE2-2403-4014-A8F7-6EE4B3D846A5}",
      "_clsPrintSetupUpdateRpt",
      "{FBA2733F-3151-47A6-BB31-E00744072E97}",
      "OrvoMPrintExport.clsPrintSetupUpdateRpt",
      {
          TransModeMember(&TransModeThunk<clsPrintSetupUpdateRpt>),
          UpdatePrintCountMember<clsPrintSetupUpdateRpt>(0x60030003),
          DeleteRptNoteRowMember<clsPrintSetupUpdateRpt>(0x60030006),
          InsertRptNoteRowMember<clsPrintSetupUpdateRpt>(0x60030007),
          UpdateUserRptNoteDataMember<clsPrintSetupUpdateRpt>(0x60030008),
      },
      Creator<clsPrintSetupUpdateRpt>(),
  };
  return info;
}

// Linking the classes makes them creatable by ProgID, in the shared library
// and in any program that links the component statically. This runs while
// the library loads, where an exception would end the host's process: a
// registration that fails here (out of memory) leaves the classes
// unregistered until DllRegisterServer registers them again.
const bool classes_registered = []() noexcept {
  try {
    RegisterComponentClasses();
    return true;
  } catch (...) {
    return false;
  }
}();

}  // namespace

const TypeLibInfo& TypeLibrary() {
  static const TypeLibInfo info{
      "OrvoMPrintExport",
      "{66C9AD08-8B70-4B4A-9487-E73B85BBB233}",
      1,
      2,
      0x409,
      {&QueryClass(), &UpdateClass(), &QueryLMClass(), &UpdateLMClass(), &QueryRptClass(),
       &UpdateRptClass()},
  };
  return info;
}

void RegisterComponentClasses() {
  RegisterCollectionClasses();
  for (const ClassInfo* info : TypeLibrary().classes) ClassRegistry::Instance().Register(*info);
}

const ClassInfo& clsPrintSetupQuery::TypeInfo() const {
  return QueryClass();
}
const ClassInfo& clsPrintSetupUpdate::TypeInfo() const {
  return UpdateClass();
}
const ClassInfo& clsPrintSetupQueryLM::TypeInfo() const {
  return QueryLMClass();
}
const ClassInfo& clsPrintSetupUpdateLM::TypeInfo() const {
  return UpdateLMClass();
}
const ClassInfo& clsPrintSetupQueryRpt::TypeInfo() const {
  return QueryRptClass();
}
const ClassInfo& clsPrintSetupUpdateRpt::TypeInfo() const {
  return UpdateRptClass();
}

}  // namespace orvo
