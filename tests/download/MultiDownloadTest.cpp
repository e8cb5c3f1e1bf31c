// The range downloader against the test world: nginx on 127.0.0.1 (plain on 80, TLS with the
// test root on 443) for real ranges and keep-alive, and the fault server's ranged file for
// answers nginx never gives. Time-outs are two seconds so that stalls cost little.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include <boost/system/system_error.hpp>

#include "common/Encoding.h"
#include "download/http/error.h"
#include "download/http/multi_download.h"
#include "download/http/state_file.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestWorld.h"

namespace httpdl {
namespace {

namespace asio = boost::asio;
using boost::system::error_code;
using testsupport::FaultServerUrl;
using testsupport::PathExists;
using testsupport::ReadFileBytes;
using testsupport::WorldPath;
using testsupport::WriteFileBytes;

// The bytes the fault server's ranged file holds.
std::string RangedContent(std::size_t size) {
  std::string out(size, '\0');
  for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<char>(((i * 2654435761ULL) >> 13) & 0xFF);
  return out;
}

std::string RandomBytes(std::size_t size) {
  std::mt19937 random(static_cast<unsigned>(size));
  std::string out(size, '\0');
  for (char& c : out) c = static_cast<char>(random());
  return out;
}

// Files of these tests live in a folder of their own under nginx's document root.
void ServeFile(const std::string& name, const std::string& content) { testsupport::ServeFile("multi/" + name, content); }

// A storage that counts the bytes it writes whole and fails every write beyond a budget.
class limited_storage : public storage_interface {
 public:
  limited_storage(std::int64_t budget, std::shared_ptr<std::atomic<std::int64_t>> written)
      : budget_(budget), written_(std::move(written)) {}
  void open(const std::wstring& path, error_code& ec) override { file_.open(path, ec); }
  void close() override { file_.close(); }
  std::size_t write(const char* buffer, std::int64_t offset, std::size_t size) override {
    // The last write that fits is cut short, as a full volume does.
    const std::size_t allowed = static_cast<std::size_t>(std::clamp<std::int64_t>(budget_, 0, static_cast<std::int64_t>(size)));
    const std::size_t n = file_.write(buffer, offset, allowed);
    budget_ -= static_cast<std::int64_t>(n);
    if (n == size) *written_ += static_cast<std::int64_t>(n);
    return n;
  }
  std::size_t write(const char* buffer, std::size_t size) override { return file_.write(buffer, size); }
  std::size_t read(char* buffer, std::int64_t offset, std::size_t size) override { return file_.read(buffer, offset, size); }
  std::size_t read(char* buffer, std::size_t size) override { return file_.read(buffer, size); }
  bool eof() override { return file_.eof(); }
  error_code truncate(std::int64_t size) override { return file_.truncate(size); }
  std::int64_t size() override { return file_.size(); }

 private:
  file_storage file_;
  std::int64_t budget_;
  std::shared_ptr<std::atomic<std::int64_t>> written_;
};

class MultiDownload : public ::testing::Test {
 protected:
  MultiDownload() {
    settings_.connections = 16;
    settings_.timeout_seconds = 2;
    settings_.pieces_per_request = 8;
    settings_.use_stored_url = false;
    settings_.temp_file = folder_.path() + L"setup.exe.tmp";
    settings_.state_file = folder_.path() + L"setup.exe.cfg";
    settings_.verify_certificate = true;
    settings_.ca_file = WorldPath("NEXVALE_TEST_CA");
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    token_ = std::string(info->name()) + std::to_string(std::random_device()());
  }

  std::string Ranged(const std::string& mode, std::size_t size) const {
    return FaultServerUrl("/ranged/" + token_ + "/" + mode + "/" + std::to_string(size));
  }

  // The Range values the fault server received for this test, in order.
  std::vector<std::string> ServerLog() {
    asio::io_context io;
    http_stream stream(io);
    error_code ec;
    stream.open(FaultServerUrl("/log/" + token_), ec);
    EXPECT_FALSE(ec) << ec.message();
    std::string body;
    char buffer[4096];
    for (;;) {
      const std::size_t n = stream.read_some(asio::buffer(buffer), ec);
      body.append(buffer, n);
      if (ec || n == 0) break;
    }
    std::vector<std::string> lines;
    std::istringstream in(body);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // Starts the download and runs it to its end; false when it did not end within a minute.
  bool Download(multi_download& download, const std::string& url) {
    download.start(url, settings_);
    return Run();
  }

  bool Run() {
    io_.restart();
    io_.run_for(std::chrono::seconds(60));
    return io_.stopped();
  }

  std::string Body() const { return ReadFileBytes(settings_.temp_file); }

  download_state StoredState() const {
    download_state state;
    EXPECT_FALSE(decode_download_state(ReadFileBytes(settings_.state_file), state));
    return state;
  }

  // The byte ranges the state file records as stored.
  std::vector<range> StoredRanges() const {
    const download_state state = StoredState();
    EXPECT_TRUE(is_consistent(state));
    range_map stored;
    stored.reset(state.file_size);
    stored.from_bitmap(piece_bitmap::from_bytes(state.bitfield, state.piece_num), state.piece_size);
    return stored.ranges();
  }

  static std::int64_t Covered(const std::vector<range>& ranges) {
    std::int64_t sum = 0;
    for (const range& r : ranges) sum += r.right - r.left;
    return sum;
  }

  void ExpectComplete(multi_download& download, const std::string& content) {
    EXPECT_TRUE(download.complete());
    EXPECT_FALSE(download.failure());
    EXPECT_EQ(download.file_size(), static_cast<std::int64_t>(content.size()));
    EXPECT_EQ(download.downloaded_bytes(), static_cast<std::int64_t>(content.size()));
    download.close();
    EXPECT_TRUE(Body() == content) << "the downloaded body differs from the source";
  }

  testsupport::TempFolder folder_{L"multi download"};
  download_settings settings_;
  std::string token_;
  asio::io_context io_;
};

TEST_F(MultiDownload, ManyConnectionsFromNginxOverHttpAndHttps) {
  const std::string content = RandomBytes(3 * 1024 * 1024 + 17);
  ServeFile("big.bin", content);
  for (const char* url : {"http://127.0.0.1/multi/big.bin", "https://localhost/multi/big.bin"}) {
    SCOPED_TRACE(url);
    std::filesystem::remove(encoding::ToPath(settings_.state_file));
    multi_download download(io_);
    ASSERT_TRUE(Download(download, url));
    ExpectComplete(download, content);
    const download_state state = StoredState();
    EXPECT_TRUE(is_consistent(state));
    EXPECT_EQ(state.file_size, static_cast<std::int64_t>(content.size()));
    EXPECT_EQ(state.requested_url, url);
    EXPECT_EQ(state.bitfield, piece_bitmap::from_bytes(std::string(state.bitfield.size(), '\xFF'), state.piece_num).bytes());
  }
}

TEST_F(MultiDownload, RedirectedAddressIsRecordedBesideTheRequestedOne) {
  multi_download download(io_);
  ASSERT_TRUE(Download(download, "http://127.0.0.1/hop/2"));
  ExpectComplete(download, "nexvale test server\n");
  const download_state state = StoredState();
  EXPECT_EQ(state.final_url, "http://127.0.0.1/index.html");
  EXPECT_EQ(state.requested_url, "http://127.0.0.1/hop/2");
}

TEST_F(MultiDownload, CertificatesAreVerified) {
  settings_.ca_file.clear();
  ServeFile("verified.bin", "x");
  multi_download download(io_);
  // The self-signed port: no trusted root vouches for it.
  EXPECT_THROW(download.start("https://localhost:4443/multi/verified.bin", settings_), boost::system::system_error);
  EXPECT_FALSE(PathExists(settings_.state_file));
}

TEST_F(MultiDownload, ProbeFailuresThrowAndWriteNoState) {
  multi_download download(io_);
  struct Case {
    const char* url;
    error_code expected;
  };
  for (const Case& c : {Case{"http://127.0.0.1/multi/missing.bin", status_error(404)},
                        Case{"not a url", boost::system::errc::make_error_code(boost::system::errc::invalid_argument)}}) {
    try {
      download.start(c.url, settings_);
      ADD_FAILURE() << c.url << " started";
    } catch (const boost::system::system_error& e) {
      EXPECT_EQ(e.code(), c.expected) << c.url;
    }
  }
  EXPECT_FALSE(PathExists(settings_.state_file));
  EXPECT_FALSE(PathExists(settings_.temp_file));

  // A body file that cannot be opened fails the start too.
  ServeFile("small.bin", "small");
  settings_.temp_file = folder_.path() + L"no such folder/setup.exe.tmp";
  EXPECT_THROW(download.start("http://127.0.0.1/multi/small.bin", settings_), boost::system::system_error);
  EXPECT_FALSE(PathExists(settings_.state_file));
}

TEST_F(MultiDownload, FreshSmallFileStaysOnTheProbeConnection) {
  for (std::size_t size : {std::size_t{1000}, std::size_t{1}}) {
    SCOPED_TRACE(size);
    token_ += "-" + std::to_string(size);
    std::filesystem::remove(encoding::ToPath(settings_.state_file));
    multi_download download(io_);
    ASSERT_TRUE(Download(download, Ranged("ok", size)));
    ExpectComplete(download, RangedContent(size));
    // Connection 0 read the whole file from the probe's answer; nothing else was asked for.
    EXPECT_EQ(ServerLog(), std::vector<std::string>{"bytes=0-"});
  }
}

TEST_F(MultiDownload, ProbeAnsweredWith200UsesOneConnectionAndNoStateFile) {
  const std::size_t size = 300000;
  multi_download download(io_);
  ASSERT_TRUE(Download(download, Ranged("plain200", size)));
  ExpectComplete(download, RangedContent(size));
  EXPECT_EQ(ServerLog(), std::vector<std::string>{"bytes=0-"});
  EXPECT_FALSE(PathExists(settings_.state_file));
}

TEST_F(MultiDownload, SizeComesFromContentRangeWhateverContentLengthSays) {
  // "ok" answers the open-ended probe with 64 KiB and a Content-Length of 64 KiB; "rangeonly"
  // sends no Content-Length at all and closes after every answer.
  const std::size_t size = 400000;
  for (const char* mode : {"ok", "rangeonly"}) {
    SCOPED_TRACE(mode);
    token_ += mode;
    std::filesystem::remove(encoding::ToPath(settings_.state_file));
    multi_download download(io_);
    ASSERT_TRUE(Download(download, Ranged(mode, size)));
    ExpectComplete(download, RangedContent(size));
    EXPECT_GT(ServerLog().size(), 2u) << "the file was not split among connections";
  }
}

TEST_F(MultiDownload, NonNumericContentLengthFallsBackToOneConnection) {
  const std::size_t size = 100000;
  {
    // The size from Content-Range is still known, and the download completes.
    multi_download download(io_);
    ASSERT_TRUE(Download(download, Ranged("badlength", size)));
    ExpectComplete(download, RangedContent(size));
    EXPECT_EQ(ServerLog(), std::vector<std::string>{"bytes=0-"});
    EXPECT_FALSE(PathExists(settings_.state_file));
  }
  {
    // A 200 without a usable length: every byte arrives, but the size stays unknown.
    multi_download download(io_);
    download.start(Ranged("badlength200", size), settings_);
    ASSERT_TRUE(Run());
    EXPECT_EQ(download.file_size(), -1);
    EXPECT_FALSE(download.complete());
    EXPECT_EQ(download.downloaded_bytes(), static_cast<std::int64_t>(size));
  }
}

TEST_F(MultiDownload, WrongRangeAnswersAreNeverWritten) {
  // The first answer for every range is the whole file (200) or starts one byte late (206);
  // the retry is right. Writing either wrong answer at the range's offset would corrupt the body.
  const std::size_t size = 600000;
  settings_.pieces_per_request = 2;
  for (const char* mode : {"ranges200", "wrongstart"}) {
    SCOPED_TRACE(mode);
    token_ += mode;
    std::filesystem::remove(encoding::ToPath(settings_.state_file));
    multi_download download(io_);
    ASSERT_TRUE(Download(download, Ranged(mode, size)));
    ExpectComplete(download, RangedContent(size));
    // Every range was refused at least once (a slow answer may be retried once more).
    const auto log = ServerLog();
    for (std::size_t i = 1; i < log.size(); ++i) {
      EXPECT_GE(std::count(log.begin(), log.end(), log[i]), 2) << log[i] << " was not asked for again";
    }
  }
}

// The first answer for each range runs one wrong byte past the range its head announces, with
// no Content-Length to stop it: the answer is believed up to its announced end only, and that
// last byte is asked for again.
TEST_F(MultiDownload, BodiesRunningPastTheirAnnouncedRangeAreCutThere) {
  const std::size_t size = 300000;
  settings_.pieces_per_request = 2;
  multi_download download(io_);
  ASSERT_TRUE(Download(download, Ranged("overlong", size)));
  ExpectComplete(download, RangedContent(size));
  const auto log = ServerLog();
  for (const std::string& asked : log) {
    const auto dash = asked.find('-');
    const std::string first = asked.substr(6, dash - 6), last = asked.substr(dash + 1);
    if (first == "0" || first == last) continue;
    EXPECT_NE(std::find(log.begin(), log.end(), "bytes=" + last + "-" + last), log.end()) << asked;
  }
}

TEST_F(MultiDownload, LastByteIsAskedForAgainAfterAStall) {
  const std::size_t size = 1000;
  multi_download download(io_);
  ASSERT_TRUE(Download(download, Ranged("stalllast", size)));
  ExpectComplete(download, RangedContent(size));
  EXPECT_EQ(ServerLog(), (std::vector<std::string>{"bytes=0-", "bytes=999-999"}));
}

TEST_F(MultiDownload, NotFoundRangesEndTheDownloadIncomplete) {
  const std::size_t size = 600000;
  settings_.pieces_per_request = 2;
  multi_download download(io_);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(Download(download, Ranged("some404", size)));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  EXPECT_FALSE(download.complete());
  EXPECT_EQ(download.failure().stage, failure_stage::ranges);
  EXPECT_EQ(download.failure().http_status, 404);
  const std::int64_t got = download.downloaded_bytes();
  EXPECT_GE(got, static_cast<std::int64_t>(size / 2) - 32768);
  EXPECT_LT(got, static_cast<std::int64_t>(size));
  download.close();
  // What arrived is right; the state file records exactly that.
  const std::string content = RangedContent(size);
  EXPECT_EQ(Body().substr(0, size / 2 - 32768), content.substr(0, size / 2 - 32768));
  EXPECT_EQ(Covered(StoredRanges()), got);
}

TEST_F(MultiDownload, RandomResetsAndStallsStillGiveTheSameBytes) {
  const std::size_t size = 1024 * 1024 + 3;
  settings_.connections = 8;
  settings_.pieces_per_request = 4;
  multi_download download(io_);
  ASSERT_TRUE(Download(download, Ranged("chaos", size)));
  ExpectComplete(download, RangedContent(size));
}

// ---- resuming from the state file ----------------------------------------------------------

class Resume : public MultiDownload {
 protected:
  static constexpr std::int64_t kPiece = 16384;
  static constexpr std::size_t kSize = 5 * kPiece + 123;

  download_state StateWithPieces(std::initializer_list<int> pieces) const {
    download_state state;
    state.file_size = kSize;
    state.piece_size = kPiece;
    state.piece_num = 6;
    piece_bitmap bitmap(6);
    for (int piece : pieces) bitmap.set(piece);
    state.bitfield = bitmap.bytes();
    return state;
  }
};

TEST_F(Resume, StoredPiecesAreNotFetchedAgain) {
  const std::string content = RangedContent(kSize);
  // The stored pieces are on disk; the rest of the leftover is junk that must be overwritten,
  // and a tail beyond the file's end must go.
  WriteFileBytes(settings_.temp_file, content.substr(0, 2 * kPiece) + std::string(kSize, 'J'));
  // A record longer than the ones this download writes: the file is cut to each new record.
  download_state state = StateWithPieces({0, 1});
  state.final_url = "http://127.0.0.1/" + std::string(300, 'u');
  WriteFileBytes(settings_.state_file, encode_download_state(state));
  multi_download download(io_);
  ASSERT_TRUE(Download(download, Ranged("ok", kSize)));
  ExpectComplete(download, content);
  EXPECT_EQ(StoredState().final_url, Ranged("ok", kSize));
  // Connection 0 gave up the probe's answer and asked from the first missing piece on.
  const auto log = ServerLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1], "bytes=32768-82042");
}

TEST_F(Resume, CompleteStateSchedulesNothing) {
  const std::string content = RangedContent(kSize);
  WriteFileBytes(settings_.temp_file, content);
  WriteFileBytes(settings_.state_file, encode_download_state(StateWithPieces({0, 1, 2, 3, 4, 5})));
  multi_download download(io_);
  download.start(Ranged("ok", kSize), settings_);
  EXPECT_EQ(io_.poll(), 0u);  // nothing scheduled
  EXPECT_TRUE(download.complete());
  EXPECT_EQ(download.downloaded_bytes(), static_cast<std::int64_t>(kSize));
  EXPECT_EQ(ServerLog(), std::vector<std::string>{"bytes=0-"});
  EXPECT_TRUE(Body() == content);
}

TEST_F(Resume, UnusableStateFilesAreDroppedWithTheBody) {
  const std::string content = RangedContent(kSize);
  download_state lying = StateWithPieces({0, 1, 2});
  lying.piece_num = 5;
  download_state other_size = StateWithPieces({0, 1, 2});
  other_size.file_size = kSize - 1;
  download_state small_pieces = StateWithPieces({0});
  small_pieces.piece_size = 1024;
  const std::string good = encode_download_state(StateWithPieces({0, 1, 2}));
  struct Case {
    const char* what;
    std::string state;
  };
  const Case cases[] = {
      {"empty", ""},
      {"truncated", good.substr(0, good.size() / 2)},
      {"not bencode", "garbage"},
      {"lying piece count", encode_download_state(lying)},
      {"size differs from the server's", encode_download_state(other_size)},
      {"piece size out of bounds", encode_download_state(small_pieces)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    token_ += "x";
    // A leftover body longer than the file, all junk: nothing of it may survive.
    WriteFileBytes(settings_.temp_file, std::string(2 * kSize, 'J'));
    WriteFileBytes(settings_.state_file, c.state);
    multi_download download(io_);
    ASSERT_TRUE(Download(download, Ranged("ok", kSize)));
    ExpectComplete(download, content);
    EXPECT_EQ(ServerLog().at(1), "bytes=65536-82042") << "the download did not start from nothing";
    EXPECT_TRUE(is_consistent(StoredState()));
  }
}

TEST_F(Resume, StoppedFromAnotherThreadAndResumed) {
  const std::size_t size = 2 * 1024 * 1024;
  settings_.connections = 4;
  {
    multi_download download(io_);
    download.start(Ranged("slow", size), settings_);
    // Stopped once the smoothed speed shows bytes flowing, which is after the first tick.
    std::thread stopper([&download] {
      const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (download.speed() == 0 && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      download.stop();
    });
    ASSERT_TRUE(Run());
    stopper.join();
    EXPECT_FALSE(download.complete());
    EXPECT_GT(download.speed(), 0);
    EXPECT_GT(download.downloaded_bytes(), 0);
    EXPECT_LT(download.downloaded_bytes(), static_cast<std::int64_t>(size));
  }
  // The second run writes exactly the bytes the state file does not record.
  const std::int64_t stored = Covered(StoredRanges());
  EXPECT_GT(stored, 0);
  auto written = std::make_shared<std::atomic<std::int64_t>>(0);
  settings_.storage_factory = [written] { return std::make_unique<limited_storage>(INT64_MAX, written); };
  multi_download download(io_);
  ASSERT_TRUE(Download(download, Ranged("ok", size)));
  ExpectComplete(download, RangedContent(size));
  EXPECT_EQ(written->load(), static_cast<std::int64_t>(size) - stored);
}

TEST_F(Resume, FailedWritesEndTheDownloadAndAreNotCounted) {
  const std::size_t size = 600000;
  auto written = std::make_shared<std::atomic<std::int64_t>>(0);
  settings_.storage_factory = [written] { return std::make_unique<limited_storage>(200000 + 1000, written); };
  multi_download download(io_);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(Download(download, Ranged("ok", size)));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << "the failure did not end the download";
  EXPECT_FALSE(download.complete());
  EXPECT_EQ(download.failure().stage, failure_stage::write);
  EXPECT_EQ(download.failure().error, boost::system::errc::make_error_code(boost::system::errc::io_error));
  EXPECT_EQ(download.downloaded_bytes(), written->load());
  EXPECT_LE(written->load(), 200000 + 1000);
  // The state file never claims a piece that was not written whole.
  download.close();
  const std::vector<range> stored = StoredRanges();
  EXPECT_LE(Covered(stored), written->load());
  const std::string body = Body();
  const std::string content = RangedContent(size);
  for (const range& r : stored) {
    EXPECT_TRUE(body.substr(static_cast<std::size_t>(r.left), static_cast<std::size_t>(r.right - r.left)) ==
                content.substr(static_cast<std::size_t>(r.left), static_cast<std::size_t>(r.right - r.left)));
  }
}

}  // namespace
}  // namespace httpdl
