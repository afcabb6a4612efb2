#include "orvo/automation/error.hpp"
#include "orvo/host/collections.hpp"

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(CollectionRegistrationTest, CollectionsAreCreatableByProgIdAndClassId) {
  RegisterCollectionClasses();
  RegisterCollectionClasses();

  EXPECT_NE(std::dynamic_pointer_cast<Dictionary>(CreateObject("zeb10.Dictionary")), nullptr);
  EXPECT_NE(
      std::dynamic_pointer_cast<Dictionary>(CreateObject("{09AFE6FD-5BDB-11D1-9C2A-127658000000}")),
      nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<Vector>(CreateObject("zeb10.Vector")), nullptr);
  EXPECT_EQ(ClassRegistry::Instance().Find("zeb10.Vector"),
            ClassRegistry::Instance().Find("{09AFE6F7-5BDB-11D1-9C2A-127658000000}"));
}

}  // namespace
}  // namespace orvo
