#include "postgresql/server.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "support/files.h"

namespace test_support {

namespace {

std::string cluster_dir;  // also the server's socket folder

std::string cluster(const char* command) {
  return std::string("'" VIVIRI_POSTGRESQL_CLUSTER "' ") + command + " '" + cluster_dir + "'";
}

// Started before the first test and stopped after the last, whether the
// tests pass or fail. Without a server there is nothing to test against:
// that is a failure, never a skip.
class Cluster : public testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "viviri_pg_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    cluster_dir = pattern;
    ASSERT_EQ(std::system(cluster("start").c_str()), 0) << "cannot start a PostgreSQL cluster";
    PgConnection admin(database_uri("postgres"));
    ASSERT_EQ(admin.exec(std::string("create role ") + password_user + " login createdb password 'Right/pw'"), "");
  }
  void TearDown() override {
    if (!cluster_dir.empty()) {
      EXPECT_EQ(std::system(cluster("stop").c_str()), 0);
    }
  }
};

[[maybe_unused]] const testing::Environment* const cluster_environment = testing::AddGlobalTestEnvironment(new Cluster);

}  // namespace

std::string database_uri(const std::string& database, const std::string& user, const std::string& password) {
  return "postgresql://" + user + (password.empty() ? "" : ":" + password) + "@/" + database + "?host=" +
         cluster_dir;
}

std::string fresh_database(const std::string& name) {
  PgConnection admin(database_uri("postgres"));
  const std::string dropped = admin.exec("drop database if exists " + name + " with (force)");
  if (!dropped.empty()) throw std::runtime_error(dropped);
  const std::string created = admin.exec("create database " + name + " owner " + password_user);
  if (!created.empty()) throw std::runtime_error(created);
  return database_uri(name);
}


PgConnection::PgConnection(const std::string& uri)
    : link_(std::make_unique<Detail::PostgresqlConnection>(uri, "viviri_tests")), connection_(link_->get()) {
  if (!connection_) throw std::runtime_error("cannot connect to " + uri + ": " + link_->problem());
}

PgConnection::~PgConnection() = default;

std::string PgConnection::exec(const std::string& sql) {
  PGresult* result = PQexec(connection_, sql.c_str());
  const ExecStatusType status = PQresultStatus(result);
  std::string error =
      status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK ? "" : PQerrorMessage(connection_);
  PQclear(result);
  return error;
}

std::vector<std::vector<std::string>> PgConnection::rows(const std::string& query) {
  PGresult* result = PQexec(connection_, query.c_str());
  if (PQresultStatus(result) != PGRES_TUPLES_OK) {
    const std::string error = PQerrorMessage(connection_);
    PQclear(result);
    throw std::runtime_error("bad query: " + error);
  }
  std::vector<std::vector<std::string>> found;
  for (int row = 0; row < PQntuples(result); ++row) {
    std::vector<std::string>& values = found.emplace_back();
    for (int column = 0; column < PQnfields(result); ++column) {
      values.emplace_back(PQgetisnull(result, row, column) ? "NULL"
                                                           : std::string(PQgetvalue(result, row, column),
                                                                         static_cast<std::size_t>(PQgetlength(
                                                                             result, row, column))));
    }
  }
  PQclear(result);
  return found;
}

std::string PgConnection::value(const std::string& query) {
  const auto found = rows(query);
  if (found.size() != 1 || found[0].size() != 1) throw std::runtime_error("not one value: " + query);
  return found[0][0];
}

}  // namespace test_support
