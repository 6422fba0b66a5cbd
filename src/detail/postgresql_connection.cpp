#include "detail/postgresql_connection.h"

#include <libpq-fe.h>

#include <algorithm>

#include "detail/postgresql_sink.h"

namespace Detail {

namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

void ignore_notice(void*, const char*) {}  // "relation ... already exists, skipping"

}  // namespace

void PgResultDeleter::operator()(pg_result* result) const { PQclear(result); }

std::string one_line(std::string_view text) {
  std::string line;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view part = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const bool hint = !part.empty() && is_space(part.front());
    while (!part.empty() && is_space(part.front())) part.remove_prefix(1);
    while (!part.empty() && is_space(part.back())) part.remove_suffix(1);
    if (part.empty() || part == "^" || part.starts_with("LINE ")) continue;
    if (!line.empty()) line += hint ? " " : "; ";
    line += part;
  }
  return line;
}

PostgresqlConnection::PostgresqlConnection(const std::string& uri, const char* application_name) : uri_(uri) {
  // Later keywords override the URI's: the values are UTF-8 text whatever
  // the environment says.
  const char* const keywords[] = {"dbname", "fallback_application_name", "client_encoding", nullptr};
  const char* const values[] = {uri_.c_str(), application_name, "UTF8", nullptr};
  connection_ = PQconnectdbParams(keywords, values, 1);
  if (!connection_) {
    problem_ = "out of memory";
  } else if (PQstatus(connection_) != CONNECTION_OK) {
    problem_ = message(PQerrorMessage(connection_));
    PQfinish(connection_);
    connection_ = nullptr;
  } else {
    PQsetNoticeProcessor(connection_, ignore_notice, nullptr);
  }
}

PostgresqlConnection::~PostgresqlConnection() { PQfinish(connection_); }

std::string PostgresqlConnection::message(std::string_view reason) const {
  return without_password(one_line(reason.empty() ? "unknown failure" : reason), uri_);
}

std::string PostgresqlConnection::failure(const pg_result* result) const {
  const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  return message(primary ? primary : connection_ ? PQerrorMessage(connection_) : "");
}

}  // namespace Detail
