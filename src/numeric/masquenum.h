// Numeric display masks: a number written as decimal text ("-1234.5")
// shown through a mask such as "99 999 999,99", "+999,00 $" or
// "999;(999);zero". The mask itself writes a blank between thousands and
// "," before decimals; the display separators and the currency name come
// from the process-wide settings.
#pragma once
#include <cstdint>
#include <string>

#include "core/tstring.h"
#include "datetime/masque.h"

class CMasqueNumerique : public CMasque {
public:
    // "MoneySystemMask" and "MoneySystemMask$" stand for the system
    // monetary mask, without and with the currency symbol; "DiskSize" is the
    // size mask.
    explicit CMasqueNumerique(const char* pszMasque);
    // A numeric mask for the callers that know masks only by their base;
    // they delete it.
    static CMasque* pclGetNewMasqueNumerique(const char* pszMasque);

    bool bEstVide() const override { return m_clMasque.bEstVide(); }
    void Formate(const char* pszValeur, CTString& clResultat, CObjetAPCode* pclObjet) override;
    // Takes the language information, and rebuilds a system mask with it.
    void SetInfoLangue(IInfoLangue* piInfoLangue, int nParam1, int nParam2) override;

    // The value written through the mask; bSaisie gives the entry form
    // (digits, decimal separator and signs only).
    void MetAuFormat(const char* pszValeur, CTString& clResultat, bool bSaisie, CObjetAPCode* pclObjet = nullptr);
    // A displayed text read back into decimal text ("-1234.5"); empty when
    // it holds no digit.
    void DeformateNum(const char* pszTexte, CTString& clResultat) const;
    // A size in bytes with the unit names (unit 0 automatic, 1 to 5 bytes to
    // terabytes); false and an empty text for another unit.
    bool MetAuFormatTailleDisque(double rTaille, CTString& clResultat, int nUnite);
    bool MetAuFormatTailleDisque(int64_t llTaille, CTString& clResultat, int nUnite);

    const char* pszGetMasque() const { return m_clMasque.pszGet(); }
    void SetNomDevise(const char* pszNom) { m_clDevise = pszNom; }
    const char* pszGetNomDevise() const { return m_clDevise.pszGet(); }
    // The symbol of the host's monetary format for a system mask that has
    // one, else the currency name.
    const char* pszGetNomDeviseEffectif() const;
    char cGetSepDecimalAffEffectif() const { return m_cSepDecimalAff; }
    char cGetSepMillierAffEffectif() const { return m_cSepMillierAff; }
    int nDecimalesMasque() const;
    bool bEstMasquePourcentage() const;
    bool bEstMasqueTailleDisque() const;
    bool bNegatifAccepte() const { return true; }

    // The text of a number that does not fit.
    static const char* pszGetChaineErreur(int n);

    // Process-wide settings: 0 decimal separator, 1 thousands separator
    // (first character of the value), 2 currency name (at most 31
    // characters). A set parameter is forced.
    static void SetInternationnalParam(int nParametre, const char* pszValeur);
    static bool s_bParametreIntForce(int nParametre);
    static bool sbGetSeparateurDecimalForce() { return s_bParametreIntForce(0); }
    static bool sbGetSeparateurMillierForce() { return s_bParametreIntForce(1); }
    static char cGetSeparateurDecimal() { return ms_cSeparateurDecimal; }
    static char cGetSeparateurMillier() { return ms_cSeparateurMillier; }
    static const char* pszGetDevise() { return ms_pszDevise; }

    static char ms_cSeparateurDecimal;
    static char ms_cSeparateurMillier;
    static char ms_pszDevise[32];
    static bool ms_tabParametreIntForce[3];

    // Host formats turned into masks (in the mask's own separators).
    static std::string FormatNumeriqueVersMasqueQV(const struct STInfoLangueNombre& st);
    static std::string FormatMonetaireVersMasqueQV(const struct STInfoLangueMonnaie& st, bool bSymbole);

private:
    void _ConstruitMasqueSysteme();
    void _MetAuFormatPartie(const std::string& sPartie, bool bMultiPartie, bool bNegatif, const std::string& sEntier,
                            const std::string& sDecimales, bool bSaisie, std::string& s) const;

    CTString m_clMasque;
    char m_cSepMillierAff;
    char m_cSepDecimalAff;
    char m_cSepMillier = ' ';
    char m_cSepDecimal = ',';
    CTString m_clDevise;
    CTString m_clSymboleHote;
    bool m_bSysteme = false;
    bool m_bSystemeSymbole = false;
    int m_nChiffresSysteme = -1;
};
