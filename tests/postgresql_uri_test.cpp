// No message of a --database=postgresql://... run shows a password.

#include <gtest/gtest.h>

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
  const std::pair<std::string, std::string> cases[] = {
      {"unexpected character \"x\" in URI: \"" + uri + "\"",
       "unexpected character \"x\" in URI: \"postgresql://u:****@h/db?password=****\""},
      {"invalid percent-encoded token: \"se%63ret\"", "invalid percent-encoded token: \"****\""},
      {"decoded \"secret\" and \"other\"", "decoded \"****\" and \"****\""},
      {"connection refused", "connection refused"},
  };
  for (const auto& [message, shown] : cases) EXPECT_EQ(Detail::without_password(message, uri), shown) << message;
}

TEST(PostgresqlUri, ColumnTypes) {
  EXPECT_EQ(Detail::postgresql_type({"name"}), "text");
  EXPECT_EQ(Detail::postgresql_type({"line", "INTEGER"}), "bigint");
  EXPECT_EQ(Detail::postgresql_type({"count", "INT"}), "bigint");
  EXPECT_EQ(Detail::postgresql_type({"origindec", "INT", true}), "numeric(20,0)");
}

}  // namespace
