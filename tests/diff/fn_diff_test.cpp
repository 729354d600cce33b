// diffCrée and diffApplique called in-process with a library object: one
// row per call, with the error it must raise (0 for none); a diff made by a
// row is applied back and must give its target.
#include <functional>

#include <gtest/gtest.h>

#include "core/zndstr.h"
#include "diff/functions.h"
#include "diff_test_util.h"
#include "runtime/znlibrary.h"
#include "qvstd/xerror.h"

namespace difftest {
namespace {

CZNBIN Bin(const Octets& ab) { return CZNBIN(ab.data(), int(ab.size())); }
Octets De(const CZNBINBase& cl) { return Octets(cl.pGet(), cl.pGet() + cl.nGetTaille()); }

const Octets& Source() {
    static const Octets ab = Aleatoire(20000, 1);
    return ab;
}
const Octets& Proche() {
    static const Octets ab = Edite(Source(), 10, 8, 2);
    return ab;
}
const Octets& Autre() {
    static const Octets ab = Aleatoire(20000, 3);
    return ab;
}

struct STLigne {
    const char* pszAppel;
    std::function<CZNBIN(CZNLibrary&)> fn;
    int nErreur;
    const Octets* pabCible;   // for a diff: the target it must rebuild from Source(); else the result expected
};

using namespace diff;

const STLigne k_tabLignes[] = {
    // Computing, every syntax.
    {"diffCree(s, t)", [](CZNLibrary& l) { return diffCree(l, Bin(Source()), Bin(Proche())); }, 0, &Proche()},
    {"diffCree(s, t, diffBinaire)",
     [](CZNLibrary& l) { return diffCree(l, Bin(Source()), Bin(Proche()), DIFF_BINAIRE); }, 0, &Proche()},
    {"diffCree(s, t, diffTexte)", [](CZNLibrary& l) { return diffCree(l, Bin(Source()), Bin(Proche()), DIFF_TEXTE); },
     0, &Proche()},
    {"diffCree(s, t, diffFichierTVR)",
     [](CZNLibrary& l) { return diffCree(l, Bin(Source()), Bin(Proche()), DIFF_FICHIER_TVR); }, 0, &Proche()},
    {"diffCree(s, empty)", [](CZNLibrary& l) { return diffCree(l, Bin(Source()), CZNBIN()); }, 0, nullptr},
    // The maximum percentage counts with its option only, 50 by default.
    {"diffCree(s, other, diffPourcentageMax, 10)",
     [](CZNLibrary& l) { return diffCree(l, Bin(Source()), Bin(Autre()), DIFF_POURCENTAGE_MAX, 10); }, 81654,
     nullptr},
    {"diffCree(s, other, diffPourcentageMax)",
     [](CZNLibrary& l) { return diffCree(l, Bin(Source()), Bin(Autre()), DIFF_POURCENTAGE_MAX); }, 81654, nullptr},
    {"diffCree(s, other, diffBinaire, 10)",
     [](CZNLibrary& l) { return diffCree(l, Bin(Source()), Bin(Autre()), DIFF_BINAIRE, 10); }, 0, &Autre()},
    {"diffCree(s, t, diffPourcentageMax, 10)",
     [](CZNLibrary& l) { return diffCree(l, Bin(Source()), Bin(Proche()), DIFF_POURCENTAGE_MAX, 10); }, 0,
     &Proche()},
    // Refusals.
    {"diffCree(s, s)", [](CZNLibrary& l) { return diffCree(l, Bin(Source()), Bin(Source())); }, 81656, nullptr},
    {"diffCree(empty, t)", [](CZNLibrary& l) { return diffCree(l, CZNBIN(), Bin(Proche())); }, 81655, nullptr},
    {"diffCree(empty, empty)", [](CZNLibrary& l) { return diffCree(l, CZNBIN(), CZNBIN()); }, 81655, nullptr},
    // Applying.
    {"diffApplique(other, diff)",
     [](CZNLibrary& l) {
         const CZNBIN clDiff = diffCree(l, Bin(Source()), Bin(Proche()));
         return diffApplique(l, Bin(Autre()), clDiff);
     },
     81652, nullptr},
    {"diffApplique(s, garbage)", [](CZNLibrary& l) { return diffApplique(l, Bin(Source()), Bin(Autre())); }, 81651,
     nullptr},
    {"diffApplique(s, empty)", [](CZNLibrary& l) { return diffApplique(l, Bin(Source()), CZNBIN()); }, 81651, nullptr},
    {"diffApplique(s, diff with a wrong target CRC)",
     [](CZNLibrary& l) {
         Octets ab = De(diffCree(l, Bin(Source()), Bin(Proche())));
         ab[20] ^= 1;
         return diffApplique(l, Bin(Source()), Bin(ab));
     },
     81653, nullptr},
};

TEST(DiffFonctions, Table) {
    for (const STLigne& st : k_tabLignes) {
        CZNLibrary lib;
        const CZNBIN cl = st.fn(lib);
        const CXError* pclErreur = lib.pclGetError();
        EXPECT_EQ(pclErreur->bIsError() ? pclErreur->nGetUserError() : 0, st.nErreur) << st.pszAppel;
        if (st.nErreur != 0) {
            EXPECT_EQ(cl.nGetTaille(), 0) << st.pszAppel;
            continue;
        }
        ASSERT_GT(cl.nGetTaille(), 36) << st.pszAppel;
        const CZNBIN clCible = diffApplique(lib, Bin(Source()), cl);
        EXPECT_FALSE(lib.pclGetError()->bIsError()) << st.pszAppel;
        const Octets abAttendu = st.pabCible != nullptr ? *st.pabCible : Octets();
        EXPECT_TRUE(De(clCible) == abAttendu) << st.pszAppel;
    }
}

}  // namespace
}  // namespace difftest
