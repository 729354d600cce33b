// The host's view of the component's functions: names read from the
// descriptor, overloads with their entry points and signatures, name
// lookup with or without accents, and the choice of an overload for the
// values given.
#pragma once
#include <array>
#include <memory>
#include <unordered_map>
#include <string>
#include <vector>

#include "qvstd/descriptor.h"
#include "signature.h"
#include "values.h"

namespace qvhost {

struct STSurcharge {
    int nIndex = 0;
    PFN_ZNL pfnEntree = nullptr;
    int nResultat = -1;             // type code, -1 for a procedure
    uint32_t dwArgs = 0;            // argument word of the syntax row
    const QVSignature* pstSig = nullptr;
    bool bSigValide = false;
    STSignatureArgs stArgs;
};

struct STFonctionHote {
    int nRow = 0;
    uint32_t dwFlags = 0;
    uint32_t dwId = 0;
    std::string sNom[2];            // UTF-8
    std::vector<STSurcharge> tabSurcharges;
    bool bDisponible() const;       // at least one overload has an entry point
};

// Index of the first name pair matching sNom: exact, then without accents,
// then without case, then without both; -1 when none matches.
int nChercheNom(const std::vector<std::array<std::string, 2>>& tabNoms, const std::string& sNom);

// The same search over a fixed list of name pairs, with the keys of every
// pass computed once.
class CIndexNoms {
public:
    void Charge(const std::vector<std::array<std::string, 2>>& tabNoms);
    int nCherche(const std::string& sNom) const;

private:
    std::unordered_map<std::u32string, int> m_tabPasses[4];   // key -> first index
};

class CTableFonctions {
public:
    // pstTab: the descriptor's function rows (names in the component's
    // 8-bit character set).
    void Charge(const STFonction* pstTab, int nRows, const QVSignature* pstSigs, size_t nSigs, eCharset eCs);
    const STFonctionHote* pCherche(const std::string& sNom) const;
    const STFonctionHote* pRow(int nRow) const;
    size_t nCount() const { return m_tabFonctions.size(); }

private:
    std::vector<STFonctionHote> m_tabFonctions;
    CIndexNoms m_clIndex;
};

// The chosen overload with its converted arguments.
struct STAppelPrepare {
    const STSurcharge* pstSurcharge = nullptr;
    std::vector<std::unique_ptr<CArg>> tabArgs;
};

// Picks the overload for the given values: by count, then by how well the
// values fit the declared kinds (nForce >= 0 picks that overload). False
// with a message when nothing fits or the function does not exist here.
bool bPrepareAppel(const STFonctionHote& stF, const std::vector<json>& tabValeurs, bool bLigneCommande, int nForce,
                   eCharset eCs, STAppelPrepare& stAppel, std::string& sErreur, bool bInvite = false);

}  // namespace qvhost
