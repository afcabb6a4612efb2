// A host of the installed library: signs its user in, stores page settings
// of bill type 28 in the store named on the command line and reads them back.
#include <iostream>

#include "orvo/print_export.hpp"

int main(int argc, char** argv) try {
  if (argc != 2) return 2;
  const std::string dsn = std::string("Provider=SQLite;Data Source=") + argv[1],
                    set = "A4 landscape";
  orvo::host::ServiceHub::Current()->SignIn(16394, "Manager");
  orvo::CreateObject("OrvoMPrintExport.clsPrintSetupUpdate")
      ->Invoke("SavePageAndPrintSet", {dsn, 28, std::vector<std::uint8_t>(set.begin(), set.end())});
  const orvo::Variant read = orvo::clsPrintSetupQuery().GetPageAndPrintSet(dsn, 28)->Value("Set");
  std::cout << std::string(read.AsBytes().begin(), read.AsBytes().end()) << "\n";
} catch (const orvo::AutomationError& error) {
  std::cerr << error.description() << "\n";
  return 1;
}
