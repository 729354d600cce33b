// Variants: conversions through the host, variants built from texts and
// the type names.
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

#include "core/any.h"
#include "core/strfunc.h"
#include "core/timevalue.h"
#include "core/zndstr.h"

namespace {

struct STConversion {
    PFN_nConversionDepassement pfn = nullptr;
    PFN_nConversionDepassementEx pfnEx = nullptr;
    PFN_FinConversion pfnFin = nullptr;
    void* hModule = nullptr;
    int nVersion = 0;
    int nCompatibleDepuis = 0;
};
STConversion g_stConv;

// The temporary buffer of a conversion: a value area, or one pointer.
union UTamponConversion {
    uint8_t aby[ANY_TAILLE_CONVERSION];
    void* p;
    uint64_t ll;
};

}  // namespace

bool bInitZNConvFromVM(void* hModule, int nVersion, int nCompatibleDepuis) {
    if (hModule == nullptr || nVersion < 2 || nCompatibleDepuis >= 3) return false;
    auto pfn = reinterpret_cast<PFN_nConversionDepassement>(dlsym(hModule, "nConversionDepassement"));
    auto pfnEx = reinterpret_cast<PFN_nConversionDepassementEx>(dlsym(hModule, "nConversionDepassementEx"));
    auto pfnFin = reinterpret_cast<PFN_FinConversion>(dlsym(hModule, "FinConversion"));
    if (pfn == nullptr || pfnFin == nullptr) return false;
    g_stConv.pfn = pfn;
    g_stConv.pfnEx = pfnEx;
    g_stConv.pfnFin = pfnFin;
    g_stConv.hModule = hModule;
    g_stConv.nVersion = nVersion;
    g_stConv.nCompatibleDepuis = nCompatibleDepuis;
    // The host's object factory for decimals: this host module offers
    // none, so numeric variants stay without an object.
    return true;
}

bool bInitZNConvFromServeur(void* hModule) {
    if (hModule == nullptr) return false;
    using PFN_Init = bool (*)(void*, int, int);
    auto pfnInit = reinterpret_cast<PFN_Init>(dlsym(hModule, "bInitZNConvFromVM"));
    return pfnInit != nullptr && pfnInit(hModule, 2, 2);
}

void ANY_SetConversion(PFN_nConversionDepassement pfn, PFN_nConversionDepassementEx pfnEx, PFN_FinConversion pfnFin) {
    g_stConv = STConversion{};
    if (pfn == nullptr || pfnFin == nullptr) return;
    g_stConv.pfn = pfn;
    g_stConv.pfnEx = pfnEx;
    g_stConv.pfnFin = pfnFin;
    g_stConv.nVersion = 2;
}

bool ANY_bConversionLiee() { return g_stConv.pfn != nullptr && g_stConv.pfnFin != nullptr; }
int ANY_nGetVersionConversion() { return g_stConv.nVersion; }

int CAny::nCastTo(int nType) {
    nType &= 0xFF;
    if (nGetType() == nType) return 0;
    if (!ANY_bConversionLiee()) return 105;   // nobody to ask
    UTamponConversion u{};
    int nRes = g_stConv.pfnEx ? g_stConv.pfnEx(m_abyValeur, nGetType(), u.aby, nType, 1)
                              : g_stConv.pfn(m_abyValeur, nGetType(), u.aby, nType);
    if (nRes > 99) return nRes;   // refused: the variant stays as it was
    uint16_t wMarques = m_wType & (ANY_MARQUE_NULL | ANY_MARQUE_GARDEE);
    __SetType(nType);
    if (nType == ANY_DECIMAL || nType == ANY_CSTR || nType == ANY_WSTR)
        SetValue(u.p);
    else
        SetValue(u.aby);
    m_wType = static_cast<uint16_t>((m_wType & ~(ANY_MARQUE_NULL | ANY_MARQUE_GARDEE)) | wMarques);
    g_stConv.pfnFin(u.aby, nType);
    return nRes;
}

int CAny::s_nCastTo(CAny* pclDestination, const char* pszTexte, int nType) {
    if (pclDestination == nullptr) return 105;
    pclDestination->__SetType(ANY_CSTR);
    int nRes = pclDestination->SetValue(pszTexte ? pszTexte : "");
    pclDestination->m_wType &= static_cast<uint16_t>(~(ANY_MARQUE_NULL | ANY_MARQUE_GARDEE));
    if (nRes != 0) return nRes;
    return pclDestination->nCastTo(nType);
}

int CAny::nCastFrom_BIN_DATEHEURE_To_DATEHEURE() {
    if (nGetType() != ANY_BIN) return 105;
    CZNBIN clBin;
    const void* pMemoire = pGetPointeur();
    if (pMemoire) {
        if (int nRes = clBin.nAssign(pMemoire, static_cast<int>(STRMEM_Header(pMemoire)->nLongueur))) return nRes;
    }
    CValeurDateHeure cl;
    cl.InitDate();
    if (int nRes = cl.nDepuisBinaire(clBin)) return nRes;
    uint32_t adw[2] = {cl.dwGetDate(), cl.dwGetMillisecondes()};
    uint8_t aby[ANY_TAILLE_VALEUR] = {};
    std::memcpy(aby, adw, 8);
    __TransfertValeurInterne(ANY_DATETIME, aby);
    return 0;
}

int CAny::nCastFrom_BIN_DUREE_To_DUREE() {
    if (nGetType() != ANY_BIN) return 105;
    CZNBIN clBin;
    const void* pMemoire = pGetPointeur();
    if (pMemoire) {
        if (int nRes = clBin.nAssign(pMemoire, static_cast<int>(STRMEM_Header(pMemoire)->nLongueur))) return nRes;
    }
    CValeurDuree cl;
    cl.SetMillisecondes(0);
    if (int nRes = cl.nDepuisBinaire(clBin)) return nRes;
    int64_t ll = cl.llGetMillisecondes();
    uint8_t aby[ANY_TAILLE_VALEUR] = {};
    std::memcpy(aby, &ll, 8);
    __TransfertValeurInterne(ANY_DUREE, aby);
    return 0;
}

namespace {

struct STNomType {
    const char* pszNom[2];
    uint16_t wType;
};
// Accented letters are Latin-1 bytes.
const STNomType k_tabNomsTypes[] = {
    {{"znBool\xE9" "en", "znBoolean"}, 1},
    {{"znEntierSansSigne_1", "znUnsignedInt_1"}, 2},
    {{"znEntierSansSigne_2", "znUnsignedInt_2"}, 3},
    {{"znEntierSansSigne_4", "znUnsignedInt_4"}, 4},
    {{"znEntierSansSigne_8", "znUnsignedInt_8"}, 5},
    {{"znEntier_1", "znInt_1"}, 6},
    {{"znEntier_2", "znInt_2"}, 7},
    {{"znEntier_4", "znInt_4"}, 8},
    {{"znEntier_8", "znInt_8"}, 9},
    {{"znMon\xE9taire", "znCurrency"}, 10},
    {{"znR\xE9" "el_4", "znReal_4"}, 11},
    {{"znR\xE9" "el_8", "znReal_8"}, 12},
    {{"znNum\xE9rique", "znNumeric"}, 13},
    {{"znCha\xEEne", "znString"}, 18},
    {{"znCha\xEEneUnicode", "znUnicodeString"}, 110},
    {{"znDate", "znDate"}, 24},
    {{"znHeure", "znTime"}, 25},
    {{"znDateHeure", "znDateTime"}, 26},
    {{"znDur\xE9" "e", "znDuration"}, 27},
    {{"znCha\xEEneBinaire", "znBinaryString"}, 28},
};

bool bEgalSansCasse(const char* pszA, const char* pszB) { return STR_nCompare(pszA, pszB, MAP_CASSE) == 0; }

}  // namespace

uint16_t CAny::__wGetTypeSpecifie(const char* pszNom) {
    if (pszNom == nullptr) return 0;
    for (const auto& st : k_tabNomsTypes)
        if (bEgalSansCasse(pszNom, st.pszNom[0]) || bEgalSansCasse(pszNom, st.pszNom[1])) return st.wType;
    return 0;
}

uint16_t CAny::s_wConstruitValeurCAny(const char* pszTexte, CAny* pclAny) {
    if (pclAny == nullptr) return 0;
    char* psz = STR_pszCreate(pszTexte ? pszTexte : "");
    if (psz == nullptr) return 0;
    const uint16_t wMarques = ANY_MARQUE_NULL | ANY_MARQUE_GARDEE;
    auto fnTexte = [&](const char* pszValeur) {
        pclAny->__SetType(ANY_CSTR);
        pclAny->SetValue(pszValeur);
        pclAny->m_wType &= static_cast<uint16_t>(~wMarques);
    };
    uint16_t wResultat = 0;

    // 1. A type name after the last comma.
    char* pszVirgule = std::strrchr(psz, ',');
    if (pszVirgule != nullptr) {
        uint16_t wType = __wGetTypeSpecifie(pszVirgule + 1);
        if (wType != 0) {
            *pszVirgule = '\0';
            fnTexte(psz);
            if (pclAny->nCastTo(wType) <= 99) wResultat = wType;
        }
    }

    if (wResultat == 0) {
        // 2. Digits, sign, one point, one exponent letter.
        bool bChiffre = false, bReel = false, bAutre = false;
        int nPoints = 0, nExposants = 0;
        for (const char* p = psz; *p; ++p) {
            char c = *p;
            if (c == '+' || c == '-' || (c >= '0' && c <= '9')) {
                bChiffre = true;
            } else if (c == '.') {
                bReel = true;
                if (++nPoints > 1) bAutre = true;
            } else if (c == 'E' || c == 'e') {
                bReel = true;
                if (++nExposants > 1) bAutre = true;
            } else {
                bAutre = true;
            }
        }
        // 3. A number.
        if (!bAutre && (bReel || bChiffre)) {
            fnTexte(psz);
            int nType = bReel ? ANY_R8 : ANY_I4;
            if (pclAny->nCastTo(nType) <= 99 && pclAny->nGetType() == nType) wResultat = static_cast<uint16_t>(nType);
        }
    }

    if (wResultat == 0) {
        // 4. A boolean word.
        int32_t nBooleen = -1;
        if (STR_nCompare(psz, "VRAI", MAP_CASSE) == 0 || STR_nCompare(psz, "TRUE", MAP_CASSE) == 0)
            nBooleen = 1;
        else if (STR_nCompare(psz, "FAUX", MAP_CASSE) == 0 || STR_nCompare(psz, "FALSE", MAP_CASSE) == 0)
            nBooleen = 0;
        if (nBooleen >= 0) {
            pclAny->__SetType(ANY_BOOL);
            pclAny->SetValue(&nBooleen);
            pclAny->m_wType &= static_cast<uint16_t>(~wMarques);
            wResultat = ANY_BOOL;
        }
    }

    if (wResultat == 0) {
        // 5. The text, without surrounding double quotes.
        size_t n = std::strlen(psz);
        char* pszValeur = psz;
        if (n >= 1 && psz[0] == '"' && psz[n - 1] == '"') {
            if (n == 1) {
                psz[0] = '\0';
            } else {
                psz[n - 1] = '\0';
                ++pszValeur;
            }
        }
        fnTexte(pszValeur);
        wResultat = ANY_CSTR;
    }
    STR_Delete(psz);
    return wResultat;
}
