// Range sets, piece bitmaps and the piece-size rule.

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "download/http/range_map.h"
#include "download/http/state_file.h"

namespace httpdl {
namespace {

std::vector<range> Ranges(std::initializer_list<range> list) { return list; }

TEST(RangeMap, AddRefusesRangesOutsideTheFile) {
  range_map map;
  map.reset(100);
  EXPECT_FALSE(map.add(-1, 10));
  EXPECT_FALSE(map.add(10, 10));
  EXPECT_FALSE(map.add(20, 10));
  EXPECT_FALSE(map.add(90, 101));
  EXPECT_TRUE(map.add(0, 100));
  EXPECT_TRUE(map.is_full());
}

TEST(RangeMap, MergesOverlappingAndTouchingRangesButKeepsGaps) {
  range_map map;
  map.reset(1000);
  ASSERT_TRUE(map.add(100, 200));
  ASSERT_TRUE(map.add(200, 300));  // touching
  ASSERT_TRUE(map.add(250, 400));  // overlapping
  ASSERT_TRUE(map.add(401, 500));  // one byte apart
  ASSERT_TRUE(map.add(100, 150));  // same start, shorter: nothing already covered is lost
  EXPECT_EQ(map.ranges(), Ranges({{100, 400}, {401, 500}}));
  EXPECT_EQ(map.covered_bytes(), 399);
  EXPECT_FALSE(map.is_full());

  ASSERT_TRUE(map.add(600, 700));
  ASSERT_TRUE(map.add(800, 900));
  ASSERT_TRUE(map.add(550, 850));   // swallows one range and reaches into the next
  ASSERT_TRUE(map.add(500, 550));   // touches on both sides
  ASSERT_TRUE(map.add(40, 100));    // in front
  EXPECT_EQ(map.ranges(), Ranges({{40, 400}, {401, 900}}));
  EXPECT_EQ(map.covered_bytes(), 859);
}

TEST(RangeMap, NextFreeFindsTheGapsInOrder) {
  range_map map;
  map.reset(1000);
  std::int64_t left = 0, right = 0;
  ASSERT_TRUE(map.next_free(0, left, right));
  EXPECT_EQ(range({left, right}), range({0, 1000}));

  map.add(0, 100);
  map.add(300, 400);
  struct Case {
    std::int64_t from;
    range gap;
  };
  for (const Case& c : {Case{0, {100, 300}}, Case{150, {150, 300}}, Case{350, {400, 1000}}, Case{999, {999, 1000}}}) {
    ASSERT_TRUE(map.next_free(c.from, left, right)) << c.from;
    EXPECT_EQ(range({left, right}), c.gap) << "from " << c.from;
  }
  map.add(400, 1000);
  // Past the last gap the first one is handed out again.
  ASSERT_TRUE(map.next_free(500, left, right));
  EXPECT_EQ(range({left, right}), range({100, 300}));
  map.add(100, 300);
  EXPECT_FALSE(map.next_free(0, left, right));
  EXPECT_TRUE(map.is_full());
}

TEST(RangeMap, BitmapCountsOnlyWholePiecesAndTheShortLastPiece) {
  const std::int64_t piece = 16384;
  const std::int64_t size = 3 * piece + 100;  // four pieces, the last one 100 bytes
  range_map map;
  map.reset(size);
  map.add(0, piece);                       // piece 0
  map.add(piece + 1, 3 * piece);           // piece 1 lacks its first byte; piece 2 whole
  map.add(3 * piece, size);                // the short last piece
  const piece_bitmap bitmap = map.to_bitmap(piece);
  ASSERT_EQ(bitmap.size(), 4);
  EXPECT_EQ(bitmap.bytes(), std::string(1, static_cast<char>(0xB0)));  // 1011 0000

  range_map back;
  back.reset(size);
  back.from_bitmap(bitmap, piece);
  EXPECT_EQ(back.ranges(), Ranges({{0, piece}, {2 * piece, size}}));
}

TEST(RangeMap, ResumedBitmapLeavesTheRestToFetch) {
  // Pieces 0 and 1 stored: the next range starts at the third piece.
  const std::int64_t piece = 16384;
  const std::int64_t size = 10 * piece;
  range_map map;
  map.reset(size);
  piece_bitmap bitmap(10);
  bitmap.set(0);
  bitmap.set(1);
  map.from_bitmap(bitmap, piece);
  std::int64_t left = 0, right = 0;
  ASSERT_TRUE(map.next_free(0, left, right));
  EXPECT_EQ(range({left, right}), range({2 * piece, size}));
  EXPECT_EQ(map.covered_bytes(), 2 * piece);
}

TEST(RangeMap, OffsetsBeyondFourGibibytes) {
  const std::int64_t piece = 16 * 1024 * 1024;
  const std::int64_t size = 5'000'000'000LL;
  range_map map;
  map.reset(size);
  ASSERT_TRUE(map.add(4'294'967'296LL, size));
  const piece_bitmap bitmap = map.to_bitmap(piece);
  EXPECT_EQ(bitmap.size(), 299);  // ceil(5e9 / 16 MiB)
  EXPECT_FALSE(bitmap.test(255));
  EXPECT_TRUE(bitmap.test(256));
  EXPECT_TRUE(bitmap.test(298));
  range_map back;
  back.reset(size);
  back.from_bitmap(bitmap, piece);
  EXPECT_EQ(back.ranges(), Ranges({{256 * piece, size}}));
}

TEST(RangeMap, ConcurrentAddsAllCount) {
  range_map map;
  map.reset(4 * 10000);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&map, t] {
      for (int i = 0; i < 10000; ++i) {
        map.add(i * 4 + t, i * 4 + t + 1);
        if (i % 100 == 0) map.covered_bytes();
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_TRUE(map.is_full());
}

TEST(PieceBitmap, MostSignificantBitFirstAndUnusedBitsCleared) {
  const piece_bitmap bitmap = piece_bitmap::from_bytes(std::string("\xFF\xFF", 2), 10);
  EXPECT_EQ(bitmap.bytes(), std::string("\xFF\xC0", 2));
  EXPECT_TRUE(bitmap.test(9));
  EXPECT_FALSE(bitmap.test(10));
  // Missing bytes read as empty pieces.
  const piece_bitmap short_input = piece_bitmap::from_bytes(std::string("\x40", 1), 12);
  EXPECT_EQ(short_input.bytes(), std::string("\x40\x00", 2));
  EXPECT_TRUE(short_input.test(1));
}

// A count of bytes that does not fit a 32-bit size_t would wrap to a smaller buffer there.
TEST(PieceBitmap, CountsBeyondTheBoundAreRefusedNotWrapped) {
  EXPECT_EQ(piece_bitmap::byte_count(piece_bitmap::kMaxBits), static_cast<std::size_t>(piece_bitmap::kMaxBits / 8));
  EXPECT_EQ(piece_bitmap::byte_count(9), 2u);
  for (const std::int64_t bits : {piece_bitmap::kMaxBits + 1, std::int64_t{1} << 38, INT64_MAX}) {
    EXPECT_THROW(piece_bitmap::byte_count(bits), std::length_error) << bits;
  }
  // The largest file with the smallest pieces stays well inside.
  EXPECT_LE(kMaxFileSize / kMinPieceSize, piece_bitmap::kMaxBits);
}

TEST(PieceSize, SmallestPowerOfTwoAtLeastOne2048thOfTheFile) {
  struct Case {
    std::int64_t file_size;
    std::int64_t piece;
  };
  for (const Case& c : {Case{0, 16384}, Case{1, 16384}, Case{1000, 16384}, Case{16384LL * 2048, 16384},
                        Case{16384LL * 2048 + 2048, 32768}, Case{100'000'000, 65536},
                        Case{16777216LL * 2048, 16777216}, Case{1LL << 50, 16777216}}) {
    EXPECT_EQ(compute_piece_size(c.file_size), c.piece) << c.file_size;
  }
}

}  // namespace
}  // namespace httpdl
