// The host's language information for in-process tests: every description
// holds what the test puts in it, and each "do not use" flag is the test's.
// By default the date and time descriptions are given (empty texts) and
// used; the number, monetary and size descriptions are not to be used.
//
// The object counts its references and deletes itself on the last Release,
// as the host's does: one made with new is handed over and released; one
// on the stack keeps the test's own reference to the end.
#pragma once
#include <cstdint>
#include <string>

#include "qvstd/infolangue.h"

class CInfoLangueTest : public IInfoLangue {
public:
    // Dates and times; bDate and bHeure false: the host has no description.
    std::string sMasqueDate, sJours, sMois;
    std::string sAM, sPM, sMasqueHeure;
    bool bDate = true, bHeure = true;
    int nNePasDate = 0, nNePasHeure = 0;
    // Numbers, money and sizes.
    STInfoLangueNombre stNombre{};
    STInfoLangueMonnaie stMonnaie{};
    std::string sUnites;
    int nNePasNombre = 1, nNePasMonnaie = 1, nNePasUnites = 1;
    // Set to 1 when the object is destroyed.
    int* pnDetruit = nullptr;

    CInfoLangueTest() = default;
    CInfoLangueTest(const CInfoLangueTest&) = delete;
    CInfoLangueTest& operator=(const CInfoLangueTest&) = delete;
    ~CInfoLangueTest() override {
        if (pnDetruit != nullptr) *pnDetruit = 1;
    }

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
    const STInfoLangueNombre* pstGetFormatNumerique() override { return &stNombre; }
    int bNePasUtiliserFormatNumerique() override { return nNePasNombre; }
    const STInfoLangueMonnaie* pstGetFormatMonetaire() override { return &stMonnaie; }
    int bNePasUtiliserFormatMonetaire() override { return nNePasMonnaie; }
    const char* pszGetUnitesTaille() override { return sUnites.c_str(); }
    int bNePasUtiliserUnitesTaille() override { return nNePasUnites; }

    int32_t nGetRef() const { return m_nRef; }

private:
    int32_t m_nRef = 1;
    STInfoLangueDate m_stDate{};
    STInfoLangueHeure m_stHeure{};
};
