// No message of a --database=postgresql://... run shows a password.

#include <gtest/gtest.h>

#include "detail/postgresql_connection.h"
#include "detail/postgresql_sink.h"

namespace {

TEST(PostgresqlUri, PasswordsAreMasked) {
  const std::pair<std::string, std::string> cases[] = {
      {"postgresql://u:secret@h/db", "postgresql://u:****@h/db"},
      {"postgres://u:s%40c:r@h:5432,h2:5433/db?sslmode=require", "postgres://u:****@h:5432,h2:5433/db?sslmode=require"},
      {"postgresql://:secret@/db?host=/run", "postgresql://:****@/db?host=/run"},
      {"postgresql://u@h/db?password=secret&sslmode=require", "postgresql://u@h/db?password=****&sslmode=require"},
      {"postgresql://h/db?sslmode=require&pass%77ord=secret", "postgresql://h/db?sslmode=require&pass%77ord=****"},
      {"postgresql://u:a@h/db?password=b&sslpassword=c", "postgresql://u:****@h/db?password=****&sslpassword=****"},
      {"postgresql://u:pass?word@h/db", "postgresql://u:****@h/db"},
      {"postgresql://u@h/db?password=", "postgresql://u@h/db?password=****"},
      {"postgresql://u@h/db", "postgresql://u@h/db"},
      {"postgresql://h:5432/d:b@x", "postgresql://h:5432/d:b@x"},  // no user part: "/" comes before "@"
      {"postgresql://", "postgresql://"},
  };
  for (const auto& [uri, masked] : cases) EXPECT_EQ(Detail::mask_password(uri), masked) << uri;
}

TEST(PostgresqlUri, MessagesLoseThePassword) {
  const std::string uri = "postgresql://u:se%63ret@h/db?password=other";
  const std::string bad_uri = "postgresql://u:se%63ret@h/db?password=other&x%zz";  // libpq cannot read it
  const struct {
    std::string uri;
    std::string message;
    std::string shown;
  } cases[] = {
      {uri, "unexpected character \"x\" in URI: \"" + uri + "\"",
       "unexpected character \"x\" in URI: \"postgresql://u:****@h/db?password=****\""},
      {uri, "connection refused", "connection refused"},
      // A URI libpq reads shows its password only in the URI's fields.
      {"postgresql://e:e@h/db", "connection to e failed for user \"e\"",
       "connection to e failed for user \"e\""},
      {"postgresql://writer:writer@h/db", "password authentication failed for user \"writer\"",
       "password authentication failed for user \"writer\""},
      // One libpq cannot read: the URI as a whole, its quoted parts, and the
      // password's text as a whole token.
      {bad_uri, "invalid percent-encoded token: \"se%63ret\"", "invalid percent-encoded token: \"****\""},
      {bad_uri, "decoded secret and (other)", "decoded **** and (****)"},
      {bad_uri, "bad URI: \"" + bad_uri + "\"", "bad URI: \"postgresql://****\""},
      {"postgresql://u:e@h/db?x%zz", "invalid percent-encoded token in connection: \"x%zz\"",
       "invalid percent-encoded token in connection: \"****\""},
      {"postgresql://u@h/db?password=s3cr&et", "missing key/value separator \"=\" in URI query parameter: \"et\"",
       "missing key/value separator \"=\" in URI query parameter: \"****\""},
      {"postgres://u:s3cr%zzet@/db", "invalid percent-encoded token: \"s3cr%zzet\"",
       "invalid percent-encoded token: \"****\""},
  };
  for (const auto& c : cases) EXPECT_EQ(Detail::without_password(c.message, c.uri), c.shown) << c.message;
}

TEST(PostgresqlUri, ColumnTypes) {
  EXPECT_EQ(Detail::postgresql_type({"name"}), "text");
  EXPECT_EQ(Detail::postgresql_type({"line", "INTEGER"}), "bigint");
  EXPECT_EQ(Detail::postgresql_type({"count", "INT"}), "bigint");
  EXPECT_EQ(Detail::postgresql_type({"origindec", "INT", true}), "numeric(20,0)");
}

}  // namespace
