#include <gtest/gtest.h>

#include <filesystem>

#include "common/ConfigExtraction.h"
#include "common/Encoding.h"
#include "common/PathText.h"
#include "tests/support/TestFiles.h"
#include "tests/support/ZipBuilder.h"

namespace {

using testsupport::PathExists;
using testsupport::ZipBuilder;

TEST(ConfigExtraction, WritesFoldersAndFilesInArchiveOrder) {
  testsupport::TempFolder folder(L"extract");
  const std::wstring target = folder.path() + L"language" + pathtext::kSeparator;
  const std::string archive = ZipBuilder()
                                  .File("language.ini", "[Language]\r\n", ZipBuilder::Method::kStored)
                                  .Folder("English/")
                                  .File("English/text.ini", std::string(5000, 't'))
                                  .File("English/empty", "")
                                  .Build();
  const ExtractionResult result = ExtractArchive(archive.data(), static_cast<uint32_t>(archive.size()), target);
  EXPECT_TRUE(result.opened);
  EXPECT_EQ(result.files, 2);
  EXPECT_EQ(result.folders, 2);  // "English/" and the zero-size entry, made a folder as well
  EXPECT_EQ(result.skipped, 0);
  const std::wstring S(1, pathtext::kSeparator);
  EXPECT_EQ(testsupport::ReadFileBytes(target + L"language.ini"), "[Language]\r\n");
  EXPECT_EQ(testsupport::ReadFileBytes(target + L"English" + S + L"text.ini"), std::string(5000, 't'));
  EXPECT_TRUE(std::filesystem::is_directory(encoding::ToPath(target + L"English" + S + L"empty")));

  // Extraction rewrites what is there.
  testsupport::WriteFileBytes(target + L"language.ini", "changed");
  ExtractArchive(archive.data(), static_cast<uint32_t>(archive.size()), target);
  EXPECT_EQ(testsupport::ReadFileBytes(target + L"language.ini"), "[Language]\r\n");
}

TEST(ConfigExtraction, RefusesNamesOutsideTheTargetAndIncompleteData) {
  testsupport::TempFolder folder(L"slip");
  const std::wstring target = folder.path() + L"language" + pathtext::kSeparator;
  std::string archive = ZipBuilder()
                            .File("../escaped.txt", "x")
                            .File("sub/../../escaped2.txt", "x")
                            .File("/absolute.txt", "x")
                            .File("short.bin", std::string(1000, 's'))
                            .File("kept.txt", "kept")
                            .Build();
  // Announce 1100 bytes for short.bin (local header and directory alike) so its data runs out.
  size_t local = archive.find("short.bin");
  size_t central = archive.find("short.bin", local + 1);
  for (size_t sizeField : {local - 30 + 22, central - 46 + 24}) {
    archive[sizeField] = static_cast<char>(1100 & 0xFF);
    archive[sizeField + 1] = static_cast<char>(1100 >> 8);
  }
  const ExtractionResult result = ExtractArchive(archive.data(), static_cast<uint32_t>(archive.size()), target);
  EXPECT_EQ(result.files, 1);
  EXPECT_EQ(result.skipped, 4);
  EXPECT_EQ(testsupport::ReadFileBytes(target + L"kept.txt"), "kept");
  EXPECT_FALSE(PathExists(target + L"short.bin"));
  EXPECT_FALSE(PathExists(folder.path() + L"escaped.txt"));
  EXPECT_FALSE(PathExists(folder.path() + L"escaped2.txt"));
}

TEST(ConfigExtraction, UnreadableArchiveWritesNothing) {
  testsupport::TempFolder folder(L"broken");
  const std::string junk = "not a zip archive at all, not even close";
  const ExtractionResult result =
      ExtractArchive(junk.data(), static_cast<uint32_t>(junk.size()), folder.path() + L"language");
  EXPECT_FALSE(result.opened);
  EXPECT_EQ(result.files, 0);
}

}  // namespace
