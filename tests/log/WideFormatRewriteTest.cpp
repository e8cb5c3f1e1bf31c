#include <gtest/gtest.h>

#include "log/posix/WideFormatRewrite.h"

namespace {

TEST(WideFormatRewrite, MapsWindowsStringConversionsToC99) {
  const struct {
    const wchar_t* windows;
    const wchar_t* c99;
  } cases[] = {
      {L"%s", L"%ls"},
      {L"%S", L"%s"},
      {L"%hs", L"%s"},
      {L"%ls", L"%ls"},
      {L"%-10.3s|%d|%%s", L"%-10.3ls|%d|%%s"},
      {L"100%", L"100%"},
  };
  for (const auto& c : cases) EXPECT_EQ(logplatform::RewriteWideFormatForC99(c.windows), c.c99) << c.windows;
}

}  // namespace
