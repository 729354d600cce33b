// Helpers of the date-time mask tests: records, interface language, a
// language-information object, a temporary home directory.
#pragma once
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/temp_home.h"
#include "runtime/language.h"
#include "core/tstring.h"
#include "datetime/maskdate.h"
#include "qvstd/infolangue.h"

namespace masktest {

constexpr uint16_t V = MSQ_VIDE;

inline STSystemTime Rec(uint16_t wAnnee, uint16_t wMois, uint16_t wJour, uint16_t wHeure = V,
                        uint16_t wMinute = V, uint16_t wSeconde = V, uint16_t wMilli = V, uint16_t wJourSem = V) {
    STSystemTime st;
    st.wYear = wAnnee;
    st.wMonth = wMois;
    st.wDay = wJour;
    st.wHour = wHeure;
    st.wMinute = wMinute;
    st.wSecond = wSeconde;
    st.wMilliseconds = wMilli;
    st.wDayOfWeek = wJourSem;
    return st;
}

inline std::string RecTexte(const STSystemTime& st) {
    auto f = [](uint16_t w) { return w == V ? std::string("-") : std::to_string(w); };
    return f(st.wYear) + "/" + f(st.wMonth) + "/" + f(st.wDay) + " " + f(st.wHour) + ":" + f(st.wMinute) + ":" +
           f(st.wSecond) + "." + f(st.wMilliseconds) + " w" + f(st.wDayOfWeek);
}

// Sets the interface language for the scope and restores it.
class CLangue {
public:
    explicit CLangue(bool bFrancais) : m_nAvant(qvstd::nGetInterfaceLanguage()) {
        qvstd::SetInterfaceLanguage(bFrancais ? 12 : 7);
    }
    ~CLangue() { qvstd::SetInterfaceLanguage(m_nAvant); }
    CLangue(const CLangue&) = delete;
    CLangue& operator=(const CLangue&) = delete;

private:
    int m_nAvant;
};

// A language-information object giving what the test puts in it.
class CInfoLangueTest : public IInfoLangue {
public:
    std::string sMasqueDate, sJours, sMois, sAM, sPM, sMasqueHeure;
    bool bDate = true, bHeure = true;           // a description is given
    int nNePasDate = 0, nNePasHeure = 0;
    int nDetruits = 0;
    int* pnDetruit = nullptr;                   // set to 1 when destroyed

    int32_t AddRef() override { return ++m_nRef; }
    int32_t Release() override {
        const int32_t n = --m_nRef;
        if (n == 0) delete this;
        return n;
    }
    const STInfoLangueDate* pstGetDescriptionDate() override {
        m_stDate = {sMasqueDate.c_str(), sJours.c_str(), sMois.c_str()};
        return bDate ? &m_stDate : nullptr;
    }
    int bNePasUtiliserDescriptionDate() override { return nNePasDate; }
    const STInfoLangueHeure* pstGetDescriptionHeure() override {
        m_stHeure = {sAM.c_str(), sPM.c_str(), sMasqueHeure.c_str()};
        return bHeure ? &m_stHeure : nullptr;
    }
    int bNePasUtiliserDescriptionHeure() override { return nNePasHeure; }
    const STInfoLangueNombre* pstGetFormatNumerique() override { return nullptr; }
    int bNePasUtiliserFormatNumerique() override { return 1; }
    const STInfoLangueMonnaie* pstGetFormatMonetaire() override { return nullptr; }
    int bNePasUtiliserFormatMonetaire() override { return 1; }
    const char* pszGetUnitesTaille() override { return nullptr; }
    int bNePasUtiliserUnitesTaille() override { return 1; }
    int32_t nGetRef() const { return m_nRef; }

protected:
    ~CInfoLangueTest() override {
        if (pnDetruit != nullptr) *pnDetruit = 1;
    }

private:
    int32_t m_nRef = 1;
    STInfoLangueDate m_stDate{};
    STInfoLangueHeure m_stHeure{};
};

// Writes a storage-form value through a mask.
inline std::string Formate(const char* pszMasque, int nDate, const char* pszValeur, int nFlags = 0,
                           const char* pszFormatRetour = nullptr) {
    CMasqueDateHeure cl(pszMasque, nDate, pszFormatRetour);
    CTString clRes;
    cl.FormateEx(pszValeur, clRes, nFlags);
    return clRes.pszGet();
}

// Reads a text through a mask into the record.
inline STSystemTime Lit(const char* pszMasque, int nDate, const char* pszTexte, int nFlags = 0,
                        const char* pszFormatRetour = nullptr) {
    CMasqueDateHeure cl(pszMasque, nDate, pszFormatRetour);
    STSystemTime st;
    cl._TexteVersDateHeure(pszTexte, cl.pszGetMasque(), st, nFlags);
    return st;
}

// Reads a text through a mask into its storage form.
inline std::string Deformate(const char* pszMasque, int nDate, const char* pszTexte, int nFlags = 0,
                             const char* pszFormatRetour = nullptr, const char* pszFormatAppel = nullptr) {
    CMasqueDateHeure cl(pszMasque, nDate, pszFormatRetour);
    CTString clRes;
    cl.DeformateDateHeure(pszTexte, clRes, nFlags, pszFormatAppel);
    return clRes.pszGet();
}

}  // namespace masktest
