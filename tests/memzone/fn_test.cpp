// The Mem* language functions called in-process with a library object: a
// program's session as one table of calls (each row a call, its result and
// its error), then the errors of every function.
#include <functional>
#include <vector>

#include "runtime/znlibrary.h"
#include "core/any.h"
#include "core/zndstr.h"
#include "memzone/functions.h"
#include "memzone/mz_test_util.h"
#include "qvstd/xerror.h"

namespace mztest {
namespace {

using namespace memzone;

// A language value of the test, made into a variant at call time.
struct STV {
    enum eK { TXT, ENT, REEL, BOOL, I8, VIDE, USTR, CY, UI1, BIN, DATEHEURE } k;
    std::string s;
    int64_t n = 0;
    double r = 0;
};
STV K(STV::eK k, const std::string& s = "", int64_t n = 0, double r = 0) { return STV{k, s, n, r}; }
STV T(const std::string& s) { return K(STV::TXT, s); }
STV E(int64_t n) { return K(STV::ENT, "", n); }
STV R(double r) { return K(STV::REEL, "", 0, r); }

// Fills a variant (kept by the caller for the call).
void Remplit(const STV& st, CAny& cl) {
    switch (st.k) {
        case STV::TXT: {
            CZNDSTR s;
            s.nAssign(st.s.data(), int(st.s.size()));
            cl.__SetType(ANY_DSTR);
            cl.SetValue(&s);
            break;
        }
        case STV::USTR: {
            CZNDSTR s;
            s.nAssignUNICODE(L"\u00e9t\u00e9");
            cl.__SetType(ANY_USTR);
            cl.SetValue(&s);
            break;
        }
        case STV::BIN: {
            CZNBIN b(st.s.data(), int(st.s.size()));
            cl.__SetType(ANY_BIN);
            cl.SetValue(&b);
            break;
        }
        case STV::ENT: {
            const int32_t n = int32_t(st.n);
            cl.__SetType(ANY_I4);
            cl.SetValue(&n);
            break;
        }
        case STV::I8:
            cl.__SetType(ANY_I8);
            cl.SetValue(&st.n);
            break;
        case STV::UI1: {
            const uint8_t n = uint8_t(st.n);
            cl.__SetType(ANY_UI1);
            cl.SetValue(&n);
            break;
        }
        case STV::BOOL: {
            const int32_t n = st.n != 0;
            cl.__SetType(ANY_BOOL);
            cl.SetValue(&n);
            break;
        }
        case STV::REEL:
            cl.__SetType(ANY_R8);
            cl.SetValue(&st.r);
            break;
        case STV::CY: {
            // Millionths in 80 bits.
            uint8_t ab[10] = {};
            const int64_t n = int64_t(st.r * 1e6);
            memcpy(ab, &n, 8);
            cl.__SetType(ANY_CY);
            cl.SetValue(ab);
            break;
        }
        case STV::DATEHEURE: cl.__SetType(ANY_DATETIME); break;
        case STV::VIDE: break;
    }
}

// A variant result as text: its kind and value.
std::string Rend(const CAny& cl) {
    switch (cl.nGetType()) {
        case ANY_I4: {
            int32_t n;
            memcpy(&n, cl.pGetValeur(), 4);
            return "I4:" + std::to_string(n);
        }
        case ANY_I2: {
            int16_t n;
            memcpy(&n, cl.pGetValeur(), 2);
            return "I2:" + std::to_string(n);
        }
        case ANY_R8: {
            double r;
            memcpy(&r, cl.pGetValeur(), 8);
            char sz[40];
            snprintf(sz, sizeof sz, "R8:%g", r);
            return sz;
        }
        case ANY_DSTR: {
            const void* p = cl.pGetPointeur();
            const uint32_t n = p != nullptr ? STRMEM_Header(p)->nLongueur : 0;
            return "S:" + std::string(static_cast<const char*>(p != nullptr ? p : ""), n);
        }
        default: return "type " + std::to_string(cl.nGetType());
    }
}

std::string B(bool b) { return b ? "true" : "false"; }
std::string N(int32_t n) { return std::to_string(n); }

// One call: its text for messages, the call, the result and the user error.
struct STAppel {
    const char* pszAppel;
    std::function<std::string(CZNLibrary&)> fn;
    std::string sAttendu;
    int nErreur = 0;
};

// Variant arguments and results live for the call.
struct STArgs {
    CAny a, b, res;
};

template <class F>
std::function<std::string(CZNLibrary&)> Val(F f) {
    return [f](CZNLibrary& lib) {
        CAny cl;
        f(lib, cl);
        return Rend(cl);
    };
}

class MemFn : public MemTest {
protected:
    void Joue(const std::vector<STAppel>& tab) {
        for (const STAppel& st : tab) {
            m_lib.RAZError();
            EXPECT_EQ(st.fn(m_lib), st.sAttendu) << st.pszAppel;
            EXPECT_EQ(m_lib.pclGetError()->nGetUserError(), st.nErreur) << st.pszAppel;
        }
    }
    CZNLibrary m_lib;
};

// Arguments as variants, built at call time.
#define A1(v1) CAny a; Remplit(v1, a)
#define A2(v1, v2) CAny a, b; Remplit(v1, a); Remplit(v2, b)

TEST_F(MemFn, UneSession) {
    const std::vector<STAppel> tab = {
        // The default zone is made by the first add; one argument is its own key.
        {"MemExiste('')", [](CZNLibrary& l) { return B(MemExiste(l, "")); }, "false"},
        {"MemAjoute(v1)", [](CZNLibrary& l) { A1(T("v1")); return B(MemAjoute(l, a)); }, "true"},
        {"MemExiste(QVMEMDEF)", [](CZNLibrary& l) { return B(MemExiste(l, "QVMEMDEF")); }, "true"},
        {"MemEnCours()", [](CZNLibrary& l) { return N(MemEnCours(l)); }, "1"},
        {"MemAjoute(10, dix)", [](CZNLibrary& l) { A2(E(10), T("dix")); return B(MemAjoute(l, a, b)); }, "true"},
        {"MemAjoute('', vide)", [](CZNLibrary& l) { A2(T(""), T("vide")); return B(MemAjoute(l, "", a, b)); }, "true"},
        {"MemAjoute(abc, 1.5)", [](CZNLibrary& l) { A2(T("abc"), R(1.5)); return B(MemAjoute(l, a, b)); }, "true"},
        {"MemAjoute(2.5, Vrai)",
         [](CZNLibrary& l) { A2(R(2.5), K(STV::BOOL, "", 1)); return B(MemAjoute(l, a, b)); }, "true"},
        {"MemOccurrence()", [](CZNLibrary& l) { return N(MemOccurrence(l)); }, "5"},
        // Sorted: the empty text, the numbers, the texts.
        {"MemTri(1)", [](CZNLibrary& l) { return B(MemTri(l, 1)); }, "true"},
        {"MemEnCours()", [](CZNLibrary& l) { return N(MemEnCours(l)); }, "0"},
        {"MemEnDehors()", [](CZNLibrary& l) { return B(MemEnDehors(l)); }, "true"},
        {"MemTrouve()", [](CZNLibrary& l) { return B(MemTrouve(l)); }, "false"},
        {"MemPremier()", Val([](CZNLibrary& l, CAny& r) { MemPremier(l, r); }), "S:vide"},
        {"MemSuivant()", Val([](CZNLibrary& l, CAny& r) { MemSuivant(l, r); }), "I4:1"},
        {"MemSuivant()", Val([](CZNLibrary& l, CAny& r) { MemSuivant(l, r); }), "S:dix"},
        {"MemSuivant()", Val([](CZNLibrary& l, CAny& r) { MemSuivant(l, "", r); }), "R8:1.5"},
        {"MemSuivant()", Val([](CZNLibrary& l, CAny& r) { MemSuivant(l, r); }), "S:v1"},
        {"MemTrouve()", [](CZNLibrary& l) { return B(MemTrouve(l)); }, "true"},
        {"MemSuivant()", Val([](CZNLibrary& l, CAny& r) { MemSuivant(l, r); }), "S:"},
        {"MemEnDehors()", [](CZNLibrary& l) { return B(MemEnDehors(l)); }, "true"},
        {"MemTrouve()", [](CZNLibrary& l) { return B(MemTrouve(l)); }, "false"},
        {"MemValCle()", Val([](CZNLibrary& l, CAny& r) { MemValCle(l, r); }), "S:v1"},
        {"MemPrecedent()", Val([](CZNLibrary& l, CAny& r) { MemPrecedent(l, r); }), "S:v1"},
        // Searches: by key (the default mode) and by value.
        {"MemRecherche(10)", Val([](CZNLibrary& l, CAny& r) { A1(E(10)); MemRecherche(l, a, r); }), "S:dix"},
        {"MemEnCours()", [](CZNLibrary& l) { return N(MemEnCours(l)); }, "3"},
        {"MemRecherche('', dix, 0)", Val([](CZNLibrary& l, CAny& r) { A1(T("dix")); MemRecherche(l, "", a, 0, r); }),
         "I4:3"},
        {"MemRecherche('', abc, 0)", Val([](CZNLibrary& l, CAny& r) { A1(T("abc")); MemRecherche(l, "", a, 0, r); }),
         "I4:-1"},
        {"MemRecherche('', zz, 1)", Val([](CZNLibrary& l, CAny& r) { A1(T("zz")); MemRecherche(l, "", a, 1, r); }),
         "S:"},
        {"MemRecherche('', abc)", Val([](CZNLibrary& l, CAny& r) { A1(T("abc")); MemRecherche(l, "", a, r); }),
         "R8:1.5"},
        // By number.
        {"MemRecupere(1)", Val([](CZNLibrary& l, CAny& r) { MemRecupere(l, 1, r); }), "S:vide"},
        {"MemEnCours()", [](CZNLibrary& l) { return N(MemEnCours(l)); }, "4"},
        {"MemRecupere(9)", Val([](CZNLibrary& l, CAny& r) { MemRecupere(l, "", 9, r); }), "S:"},
        {"MemPositionne(2)", Val([](CZNLibrary& l, CAny& r) { MemPositionne(l, 2, r); }), "I4:1"},
        {"MemEnCours()", [](CZNLibrary& l) { return N(MemEnCours(l)); }, "2"},
        // Replacing: an 8-byte integer beyond 32 bits keeps its value as a real.
        {"MemModifie('', zz, 5e9, 2)",
         [](CZNLibrary& l) { A2(T("zz"), K(STV::I8, "", 5000000000LL)); return B(MemModifie(l, "", a, b, 2)); },
         "true"},
        {"MemRecupere(2)", Val([](CZNLibrary& l, CAny& r) { MemRecupere(l, 2, r); }), "R8:5e+09"},
        {"MemModifie('', k, v, 6)",
         [](CZNLibrary& l) { A2(T("k"), T("v")); return B(MemModifie(l, "", a, b, 6)); }, "false"},
        {"MemEnDehors()", [](CZNLibrary& l) { return B(MemEnDehors(l)); }, "true"},
        {"MemSupprime('', 1)", [](CZNLibrary& l) { return B(MemSupprime(l, "", 1)); }, "true"},
        {"MemOccurrence()", [](CZNLibrary& l) { return N(MemOccurrence(l)); }, "4"},
        // A named zone: Unicode texts, currency, small integers, buffers.
        {"MemCree(Clients)", [](CZNLibrary& l) { return B(MemCree(l, "Clients")); }, "true"},
        {"MemAjoute(clients, ete, 2.5 cy)",
         [](CZNLibrary& l) { A2(K(STV::USTR), K(STV::CY, "", 0, 2.5)); return B(MemAjoute(l, "clients", a, b)); },
         "true"},
        {"MemAjoute(Clients, 200, bin)",
         [](CZNLibrary& l) {
             A2(K(STV::UI1, "", 200), K(STV::BIN, std::string("a\0b", 3)));
             return B(MemAjoute(l, "Clients", a, b));
         },
         "true"},
        {"MemRecherche(CLIENTS, ete)",
         Val([](CZNLibrary& l, CAny& r) { A1(K(STV::USTR)); MemRecherche(l, "CLIENTS", a, r); }), "R8:2.5"},
        {"MemValCle(clients)", Val([](CZNLibrary& l, CAny& r) { MemValCle(l, "clients", r); }), "S:\xE9t\xE9"},
        {"MemRecupere(Clients, 2)", Val([](CZNLibrary& l, CAny& r) { MemRecupere(l, "Clients", 2, r); }),
         std::string("S:a\0b", 5)},
        {"MemTrie(clients, 0)", [](CZNLibrary& l) { return B(MemTrie(l, "clients", 0)); }, "true"},
        {"MemPremier(clients)", Val([](CZNLibrary& l, CAny& r) { MemPremier(l, "clients", r); }), "R8:2.5"},
        {"MemTri(clients)", [](CZNLibrary& l) { return B(MemTri(l, "clients")); }, "true"},
        {"MemDernier(clients)", Val([](CZNLibrary& l, CAny& r) { MemDernier(l, "clients", r); }), "R8:2.5"},
        {"MemValCle(clients)", Val([](CZNLibrary& l, CAny& r) { MemValCle(l, "clients", r); }), "S:\xE9t\xE9"},
        {"MemTrie(clients)", [](CZNLibrary& l) { return B(MemTrie(l, "clients")); }, "true"},
        {"MemSupprimeTout(clients)", [](CZNLibrary& l) { return B(MemSupprimeTout(l, "clients")); }, "true"},
        {"MemExiste(clients)", [](CZNLibrary& l) { return B(MemExiste(l, "clients")); }, "false"},
        // Every zone goes; the default zone's absence is no error.
        {"MemAjoute(autre, k, v)", [](CZNLibrary& l) { A2(T("k"), T("v")); return B(MemAjoute(l, "autre", a, b)); },
         "true"},
        {"MemSupprime(*)", [](CZNLibrary& l) { return B(MemSupprime(l, "*")); }, "true"},
        {"MemExiste(autre)", [](CZNLibrary& l) { return B(MemExiste(l, "autre")); }, "false"},
        {"MemOccurrence()", [](CZNLibrary& l) { return N(MemOccurrence(l)); }, "-1"},
        {"MemEnDehors()", [](CZNLibrary& l) { return B(MemEnDehors(l)); }, "true"},
        {"MemEnCours()", [](CZNLibrary& l) { return N(MemEnCours(l)); }, "-1"},
        {"MemPremier()", Val([](CZNLibrary& l, CAny& r) { MemPremier(l, r); }), "S:"},
        {"MemSupprimeTout()", [](CZNLibrary& l) { return B(MemSupprimeTout(l)); }, "false"},
        {"MemTri(qvmemdef)", [](CZNLibrary& l) { return B(MemTri(l, "qvmemdef", 1)); }, "false"},
    };
    Joue(tab);
}

TEST_F(MemFn, Erreurs) {
    const int Z = 80261, L = 80263, TY = 80246;
    const std::string s65521(65521, 'x'), s65522(65522, 'x'), s40000(40000, 'k'), s30000(30000, 'v');
    const std::vector<STAppel> tab = {
        // A named zone that does not exist.
        {"MemOccurrence(x)", [](CZNLibrary& l) { return N(MemOccurrence(l, "x")); }, "-1", Z},
        {"MemTrouve(x)", [](CZNLibrary& l) { return B(MemTrouve(l, "x")); }, "false", Z},
        {"MemEnDehors(x)", [](CZNLibrary& l) { return B(MemEnDehors(l, "x")); }, "true", Z},
        {"MemEnCours(x)", [](CZNLibrary& l) { return N(MemEnCours(l, "x")); }, "-1", Z},
        {"MemPremier(x)", Val([](CZNLibrary& l, CAny& r) { MemPremier(l, "x", r); }), "S:", Z},
        {"MemDernier(x)", Val([](CZNLibrary& l, CAny& r) { MemDernier(l, "x", r); }), "S:", Z},
        {"MemSuivant(x)", Val([](CZNLibrary& l, CAny& r) { MemSuivant(l, "x", r); }), "S:", Z},
        {"MemPrecedent(x)", Val([](CZNLibrary& l, CAny& r) { MemPrecedent(l, "x", r); }), "S:", Z},
        {"MemValCle(x)", Val([](CZNLibrary& l, CAny& r) { MemValCle(l, "x", r); }), "S:", Z},
        {"MemRecupere(x, 1)", Val([](CZNLibrary& l, CAny& r) { MemRecupere(l, "x", 1, r); }), "S:", Z},
        {"MemPositionne(x, 1)", Val([](CZNLibrary& l, CAny& r) { MemPositionne(l, "x", 1, r); }), "S:", Z},
        {"MemRecherche(x, a)", Val([](CZNLibrary& l, CAny& r) { A1(T("a")); MemRecherche(l, "x", a, r); }), "S:", Z},
        {"MemRecherche(x, a, 0)", Val([](CZNLibrary& l, CAny& r) { A1(T("a")); MemRecherche(l, "x", a, 0, r); }),
         "I4:-1", Z},
        {"MemModifie(x, k, v, 1)", [](CZNLibrary& l) { A2(T("k"), T("v")); return B(MemModifie(l, "x", a, b, 1)); },
         "false", Z},
        {"MemSupprime(x, 1)", [](CZNLibrary& l) { return B(MemSupprime(l, "x", 1)); }, "false", Z},
        {"MemSupprime(x)", [](CZNLibrary& l) { return B(MemSupprime(l, "x")); }, "false", Z},
        {"MemSupprimeTout(x)", [](CZNLibrary& l) { return B(MemSupprimeTout(l, "x")); }, "false", Z},
        {"MemTri(x, 1)", [](CZNLibrary& l) { return B(MemTri(l, "x", 1)); }, "false", Z},
        {"MemTrie(x)", [](CZNLibrary& l) { return B(MemTrie(l, "x")); }, "false", Z},
        {"MemSupprime(*, 2)", [](CZNLibrary& l) { return B(MemSupprime(l, "*", 2)); }, "false", Z},
        {"MemExiste(x)", [](CZNLibrary& l) { return B(MemExiste(l, "x")); }, "false"},
        // The default zone, absent, is no error; naming it is not naming another.
        {"MemOccurrence(QvMemDef)", [](CZNLibrary& l) { return N(MemOccurrence(l, "QvMemDef")); }, "-1"},
        {"MemDernier()", Val([](CZNLibrary& l, CAny& r) { MemDernier(l, r); }), "S:"},
        // Lengths: a text over 65521 bytes, a record over 65535.
        {"MemAjoute(y, 65521 x, 65521 x)", [s65521](CZNLibrary& l) { A1(T(s65521)); return B(MemAjoute(l, "y", a, a)); },
         "false", L},
        {"MemAjoute(k, 65521 x)", [s65521](CZNLibrary& l) { A2(E(1), T(s65521)); return B(MemAjoute(l, "y", a, b)); },
         "true"},
        {"MemAjoute(k, 65522 x)", [s65522](CZNLibrary& l) { A2(E(1), T(s65522)); return B(MemAjoute(l, "y", a, b)); },
         "false", L},
        {"MemAjoute(40000, 30000)",
         [s40000, s30000](CZNLibrary& l) { A2(T(s40000), T(s30000)); return B(MemAjoute(l, "y", a, b)); }, "false", L},
        {"MemRecherche(y, 65522 x)",
         Val([s65522](CZNLibrary& l, CAny& r) { A1(T(s65522)); MemRecherche(l, "y", a, r); }), "S:", L},
        {"MemOccurrence(y)", [](CZNLibrary& l) { return N(MemOccurrence(l, "y")); }, "1"},
        // A value the host cannot turn into a text.
        {"MemAjoute(y, k, date-heure)",
         [](CZNLibrary& l) { A2(T("k"), K(STV::DATEHEURE)); return B(MemAjoute(l, "y", a, b)); }, "false", TY},
        // Null values are empty texts.
        {"MemAjoute(y, vide, vide)",
         [](CZNLibrary& l) { A2(K(STV::VIDE), K(STV::VIDE)); return B(MemAjoute(l, "y", a, b)); }, "true"},
        {"MemRecupere(y, 2)", Val([](CZNLibrary& l, CAny& r) { MemRecupere(l, "y", 2, r); }), "S:"},
    };
    Joue(tab);
}

TEST_F(MemFn, MessageDeLongueur) {
    CAny a, b;
    Remplit(E(1), a);
    Remplit(T(std::string(65530, 'x')), b);
    EXPECT_FALSE(MemAjoute(m_lib, "y", a, b));
    const std::string s = m_lib.pclGetError()->pszGetUserMessage();
    EXPECT_NE(s.find("65530"), std::string::npos) << s;
    EXPECT_NE(s.find("65521"), std::string::npos) << s;
}

}  // namespace
}  // namespace mztest
