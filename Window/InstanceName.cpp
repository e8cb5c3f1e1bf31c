#include "Window/InstanceName.h"

#include "common/PathText.h"
#include "installer/win32/VersionResource.h"

std::wstring GetInstanceName(const std::wstring& executablePath) {
  if (const auto resource = VersionResource::Read(executablePath)) {
    std::wstring description = resource->String(L"040904b0", L"FileDescription");
    if (!description.empty()) return description;
  }
  return pathtext::StemBeforeLastDot(pathtext::FileNamePart(executablePath));
}
