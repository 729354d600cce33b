// Durations: one signed 64-bit count of milliseconds.
//
// Text form: an optional "-", the days, then hours, minutes and seconds on
// two digits each and milliseconds on three ("JHHMMSSLLL"); the hundredths
// form ends with two digits of hundredths instead. Day counts are 64-bit:
// every duration has a text form.
#pragma once
#include <cstdint>

class CZNDSTRBase;
class CZNBINBase;

class CDureeBase {
public:
    static constexpr const char ms_pcszFormatAffichageMillieme[] = "%lld%02d%02d%02d%03d";
    static constexpr const char ms_cpszFormatAffichageCentieme[] = "%lld%02d%02d%02d%02d";
    static constexpr int TAILLE_CHAINE = 24;

    int64_t llGetMillisecondes() const { return m_llMillisecondes; }
    void SetMillisecondes(int64_t ll) { m_llMillisecondes = ll; }

    static int nCompare(const CDureeBase& clA, const CDureeBase& clB);

    int nVersChaine(CZNDSTRBase& clResultat) const;
    int nVersChaineCentieme(CZNDSTRBase& clResultat) const;
    int nVersBinaire(CZNBINBase& clResultat) const;
    char* pszCreeChaine() const;   // malloc'ed; null when memory ran out
    // The text forms into a buffer of at least TAILLE_CHAINE + 1 bytes.
    void VersChaine(char* pszBuffer, bool bCentiemes) const;

    // 0, or 112 when the text is too short or its value does not fit in
    // 64-bit milliseconds (the value is then unchanged).
    int nDepuisChaine(const char* pszTexte);
    int nDepuisChaineCentieme(const char* pszTexte);
    int nDepuisBinaire(const CZNBINBase& clBinaire);

protected:
    int64_t m_llMillisecondes;
};

// The language's duration type: the same eight bytes.
class CDuree : public CDureeBase {};

static_assert(sizeof(CDureeBase) == 8, "duration value");
static_assert(sizeof(CDuree) == 8, "duration value");

// Duration written through a display mask (day letter, "HH", "MM", "SS",
// "LLL"/"LL"/"L", "+" for the sign); the letters are the interface
// language's.
int nDureeVersChaine(const CDureeBase& clDuree, CZNDSTRBase& clResultat, const char* pszMasque);
// Duration read back through a display mask. 0, or 112 when the value does
// not fit in 64-bit milliseconds (the duration is then unchanged).
int nChaineVersDuree(CDureeBase& clDuree, const char* pszTexte, const char* pszMasque);
