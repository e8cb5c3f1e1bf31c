// The file a download writes into.

#include <gtest/gtest.h>

#include "download/http/storage.h"
#include "tests/support/TestFiles.h"

namespace httpdl {
namespace {

using testsupport::ReadFileBytes;
using testsupport::TempFolder;
using testsupport::WriteFileBytes;

TEST(FileStorage, OpensWithoutTruncatingAndWritesAtOffsets) {
  TempFolder folder(L"storage \u00e9");
  const std::wstring path = folder.path() + L"body \u00fc.tmp";
  WriteFileBytes(path, "0123456789");
  file_storage storage;
  boost::system::error_code ec;
  storage.open(path, ec);
  ASSERT_FALSE(ec) << ec.message();
  EXPECT_EQ(storage.size(), 10);
  EXPECT_EQ(storage.write("AB", 4, 2), 2u);
  EXPECT_EQ(storage.write("Z", 12, 1), 1u);  // past the end: the gap reads as zeros
  char buffer[4] = {};
  EXPECT_EQ(storage.read(buffer, 3, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "3AB6");
  // The position-based calls keep their own place.
  EXPECT_EQ(storage.write("xy", 2), 2u);
  EXPECT_EQ(storage.read(buffer, 2), 2u);
  EXPECT_EQ(std::string(buffer, 2), "23");
  EXPECT_FALSE(storage.eof());
  storage.close();
  EXPECT_EQ(ReadFileBytes(path), std::string("xy23AB6789\0\0Z", 13));
}

TEST(FileStorage, CreatesMissingFilesTruncatesAndReportsFailures) {
  TempFolder folder;
  file_storage storage;
  boost::system::error_code ec;
  storage.open(folder.path() + L"missing-folder/x.tmp", ec);
  EXPECT_TRUE(ec);
  EXPECT_FALSE(storage.is_open());
  EXPECT_EQ(storage.write("a", 0, 1), 0u);

  const std::wstring path = folder.path() + L"new.tmp";
  storage.open(path, ec);
  ASSERT_FALSE(ec);
  EXPECT_EQ(storage.size(), 0);
  EXPECT_TRUE(storage.eof());
  ASSERT_EQ(storage.write("abcdef", 0, 6), 6u);
  ASSERT_FALSE(storage.truncate(2));
  EXPECT_EQ(storage.size(), 2);
  char c = 0;
  EXPECT_EQ(storage.read(&c, 2, 1), 0u);
  storage.close();
  EXPECT_EQ(ReadFileBytes(path), "ab");
}

}  // namespace
}  // namespace httpdl
