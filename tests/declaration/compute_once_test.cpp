// A detail form's accept computes and stores its person, in the accept's own transaction; the
// declaration form does not compute the person again when the detail form closes.
#include <sqlite3.h>

#include <functional>
#include <string_view>

#include "declaration/decl_fixture.h"
#include "detail/concept_entry.h"
#include "detail/days_hours.h"
#include "detail/sctr.h"
#include "detail/establishments_form.h"

namespace korventa::test {
namespace {

using declaration::DeclarationForm;

// Counts the reads of workers and pensioners for the computation (the person query of the model),
// one per computation of a person.
class PersonReads {
 public:
  explicit PersonReads(data::Database& db) : handle_(db.sqlite().getHandle()) {
    sqlite3_trace_v2(handle_, SQLITE_TRACE_STMT, &PersonReads::onStatement, this);
  }
  ~PersonReads() { sqlite3_trace_v2(handle_, 0, nullptr, nullptr); }
  PersonReads(const PersonReads&) = delete;
  PersonReads& operator=(const PersonReads&) = delete;
  int count = 0;

 private:
  static int onStatement(unsigned, void* self, void* statement, void*) {
    const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
    if (sql && std::string_view(sql).find("FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2)") != std::string_view::npos)
      ++static_cast<PersonReads*>(self)->count;
    return 0;
  }
  sqlite3* handle_;
};

class ComputeOnceTest : public DeclarationTest {
 protected:
  void SetUp() override {
    DeclarationTest::SetUp();
    standardRegistry();
  }
};

TEST_F(ComputeOnceTest, TheDetailFormsAcceptIsTheOnlyComputation) {
  const PersonKey ana{1, 1, "40000001", kWorker};
  struct Case {
    const char* name;
    std::function<void(Session&, const model::OpenDeclaration&)> accept;
  };
  const Case cases[] = {
      {"ConceptTyped",
       [&](Session& s, const model::OpenDeclaration& d) {
         ASSERT_TRUE(detail::typeConceptAmount(s, d, ana, "0121", "900.00", std::nullopt));
       }},
      {"DaysChanged",
       [&](Session& s, const model::OpenDeclaration& d) {
         detail::DaysHoursForm f(s, d, ana);
         f.load();
         f.diasLab = "20";
         ASSERT_TRUE(f.accept().ok);
       }},
      {"EstablishmentsMarked",
       [&](Session& s, const model::OpenDeclaration& d) {
         detail::EstablishmentsForm f(s, d, ana);
         f.load();
         ASSERT_TRUE(f.markOnly({1}));
         f.accept();
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DeclarationForm f(session());
    f.newDeclaration();
    f.CmbRuc_Click(kRuc);
    ASSERT_TRUE(f.acceptPeriod("05/2012").ok);
    PersonReads reads(db());
    f.prepareDetail();
    c.accept(session(), f.declaration());
    const int inTheForm = reads.count;
    f.afterDetail(ana);
    EXPECT_EQ(inTheForm, 1) << "the detail form computes the person once";
    EXPECT_EQ(reads.count, inTheForm) << "the declaration form computes the person again";
    f.closeWithoutSaving();
  }
}

}  // namespace
}  // namespace korventa::test
