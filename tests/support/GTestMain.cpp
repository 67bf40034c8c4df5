#include <gtest/gtest.h>

#include "TestEnv.h"

int main(int argc, char** argv) {
  tonbo::test::PrepareEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
