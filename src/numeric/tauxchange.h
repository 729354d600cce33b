// The exchange-rate table: for each currency, how many of its units one
// euro is worth (times 1 000 000) and its short name. Currency 0 is the
// euro. The table belongs to the host's currency-rate module, which hands
// it over through its exported OBJ_pclGetTauxDeChange; the component and
// the module both use it through this layout, so every operation is
// written here, inline, and the layout never changes.
#pragma once
#include <strings.h>

#include <cstdint>
#include <cstring>

// Currency numbers: 65535 is the default (the one eDeviseAffParDéfaut
// sets), 65534 the answer for a name that is not in the table.
constexpr uint16_t DEVISE_DEFAUT = 65535;
constexpr uint16_t DEVISE_INCONNUE = 65534;
// The rate of an unknown currency or of an empty table.
constexpr uint32_t TAUX_INCONNU = 0xFFFFFFFE;
constexpr uint32_t TAUX_EURO = 1000000;

class CTauxDeChange {
public:
    static constexpr int NB_DEVISES_MAX = 64;
    static constexpr int TAILLE_NOM = 8;   // seven characters and the zero

    // Empties the table; -1, as the module's callers expect.
    int nInit() {
        memset(m_tabTaux, 0, sizeof m_tabTaux);
        memset(m_tabNom, 0, sizeof m_tabNom);
        m_wNombre = 0;
        m_wDefautAff = 1;
        m_wDefautMem = 1;
        return -1;
    }
    void Term() { nInit(); }

    // Stores a rate and a name (cut to seven characters); the table grows
    // up to the currency given. False beyond the table's room.
    bool bChange(uint16_t wDevise, uint32_t dwTaux, const char* pszNom) {
        if (wDevise >= NB_DEVISES_MAX) return false;
        m_tabTaux[wDevise] = dwTaux;
        memset(m_tabNom[wDevise], 0, TAILLE_NOM);
        if (pszNom != nullptr) strncpy(m_tabNom[wDevise], pszNom, TAILLE_NOM - 1);
        if (wDevise >= m_wNombre) m_wNombre = uint16_t(wDevise + 1);
        return true;
    }

    uint16_t wGetNombreDeDevise() const { return m_wNombre; }
    bool bDeviseEstValide(uint16_t wDevise) const { return wDevise == DEVISE_DEFAUT || wDevise < m_wNombre; }
    // The currency a number designates (65535: the default), or 65534.
    uint16_t wResout(uint16_t wDevise) const {
        if (wDevise == DEVISE_DEFAUT) wDevise = m_wDefautAff;
        return wDevise < m_wNombre ? wDevise : DEVISE_INCONNUE;
    }
    uint32_t dwGetTaux(uint16_t wDevise, int /*nReserve*/ = 0) const {
        const uint16_t w = wResout(wDevise);
        return w != DEVISE_INCONNUE ? m_tabTaux[w] : TAUX_INCONNU;
    }
    // Case-insensitive search of a name.
    uint16_t wNomVersNumero(const char* pszNom) const {
        if (pszNom == nullptr) return DEVISE_INCONNUE;
        for (uint16_t w = 0; w < m_wNombre; ++w)
            if (strncasecmp(m_tabNom[w], pszNom, TAILLE_NOM) == 0) return w;
        return DEVISE_INCONNUE;
    }
    const char* pszGetNom(uint16_t wDevise, int /*nReserve*/ = 0) const {
        const uint16_t w = wResout(wDevise);
        return w != DEVISE_INCONNUE ? m_tabNom[w] : "";
    }
    // An empty table, or one whose euro is worth one euro.
    bool bIsValid() const { return m_wNombre == 0 || m_tabTaux[0] == TAUX_EURO; }

    uint16_t wGetDefautAff() const { return m_wDefautAff; }
    uint16_t wGetDefautMem() const { return m_wDefautMem; }
    void SetDefautAff(uint16_t w) { m_wDefautAff = w; }
    void SetDefautMem(uint16_t w) { m_wDefautMem = w; }

private:
    uint32_t m_tabTaux[NB_DEVISES_MAX] = {};
    char m_tabNom[NB_DEVISES_MAX][TAILLE_NOM] = {};
    uint16_t m_wNombre = 0;
    uint16_t m_wDefautAff = 1;
    uint16_t m_wDefautMem = 1;
};

// What the currency-rate module exports.
extern "C" {
typedef CTauxDeChange* (*PFN_pclGetTauxDeChange)();
}
inline constexpr char k_szObjTauxDeChange[] = "OBJ_pclGetTauxDeChange";
// The name under which the host's library shop holds the module (its
// dlopen handle).
inline constexpr char k_szModuleDevises[] = "Devises";
