#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin_ui/ResourceArchive.h"
#include "tests/support/ZipBuilder.h"

namespace {

using namespace SkinUI;
using testsupport::ZipBuilder;

// Owns an open archive over a copy of the bytes.
class OpenedArchive {
 public:
  explicit OpenedArchive(std::string bytes) : bytes_(std::move(bytes)) {
    handle_ = OpenArchive(bytes_.data(), static_cast<uint32_t>(bytes_.size()), kArchiveSourceMemory);
  }
  ~OpenedArchive() {
    if (handle_) CloseArchive(handle_);
  }
  ArchiveHandle get() const { return handle_; }

 private:
  std::string bytes_;
  ArchiveHandle handle_ = nullptr;
};

std::string Pattern(size_t size) {
  std::string text;
  for (size_t i = 0; text.size() < size; ++i) text += "line " + std::to_string(i * 7919 % 1000) + " of the test\n";
  text.resize(size);
  return text;
}

std::string ReadWhole(ArchiveHandle archive, int index, uint32_t chunk, uint32_t* lastResult = nullptr) {
  std::string out;
  std::vector<char> buffer(chunk);
  for (;;) {
    const uint32_t result = InflateEntry(archive, index, buffer.data(), chunk, kArchiveSourceMemory);
    if (lastResult) *lastResult = result;
    if (result != kArchiveMoreData) break;
    // The call fills the buffer unless the entry ends; the end shows as a short last chunk.
    out.append(buffer.data(), chunk);
  }
  return out;
}

std::string ConfigLikeArchive() {
  return ZipBuilder()
      .File("language.ini", "[Language]\r\n1033=English\r\n", ZipBuilder::Method::kStored)
      .Folder("English/")
      .File("English/text.ini", Pattern(3000))
      .Folder("img/")
      .File("img/logo.png", Pattern(100), ZipBuilder::Method::kStored)
      .Build();
}

TEST(ResourceArchive, CountsEntriesWithFoldersAndDescribesThem) {
  OpenedArchive archive(ConfigLikeArchive());
  ASSERT_NE(archive.get(), nullptr);
  ArchiveEntry entry;
  ASSERT_EQ(DescribeEntry(archive.get(), -1, &entry), kArchiveOk);
  EXPECT_EQ(entry.index, 5);

  ASSERT_EQ(DescribeEntry(archive.get(), 1, &entry), kArchiveOk);
  EXPECT_STREQ(entry.name, L"English/");
  EXPECT_EQ(entry.attributes & kArchiveAttrFolder, kArchiveAttrFolder);
  EXPECT_EQ(entry.uncompressedSize, 0);

  ASSERT_EQ(DescribeEntry(archive.get(), 2, &entry), kArchiveOk);
  EXPECT_STREQ(entry.name, L"English/text.ini");
  EXPECT_EQ(entry.attributes & kArchiveAttrFolder, 0u);
  EXPECT_EQ(entry.uncompressedSize, 3000);
  EXPECT_LT(entry.compressedSize, 3000);
  // Walking backwards works as well as forwards.
  ASSERT_EQ(DescribeEntry(archive.get(), 0, &entry), kArchiveOk);
  EXPECT_STREQ(entry.name, L"language.ini");
  EXPECT_EQ(DescribeEntry(archive.get(), 5, &entry), kArchiveBadArguments);
}

TEST(ResourceArchive, TimesComeFromTheDosStampOrTheExtendedStamp) {
  OpenedArchive archive(ZipBuilder().File("a", "x").File("b", "y").ModifiedAt(1700000000).Build());
  ArchiveEntry entry;
  ASSERT_EQ(DescribeEntry(archive.get(), 0, &entry), kArchiveOk);
  // 2020-01-02 03:04:06 as a file time.
  const uint64_t dos = (1577934246ull + 11644473600ull) * 10000000ull;
  EXPECT_EQ(entry.modificationTime, dos);
  EXPECT_EQ(entry.accessTime, dos);
  ASSERT_EQ(DescribeEntry(archive.get(), 1, &entry), kArchiveOk);
  EXPECT_EQ(entry.modificationTime, (1700000000ull + 11644473600ull) * 10000000ull);
  EXPECT_EQ(entry.accessTime, dos);
}

TEST(ResourceArchive, FindsNamesWithEitherSlashAndFoldedCase) {
  OpenedArchive archive(ConfigLikeArchive());
  int index = -2;
  ArchiveEntry entry;
  EXPECT_EQ(FindEntry(archive.get(), L"img\\logo.png", true, &index, &entry), kArchiveOk);
  EXPECT_EQ(index, 4);
  EXPECT_EQ(FindEntry(archive.get(), L"IMG/LOGO.PNG", true, &index, &entry), kArchiveOk);
  EXPECT_EQ(index, 4);
  EXPECT_STREQ(entry.name, L"img/logo.png");
  EXPECT_EQ(FindEntry(archive.get(), L"IMG/LOGO.PNG", false, &index, &entry), kArchiveNotFound);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(FindEntry(archive.get(), L"img/logo.pn", true, &index, &entry), kArchiveNotFound);
}

TEST(ResourceArchive, NamesOverTwoHundredFiftyFiveCharactersAreNeverFound) {
  const std::string name255(255, 'n');
  const std::string name256(256, 'n');
  OpenedArchive archive(ZipBuilder().File(name255, "a").File(name256, "b").File(std::string(300, 'l'), "c").Build());
  int index = -1;
  ArchiveEntry entry;
  EXPECT_EQ(FindEntry(archive.get(), std::wstring(255, L'n').c_str(), false, &index, &entry), kArchiveOk);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(FindEntry(archive.get(), std::wstring(256, L'n').c_str(), false, &index, &entry), kArchiveNotFound);
  // A stored name longer than the description holds is cut, not overrun.
  ASSERT_EQ(DescribeEntry(archive.get(), 2, &entry), kArchiveOk);
  EXPECT_EQ(std::wstring(entry.name), std::wstring(kArchiveMaxName - 1, L'l'));
}

TEST(ResourceArchive, ChunkedInflationAtExactAndOneShortSizes) {
  const std::string content = Pattern(5000);
  for (auto method : {ZipBuilder::Method::kStored, ZipBuilder::Method::kDeflated}) {
    OpenedArchive archive(ZipBuilder().File("f", content, method).Build());
    std::string buffer(content.size(), '\0');
    EXPECT_EQ(InflateEntry(archive.get(), 0, buffer.data(), 5000, kArchiveSourceMemory), kArchiveMoreData);
    EXPECT_EQ(buffer, content);
    EXPECT_EQ(InflateEntry(archive.get(), 0, buffer.data(), 5000, kArchiveSourceMemory), kArchiveOk);

    std::string shortBuffer(4999, '\0');
    EXPECT_EQ(InflateEntry(archive.get(), 0, shortBuffer.data(), 4999, kArchiveSourceMemory), kArchiveMoreData);
    EXPECT_EQ(shortBuffer, content.substr(0, 4999));
    char last = 0;
    EXPECT_EQ(InflateEntry(archive.get(), 0, &last, 4999, kArchiveSourceMemory), kArchiveMoreData);
    EXPECT_EQ(last, content.back());
    EXPECT_EQ(InflateEntry(archive.get(), 0, shortBuffer.data(), 4999, kArchiveSourceMemory), kArchiveOk);
  }
}

TEST(ResourceArchive, StoredAndDeflatedGiveTheSameBytesAcrossManyInputChunks) {
  const std::string content = Pattern(300000);  // compressed data spans several 16 KiB reads
  OpenedArchive archive(ZipBuilder()
                            .File("stored", content, ZipBuilder::Method::kStored)
                            .File("deflated", content, ZipBuilder::Method::kDeflated)
                            .Build());
  uint32_t last = 0;
  EXPECT_EQ(ReadWhole(archive.get(), 0, 300000, &last), content);
  EXPECT_EQ(last, kArchiveOk);
  EXPECT_EQ(ReadWhole(archive.get(), 1, 300000, &last), content);
  EXPECT_EQ(last, kArchiveOk);
  // Odd chunk sizes: everything arrives once, in order (the short tail is checked by size).
  std::string pieces;
  std::vector<char> buffer(777);
  uint32_t result;
  while ((result = InflateEntry(archive.get(), 1, buffer.data(), 777, kArchiveSourceMemory)) == kArchiveMoreData) {
    pieces.append(buffer.data(), std::min<size_t>(777, content.size() - pieces.size()));
  }
  EXPECT_EQ(result, kArchiveOk);
  EXPECT_EQ(pieces, content);
}

TEST(ResourceArchive, AnotherIndexAbandonsTheEntryInProgress) {
  OpenedArchive archive(ZipBuilder().File("a", "abcdef").File("b", "123").Build());
  char buffer[3];
  ASSERT_EQ(InflateEntry(archive.get(), 0, buffer, 3, kArchiveSourceMemory), kArchiveMoreData);
  EXPECT_EQ(std::string(buffer, 3), "abc");
  ASSERT_EQ(InflateEntry(archive.get(), 1, buffer, 3, kArchiveSourceMemory), kArchiveMoreData);
  EXPECT_EQ(std::string(buffer, 3), "123");
  ASSERT_EQ(InflateEntry(archive.get(), 0, buffer, 3, kArchiveSourceMemory), kArchiveMoreData);
  EXPECT_EQ(std::string(buffer, 3), "abc");
}

TEST(ResourceArchive, HandlesAndArgumentsAreChecked) {
  EXPECT_EQ(CloseArchive(nullptr), kArchiveBadArguments);
  EXPECT_EQ(LastArchiveResult(), kArchiveBadArguments);
  int notAnArchive = 0;
  ArchiveEntry entry;
  EXPECT_EQ(DescribeEntry(reinterpret_cast<ArchiveHandle>(&notAnArchive), -1, &entry), kArchiveNotAnArchive);

  const std::string bytes = ZipBuilder().File("a", "x").Build();
  EXPECT_EQ(OpenArchive(bytes.data(), static_cast<uint32_t>(bytes.size()), kArchiveSourceFileName), nullptr);
  EXPECT_EQ(LastArchiveResult(), kArchiveBadArguments);
  ArchiveHandle handle = OpenArchive(bytes.data(), static_cast<uint32_t>(bytes.size()), kArchiveSourceMemory);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(LastArchiveResult(), kArchiveOk);
  char buffer[4];
  EXPECT_EQ(InflateEntry(handle, 1, buffer, 4, kArchiveSourceMemory), kArchiveBadArguments);
  EXPECT_EQ(InflateEntry(handle, 0, nullptr, 4, kArchiveSourceMemory), kArchiveBadArguments);
  EXPECT_EQ(CloseArchive(handle), kArchiveOk);
  EXPECT_EQ(CloseArchive(handle), kArchiveNotAnArchive);
}

// Offsets into an archive built from one stored file "a" holding "hello".
constexpr size_t kLocalUncompressedSize = 22;
constexpr size_t kLocalMethod = 8;

TEST(ResourceArchive, LyingHeadersGiveErrorCodes) {
  const std::string good = ZipBuilder().File("a", "hello", ZipBuilder::Method::kStored).Build();
  const size_t directory = good.size() - 22 - 46 - 1;
  struct Case {
    const char* what;
    size_t offset;
    char value;
    uint32_t expected;
  } cases[] = {
      {"local signature", 0, 'X', kArchiveCorrupt},
      {"local method differs", kLocalMethod, 8, kArchiveCorrupt},
      {"local size differs", kLocalUncompressedSize, 9, kArchiveCorrupt},
      {"compressed size beyond the buffer", directory + 20 + 3, 0x40, kArchiveCorrupt},
      {"local header offset beyond the buffer", directory + 42 + 3, 0x40, kArchiveReadFailure},
  };
  for (const Case& c : cases) {
    std::string bytes = good;
    bytes[c.offset] = c.value;
    OpenedArchive archive(bytes);
    ASSERT_NE(archive.get(), nullptr) << c.what;
    char buffer[16];
    EXPECT_EQ(InflateEntry(archive.get(), 0, buffer, sizeof buffer, kArchiveSourceMemory), c.expected) << c.what;
  }
}

TEST(ResourceArchive, DeflatedDataShorterThanAnnouncedIsAnInflateFailure) {
  std::string bytes = ZipBuilder().File("a", Pattern(1000), ZipBuilder::Method::kDeflated).Build();
  // Raise the announced size (local and central) from 1000 to 1100.
  const size_t directory = bytes.size() - 22 - 46 - 1;
  for (size_t offset : {kLocalUncompressedSize, directory + 24}) {
    bytes[offset] = static_cast<char>(1100 & 0xFF);
    bytes[offset + 1] = static_cast<char>(1100 >> 8);
  }
  OpenedArchive archive(bytes);
  std::string buffer(1100, '\0');
  EXPECT_EQ(InflateEntry(archive.get(), 0, buffer.data(), 1100, kArchiveSourceMemory), kArchiveInflateFailure);
}

TEST(ResourceArchive, EveryTruncationAndByteFlipIsHandled) {
  // Sanitizers watch for reads outside the buffer; every call must answer with a result code.
  const std::string good = ConfigLikeArchive();
  auto exercise = [](const std::string& bytes) {
    ArchiveHandle handle = OpenArchive(bytes.data(), static_cast<uint32_t>(bytes.size()), kArchiveSourceMemory);
    if (!handle) return;
    ArchiveEntry entry;
    DescribeEntry(handle, -1, &entry);
    const int count = entry.index;
    for (int i = 0; i < count && i < 8; ++i) {
      DescribeEntry(handle, i, &entry);
      std::vector<char> buffer(4096);
      for (int step = 0; step < 4; ++step) {
        if (InflateEntry(handle, i, buffer.data(), 4096, kArchiveSourceMemory) != kArchiveMoreData) break;
      }
    }
    int index;
    FindEntry(handle, L"img/logo.png", true, &index, &entry);
    EXPECT_EQ(CloseArchive(handle), kArchiveOk);
  };
  for (size_t length = 0; length < good.size(); ++length) exercise(good.substr(0, length));
  for (size_t offset = 0; offset < good.size(); ++offset) {
    for (char value : {'\0', '\xFF', '\x7F'}) {
      std::string bytes = good;
      bytes[offset] = value;
      exercise(bytes);
    }
  }
}

}  // namespace
