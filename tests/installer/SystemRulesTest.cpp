#include <gtest/gtest.h>

#include "common/PathText.h"
#include "installer/SystemRules.h"

namespace {

TEST(SystemRules, WorkFolderStemCutsAtTheLastDot) {
  const std::wstring S(1, pathtext::kSeparator);
  EXPECT_EQ(ComposeWorkFolder(L"C:\\Program Files\\", L"C:\\Users\\me\\Downloads\\setup.x.exe"),
            L"C:\\Program Files\\nexvale_down" + S + L"setup.x" + S);
  EXPECT_EQ(ComposeWorkFolder(L"P" + S, L"D:/dl/installer"), L"P" + S + L"nexvale_down" + S + L"installer" + S);
}

TEST(SystemRules, FreeSpaceInWholeMegabytes) {
  EXPECT_EQ(WholeMegabytes(1572864000ull), 1500);
  EXPECT_EQ(WholeMegabytes((1ull << 20) - 1), 0);
  EXPECT_EQ(WholeMegabytes(5ull << 40), 5 << 20);
  // Beyond what 32 bits hold the value saturates instead of turning negative.
  EXPECT_EQ(WholeMegabytes(~0ull), INT32_MAX);
}

TEST(SystemRules, DigestAsLowerCaseHex) {
  const unsigned char bytes[] = {0x00, 0x0f, 0xa0, 0xff};
  EXPECT_EQ(HexDigest(bytes, sizeof bytes), "000fa0ff");
}

}  // namespace
