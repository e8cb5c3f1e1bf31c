#pragma once
// Where a download's body goes: a file written at absolute 64-bit offsets by several
// connections. The interface lets tests put a failing or recording storage in its place.

#include <cstddef>
#include <cstdint>
#include <string>

#include <boost/system/error_code.hpp>

namespace httpdl {

class storage_interface {
 public:
  virtual ~storage_interface() = default;
  // Opens for reading and writing; creates the file when missing and never truncates it.
  virtual void open(const std::wstring& path, boost::system::error_code& ec) = 0;
  virtual void close() = 0;
  // Each returns the count of bytes moved; less than `size` means the operation failed.
  virtual std::size_t write(const char* buffer, std::int64_t offset, std::size_t size) = 0;
  virtual std::size_t write(const char* buffer, std::size_t size) = 0;  // at the current position
  virtual std::size_t read(char* buffer, std::int64_t offset, std::size_t size) = 0;
  virtual std::size_t read(char* buffer, std::size_t size) = 0;  // at the current position
  // True when no byte can be read at the current position; the position does not move.
  virtual bool eof() = 0;
  // Cuts or extends the file to `size` bytes.
  virtual boost::system::error_code truncate(std::int64_t size) = 0;
  // The file's length, or -1 when it cannot be told.
  virtual std::int64_t size() = 0;
  // Why the last write moved fewer bytes than asked (a full disk reads differently from a lost
  // volume); a storage that cannot tell says io_error.
  virtual boost::system::error_code write_error() const {
    return boost::system::errc::make_error_code(boost::system::errc::io_error);
  }
};

// A file opened for reading and writing, shared for reading by others, with a random-access
// hint; neither sparse nor pre-allocated. Failures carry the system's error code.
class file_storage final : public storage_interface {
 public:
  file_storage() = default;
  file_storage(const file_storage&) = delete;
  file_storage& operator=(const file_storage&) = delete;
  ~file_storage() override { close(); }

  void open(const std::wstring& path, boost::system::error_code& ec) override;
  void close() override;
  std::size_t write(const char* buffer, std::int64_t offset, std::size_t size) override;
  std::size_t write(const char* buffer, std::size_t size) override;
  std::size_t read(char* buffer, std::int64_t offset, std::size_t size) override;
  std::size_t read(char* buffer, std::size_t size) override;
  bool eof() override;
  boost::system::error_code truncate(std::int64_t size) override;
  std::int64_t size() override;
  boost::system::error_code write_error() const override { return write_error_; }

  bool is_open() const { return handle_ != kInvalidHandle; }

 private:
  // A file descriptor, or a Windows HANDLE; both use -1 for "none".
  static constexpr std::intptr_t kInvalidHandle = -1;
  std::intptr_t handle_ = kInvalidHandle;
  std::int64_t position_ = 0;
  boost::system::error_code write_error_;
};

}  // namespace httpdl
