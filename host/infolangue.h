// The host's language information (IInfoLangue): day and month names, AM
// and PM texts and system masks of the interface language (French for the
// first language, English otherwise), in the component's character set.
//
// The component reaches it through the generic query of the host service
// object: bInfoVM(INFOVM_INFOLANGUE, 0) answers the object, borrowed for
// the current call (the component takes its own reference to keep it).
#pragma once
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "charset.h"
#include "qvstd/infolangue.h"

namespace qvhost {

class CInfoLangue final : public IInfoLangue {
public:
    CInfoLangue() = default;
    CInfoLangue(const CInfoLangue&) = delete;
    CInfoLangue& operator=(const CInfoLangue&) = delete;

    // The texts follow this character set and the host's interface language
    // at the time of each query.
    void SetCharset(eCharset eCs) { m_eCharset = eCs; }
    // The flags that tell the component to keep its own defaults.
    void SetNePasUtiliser(bool bDate, bool bHeure) {
        m_bNePasUtiliserDate = bDate;
        m_bNePasUtiliserHeure = bHeure;
    }
    void SetNePasUtiliserNombres(bool bNombre, bool bMonnaie) {
        m_bNePasUtiliserNombre = bNombre;
        m_bNePasUtiliserMonnaie = bMonnaie;
    }
    int32_t nGetRef() const { return m_nRef; }

    // IInfoLangue
    int32_t AddRef() override { return ++m_nRef; }
    int32_t Release() override;
    const STInfoLangueDate* pstGetDescriptionDate() override;
    int bNePasUtiliserDescriptionDate() override { return m_bNePasUtiliserDate ? 1 : 0; }
    const STInfoLangueHeure* pstGetDescriptionHeure() override;
    int bNePasUtiliserDescriptionHeure() override { return m_bNePasUtiliserHeure ? 1 : 0; }
    // Number and monetary formats of the interface language (French
    // "1 234,56" and "1 234,56 €", English "1,234.56" and "€1,234.56"),
    // flagged not to be used until SetNePasUtiliserNombres says otherwise.
    const STInfoLangueNombre* pstGetFormatNumerique() override;
    int bNePasUtiliserFormatNumerique() override { return m_bNePasUtiliserNombre ? 1 : 0; }
    const STInfoLangueMonnaie* pstGetFormatMonetaire() override;
    int bNePasUtiliserFormatMonetaire() override { return m_bNePasUtiliserMonnaie ? 1 : 0; }
    // Size units are not described by this host: the component keeps its own.
    const char* pszGetUnitesTaille() override { return nullptr; }
    int bNePasUtiliserUnitesTaille() override { return 1; }

private:
    ~CInfoLangue() override = default;
    friend CInfoLangue& InfoLangue();

    // One set of texts per language and character set, kept for the life of
    // the object so that records handed out stay valid.
    struct STTextes {
        std::string sMasqueDate, sJours, sMois, sAM, sPM, sMasqueHeure;
        STInfoLangueDate stDate{};
        STInfoLangueHeure stHeure{};
        std::string sSepDecimal, sSepMillier, sGroupement, sSymbole;
        STInfoLangueNombre stNombre{};
        STInfoLangueMonnaie stMonnaie{};
    };
    const STTextes& Textes();

    int32_t m_nRef = 1;   // the host's own reference
    eCharset m_eCharset = eCharset::CP1252;
    bool m_bNePasUtiliserDate = false;
    bool m_bNePasUtiliserHeure = false;
    // Until told otherwise the component keeps its own number settings.
    bool m_bNePasUtiliserNombre = true;
    bool m_bNePasUtiliserMonnaie = true;
    std::map<std::pair<bool, eCharset>, std::unique_ptr<STTextes>> m_mapTextes;
};

// The host's object, for the whole process.
CInfoLangue& InfoLangue();

}  // namespace qvhost
