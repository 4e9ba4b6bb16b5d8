#include <climits>

#include <gtest/gtest.h>

#include "names.hpp"
#include "options.hpp"
#include "tables.hpp"

namespace {

TEST(TypeNames, Tests) {
  set_input("");
  domains["Expr"];
  EXPECT_TRUE(is_builtin_type("int64_t"));
  EXPECT_FALSE(is_builtin_type("int?"));
  EXPECT_TRUE(is_big_builtin_type("std::string"));
  EXPECT_FALSE(is_big_builtin_type("std::string?"));
  EXPECT_TRUE(is_domain("Expr"));
  EXPECT_FALSE(is_domain("Stmt"));
  set_input("");
  EXPECT_FALSE(is_domain("Expr"));

  EXPECT_TRUE(is_domain_name("Expr"));
  EXPECT_TRUE(is_domain_name("Expr2"));
  EXPECT_TRUE(is_domain_name(""));
  for (const char* t : {"int", "char", "List<Expr>", "Expr?", "my_type", "a::b", "\xC0x"})
    EXPECT_FALSE(is_domain_name(t)) << t;

  EXPECT_TRUE(is_list_type("List<int>"));
  EXPECT_TRUE(is_list_type("List<"));
  EXPECT_FALSE(is_list_type("List"));
  EXPECT_FALSE(is_list_type("std::List<int>"));
  EXPECT_TRUE(empty_type(""));
  EXPECT_TRUE(empty_type("?"));
  EXPECT_FALSE(empty_type("int?"));
}

TEST(TypeNames, Conversions) {
  EXPECT_EQ(list_of_type("int?"), "List<int>");
  EXPECT_EQ(list_of_type("Expr"), "List<Expr>");
  EXPECT_EQ(list_of_type("List<int>"), "List<List<int>>");
  EXPECT_EQ(list_of_type(""), "List<>");
  EXPECT_EQ(type_of_list("List<int>"), "int");
  EXPECT_EQ(type_of_list("List<List<Expr>>"), "List<Expr>");
  EXPECT_EQ(type_of_list("int"), "int");
  EXPECT_EQ(type_of_list("List<"), "");
  EXPECT_EQ(type_of_list("List<>"), "");
  EXPECT_EQ(type_mark("Expr?", 0), "ast::Maybe<Expr>");
  EXPECT_EQ(type_mark("std::string?", 1), "ast::Maybe<std::string>");
  EXPECT_EQ(type_mark("std::string", 1), "const std::string&");
  EXPECT_EQ(type_mark("std::string", 0), "std::string");
  EXPECT_EQ(type_mark("int", 1), "int");
  EXPECT_EQ(type_mark("", 1), "");
}

TEST(Terminals, Kinds) {
  EXPECT_TRUE(isterminal("?ID?") && isterminal("'x'") && isterminal("\"x\""));
  EXPECT_FALSE(isterminal("") || isterminal("expr"));
  EXPECT_TRUE(isliteral("'x'") && !isliteral("?ID?") && !isliteral(""));
}

TEST(Terminals, Normalize) {
  EXPECT_EQ(normalize_terminal("\"x\""), "'x'");
  EXPECT_EQ(normalize_terminal("'x'"), "'x'");
  EXPECT_EQ(normalize_terminal("'ab'"), "\"ab\"");
  EXPECT_EQ(normalize_terminal("\"\\n\""), "'\\n'");
  EXPECT_EQ(normalize_terminal("\"\""), "\"\"");
  EXPECT_EQ(normalize_terminal("?ID?"), "?ID?");
  EXPECT_EQ(normalize_terminal("\"\\xe0\""), "'\\xe0'");
  EXPECT_EQ(normalize_terminal("'\xE0'"), "'\\xe0'");
  EXPECT_EQ(normalize_terminal("\"\\x41b\""), "\"Ab\"");
  // A quote written escaped or bare is one terminal.
  EXPECT_EQ(normalize_terminal("'\\''"), "'\\''");
  EXPECT_EQ(normalize_terminal("\"'\""), "'\\''");
  EXPECT_EQ(normalize_terminal("'\"'"), "'\\\"'");
  EXPECT_EQ(normalize_terminal("\"\\\"\""), "'\\\"'");
  EXPECT_EQ(normalize_terminal("\"a\\\"b\""), "\"a\\\"b\"");
  // Too short to hold quotes: returned as given.
  EXPECT_EQ(normalize_terminal(""), "");
  EXPECT_EQ(normalize_terminal("'"), "'");
}

TEST(Escaping, Encode) {
  EXPECT_EQ(encode_string("a\nb\tc\\d'e\"f", 0), "a\\nb\\tc\\\\d\\'e\\\"f");
  EXPECT_EQ(encode_string("\xE0", 0), "\xE0");
  EXPECT_EQ(encode_string("\xE0", 1), "\\xe0");
  EXPECT_EQ(encode_string("\x7F", 1), "\\x7f");
  EXPECT_EQ(encode_string("\xFF\x80", 1), "\\xff\\x80");
  EXPECT_EQ(encode_string("\x7E\x01", 1), "\x7E\x01");
}

TEST(Escaping, Decode) {
  EXPECT_EQ(decode_string("\\x41"), "A");
  EXPECT_EQ(decode_string("\\x4"), "\\x4");
  EXPECT_EQ(decode_string("\\x4g"), "\\x4g");
  EXPECT_EQ(decode_string("\\x414"), "A4");
  EXPECT_EQ(decode_string("\\xE0"), "\xE0");
  EXPECT_EQ(decode_string("\\q"), "\\q");
  EXPECT_EQ(decode_string("a\\"), "a\\");
  EXPECT_EQ(decode_string("\\n\\t\\\\"), "\n\t\\");
  EXPECT_EQ(decode_string("\\'\\\""), "'\"");
  EXPECT_EQ(decode_string("\\\\n"), "\\n");
  EXPECT_EQ(decode_string("\\r\\0"), "\\r\\0");
  EXPECT_EQ(todigit('7'), 7);
  EXPECT_EQ(todigit('b'), 11);
  EXPECT_EQ(todigit('F'), 15);
  EXPECT_EQ(todigit('g'), 0);
}

TEST(Escaping, DecodeUndoesEncode) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(decode_string(encode_string(all, 1)), all);
  // Without the hexadecimal form a carriage return is written \r, as the
  // generated code reads it; the descriptions' own escapes leave \r as it is.
  std::string shown = all;
  shown.replace(shown.find('\r'), 1, "\\r");
  EXPECT_EQ(decode_string(encode_string(all, 0)), shown);
  for (const char* s : {"'", "\"", "\\'", "a\\\"b", "\\x41", "\\\\x41"})
    EXPECT_EQ(decode_string(encode_string(s, 1)), s) << s;
}

TEST(Symbols, Encode) {
  EXPECT_EQ(encode_symbol("a-b.c_9Z"), "a_b_c_9Z");
  EXPECT_EQ(encode_symbol("\xC0"), "A");
  EXPECT_EQ(encode_symbol("\xC6\xD9\xDF"), "ZhTshYa");
  EXPECT_EQ(encode_symbol("\xE0\xE6\xF9\xFF"), "azhtshya");
  EXPECT_EQ(encode_symbol("\xA8\xB8"), "Yoyo");
  EXPECT_EQ(encode_symbol("\xE2\xFB\xF0-1"), "viqr_1");
  EXPECT_EQ(encode_symbol("\x80\xBF"), "\x80\xBF");
  for (int c = 0xE0; c <= 0xFF; ++c) {
    std::string upper = encode_symbol(std::string(1, static_cast<char>(c - 0x20)));
    std::string lower = encode_symbol(std::string(1, static_cast<char>(c)));
    EXPECT_EQ(lower, cyr_enc[c - 0xE0]);
    EXPECT_EQ(upper.substr(1), lower.substr(1));
    EXPECT_EQ(upper[0], lower[0] - 'a' + 'A');
  }
}

TEST(Decimal, Reader) {
  std::size_t end = 0;
  EXPECT_EQ(read_decimal("12x", 0, &end), 12);
  EXPECT_EQ(end, 2u);
  EXPECT_EQ(read_decimal("$007", 1), 7);
  EXPECT_EQ(read_decimal("2147483647"), INT_MAX);
  EXPECT_EQ(read_decimal("2147483648", 0, &end), std::nullopt);
  EXPECT_EQ(end, 10u);
  EXPECT_EQ(read_decimal("99999999999999999999999+1", 0, &end), std::nullopt);
  EXPECT_EQ(end, 23u);
  EXPECT_EQ(read_decimal("x1", 0, &end), std::nullopt);
  EXPECT_EQ(end, 0u);
  EXPECT_EQ(read_decimal("-1"), std::nullopt);
  EXPECT_EQ(read_decimal("5", 1), std::nullopt);
  EXPECT_EQ(read_decimal("5", 7), std::nullopt);
}

}  // namespace
