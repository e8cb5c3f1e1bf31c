// The bencode codec and the state record decoded from it.

#include <gtest/gtest.h>

#include "download/http/bencode.h"
#include "download/http/error.h"
#include "download/http/state_file.h"

namespace httpdl {
namespace {

TEST(Bencode, EncodesKeysInAscendingByteOrder) {
  bencode::value dict = bencode::value::make_dictionary();
  dict.set("zeta", bencode::value::make_integer(-5));
  dict.set("Alpha", bencode::value::make_string(std::string("a\0b", 3)));
  bencode::value list = bencode::value::make_list();
  list.append(bencode::value::make_integer(0));
  list.append(bencode::value::make_string(""));
  dict.set("m", list);
  dict.set("zeta", bencode::value::make_integer(7));  // replaced, not repeated
  const std::string text = bencode::encode(dict);
  EXPECT_EQ(text, std::string("d5:Alpha3:a\0b1:mli0e0:e4:zetai7ee", 33));

  bencode::value back;
  ASSERT_FALSE(bencode::decode(text, back));
  EXPECT_EQ(bencode::encode(back), text);
}

TEST(Bencode, IntegerLimits) {
  bencode::value v;
  ASSERT_FALSE(bencode::decode("i9223372036854775807e", v));
  EXPECT_EQ(v.integer(), INT64_MAX);
  ASSERT_FALSE(bencode::decode("i-9223372036854775808e", v));
  EXPECT_EQ(v.integer(), INT64_MIN);
}

TEST(Bencode, RefusesMalformedInput) {
  const char* const cases[] = {
      "",                          // nothing
      "i12",                       // unterminated integer
      "ie",                        // no digits
      "i-0e",                      // negative zero
      "i012e",                     // leading zero
      "i9223372036854775808e",     // beyond 64 bits
      "i-9223372036854775809e",
      "i99999999999999999999999e",
      "5:abc",                     // length past the end
      "99999999999999999999999:a", // length that overflows
      "01:a",                      // leading zero in a length
      "3abc",                      // no colon
      "l",                         // unterminated list
      "d3:keye",                   // key without value
      "di1ei2ee",                  // key that is not a string
      "d1:bi1e1:ai2ee",            // keys out of order
      "d1:ai1e1:ai2ee",            // repeated key
      "e",                         // stray end
      "i1ei2e",                    // trailing value
      "x",                         // unknown type
  };
  for (const char* text : cases) {
    bencode::value v;
    EXPECT_EQ(bencode::decode(text, v), make_error_code(errors::invalid_entry_type)) << '"' << text << '"';
  }
}

TEST(Bencode, NestingLimit) {
  bencode::value v;
  const std::string allowed = std::string(bencode::kMaxDepth, 'l') + std::string(bencode::kMaxDepth, 'e');
  EXPECT_FALSE(bencode::decode(allowed, v));
  const std::string deeper = 'l' + allowed + 'e';
  EXPECT_TRUE(bencode::decode(deeper, v));
  // Deep input fails at the limit instead of exhausting anything.
  EXPECT_TRUE(bencode::decode(std::string(1000000, 'l'), v));
}

download_state Sample() {
  download_state state;
  state.file_size = 100000;
  state.final_url = "https://dl.nexvale.example/a/setup.exe?x=1";
  state.requested_url = "https://dl.nexvale.example/latest";
  state.piece_size = 16384;
  state.piece_num = 7;
  state.bitfield = std::string("\xFC", 1);
  return state;
}

TEST(StateFile, EncodesTheRecordAndReadsItBack) {
  const std::string text = encode_download_state(Sample());
  EXPECT_EQ(text,
            "d8:bitfield1:\xFC" "9:file_sizei100000e9:final_url42:https://dl.nexvale.example/a/setup.exe?x=1"
            "9:piece_numi7e10:piece_sizei16384e13:requested_url33:https://dl.nexvale.example/latest" "e");
  download_state back;
  ASSERT_FALSE(decode_download_state(text, back));
  EXPECT_EQ(encode_download_state(back), text);
  EXPECT_TRUE(is_consistent(back));
}

TEST(StateFile, OlderRecordsWithoutTheRequestedAddressAreRead) {
  download_state back;
  back.requested_url = "left over";
  ASSERT_FALSE(decode_download_state("d8:bitfield0:9:file_sizei0e9:final_url0:9:piece_numi0e10:piece_sizei16384ee", back));
  EXPECT_EQ(back.requested_url, "");
  EXPECT_TRUE(is_consistent(back));
}

TEST(StateFile, UndecodableRecordsAreTheEngineError) {
  const std::string good = encode_download_state(Sample());
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"truncated", good.substr(0, good.size() - 1)},
      {"cut in a string", good.substr(0, 20)},
      {"trailing bytes", good + "x"},
      {"second record", good + good},
      {"not a dictionary", "li1ee"},
      {"missing bitfield", "d9:file_sizei0e9:final_url0:9:piece_numi0e10:piece_sizei16384ee"},
      {"size as a string", "d8:bitfield0:9:file_size1:09:final_url0:9:piece_numi0e10:piece_sizei16384ee"},
      {"url as an integer", "d8:bitfield0:9:file_sizei0e9:final_urli0e9:piece_numi0e10:piece_sizei16384ee"},
      {"requested_url as an integer",
       "d8:bitfield0:9:file_sizei0e9:final_url0:9:piece_numi0e10:piece_sizei16384e13:requested_urli1ee"},
  };
  for (const Case& c : cases) {
    download_state state;
    EXPECT_EQ(decode_download_state(c.text, state), make_error_code(errors::invalid_entry_type)) << c.what;
  }
}

TEST(StateFile, LyingRecordsAreInconsistent) {
  struct Case {
    const char* what;
    void (*change)(download_state&);
  };
  const Case cases[] = {
      {"negative size", [](download_state& s) { s.file_size = -1; }},
      {"piece too small", [](download_state& s) { s.piece_size = 16383; }},
      {"piece too large", [](download_state& s) { s.piece_size = 16 * 1024 * 1024 + 1; s.piece_num = 1; }},
      {"zero piece", [](download_state& s) { s.piece_size = 0; }},
      {"too few pieces", [](download_state& s) { s.piece_num = 6; }},
      {"too many pieces", [](download_state& s) { s.piece_num = 8; }},
      {"huge piece count", [](download_state& s) { s.piece_num = INT64_MAX; }},
      {"short bitfield", [](download_state& s) { s.bitfield.clear(); }},
      {"long bitfield", [](download_state& s) { s.bitfield += '\0'; }},
      {"huge size", [](download_state& s) { s.file_size = INT64_MAX; }},
  };
  ASSERT_TRUE(is_consistent(Sample()));
  for (const Case& c : cases) {
    download_state state = Sample();
    c.change(state);
    EXPECT_FALSE(is_consistent(state)) << c.what;
  }
}

}  // namespace
}  // namespace httpdl
