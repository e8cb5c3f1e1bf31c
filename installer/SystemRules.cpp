#include "installer/SystemRules.h"

#include <cstdint>

#include "common/PathText.h"

std::wstring ComposeWorkFolder(std::wstring_view programFilesFolder, std::wstring_view executablePath) {
  const std::wstring stem = pathtext::StemBeforeLastDot(pathtext::FileNamePart(executablePath));
  std::wstring folder(programFilesFolder);
  folder += L"nexvale_down";
  folder += pathtext::kSeparator;
  folder += stem;
  folder += pathtext::kSeparator;
  return folder;
}

int32_t WholeMegabytes(uint64_t bytes) {
  // Clamped rather than wrapped: a volume of 2 PiB or more must not read as negative free space.
  const uint64_t megabytes = bytes >> 20;
  return megabytes > INT32_MAX ? INT32_MAX : static_cast<int32_t>(megabytes);
}

std::string HexDigest(const unsigned char* bytes, size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}
