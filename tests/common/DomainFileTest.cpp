// The domain file left in the product's folder, from the embedded resource's bytes to the file.

#include <gtest/gtest.h>

#include <filesystem>

#include "common/ConfigRules.h"
#include "common/DomainFile.h"
#include "common/Encoding.h"
#include "tests/support/TestFiles.h"

namespace {

using testsupport::PathExists;
using testsupport::ReadFileBytes;
using testsupport::TempFolder;

TEST(DomainFile, HoldsTheCodeByteForByteAndReplacesAnOlderFile) {
  TempFolder folder(L"product");
  const std::wstring file = folder.path() + L"domain";
  testsupport::WriteFileBytes(file, "an older and longer domain file\r\n");
  // The shipped resource: the code and a line break the file does not get.
  const DomainResource resource = ParseDomainResource("com_english\r\n");
  ASSERT_TRUE(WriteDomainFile(folder.path(), resource.code));
  EXPECT_EQ(ReadFileBytes(file), "com_english");
  ASSERT_TRUE(WriteDomainFile(folder.path(), L"a\rb"));
  EXPECT_EQ(ReadFileBytes(file), "a\rb");
}

TEST(DomainFile, NothingToWriteAndNowhereToWrite) {
  TempFolder folder(L"product");
  EXPECT_TRUE(WriteDomainFile(folder.path(), L""));
  EXPECT_FALSE(PathExists(folder.path() + L"domain"));
  EXPECT_FALSE(WriteDomainFile(folder.path() + L"missing" + std::wstring(1, L'/'), L"com_english"));
  // A folder where the file belongs is left alone.
  std::filesystem::create_directory(encoding::ToPath(folder.path() + L"domain"));
  EXPECT_FALSE(WriteDomainFile(folder.path(), L"com_english"));
  EXPECT_TRUE(std::filesystem::is_directory(encoding::ToPath(folder.path() + L"domain")));
}

}  // namespace
