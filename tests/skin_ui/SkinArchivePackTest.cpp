// The skin archive the build embeds: natively, packed again from the sources it holds every file
// byte for byte and comes out the same twice; under Wine, both setup executables carry it as
// resource "ZIPRES" 104.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "common/Encoding.h"
#include "resources/ResourceIds.h"
#include "skin_ui/ResourceArchive.h"
#include "tests/support/TestFiles.h"

namespace {

#ifdef _WIN32

std::string ExecutableResource(const std::wstring& exe) {
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return std::string();
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(IDR_SKIN_ARCHIVE), L"ZIPRES");
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  std::string bytes = data ? std::string(data, SizeofResource(module, resource)) : std::string();
  FreeLibrary(module);
  return bytes;
}

TEST(SkinArchivePackTest, BothSetupExecutablesCarryTheBuildsSkinArchive) {
  const std::string built = testsupport::ReadFileBytes(testsupport::BuildBinFolder() + L"..\\resources\\skin.zip");
  ASSERT_GT(built.size(), 1000u);
  for (const wchar_t* exe : {L"VandrelSetup.exe", L"VandrelSetup-local.exe"}) {
    SCOPED_TRACE(encoding::WideToUtf8(exe));
    EXPECT_EQ(ExecutableResource(testsupport::BuildBinFolder() + exe), built);
  }
}

#else

namespace fs = std::filesystem;

const fs::path kSkinSources = NEXVALE_SKIN_SOURCE_DIR;

std::string Pack(const fs::path& output) {
  const std::string command = std::string("\"") + NEXVALE_PYTHON + "\" \"" + NEXVALE_PACK_SCRIPT + "\" \"" +
                              kSkinSources.string() + "\" \"" + output.string() + "\"";
  if (std::system(command.c_str()) != 0) return std::string();
  return testsupport::ReadFileBytes(encoding::Utf8ToWide(output.string()));
}

// The entry's bytes through the toolkit's archive reader: one call fills them and the next
// finds nothing left; "missing" or "incomplete" otherwise.
std::string Unpack(SkinUI::ArchiveHandle archive, const std::string& name) {
  int index = -1;
  SkinUI::ArchiveEntry entry;
  if (SkinUI::FindEntry(archive, encoding::Utf8ToWide(name).c_str(), false, &index, &entry) != SkinUI::kArchiveOk)
    return "missing";
  std::string bytes(static_cast<size_t>(entry.uncompressedSize), '\0');
  const uint32_t first = SkinUI::InflateEntry(archive, index, bytes.data(), static_cast<uint32_t>(bytes.size()),
                                              SkinUI::kArchiveSourceMemory);
  char probe = 0;
  const uint32_t second = SkinUI::InflateEntry(archive, index, &probe, 1, SkinUI::kArchiveSourceMemory);
  return first == SkinUI::kArchiveMoreData && second == SkinUI::kArchiveOk ? bytes : "incomplete";
}

TEST(SkinArchivePackTest, TheArchiveHoldsEverySkinFileAndPacksTheSameTwice) {
  testsupport::TempFolder folder(L"skinpack");
  const fs::path temp(encoding::WideToUtf8(folder.path()));
  const std::string first = Pack(temp / "first.zip");
  const std::string second = Pack(temp / "second.zip");
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first, second) << "the same sources pack into the same bytes";
  EXPECT_EQ(testsupport::ReadFileBytes(encoding::Utf8ToWide(NEXVALE_SKIN_ARCHIVE)), first)
      << "the build's archive is the packed sources";

  SkinUI::ArchiveHandle archive = SkinUI::OpenArchive(first.data(), static_cast<uint32_t>(first.size()),
                                                      SkinUI::kArchiveSourceMemory);
  ASSERT_NE(archive, nullptr);
  std::set<std::string> expected;
  for (const auto& item : fs::recursive_directory_iterator(kSkinSources)) {
    const std::string name = fs::relative(item.path(), kSkinSources).generic_string();
    if (item.is_directory()) {
      expected.insert(name + "/");
      continue;
    }
    if (name == "README.md") continue;
    expected.insert(name);
    SCOPED_TRACE(name);
    EXPECT_EQ(Unpack(archive, name), testsupport::ReadFileBytes(encoding::Utf8ToWide(item.path().string())));
  }
  EXPECT_GT(expected.size(), 20u);
  SkinUI::ArchiveEntry count;
  ASSERT_EQ(SkinUI::DescribeEntry(archive, -1, &count), SkinUI::kArchiveOk);
  std::set<std::string> packed;
  for (int i = 0; i < count.index; ++i) {
    SkinUI::ArchiveEntry entry;
    ASSERT_EQ(SkinUI::DescribeEntry(archive, i, &entry), SkinUI::kArchiveOk);
    packed.insert(encoding::WideToUtf8(entry.name));
  }
  EXPECT_EQ(packed, expected) << "every file and folder, and nothing else";
  SkinUI::CloseArchive(archive);
}

#endif

}  // namespace
