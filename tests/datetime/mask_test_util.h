// Helpers of the date-time mask tests: records, interface language, and
// the common language-information object and temporary home directory.
#pragma once
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/info_langue.h"
#include "common/temp_home.h"
#include "runtime/language.h"
#include "core/tstring.h"
#include "datetime/maskdate.h"

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
