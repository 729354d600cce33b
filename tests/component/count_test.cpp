// Completion count of the built module: what `nm -D` shows it exports and
// what its descriptor says through InfoComposante, read from the module
// itself rather than from the tables it was generated from. On a gap the
// test names what is missing: a row with no entry point, a syntax whose
// entry point is not exported, an exported entry point no syntax names.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "qvstd/descriptor.h"
#include "qvstd/exports.h"

namespace {

// The figures of the complete component, in one place.
struct STChiffres {
    int nLignesAvecEntree;    // function rows with at least one entry point
    int nEntreesFonctions;    // exported ZNL_<name>_<n> entry points
    int nEntreesClasse;       // exported entries of the class
    int nConstantes;
    int nVariables;
};
constexpr STChiffres kAttendu = {205, 414, 22, 497, 53};

// Class entries are ZNL_<class>_...; every other ZNL_ symbol is a function's.
constexpr const char* kPrefixeClasse = "ZNL_CObjetProcessus_";
// The one class entry that no descriptor word names: the host finds it by
// its name.
const std::set<std::string> kClasseHorsDescripteur = {"ZNL_CObjetProcessus_GOG"};

bool bCommencePar(const std::string& s, const char* pszPrefixe) { return s.rfind(pszPrefixe, 0) == 0; }

std::string Nom(const char* psz) { return psz ? psz : "(null)"; }

struct Module {
    void* h = dlopen(QV_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ~Module() {
        if (h) dlclose(h);
    }
    PFN_InfoComposante pfnInfo() const {
        return h ? reinterpret_cast<PFN_InfoComposante>(dlsym(h, "InfoComposante")) : nullptr;
    }
};

// The module's defined dynamic symbols whose names start with ZNL_.
std::set<std::string> EntreesExportees() {
    std::set<std::string> s;
    const std::string sCmd = std::string("nm -D --defined-only ") + QV_MODULE_PATH + " 2>/dev/null";
    FILE* f = popen(sCmd.c_str(), "r");
    if (f == nullptr) return s;
    char szLigne[512];
    while (fgets(szLigne, sizeof szLigne, f)) {
        char szAdr[64], szType[8], szNom[400];
        if (sscanf(szLigne, "%63s %7s %399s", szAdr, szType, szNom) == 3 && strchr("TtWi", szType[0]) &&
            bCommencePar(szNom, "ZNL_"))
            s.insert(szNom);
    }
    pclose(f);
    return s;
}

// The exported name at exactly this address, or "" when the address is not
// the start of an exported symbol of the module.
std::string NomExporte(const void* pfn) {
    Dl_info st{};
    if (pfn == nullptr || dladdr(pfn, &st) == 0 || st.dli_saddr != pfn || st.dli_sname == nullptr) return "";
    return st.dli_sname;
}

std::string Liste(const std::vector<std::string>& tab) {
    std::string s;
    for (const std::string& x : tab) s += "\n  " + x;
    return s;
}

// One descriptor syntax that declares an entry point.
struct STSyntaxeEntree {
    std::string sOu;         // "row N <name> overload K"
    int nSurcharge;
    const void* pfn;
};

struct Descripteur {
    const STFonction* tab = nullptr;
    int n = 0;
    explicit Descripteur(const Module& mod) {
        PFN_InfoComposante pfnInfo = mod.pfnInfo();
        if (pfnInfo == nullptr) return;
        tab = reinterpret_cast<const STFonction*>(pfnInfo(33, 0));
        n = static_cast<int>(pfnInfo(34, 0));
    }
    static int NbSyntaxes(const STFonction& st) { return st.pstSyntaxes ? static_cast<int>(st.dwId >> 24) : 0; }
    std::vector<STSyntaxeEntree> SyntaxesAvecEntree() const {
        std::vector<STSyntaxeEntree> v;
        for (int i = 0; i < n; ++i)
            for (int k = 0; k < NbSyntaxes(tab[i]); ++k)
                if (tab[i].pstSyntaxes[k].pfnEntree != nullptr)
                    v.push_back({"row " + std::to_string(i) + " " + Nom(tab[i].pszNom[1]) + " overload " +
                                     std::to_string(k),
                                 k, reinterpret_cast<const void*>(tab[i].pstSyntaxes[k].pfnEntree)});
        return v;
    }
};

// Every entry the class descriptors name, with where it is named.
std::map<std::string, const void*> EntreesDeClasse(const Module& mod) {
    std::map<std::string, const void*> m;
    const auto* ppClasses = reinterpret_cast<const STClasse* const*>(mod.pfnInfo()(29, 0));
    const int nClasses = static_cast<int>(mod.pfnInfo()(30, 0));
    for (int c = 0; ppClasses != nullptr && c < nClasses && ppClasses[c] != nullptr; ++c) {
        const STClasse& cl = *ppClasses[c];
        const std::string sClasse = "class " + Nom(cl.pszNoms[1]);
        m[sClasse + " copy"] = cl.pfnCopie;
        m[sClasse + " type description"] = cl.pfnTypeDescription;
        for (uintptr_t k = 0; k < cl.nConstructeurs; ++k)
            m[sClasse + " constructor " + std::to_string(k)] =
                reinterpret_cast<const void*>(cl.pstConstructeurs[k].pfnEntree);
        for (uintptr_t k = 0; k < cl.nProprietes; ++k) {
            const STPropriete& p = cl.pstProprietes[k];
            if (p.pfnGet) m[sClasse + " " + Nom(p.pszNom[1]) + " getter"] = p.pfnGet;
            if (p.pfnSet) m[sClasse + " " + Nom(p.pszNom[1]) + " setter"] = p.pfnSet;
        }
    }
    return m;
}

}  // namespace

TEST(Count, ConstantsAndVariables) {
    Module mod;
    ASSERT_NE(mod.pfnInfo(), nullptr) << dlerror();
    const int nConstantes = static_cast<int>(mod.pfnInfo()(24, 0));
    const int nVariables = static_cast<int>(mod.pfnInfo()(26, 0));
    EXPECT_EQ(nConstantes, kAttendu.nConstantes);
    EXPECT_EQ(nVariables, kAttendu.nVariables);

    // A row the host would skip or fault on counts as missing.
    const auto* tabC = reinterpret_cast<const STConstante*>(mod.pfnInfo()(23, 0));
    const auto* tabV = reinterpret_cast<const STVariable*>(mod.pfnInfo()(25, 0));
    ASSERT_NE(tabC, nullptr);
    ASSERT_NE(tabV, nullptr);
    std::vector<std::string> tabSansNom;
    for (int i = 0; i < nConstantes; ++i)
        if (tabC[i].pszNom[0] == nullptr || tabC[i].pszNom[1] == nullptr || tabC[i].pszNom[0][0] == '\0')
            tabSansNom.push_back("constant row " + std::to_string(i));
    for (int i = 0; i < nVariables; ++i)
        if (tabV[i].pszNom[0] == nullptr || tabV[i].pszNom[1] == nullptr || tabV[i].pszNom[0][0] == '\0')
            tabSansNom.push_back("variable row " + std::to_string(i));
    EXPECT_TRUE(tabSansNom.empty()) << "rows without a name:" << Liste(tabSansNom);
}

TEST(Count, FunctionRowsWithEntryPoints) {
    Module mod;
    ASSERT_NE(mod.pfnInfo(), nullptr) << dlerror();
    const Descripteur d(mod);
    ASSERT_NE(d.tab, nullptr);
    int nAvecEntree = 0;
    std::vector<std::string> tabSansEntree;   // rows with syntaxes and not one entry point
    for (int i = 0; i < d.n; ++i) {
        int nEntrees = 0;
        for (int k = 0; k < Descripteur::NbSyntaxes(d.tab[i]); ++k)
            if (d.tab[i].pstSyntaxes[k].pfnEntree != nullptr) ++nEntrees;
        if (nEntrees > 0)
            ++nAvecEntree;
        else if (Descripteur::NbSyntaxes(d.tab[i]) > 0)
            tabSansEntree.push_back("row " + std::to_string(i) + " " + Nom(d.tab[i].pszNom[1]));
    }
    EXPECT_EQ(nAvecEntree, kAttendu.nLignesAvecEntree)
        << "the rows missing are among those with syntaxes and no entry point:" << Liste(tabSansEntree);
}

// Both ways between the descriptor's syntaxes and the exported ZNL_ symbols.
TEST(Count, ExportedFunctionEntryPointsMatchTheSyntaxes) {
    Module mod;
    ASSERT_NE(mod.pfnInfo(), nullptr) << dlerror();
    const std::set<std::string> exportes = EntreesExportees();
    ASSERT_FALSE(exportes.empty()) << "nm -D gave no ZNL_ symbol for " << QV_MODULE_PATH;

    int nFonctions = 0;
    for (const std::string& s : exportes)
        if (!bCommencePar(s, kPrefixeClasse)) ++nFonctions;
    EXPECT_EQ(nFonctions, kAttendu.nEntreesFonctions);

    std::set<std::string> nommes;
    std::vector<std::string> tabNonExportes;
    const std::vector<STSyntaxeEntree> tabSyntaxes = Descripteur(mod).SyntaxesAvecEntree();
    for (const STSyntaxeEntree& st : tabSyntaxes) {
        const std::string sNom = NomExporte(st.pfn);
        if (sNom.empty() || !exportes.count(sNom))
            tabNonExportes.push_back(st.sOu);
        else
            nommes.insert(sNom);
    }
    EXPECT_EQ(static_cast<int>(tabSyntaxes.size()), kAttendu.nEntreesFonctions);
    EXPECT_TRUE(tabNonExportes.empty()) << "syntaxes whose entry point is not exported:" << Liste(tabNonExportes);

    std::vector<std::string> tabOrphelins;
    for (const std::string& s : exportes)
        if (!bCommencePar(s, kPrefixeClasse) && !nommes.count(s)) tabOrphelins.push_back(s);
    EXPECT_TRUE(tabOrphelins.empty()) << "exported entry points no syntax names:" << Liste(tabOrphelins);
}

TEST(Count, ExportedClassEntriesMatchTheClassDescriptor) {
    Module mod;
    ASSERT_NE(mod.pfnInfo(), nullptr) << dlerror();
    const std::set<std::string> exportes = EntreesExportees();
    std::set<std::string> exportesClasse;
    for (const std::string& s : exportes)
        if (bCommencePar(s, kPrefixeClasse)) exportesClasse.insert(s);
    EXPECT_EQ(static_cast<int>(exportesClasse.size()), kAttendu.nEntreesClasse);

    std::set<std::string> nommes = kClasseHorsDescripteur;
    std::vector<std::string> tabNonExportes;
    for (const auto& [sOu, pfn] : EntreesDeClasse(mod)) {
        const std::string sNom = NomExporte(pfn);
        if (sNom.empty() || !exportesClasse.count(sNom))
            tabNonExportes.push_back(sOu);
        else
            nommes.insert(sNom);
    }
    EXPECT_TRUE(tabNonExportes.empty()) << "class entries not exported:" << Liste(tabNonExportes);
    std::vector<std::string> tabOrphelins;
    for (const std::string& s : exportesClasse)
        if (!nommes.count(s)) tabOrphelins.push_back(s);
    EXPECT_TRUE(tabOrphelins.empty()) << "exported class entries the descriptor does not name:" << Liste(tabOrphelins);
    for (const std::string& s : kClasseHorsDescripteur)
        EXPECT_TRUE(exportesClasse.count(s)) << "not exported: " << s;
}

// A syntax's entry point is found by its exported name, and that name is
// the overload's (ZNL_..._<overload>).
TEST(Count, EverySyntaxEntryPointResolvesByName) {
    Module mod;
    ASSERT_NE(mod.pfnInfo(), nullptr) << dlerror();
    int nVus = 0;
    for (const STSyntaxeEntree& st : Descripteur(mod).SyntaxesAvecEntree()) {
        const std::string sNom = NomExporte(st.pfn);
        if (sNom.empty()) continue;   // reported by the test above
        ++nVus;
        const std::string sSuffixe = "_" + std::to_string(st.nSurcharge);
        EXPECT_TRUE(bCommencePar(sNom, "ZNL_") && sNom.size() > sSuffixe.size() &&
                    sNom.compare(sNom.size() - sSuffixe.size(), sSuffixe.size(), sSuffixe) == 0)
            << st.sOu << ": " << sNom;
        EXPECT_EQ(dlsym(mod.h, sNom.c_str()), st.pfn) << st.sOu << ": " << sNom;
    }
    EXPECT_EQ(nVus, kAttendu.nEntreesFonctions);
}
