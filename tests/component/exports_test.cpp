#include "orvo/component/exports.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <nlohmann/json.hpp>

#include "orvo/automation/class_registry.hpp"
#include "orvo/component/classes.hpp"
#include "orvo/component/type_library.hpp"
#include "support/processes_at_once.hpp"
#include "support/temp_directory.hpp"

namespace orvo {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ExportsTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("ORVO_REGISTRY", registry_.c_str(), 1); }
  void TearDown() override { unsetenv("ORVO_REGISTRY"); }

  testing::TempDirectory directory_;
  const std::filesystem::path registry_ = directory_.Path() / "registry.json";
};

TEST_F(ExportsTest, RegistrationRoundTripLeavesTheRegistryAsItWas) {
  const std::string other =
      "{\n  \"CLSID\\\\{11111111-2222-3333-4444-555555555555}\": {\n"
      "    \"\": \"Another.Server\"\n  }\n}\n";
  std::ofstream(registry_) << other;
  ASSERT_EQ(DllRegisterServer(), 0);

  const auto registry = nlohmann::json::parse(ReadAll(registry_));
  EXPECT_TRUE(registry.contains("CLSID\\{11111111-2222-3333-4444-555555555555}"));
  const auto& server = registry.at("CLSID\\{0338DDFC-4C69-41F8-9011-77D3F24B71A2}\\InprocServer32");
  EXPECT_EQ(server.at("ThreadingModel"), "Apartment");
  EXPECT_FALSE(server.at("").get<std::string>().empty());
  const std::string clsid =
      registry.at("OrvoMPrintExport.clsPrintSetupUpdate\\Clsid").at("").get<std::string>();
  EXPECT_EQ(clsid, "{B7A111D9-60D7-4F02-B0B4-051BC3A33AD3}");
  EXPECT_EQ(
      registry.at("Interface\\{5CD298F4-EB75-49DC-BBD0-4C0560B61191}\\ProxyStubClsid32").at(""),
      "{00020424-0000-0000-C000-000000000046}");
  EXPECT_EQ(registry.at("TypeLib\\{66C9AD08-8B70-4B4A-9487-E73B85BBB233}\\1.2").at(""),
            "OrvoMPrintExport");

  // What a host does with the registry: class identifier, factory, instance.
  void* raw = nullptr;
  ASSERT_EQ(DllGetClassObject(clsid.c_str(), kIID_IClassFactory, &raw), 0);
  auto instance = static_cast<ClassFactory*>(raw)->CreateInstance();
  EXPECT_NE(std::dynamic_pointer_cast<clsPrintSetupUpdate>(instance), nullptr);
  EXPECT_NE(CreateObject("OrvoMPrintExport.clsPrintSetupUpdate"), nullptr);

  ASSERT_EQ(DllUnregisterServer(), 0);
  EXPECT_EQ(nlohmann::json::parse(ReadAll(registry_)), nlohmann::json::parse(other));
}

TEST_F(ExportsTest, UnregisteringWhatWasAloneRemovesTheFile) {
  ASSERT_EQ(DllRegisterServer(), 0);
  ASSERT_TRUE(std::filesystem::exists(registry_));
  ASSERT_EQ(DllRegisterServer(), 0);  // twice changes nothing
  ASSERT_EQ(DllUnregisterServer(), 0);
  EXPECT_FALSE(std::filesystem::exists(registry_));
}

TEST_F(ExportsTest, ProcessesRegisteringAtOnceNeitherFailNorLoseKeys) {
  std::ofstream(registry_) << R"({"CLSID\\{1}": {"": "Another.Server"}})";
  const auto ends = testing::RunProcessesAtOnce(6, [](int) {
    for (int i = 0; i < 20; ++i) {
      if (DllRegisterServer() != 0) return 1;
    }
    return 0;
  });
  for (const testing::ProcessEnd& end : ends) EXPECT_EQ(end.exitCode, 0) << end.error;
  const auto registry = nlohmann::json::parse(ReadAll(registry_));
  EXPECT_TRUE(registry.contains("CLSID\\{1}"));
  EXPECT_TRUE(registry.contains("OrvoMPrintExport.clsPrintSetupUpdate\\Clsid"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory_.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(ExportsTest, UnreadableRegistryIsReportedAndLeftAlone) {
  std::ofstream(registry_) << "not json";
  EXPECT_LT(DllRegisterServer(), 0);
  EXPECT_EQ(ReadAll(registry_), "not json");
}

TEST_F(ExportsTest, FactoriesAnswerOnlyForTheirClassesAndInterfaces) {
  void* raw = reinterpret_cast<void*>(1);
  EXPECT_EQ(DllGetClassObject("{0338ddfc-4c69-41f8-9011-77d3f24b71a2}", kIID_IUnknown, &raw), 0);
  EXPECT_NE(raw, nullptr);
  EXPECT_EQ(DllGetClassObject("{00000000-0000-0000-0000-000000000001}", kIID_IClassFactory, &raw),
            HResult(0x80040111u));
  EXPECT_EQ(raw, nullptr);
  EXPECT_EQ(DllGetClassObject("{0338DDFC-4C69-41F8-9011-77D3F24B71A2}",
                              "{00020400-0000-0000-C000-000000000046}", &raw),
            HResult(0x80004002u));
  EXPECT_EQ(
      DllGetClassObject("{0338DDFC-4C69-41F8-9011-77D3F24B71A2}", kIID_IClassFactory, nullptr),
      HResult(0x80004003u));
}

TEST_F(ExportsTest, LibraryCannotUnloadWhileAnObjectLives) {
  const std::int32_t idle = DllCanUnloadNow();
  {
    auto query = CreateObject("OrvoMPrintExport.clsPrintSetupQuery");
    EXPECT_EQ(DllCanUnloadNow(), 1);
  }
  EXPECT_EQ(DllCanUnloadNow(), idle);
  EXPECT_EQ(idle, 0);
}

}  // namespace
}  // namespace orvo
