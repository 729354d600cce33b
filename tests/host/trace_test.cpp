// The host's callback trace: it keeps the first callbacks of a session in
// order and stops growing there, however many messages a long session
// loads.
#include <gtest/gtest.h>

#include <string>

#include "../../host/module.h"

using namespace qvhost;

namespace {

TEST(Trace, KeepsTheFirstCallbacksOnly) {
    struct {
        size_t nAppels;    // messages loaded
        size_t nGardes;    // entries the trace keeps
    } const tab[] = {
        {1, 1},
        {10, 10},
        {k_nTraceMax, k_nTraceMax},
        {k_nTraceMax + 1, k_nTraceMax},
        {3 * k_nTraceMax, k_nTraceMax},
    };
    for (const auto& c : tab) {
        EtatHote().tabTrace.clear();
        char sz[16];
        for (size_t i = 0; i < c.nAppels; ++i) qvhost_ChargeMessage(static_cast<int>(i), sz, sizeof sz);
        const auto& tabTrace = EtatHote().tabTrace;
        ASSERT_EQ(tabTrace.size(), c.nGardes) << c.nAppels;
        EXPECT_EQ(tabTrace.front(), "message 0");
        EXPECT_EQ(tabTrace.back(), "message " + std::to_string(c.nGardes - 1)) << c.nAppels;
    }
    EtatHote().tabTrace.clear();
}

}  // namespace
