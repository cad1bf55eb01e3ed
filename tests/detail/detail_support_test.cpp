#include <gtest/gtest.h>

#include "data/db_errors.h"
#include "detail/detail_support.h"
#include "support/test_db.h"

using namespace korventa;

TEST(DetailSupport, WritesCommitOnlyWhenTheyAnswerTrue) {
  test::TestDb t;
  auto& db = t.db();
  db.run("CREATE TABLE scratch (v TEXT)");
  auto count = [&] { return db.integer("SELECT count(*) FROM scratch"); };

  EXPECT_TRUE(detail::writeInTransaction(db, t.messenger(), [&] {
    db.run("INSERT INTO scratch VALUES ('a')");
    return true;
  }));
  EXPECT_EQ(count(), 1);

  // A write that gives up leaves nothing behind and shows nothing.
  EXPECT_FALSE(detail::writeInTransaction(db, t.messenger(), [&] {
    db.run("INSERT INTO scratch VALUES ('b')");
    return false;
  }));
  EXPECT_EQ(count(), 1);
  EXPECT_TRUE(t.messenger().entries().empty());

  // A failing statement undoes the earlier ones and is reported with the record-level message.
  db.run("CREATE TRIGGER boom BEFORE INSERT ON scratch WHEN NEW.v = 'x' BEGIN SELECT RAISE(ABORT, 'disk full'); END");
  EXPECT_FALSE(detail::writeInTransaction(db, t.messenger(), [&] {
    db.run("INSERT INTO scratch VALUES ('c')");
    db.run("INSERT INTO scratch VALUES ('x')");
    return true;
  }));
  EXPECT_EQ(count(), 1);
  ASSERT_EQ(t.messenger().entries().size(), 1u);
  EXPECT_EQ(t.messenger().entries()[0].title, "Mensaje");
}
