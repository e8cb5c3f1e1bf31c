#include "common/DomainFile.h"

#include "common/Encoding.h"
#include "common/FileOps.h"
#include "log/Logger.h"

bool WriteDomainFile(const std::wstring& productFolder, const std::wstring& domainCode) {
  if (domainCode.empty()) return true;
  const std::wstring path = productFolder + kDomainFileName;
  const std::string bytes = encoding::WideToAnsi(domainCode);
  if (const fileops::Failure failure = fileops::WriteWholeFile(path, bytes)) {
    LOG_INFOW(L"domain file %s could not be written: %S", path.c_str(), failure.text.c_str());
    return false;
  }
  return true;
}
