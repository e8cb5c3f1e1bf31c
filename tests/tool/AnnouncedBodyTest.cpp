#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "tool/AnnouncedBody.h"

namespace {

TEST(AnnouncedBody, RefusesThePieceThatWouldPassTheAnnouncedLength) {
  AnnouncedBody body(10);
  EXPECT_TRUE(body.Accept(4));
  EXPECT_FALSE(body.complete());
  EXPECT_FALSE(body.Accept(7));  // 11 > 10: refused whole, nothing counted
  EXPECT_EQ(body.received(), 4u);
  EXPECT_TRUE(body.Accept(6));
  EXPECT_TRUE(body.complete());
  EXPECT_FALSE(body.Accept(1));
  EXPECT_TRUE(body.Accept(0));
  EXPECT_EQ(body.received(), 10u);
}

TEST(AnnouncedBody, HugePiecesCannotWrapTheCount) {
  AnnouncedBody body(100);
  EXPECT_TRUE(body.Accept(60));
  EXPECT_FALSE(body.Accept(std::numeric_limits<uint64_t>::max()));
  EXPECT_FALSE(body.Accept(std::numeric_limits<uint64_t>::max() - 50));
  EXPECT_EQ(body.received(), 60u);
}

TEST(AnnouncedBody, EmptyBodyIsCompleteAtOnce) {
  AnnouncedBody body(0);
  EXPECT_TRUE(body.complete());
  EXPECT_FALSE(body.Accept(1));
}

}  // namespace
