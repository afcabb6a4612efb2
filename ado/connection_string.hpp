// A data source text as the data-access layer reads it: which provider runs
// it and with which keys.
//
// A value type; any thread.

#ifndef ORVO_ADO_CONNECTION_STRING_HPP_
#define ORVO_ADO_CONNECTION_STRING_HPP_

#include <string>
#include <string_view>
#include <vector>

namespace orvo::ado {

// A data source text: key=value pairs separated by ";", keys without regard
// to case. "Provider" picks the backend (SQLite when absent). A value may be
// quoted with " or ' (the quote doubled inside) to hold a ";". An entry
// without "=" or without a key, an unclosed quote and text after a closing
// quote are refused with 0x800A0BB9; a key given twice keeps its last value.
class ConnectionString {
 public:
  static ConnectionString Parse(std::string_view text);

  // The value of a key (any case), or "" when absent.
  std::string Get(std::string_view key) const;
  bool Has(std::string_view key) const;
  // Every key given, as the text first spells it, in the order given.
  std::vector<std::string> Keys() const;
  // The provider named, "SQLite" when none is.
  std::string Provider() const;
  const std::string& Text() const { return text_; }
  // The text without its secrets (Password, sslpassword), for showing to a
  // person: the keys in their order, a value quoted where it must be.
  std::string ShownText() const;

 private:
  struct Entry {
    std::string key;  // as written
    std::string value;
  };
  const Entry* Find(std::string_view key) const;
  Entry* Find(std::string_view key);

  std::string text_;
  std::vector<Entry> entries_;
};

// What makes two data source texts the same store: the provider and every
// key that changes what is opened or how, with their values, whatever their
// order and the case of their keys; a relative database file is the file it
// names in the current directory. `followsDirectory` tells that the identity
// depends on the current directory and must be worked out anew at each
// request. A text that does not parse raises as Parse does.
struct DataSourceIdentity {
  std::string key;
  bool followsDirectory = false;
};
DataSourceIdentity IdentityOf(std::string_view text);

}  // namespace orvo::ado

#endif  // ORVO_ADO_CONNECTION_STRING_HPP_
