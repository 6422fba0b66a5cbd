// The line of work: another branch's runs, loaded in between, must not
// change the baselines, "failing since" or the page's runs once the ancestry
// is known, from --ancestors or from git.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "compare/git.h"
#include "compare/line_moves.h"
#include "compare/paths.h"
#include "kinds/warning_paths.h"
#include "support/files.h"
#include "support/program.h"
#include "support/stored_runs.h"

namespace {

using test_support::gtest_log;
using test_support::StoredRuns;
using testing::HasSubstr;
using testing::Not;

test_support::stored_report tests_report(const std::string& verdict) {
  return {"PassFail_GTest", gtest_log({{"S.A", verdict}, {"S.B", "passed"}})};
}

// r0 passes, r1 fails, r2 (another branch, loaded in between) passes, r3
// and r4 fail: along the ancestry r3, r1, r0 the failure is r1's.
void load_branchy_history(StoredRuns& runs, const std::vector<std::string>& hashes) {
  const char* verdicts[] = {"passed", "FAILED", "passed", "FAILED", "FAILED"};
  for (std::size_t i = 0; i < hashes.size(); ++i)
    runs.load(hashes[i], "2026-12-0" + std::to_string(i + 1) + " 10:00:00", tests_report(verdicts[i]));
}

TEST(CompareAncestry, FailingSinceAndThePageFollowTheGivenAncestry) {
  StoredRuns runs;
  load_branchy_history(runs, {"r0", "r1", "r2", "r3", "r4"});
  test_support::write_file(runs.file("ancestors"), "r3\nr1\nr0\n");
  const std::string page = runs.file("page.html");
  const std::string json = runs.json("r4", {"--ancestors=" + runs.file("ancestors"), "--html=" + page});
  EXPECT_THAT(json, HasSubstr(R"("still_failing":[{"name":"S.A","since":"r1"}])"));
  EXPECT_THAT(json, HasSubstr(R"("window":{"order":"ancestry","source":"ancestors","depth":3})"));
  EXPECT_THAT(test_support::read_file(page), Not(HasSubstr(">r2<")));
  EXPECT_THAT(test_support::read_file(page), HasSubstr(">r1<"));
  // By date the other branch's passing run ends the streak.
  EXPECT_THAT(runs.json("r4"), HasSubstr(R"("still_failing":[{"name":"S.A","since":"r3"}])"));
}

// A throwaway repository: main c0 - c1 - c3 - c4, a side branch c1 - c2.
class GitHistory : public testing::Test {
 protected:
  void SetUp() override {
    const std::string git = "git -C " + repository + " ";
    ASSERT_EQ(std::system((git + "init -q -b main && " + git + "config user.email t@e && " + git +
                           "config user.name t").c_str()),
              0);
    for (const char* step : {"c0", "c1", "side:c2", "c3", "c4"}) {
      std::string name = step;
      const bool side = name.starts_with("side:");
      if (side) name = name.substr(5);
      const std::string checkout = side ? "checkout -q -b side" : "checkout -q main";
      ASSERT_EQ(std::system((git + checkout + " 2>/dev/null; " + git + "commit -q --allow-empty -m " + name).c_str()),
                0);
      hashes.push_back(head());
      if (side) std::system((git + "checkout -q main").c_str());
    }
  }

  std::string head() const {
    const std::string file = dir.file("head");
    std::system(("git -C " + repository + " rev-parse HEAD > " + file).c_str());
    std::string hash = test_support::read_file(file);
    return hash.substr(0, hash.find('\n'));
  }

  test_support::TempDir dir;
  std::string repository = dir.path().string();
  std::vector<std::string> hashes;
};

TEST_F(GitHistory, TheAncestryComesFromGit) {
  StoredRuns runs;
  load_branchy_history(runs, hashes);
  const std::string json = runs.json(hashes[4], {"--repository=" + repository});
  EXPECT_THAT(json, HasSubstr(R"("baseline":{"hash":")" + hashes[3] + R"(","chosen_by":"git"})"));
  EXPECT_THAT(json, HasSubstr(R"("since":")" + hashes[1] + "\""));
  EXPECT_THAT(json, HasSubstr(R"("window":{"order":"ancestry","source":"git","depth":3})"));
  EXPECT_THAT(runs.json(hashes[4], {"--repository=none"}), HasSubstr(R"("source":"date")"));
}

TEST_F(GitHistory, ARepositoryWithoutTheCommitIsANoteOneGitCannotOpenABadCommandLine) {
  StoredRuns runs;
  runs.load("abcdef1", "2026-12-01 10:00:00", tests_report("passed"));
  const test_support::RunResult lacking = runs.compare("abcdef1", {"--repository=" + repository});
  EXPECT_EQ(lacking.exit_status, 0);
  EXPECT_THAT(lacking.out, HasSubstr("Notes:\n  the repository "));
  EXPECT_THAT(lacking.out, HasSubstr(" has no commit abcdef1: runs ordered by date\n"));
  const test_support::RunResult missing = runs.compare("abcdef1", {"--repository=" + dir.file("nothing")});
  EXPECT_EQ(missing.exit_status, 2);
  EXPECT_THAT(missing.err, HasSubstr("--repository: git cannot open "));
}

TEST(WarningPaths, OnePathPerFile) {
  const struct {
    std::string stored, path;
  } cases[] = {
      {"src/tests/../cJSON.c", "src/cJSON.c"}, {"./src//a.c", "src/a.c"},   {"src\\win\\a.c", "src/win/a.c"},
      {"a/b\\c.c", "a/b\\c.c"},                 {"../up/a.c", "../up/a.c"}, {"/x/../../a.c", "/a.c"},
  };
  for (const auto& c : cases) EXPECT_EQ(Kinds::normal_path(c.stored), c.path) << c.stored;
}

TEST_F(GitHistory, WarningNamesBecomeTheCheckoutsPaths) {
  const std::string git = "git -C " + repository + " ";
  ASSERT_EQ(std::system(("mkdir -p " + repository + "/src/lib && touch " + repository + "/src/lib/cJSON.c " +
                         repository + "/src/main.c && " + git + "add -A && " + git + "commit -q -m files")
                            .c_str()),
            0);
  std::string problem;
  const Compare::GitRepository repo = *Compare::GitRepository::open(repository, problem);
  const Compare::PathMap paths({{"/build/", "/elsewhere/"}}, &repo, head());
  EXPECT_EQ(paths(repository + "/src/tests/../lib/cJSON.c"), "src/lib/cJSON.c");
  EXPECT_EQ(paths("lib/cJSON.c"), "src/lib/cJSON.c");
  EXPECT_EQ(paths("/home/runner/work/p/src/main.c"), "src/main.c");
  EXPECT_EQ(paths("/build/gen.c"), "/elsewhere/gen.c");
  EXPECT_EQ(paths.unmatched(), std::set<std::string>{"/elsewhere/gen.c"});
}

TEST(LineMovesOfADiff, LinesShiftBelowChangesAndVanishInThem) {
  const Compare::LineMoves moves(
      "diff --git a/src/a.c b/src/b.c\nsimilarity index 90%\nrename from src/a.c\nrename to src/b.c\n"
      "--- a/src/a.c\n+++ b/src/b.c\n@@ -0,0 +1,11 @@\n+x\n@@ -20,2 +31 @@\n-y\n+z\n"
      "diff --git a/gone.c b/gone.c\n--- a/gone.c\n+++ /dev/null\n@@ -1,3 +0,0 @@\n-a\n");
  EXPECT_EQ(moves.new_path("src/a.c"), "src/b.c");
  EXPECT_EQ(moves.new_path("other.c"), "other.c");
  const struct {
    std::string path;
    std::int64_t line;
    std::optional<std::int64_t> moved;
  } cases[] = {{"src/a.c", 5, 16}, {"src/a.c", 20, std::nullopt}, {"src/a.c", 21, std::nullopt},
               {"src/a.c", 22, 32}, {"gone.c", 2, std::nullopt},   {"other.c", 7, 7}};
  for (const auto& c : cases) EXPECT_EQ(moves.new_line(c.path, c.line), c.moved) << c.path << ":" << c.line;
}

// Eleven lines inserted above an old warning, a new one where it was: only
// the diff tells which is new.
TEST_F(GitHistory, WarningsMovedByAnInsertionAreMatchedByTheDiff) {
  const std::string git = "git -C " + repository + " ";
  std::string lines;
  for (int i = 1; i <= 40; ++i) lines += "line " + std::to_string(i) + "\n";
  test_support::write_file(repository + "/a.c", lines);
  ASSERT_EQ(std::system((git + "add -A && " + git + "commit -q -m old").c_str()), 0);
  const std::string old_commit = head();
  test_support::write_file(repository + "/a.c", std::string(11, '\n') + lines);
  ASSERT_EQ(std::system((git + "commit -q -am new").c_str()), 0);
  const std::string new_commit = head();
  StoredRuns runs;
  const auto warnings = [](std::vector<int> at) {
    std::string log;
    for (int line : at) log += "a.c:" + std::to_string(line) + ":5: warning: x [-Wa]\n";
    return test_support::stored_report{"Warning_GCC", log};
  };
  runs.load(old_commit, "2026-12-01 10:00:00", warnings({20}));
  runs.load(new_commit, "2026-12-02 10:00:00", warnings({20, 31}));
  EXPECT_THAT(runs.json(new_commit, {"--repository=" + repository}),
              HasSubstr(R"("new":[{"filename":"a.c","line":20,)"));
  EXPECT_THAT(runs.json(new_commit, {"--repository=none"}), HasSubstr(R"("new":[{"filename":"a.c","line":31,)"));
}

TEST(WarningPaths, TwoSpellingsOfOneDiagnosticCountOnce) {
  StoredRuns runs;
  runs.load("w1", "2026-12-01 10:00:00",
            {"Warning_GCC", "src/cJSON.c:127:5: warning: x [-Wa]\nsrc/tests/../cJSON.c:127:5: warning: x [-Wa]\n"});
  EXPECT_THAT(runs.json("w1"), HasSubstr(R"("current":{"warning":1})"));
}

}  // namespace
