#include "common/DomainFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "common/Encoding.h"
#include "log/Logger.h"

bool WriteDomainFile(const std::wstring& productFolder, const std::wstring& domainCode) {
  if (domainCode.empty()) return true;
  const std::wstring path = productFolder + kDomainFileName;
  const std::string bytes = encoding::WideToAnsi(domainCode);
  std::ofstream file(encoding::ToPath(path), std::ios::binary | std::ios::trunc);
  if (!file) {
    LOG_INFOW(L"domain file %s could not be opened: %S", path.c_str(), std::strerror(errno));
    return false;
  }
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) {
    LOG_INFOW(L"domain file %s could not be written: %S", path.c_str(), std::strerror(errno));
    return false;
  }
  return true;
}
