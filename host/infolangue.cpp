#include "infolangue.h"

#include "module.h"

namespace qvhost {

namespace {

// Texts in UTF-8; masks in the component's mask language.
struct STLangue {
    const char* pszMasqueDate;
    const char* pszJours;
    const char* pszMois;
    const char* pszAM;
    const char* pszPM;
    const char* pszMasqueHeure;
    // Numbers and money: separators, the placements of the sign (and of
    // the symbol) as the number and monetary format records number them.
    const char* pszSepDecimal;
    const char* pszSepMillier;
    uint32_t nNegatifNombre;
    uint32_t nPositifMonnaie;
    uint32_t nNegatifMonnaie;
    const char* pszSymbole;
};

const STLangue s_stFrancais = {
    "JJ/MM/AAAA",
    "Lundi;Mardi;Mercredi;Jeudi;Vendredi;Samedi;Dimanche",
    "Janvier;Février;Mars;Avril;Mai;Juin;Juillet;Août;Septembre;Octobre;Novembre;Décembre",
    "AM",
    "PM",
    "HH:MM:SS",
    ",",
    " ",
    1,   // -1,1
    3,   // 1,1 €
    8,   // -1,1 €
    "€",
};

const STLangue s_stAnglais = {
    "MM/JJ/AAAA",
    "Monday;Tuesday;Wednesday;Thursday;Friday;Saturday;Sunday",
    "January;February;March;April;May;June;July;August;September;October;November;December",
    "AM",
    "PM",
    "HH:MM:SS AM",
    ".",
    ",",
    1,   // -1.1
    0,   // €1.1
    1,   // -€1.1
    "€",
};

}  // namespace

int32_t CInfoLangue::Release() {
    int32_t n = --m_nRef;
    if (n <= 0) delete this;
    return n;
}

const CInfoLangue::STTextes& CInfoLangue::Textes() {
    const bool bFrancais = EtatHote().nLangue == LANGUE_FR;
    auto& p = m_mapTextes[{bFrancais, m_eCharset}];
    if (!p) {
        const STLangue& st = bFrancais ? s_stFrancais : s_stAnglais;
        p = std::make_unique<STTextes>();
        p->sMasqueDate = Utf8ToCharset(st.pszMasqueDate, m_eCharset);
        p->sJours = Utf8ToCharset(st.pszJours, m_eCharset);
        p->sMois = Utf8ToCharset(st.pszMois, m_eCharset);
        p->sAM = Utf8ToCharset(st.pszAM, m_eCharset);
        p->sPM = Utf8ToCharset(st.pszPM, m_eCharset);
        p->sMasqueHeure = Utf8ToCharset(st.pszMasqueHeure, m_eCharset);
        p->stDate = {p->sMasqueDate.c_str(), p->sJours.c_str(), p->sMois.c_str()};
        p->stHeure = {p->sAM.c_str(), p->sPM.c_str(), p->sMasqueHeure.c_str()};
        p->sSepDecimal = st.pszSepDecimal;
        p->sSepMillier = st.pszSepMillier;
        p->sGroupement = "3;0";
        p->sSymbole = Utf8ToCharset(st.pszSymbole, m_eCharset);
        p->stNombre = {2, 1, p->sGroupement.c_str(), p->sSepDecimal.c_str(), p->sSepMillier.c_str(), st.nNegatifNombre};
        p->stMonnaie = {2,
                        1,
                        p->sGroupement.c_str(),
                        p->sSepDecimal.c_str(),
                        p->sSepMillier.c_str(),
                        st.nNegatifMonnaie,
                        st.nPositifMonnaie,
                        p->sSymbole.c_str()};
    }
    return *p;
}

const STInfoLangueDate* CInfoLangue::pstGetDescriptionDate() { return &Textes().stDate; }

const STInfoLangueHeure* CInfoLangue::pstGetDescriptionHeure() { return &Textes().stHeure; }

const STInfoLangueNombre* CInfoLangue::pstGetFormatNumerique() { return &Textes().stNombre; }

const STInfoLangueMonnaie* CInfoLangue::pstGetFormatMonetaire() { return &Textes().stMonnaie; }

CInfoLangue& InfoLangue() {
    // Never destroyed: the component may still hold a reference when the
    // process ends.
    static CInfoLangue* s_pcl = new CInfoLangue;
    return *s_pcl;
}

}  // namespace qvhost
