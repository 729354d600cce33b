// Procedure callbacks as the host records them: an answer reports the runs
// of its own call only, however many calls of the session used the same
// procedure before.
#include <gtest/gtest.h>

#include "../../host/hostctx.h"

using namespace qvhost;

namespace {

// Runs the procedure P nRuns times inside one language call, as the
// component does when it calls back, and gives the call's report.
json Appel(CHostContext& cl, bool bNommeP, int nRuns) {
    cl.DebutAppelLangage("fListeFichier", {}, 0);
    if (bNommeP) cl.Procedure("P");
    void* h = nullptr;
    int bSucces = 0;
    cl.TrouveProcedure("P", 0, &h, nullptr, &bSucces);
    for (int i = 0; i < nRuns; ++i) cl.ExecuteProcedure(h, 0, 0, 0);
    json j = cl.JsonProcedures();
    cl.FinAppelLangage();
    return j;
}

TEST(Procedures, EachAnswerHoldsItsOwnRuns) {
    struct {
        std::vector<int> tabRuns;   // runs of P in successive calls that name it
        size_t nDernier;            // runs the last answer reports
    } const tab[] = {
        {{3, 1}, 1},
        {{2, 0}, 0},
        {{0, 2}, 2},
        {{5, 5, 5, 5}, 5},
    };
    for (const auto& c : tab) {
        CHostContext cl;
        json j;
        for (int n : c.tabRuns) j = Appel(cl, true, n);
        ASSERT_TRUE(j.contains("P")) << j.dump();
        EXPECT_EQ(j["P"]["count"], c.nDernier) << j.dump();
        EXPECT_EQ(j["P"]["calls"].size(), c.nDernier) << j.dump();
    }
}

// A call that does not name the procedure reports nothing of it.
TEST(Procedures, CallWithoutTheProcedureReportsNone) {
    CHostContext cl;
    Appel(cl, true, 2);
    EXPECT_EQ(Appel(cl, false, 0), json::object());
}

}  // namespace
