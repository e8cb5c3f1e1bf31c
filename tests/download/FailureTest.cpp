// The words of the failures the test world cannot provoke on every platform: a full disk as
// the system reports it, and the ends no server causes.

#include <gtest/gtest.h>

#include <cerrno>

#include "download/http/failure.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace httpdl {
namespace {

using boost::system::error_code;
using boost::system::system_category;

TEST(FailureWords, FullDisksReadAsSuchWhateverTheSystemCallsThem) {
  const error_code full_disks[] = {
#ifdef _WIN32
      {ERROR_DISK_FULL, system_category()},
      {ERROR_HANDLE_DISK_FULL, system_category()},
#else
      {ENOSPC, system_category()},
#endif
      boost::system::errc::make_error_code(boost::system::errc::no_space_on_device),
  };
  for (const error_code& ec : full_disks) {
    EXPECT_EQ(describe({failure_stage::write, ec, 0, {}, {}}), "write failed: disk full") << ec.message();
  }
  const error_code io = boost::system::errc::make_error_code(boost::system::errc::io_error);
  EXPECT_EQ(describe({failure_stage::write, io, 0, {}, {}}), "write failed: " + io.message());
}

TEST(FailureWords, EndsNoServerCauses) {
  EXPECT_EQ(describe({}), "");
  EXPECT_EQ(describe({failure_stage::incomplete, {}, 0, "http://a.example/", {}}),
            "every connection ended before the file was complete");
  EXPECT_EQ(describe({failure_stage::internal, {}, 0, {}, "std::bad_alloc"}),
            "the download stopped on an unexpected error: std::bad_alloc");
  EXPECT_EQ(describe({failure_stage::address, {}, 0, "not a url", {}}),
            "the download address is not a usable URL: not a url");
}

}  // namespace
}  // namespace httpdl
