// Every text argument of every member, given hostile texts, called late-bound
// by name as a scripting host calls: quotes, comment and statement
// separators, an injected statement, a NUL inside, malformed UTF-8, a
// megabyte, Chinese and characters beyond the basic plane, the empty text.
// Each call either succeeds, and what it stores reads back exactly, or is
// refused with an error a person can read; it never changes another user's
// rows nor shows them, whatever the text does to a statement.
//
// The table of targets is the data: one row per member and text argument,
// run on every family that has the member and on every backend. The data
// source text of every member is swept as well: as a whole, as the value of
// a key, and added to the value that names the store.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "orvo/automation/conversions.hpp"
#include "orvo/store/schema.hpp"
#include "support/families.hpp"

namespace orvo {
namespace {

using testing::Family;
using testing::kBills;
using testing::kPartitioned;
using testing::kReportClass;
using testing::kReports;

// Another user, whose rows no call of the signed-in user may change or show.
constexpr std::int16_t kOther = 8;
constexpr const char* kSecret = "OtherSecret";
constexpr std::int16_t kCaller = 7;

struct Hostile {
  const char* name;
  std::string text;
};

std::string Megabyte() {
  std::string text;
  while (text.size() < (1u << 20)) text += "O'Brien; -- [x] \"y\" 中 ";
  return text;
}

const std::vector<Hostile>& HostileTexts() {
  static const std::vector<Hostile> texts = {
      {"single quote", "O'Brien"},
      {"lone quote", "'"},
      {"double quote", "say \"hi\""},
      {"bracket", "a]b"},
      {"comment", "--"},
      {"semicolon", ";"},
      {"injected statement", "'; drop table T_PrintExport; --"},
      {"always true", "x' or 1=1 or 'a'='"},
      // Leading: a value cut at the NUL would be what stands before it.
      {"NUL inside", std::string("\0a'b", 4)},
      {"malformed UTF-8", "ab\xff\xfe"},
      {"cut UTF-8", "ab\xe4\xb8"},
      {"a megabyte", Megabyte()},
      {"Chinese", "套打模板：发票"},
      {"beyond the basic plane", "🧾😀𠀀"},
      {"empty", ""},
  };
  return texts;
}

// The characters of a UTF-8 text: its bytes that begin one.
std::size_t Characters(const std::string& text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// What a row's call is given.
struct At {
  std::string dsn;
  ado::Connection& db;
  const Family& family;
  int serial;  // of this call alone: a template id and a user nobody else has
};

using CallFn = std::function<Variant(const At&, const std::string& value)>;
// The text as the member stored it, read after it succeeded.
using StoredFn = Variant (*)(const At&, const Variant& result);

struct Target {
  const char* member;
  const char* argument;  // "sDsn": the data source text, as a whole and as a key's value
  std::vector<const Family*> families;
  CallFn call;
  StoredFn stored = nullptr;
  const char* plain = "Plain";  // a well-formed value, which the call must take
  bool business = false;        // a name or value for a business table: no hostile text passes
};

Variant Invoke(const char* className, const std::string& member, std::vector<Variant> args) {
  return CreateObject(std::string("OrvoMPrintExport.") + className)->Invoke(member, args);
}

Variant Scalar(ado::Connection& db, const std::string& text) {
  auto rows = db.Execute(text);
  return rows->Eof() ? Variant() : rows->Fields(0).Value();
}

Bytes Body() {
  return Bytes{'b', 'o', 'd', 'y'};
}

std::int32_t TemplateId(const At& at) {
  return 1000 + at.serial;
}

using Texts = std::vector<std::pair<const char*, std::string>>;

// `texts` with `value` under `key`, where it has that key.
Texts With(Texts texts, const char* key, const std::string& value) {
  for (auto& [name, text] : texts) {
    if (std::string_view(name) == key) text = value;
  }
  return texts;
}

std::shared_ptr<Dictionary> Dict(const Texts& texts) {
  auto dictionary = std::make_shared<Dictionary>();
  for (const auto& [key, value] : texts) dictionary->SetValue(key, value);
  return dictionary;
}

// The choices of UpdateUser%NoteData, `key` holding `value`: an option text
// and one entry, for a template id of this call's own unless FKey says
// otherwise.
Variant Choose(const At& at, const char* key, const std::string& value) {
  const Texts entry = With({{"FKey", "k|" + std::to_string(TemplateId(at))},
                            {"FName", "Plain"},
                            {"FSel", "1"},
                            {"FType", "Plain"}},
                           key, value);
  auto modiData = Dict(With({{"Option", "Plain"}}, key, value));
  modiData->SetObject("Data", std::make_shared<Vector>(std::vector<Variant>{Variant(Dict(entry))}));
  return at.family.Choose(at.dsn, modiData);
}

// The values of GetPictureData and UpdatePrintCount: well-formed names of
// the business table t_Bill, `key` holding `value`.
std::shared_ptr<Dictionary> Picture(const char* key, const std::string& value) {
  return Dict(With({{"TableName", "t_Bill"},
                    {"FieldName", "FImage"},
                    {"PrimaryKeyField", "FInterID"},
                    {"PrimaryKeyValue", "1"}},
                   key, value));
}
std::shared_ptr<Dictionary> Counter(const char* key, const std::string& value) {
  return Dict(With({{"TableName", "t_Bill"},
                    {"FieldName", "FPrintCount"},
                    {"PriKey", "FInterID"},
                    {"InterIDs", "1"}},
                   key, value));
}

// A column of the newest template (that `where` selects), or of the
// caller's row for this call's template id.
Variant NewestTemplate(const At& at, const std::string& column, const std::string& where = "1=1") {
  const char* notes = at.family.tables.notes;
  return Scalar(at.db, "select " + column + " from " + notes + " where FId=(select max(FId) from " +
                           notes + " where " + where + ")");
}
Variant CallersRow(const At& at, const std::string& column, std::int32_t id) {
  const testing::TemplateTables& t = at.family.tables;
  return Scalar(at.db, "select " + column + " from " + t.rows + " where " + t.keyColumn +
                           "=28 and " + t.idColumn + "=" + std::to_string(id) +
                           " and FPreparerId=7 and " + t.Scope());
}

Variant SignedIn(std::int16_t user, const std::string& name, const std::function<Variant()>& call) {
  host::ServiceHub::Current()->SignIn(user, name);
  return call();
}

const std::vector<const Family*> kEveryFamily = {&kBills, &kPartitioned, &kReports, &kReportClass};
const std::vector<const Family*> kBillFamilies = {&kBills, &kPartitioned};
// The classes that have GetPictureData and UpdatePrintCount.
const std::vector<const Family*> kBusinessClasses = {&kBills, &kPartitioned, &kReportClass};

// GetPictureData or UpdatePrintCount (`member`) with the names of t_Bill,
// `key` holding `value`.
Variant WithNames(const At& at, std::string_view member, const char* key,
                  const std::string& value) {
  if (member == "GetPictureData") {
    return Invoke(at.family.query, "GetPictureData", {at.dsn, Variant(Picture(key, value))});
  }
  return Invoke(at.family.update, "UpdatePrintCount", {at.dsn, Variant(Counter(key, value))});
}

// A name or value for the business table, in the classes that have `member`.
Target Business(const char* member, const char* key, const char* plain) {
  return {
      member,
      key,
      kBusinessClasses,
      [member, key](const At& at, const std::string& v) { return WithNames(at, member, key, v); },
      nullptr,
      plain,
      true};
}

const Target kTargets[] = {
    {"GetCurrNote", "sDsn", kBillFamilies,
     [](const At& at, const std::string&) {
       return at.family.Call(at.family.query, "GetCurrNote", {at.dsn, 28});
     }},
    {"Get%NoteInfo", "signed-in user name", kEveryFamily,
     [](const At& at, const std::string& v) {
       return SignedIn(static_cast<std::int16_t>(100 + at.serial), v,
                       [&] { return Variant(at.family.List(at.dsn)); });
     },
     [](const At& at, const Variant&) { return NewestTemplate(at, "FCreatorName"); }},
    {"Get%NotePrintData", "FSubType", kEveryFamily,
     [](const At& at, const std::string& v) { return Variant(at.family.PrintData(at.dsn, v)); }},
    {"GetPageAndPrintSet", "sDsn", kBillFamilies,
     [](const At& at, const std::string&) {
       return at.family.Call(at.family.query, "GetPageAndPrintSet", {at.dsn, 28});
     }},
    {"Copy%ManagerNoteInfo", "userName", kEveryFamily,
     [](const At& at, const std::string& v) {
       at.family.Copy(host::ServiceHub::Current()->PooledConnection(at.dsn), 100 + at.serial, v);
       return Variant();
     },
     [](const At& at, const Variant&) { return NewestTemplate(at, "FCreatorName"); }},
    {"Insert%NoteRow", "fNoteName", kEveryFamily,
     [](const At& at, const std::string& v) {
       return Variant(at.family.Insert(at.dsn, v, Body()));
     },
     [](const At& at, const Variant&) { return NewestTemplate(at, "FName"); }},
    {"Insert%NoteRow", "signed-in user name", kEveryFamily,
     [](const At& at, const std::string& v) {
       return SignedIn(kCaller, v, [&] {
         return Variant(at.family.Insert(at.dsn, "Signed " + std::to_string(at.serial), Body()));
       });
     },
     [](const At& at, const Variant&) { return NewestTemplate(at, "FCreatorName"); }},
    {"UpdateUser%NoteData", "Option", kEveryFamily,
     [](const At& at, const std::string& v) { return Choose(at, "Option", v); },
     [](const At& at, const Variant&) { return CallersRow(at, "FData", 0); }},
    {"UpdateUser%NoteData", "FKey", kEveryFamily,
     [](const At& at, const std::string& v) { return Choose(at, "FKey", v); }},
    {"UpdateUser%NoteData", "FName", kEveryFamily,
     [](const At& at, const std::string& v) { return Choose(at, "FName", v); },
     [](const At& at, const Variant&) { return CallersRow(at, "FName", TemplateId(at)); }},
    {"UpdateUser%NoteData", "FSel", kEveryFamily,
     [](const At& at, const std::string& v) { return Choose(at, "FSel", v); }, nullptr, "1"},
    {"UpdateUser%NoteData", "FType", kEveryFamily,
     [](const At& at, const std::string& v) { return Choose(at, "FType", v); },
     [](const At& at, const Variant&) {
       return CallersRow(at, at.family.tables.subTypeColumn, TemplateId(at));
     }},
    {"Delete%NoteRow", "signed-in user name", kEveryFamily,
     [](const At& at, const std::string& v) {
       return SignedIn(kCaller, v, [&] { return Variant(at.family.Remove(at.dsn, 1)); });
     }},
    {"SaveNewBill", "fNoteName", kBillFamilies,
     [](const At& at, const std::string& v) {
       auto data = std::make_shared<Dictionary>();
       data->SetValue("fNoteName", v);
       data->SetValue("FNoteBlob", Body());
       return at.family.Call(at.family.update, "SaveNewBill", {at.dsn, 28, Variant(data)});
     },
     [](const At& at, const Variant&) { return NewestTemplate(at, "FName"); }},
    {"SaveNewBill", "Username", kBillFamilies,
     [](const At& at, const std::string& v) {
       auto data = Dict({{"fNoteName", "Saved"}, {"Username", v}});
       return at.family.Call(at.family.update, "SaveNewBill", {at.dsn, 28, Variant(data)});
     }},
    {"UpdateNoteRow", "sNoteName", kBillFamilies,
     [](const At& at, const std::string& v) {
       return at.family.Call(at.family.update, "UpdateNoteRow", {at.dsn, 28, Body()}, {v});
     }},
    {"UpdateNoteRow", "signed-in user name", kBillFamilies,
     [](const At& at, const std::string& v) {
       return SignedIn(kCaller, v, [&] {
         return at.family.Call(at.family.update, "UpdateNoteRow", {at.dsn, 28, Body()},
                               {"Invoice"});
       });
     },
     [](const At& at, const Variant&) {
       return NewestTemplate(at, "FModifierName",
                             "FName='Invoice' and " + at.family.tables.Scope());
     }},
    {"SavePageAndPrintSet", "sDsn", kBillFamilies,
     [](const At& at, const std::string&) {
       return at.family.Call(at.family.update, "SavePageAndPrintSet", {at.dsn, 28, Body()});
     }},
    {"AddBarCodeTemplate", "fNoteName", kBillFamilies,
     [](const At& at, const std::string& v) {
       return Invoke(at.family.update, "AddBarCodeTemplate", {at.dsn, 28, v, Body()});
     },
     [](const At& at, const Variant& result) {
       return Scalar(at.db, "select FName from " + std::string(at.family.tables.rows) +
                                " where FId=" + CStr(result.ObjectAs<Dictionary>()->Value("FID")));
     }},
    {"AddBarCodeTemplate", "sUserId", kBillFamilies,
     [](const At& at, const std::string& v) {
       return Invoke(at.family.update, "AddBarCodeTemplate",
                     {at.dsn, 28, "Label " + std::to_string(at.serial), Body(), v});
     },
     [](const At&, const Variant& result) {
       return result.ObjectAs<Dictionary>()->Value("FUserId");
     }},
    {"DeleteBarCodeTemplate", "sDsn", kBillFamilies,
     [](const At& at, const std::string&) {
       return Invoke(at.family.update, "DeleteBarCodeTemplate", {at.dsn, 999999});
     }},
    Business("GetPictureData", "TableName", "t_Bill"),
    Business("GetPictureData", "FieldName", "FImage"),
    Business("GetPictureData", "PrimaryKeyField", "FInterID"),
    Business("GetPictureData", "PrimaryKeyValue", "1"),
    Business("UpdatePrintCount", "TableName", "t_Bill"),
    Business("UpdatePrintCount", "FieldName", "FPrintCount"),
    Business("UpdatePrintCount", "PriKey", "FInterID"),
    Business("UpdatePrintCount", "InterIDs", "1"),
};

// One row of the table on one family; `sDsn` set for the sweep of the data
// source text of a row whose member has no row of its own for it.
struct Case {
  const Target* target;
  const Family* family;
  bool sDsn;

  bool SweepsDsn() const { return sDsn || std::string_view(target->argument) == "sDsn"; }
  std::string Name() const {
    std::string name =
        std::string(family->name) + target->member + "_" + (sDsn ? "sDsn" : target->argument);
    std::erase_if(name,
                  [](char c) { return !std::isalnum(static_cast<unsigned char>(c)) && c != '_'; });
    return name;
  }
};

std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (const Target& target : kTargets) {
    const bool firstOfMember =
        &target == kTargets || std::string_view(target.member) != (&target - 1)->member;
    for (const Family* family : target.families) {
      cases.push_back({&target, family, false});
      if (firstOfMember && std::string_view(target.argument) != "sDsn")
        cases.push_back({&target, family, true});
    }
  }
  return cases;
}

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.Name();
}

// Whether a result holds `text` anywhere: in a key, a text or bytes, also
// inside the collections it holds.
bool Mentions(const Variant& value, std::string_view text) {
  if (value.kind() == Variant::Kind::String)
    return value.AsString().find(text) != std::string::npos;
  if (value.kind() == Variant::Kind::Bytes) {
    const ByteSpan bytes = value.AsBytes();
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()).find(text) !=
           std::string_view::npos;
  }
  if (auto dictionary = value.ObjectAs<Dictionary>()) {
    for (const auto& [key, item] : dictionary->Entries()) {
      if (key.find(text) != std::string::npos || Mentions(item, text)) return true;
    }
  }
  if (auto vector = value.ObjectAs<Vector>()) {
    for (std::int32_t i = 1; i <= vector->Count(); ++i) {
      if (Mentions(vector->Item(i), text)) return true;
    }
  }
  return false;
}

// A store with the business tables t_Bill and t_Other, one bill in each.
template <class Fixture>
class WithBusinessTables : public Fixture {
 protected:
  void SetUp() override {
    Fixture::SetUp();
    if (this->IsSkipped()) return;
    const std::string bytes(store::BinaryColumnType(this->Db()));
    for (const char* table : {"t_Bill", "t_Other"}) {
      this->Exec(std::string("create table ") + table +
                 " (FInterID integer, FNumber varchar(20), FPrintCount integer, FImage " + bytes +
                 ")");
      this->Exec(std::string("insert into ") + table + " values (1, 'B1', 3, ?)",
                 {Variant(Bytes{1, 2})});
    }
  }
};

class BadInputTest : public WithBusinessTables<testing::StoreFixture>,
                     public ::testing::WithParamInterface<std::tuple<testing::Backend, Case>> {
 protected:
  const testing::Backend& StoreBackend() const override { return std::get<0>(GetParam()); }
  const Case& C() const { return std::get<1>(GetParam()); }

  void SetUp() override {
    WithBusinessTables::SetUp();
    if (IsSkipped()) return;
    for (const testing::TemplateTables& t :
         {testing::kBillTables, testing::kBillTablesLM, testing::kReportTables}) {
      SeedManagersTemplate(t, 28, "Invoice", Variant(Body()), 1);
      // The other user's template, his rows and his settings.
      const std::int32_t id = SeedTemplate(t, 29, kSecret, Variant(Bytes(kSecret, kSecret + 11)),
                                           {{"FCreatorName", "Bob"}});
      SeedAssignment(t, 28, id, kOther, kSecret, 1, kSecret);
      SeedAssignment(t, 29, id, kOther, kSecret, 1, kSecret);
      SeedSettingsRow(t, 28, kOther, Variant(Bytes(kSecret, kSecret + 11)), kSecret);
    }
  }

  // Every row of the other user in the six tables, and the business table
  // that no call names.
  std::string OthersRows() {
    std::string rows;
    for (const testing::TemplateTables& t :
         {testing::kBillTables, testing::kBillTablesLM, testing::kReportTables}) {
      for (const std::string& where : {std::string(t.rows) + " where FPreparerId=8",
                                       std::string(t.notes) + " where FCreatorName='Bob'"}) {
        for (auto r = Db().Execute("select * from " + where + " order by FId"); !r->Eof();
             r->MoveNext()) {
          for (std::int32_t i = 0; i < r->FieldCount(); ++i)
            rows += Shown(r->Fields(i).Value()) + "|";
          rows += "\n";
        }
      }
    }
    for (auto r = Db().Execute("select FPrintCount, FImage from t_Other"); !r->Eof();
         r->MoveNext()) {
      rows += Shown(r->Fields(0).Value()) + "|" + Shown(r->Fields(1).Value()) + "\n";
    }
    return rows;
  }

  static std::string Shown(const Variant& value) {
    if (value.IsNull()) return "NULL";
    if (value.kind() != Variant::Kind::Bytes) return CStr(value);
    const ByteSpan bytes = value.AsBytes();
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }

  // Calls the case's member with `value` in its argument (or in the data
  // source text `dsn`) and checks what must hold whatever the value.
  // Whether it succeeded.
  bool Try(const std::string& dsn, const std::string& value, const std::string& shown) {
    const std::string before = OthersRows();
    const At at{dsn, Db(), *C().family, ++serial_};
    bool succeeded = false;
    try {
      const Variant result = C().target->call(at, value);
      succeeded = true;
      EXPECT_FALSE(Mentions(result, kSecret)) << shown;
      if (C().target->stored != nullptr && !C().SweepsDsn()) {
        const Variant stored = C().target->stored(at, result);
        EXPECT_EQ(stored.kind(), Variant::Kind::String) << shown;
        if (stored.kind() == Variant::Kind::String) {
          EXPECT_TRUE(stored.AsString() == value) << shown;
        }
      }
    } catch (const AutomationError& error) {
      const std::string& description = error.description();
      EXPECT_NE(error.number(), 0) << shown;
      EXPECT_FALSE(description.empty()) << shown;
      // A description a person and a log can take: short, readable text.
      EXPECT_LT(description.size(), 1000u) << shown;
      EXPECT_TRUE(IsValidUtf8(description)) << shown << ": " << description;
      EXPECT_EQ(description.find('\0'), std::string::npos) << shown << ": " << description;
    }
    Hub().SignIn(kCaller, "Alice");
    EXPECT_EQ(OthersRows(), before) << shown;
    return succeeded;
  }

 private:
  int serial_ = 0;
};

TEST_P(BadInputTest, EveryHostileTextIsStoredExactlyOrRefusedAndNeverReachesAnotherUser) {
  const Target& target = *C().target;
  if (!C().SweepsDsn()) {
    EXPECT_TRUE(Try(Dsn(), target.plain, "plain")) << "a well-formed value is taken";
    for (const Hostile& hostile : HostileTexts()) {
      const bool succeeded = Try(Dsn(), hostile.text, hostile.name);
      if (target.business || (target.stored != nullptr && !IsValidUtf8(hostile.text))) {
        EXPECT_FALSE(succeeded) << hostile.name << " must be refused";
      }
      // Quotes, separators and any script are only text: a member that
      // stores a short text takes them all (the server has no NUL in text).
      if (target.stored != nullptr && IsValidUtf8(hostile.text) &&
          hostile.text.find('\0') == std::string::npos && Characters(hostile.text) <= 20) {
        EXPECT_TRUE(succeeded) << hostile.name << " must be stored";
      }
    }
    return;
  }
  EXPECT_TRUE(Try(Dsn() + ";Language=zh", target.plain, "plain")) << "a well-formed value is taken";
  for (const Hostile& hostile : HostileTexts()) {
    const std::string name = hostile.name;
    Try(Dsn() + ";Language=" + hostile.text, target.plain, name + " as Language");
    EXPECT_FALSE(Try(hostile.text, target.plain, name + " as the data source")) << name;
    // Added to the value that names the store, it names another one, or
    // none; a NUL must not cut it back to the store's name.
    const bool named = Try(Dsn() + hostile.text, target.plain, name + " after the data source");
    if (hostile.text.find('\0') != std::string::npos) {
      EXPECT_FALSE(named) << name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Members, BadInputTest,
                         ::testing::Combine(::testing::ValuesIn(testing::Backends()),
                                            ::testing::ValuesIn(Cases())),
                         [](const auto& instance) {
                           return std::get<0>(instance.param).name +
                                  std::get<1>(instance.param).Name();
                         });

// Beyond the hostile texts: what the checks of the names and values for a
// business table take on each backend. Only a well-formed name of a table or
// column that a caller may name, and only literals; never the store's own
// tables nor the database's catalogues or hidden columns.
struct Named {
  const char* key;
  const char* value;
  bool taken;
};

const Named kNamed[] = {
    {"TableName", "[t_Bill]", true},
    {"TableName", "\"t_bill\"", true},
    {"TableName", "T_BILL", true},
    {"TableName", "t_Bill ", false},
    {"TableName", " t_Bill", false},
    {"TableName", "[t_Bill ]", false},
    {"TableName", "t_Bill/**/", false},
    {"TableName", "t_Bill,t_Other", false},
    {"TableName", "(select 1)", false},
    {"TableName", "t_printexport", false},
    {"TableName", "[T_PrintExportNote]", false},
    {"TableName", "\"t_rptexcelprintexport\"", false},
    {"TableName", "sqlite_master", false},
    {"TableName", "pg_authid", false},
    {"TableName", "pg_catalog.pg_authid", false},
    {"TableName", "information_schema.tables", false},
    {"FieldName", "[FImage]", true},
    {"FieldName", "fimage", true},
    {"FieldName", "rowid", false},
    {"FieldName", "_rowid_", false},
    {"FieldName", "oid", false},
    {"FieldName", "ctid", false},
    {"FieldName", "xmin", false},
    {"FieldName", "*", false},
    {"FieldName", "FImage,FNumber", false},
    {"FieldName", "FImage||FImage", false},
    {"FieldName", "count(FImage)", false},
    {"PrimaryKeyField", "FInterID", true},
    {"PrimaryKeyField", "FInterID+0", false},
    {"PrimaryKeyField", "FInterID=1 or FInterID", false},
    {"PrimaryKeyValue", "'1'", true},
    {"PrimaryKeyValue", "-1", true},
    {"PrimaryKeyValue", "(1)", false},
    {"PrimaryKeyValue", "~1", false},
    {"PrimaryKeyValue", "$1", false},
    {"PrimaryKeyValue", ":a", false},
    {"PrimaryKeyValue", "?", false},
    {"PrimaryKeyValue", "1||1", false},
    {"InterIDs", " 1 , 2 ", true},
    {"InterIDs",
     "1,\xc2\xa0"
     "2",
     false},
    {"InterIDs", "1,(select 2)", false},
    {"InterIDs", "1 union select 2", false},
    {"InterIDs", "1)--", false},
    {"InterIDs", "1,2;", false},
};

class BusinessNameTest : public WithBusinessTables<testing::StoreTest> {};

TEST_P(BusinessNameTest, OnlyWellFormedNamesOfTablesACallerMayNameAreTaken) {
  for (const Named& named : kNamed) {
    const bool counts = std::string_view(named.key) == "InterIDs";
    try {
      WithNames({Dsn(), Db(), kBills, 0}, counts ? "UpdatePrintCount" : "GetPictureData", named.key,
                named.value);
      EXPECT_TRUE(named.taken) << named.key << " " << named.value << " was taken";
    } catch (const AutomationError& error) {
      EXPECT_FALSE(named.taken) << named.key << " " << named.value << ": " << error.description();
      // Refused by the checks, which name the argument.
      EXPECT_EQ(error.number(), counts ? 5 : HResult(0x80040001u)) << named.value;
      EXPECT_NE(error.description().find(named.key), std::string::npos) << error.description();
    }
  }
}

ORVO_INSTANTIATE_STORE_SUITE(BusinessNameTest);

}  // namespace
}  // namespace orvo
