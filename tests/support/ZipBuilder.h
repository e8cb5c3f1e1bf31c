#pragma once
// Builds small ZIP archives in memory for tests: folders, stored and deflated files, in the
// order they are added.

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class ZipBuilder {
 public:
  enum class Method { kStored, kDeflated };

  ZipBuilder& Folder(const std::string& name);  // name ends in '/'
  ZipBuilder& File(const std::string& name, const std::string& content, Method method = Method::kDeflated);
  // Adds an extended time-stamp extra field with this modification time to the last entry.
  ZipBuilder& ModifiedAt(uint32_t unixSeconds);

  std::string Build() const;

 private:
  struct Entry {
    std::string name;
    std::string data;  // as stored
    uint32_t crc = 0;
    uint32_t size = 0;
    uint16_t method = 0;
    uint32_t externalAttributes = 0;
    std::string extra;
  };
  static void PutSharedFields(std::string& out, const Entry& entry);

  std::vector<Entry> entries_;
};

}  // namespace testsupport
