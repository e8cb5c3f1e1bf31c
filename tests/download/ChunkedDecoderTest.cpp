#include <gtest/gtest.h>

#include "download/http/chunked_decoder.h"

namespace httpdl {
namespace {

struct Decoded {
  chunked_decoder::result result;
  std::string data;
  std::string rest;  // input left after the body
};

// Decodes `body` delivered in pieces of `piece` bytes into reads of at most `read_size` bytes.
Decoded Decode(const std::string& body, std::size_t piece, std::size_t read_size) {
  chunked_decoder decoder;
  Decoded out{chunked_decoder::result::need_more, {}, {}};
  std::string pending;
  std::size_t fed = 0;
  std::vector<char> buffer(read_size);
  for (;;) {
    if (pending.empty()) {
      if (fed == body.size()) return out;
      pending = body.substr(fed, piece);
      fed += pending.size();
    }
    std::size_t consumed = 0, produced = 0;
    out.result = decoder.decode(pending, buffer.data(), buffer.size(), consumed, produced);
    pending.erase(0, consumed);
    out.data.append(buffer.data(), produced);
    if (out.result != chunked_decoder::result::need_more) {
      out.rest = pending + body.substr(fed);
      return out;
    }
  }
}

TEST(ChunkedDecoder, HandsOutDataAcrossAnySplit) {
  const std::string body =
      "5\r\nhello\r\n"
      "1A;name=value;other\r\nabcdefghijklmnopqrstuvwxyz\r\n"
      "0003 \t; ext\r\n123\r\n"
      "0\r\n"
      "Trailer: one\r\n"
      "Other: two\r\n"
      "\r\n"
      "HTTP/1.1 200 OK\r\n";
  for (std::size_t piece : {1, 2, 5, 1000}) {
    for (std::size_t read_size : {1, 3, 2048}) {
      SCOPED_TRACE(std::to_string(piece) + "/" + std::to_string(read_size));
      const Decoded out = Decode(body, piece, read_size);
      EXPECT_EQ(out.result, chunked_decoder::result::done);
      EXPECT_EQ(out.data, "helloabcdefghijklmnopqrstuvwxyz123");
      EXPECT_EQ(out.rest, "HTTP/1.1 200 OK\r\n");
    }
  }
}

TEST(ChunkedDecoder, EndsOnlyAfterTheFinalLineBreak) {
  for (const char* unfinished : {"0\r\n", "0\r\n\r", "0\r\nTrailer: x\r\n", "5\r\nhello\r\n"}) {
    SCOPED_TRACE(unfinished);
    EXPECT_EQ(Decode(unfinished, 100, 100).result, chunked_decoder::result::need_more);
  }
  EXPECT_EQ(Decode("0\r\n\r\n", 100, 100).result, chunked_decoder::result::done);
}

TEST(ChunkedDecoder, RejectsBrokenFrames) {
  for (const char* broken : {
           "\r\nhello\r\n",              // no size
           "x\r\n",                      // not hexadecimal
           "5\nhello\r\n",               // bare LF after the size
           "5\r\nhelloX\r\n",            // data longer than announced
           "5\r\nhello\n0\r\n\r\n",      // no CR after the data
           "5\r\nhello\rX",              // no LF after the data
           "5;ext\nhello",               // bare LF after an extension
           "5 x\r\n",                    // junk after the size
           "0\r\nTrailer\n\r\n",         // bare LF in the trailer
           "0\r\n\rX",                   // no LF at the end
           "8000000000000000\r\n",       // 2^63 does not fit
           "10000000000000000000\r\n",   // far too large
       }) {
    SCOPED_TRACE(broken);
    EXPECT_EQ(Decode(broken, 1000, 1000).result, chunked_decoder::result::failed);
  }
  EXPECT_EQ(Decode("7fffffffffffffff\r\nabc", 1000, 1000).result, chunked_decoder::result::need_more);
}

}  // namespace
}  // namespace httpdl
