// The diff buffer and its sections, built, written and read back (see
// diffbuffer.h). Reading takes the bytes as hostile: every length and count
// is checked against the bytes that remain before anything is allocated.
#include "diff/diffbuffer.h"

#include <cstring>

namespace {

uint32_t _dw(const uint8_t* p) {
    uint32_t dw;
    std::memcpy(&dw, p, 4);
    return dw;
}

}  // namespace

// ---------------------------------------------------------------- sections

bool CDiffBufferSection::s_bPackMethod(uint32_t dwPackCode, eBUFFER_PACKMETHOD* peMethode) {
    *peMethode = BUFFER_PACK_AUCUN;
    if (dwPackCode == 0 || (dwPackCode & 0xF0u) != 0) return true;
    const uint32_t dw = dwPackCode & 0x0Fu;
    if (dw != BUFFER_PACK_ZLW && dw != BUFFER_PACK_QVC40) return false;
    *peMethode = static_cast<eBUFFER_PACKMETHOD>(dw);
    return true;
}

void CDiffBufferSection::AjouteCopie(uint32_t dwDebut, uint32_t dwFin) {
    if (!m_tabInstructions.empty()) {
        CDiffInstruction& st = m_tabInstructions.back();
        if (st.eType == DIFF_COPIE && st.dwSecond == dwDebut) {
            st.dwSecond = dwFin;
            return;
        }
    }
    m_tabInstructions.push_back(CDiffInstruction{DIFF_COPIE, dwDebut, dwFin});
}

void CDiffBufferSection::AjouteInsertion(const uint8_t* pbyOctets, uint32_t dwTaille) {
    if (dwTaille == 0) return;
    const auto dwDebut = static_cast<uint32_t>(m_tabInsertion.size());
    m_tabInsertion.insert(m_tabInsertion.end(), pbyOctets, pbyOctets + dwTaille);
    m_tabInstructions.push_back(CDiffInstruction{DIFF_INSERTION, dwDebut, dwDebut + dwTaille});
}

void CDiffBufferSection::Vide() {
    m_tabInstructions.clear();
    m_tabInsertion.clear();
    m_nCurseur = 0;
}

uint64_t CDiffBufferSection::qwGetTailleProduite() const {
    uint64_t qw = 0;
    for (const CDiffInstruction& st : m_tabInstructions) qw += st.dwSecond - st.dwPremier;
    return qw;
}

bool CDiffBufferSection::bGetFirstInstruction(CDiffInstruction* pstInstruction, const uint8_t** ppbyOctets,
                                              uint32_t* pdwTaille) {
    m_nCurseur = 0;
    return bGetNextInstruction(pstInstruction, ppbyOctets, pdwTaille);
}

bool CDiffBufferSection::bGetNextInstruction(CDiffInstruction* pstInstruction, const uint8_t** ppbyOctets,
                                             uint32_t* pdwTaille) {
    if (m_nCurseur >= m_tabInstructions.size()) return false;
    const CDiffInstruction& st = m_tabInstructions[m_nCurseur++];
    *pstInstruction = st;
    const bool bInsertion = st.eType == DIFF_INSERTION;
    if (ppbyOctets != nullptr) *ppbyOctets = bInsertion ? m_tabInsertion.data() + st.dwPremier : nullptr;
    if (pdwTaille != nullptr) *pdwTaille = bInsertion ? st.dwSecond - st.dwPremier : 0;
    return true;
}

uint64_t CDiffBufferSection::qwGetTailleSerialisee() const {
    return TAILLE_MIN + 12 * uint64_t(m_tabInstructions.size()) + m_tabInsertion.size();
}

bool CDiffBufferSection::bEcrit(CQVBuffer& clBuffer) const {
    const uint64_t qwTaille = qwGetTailleSerialisee() - 4;
    if (qwTaille > 0xFFFFFFFFu) return false;
    const uint32_t adwEntete[11] = {static_cast<uint32_t>(qwTaille), TAILLE_ENTETE, m_dwType,
                                    dwGetNbInstruction(),           m_dwPackCode,  m_dwPremierOctetCode,
                                    m_dwSourceDebut,                m_dwSourceFin, m_dwCibleDebut,
                                    m_dwCibleFin,                   dwGetTailleInsertion()};
    return clBuffer.Set(adwEntete, sizeof adwEntete) &&
           clBuffer.Set(m_tabInstructions.data(), 12 * dwGetNbInstruction()) &&
           clBuffer.Set(m_tabInsertion.data(), dwGetTailleInsertion());
}

bool CDiffBufferSection::bLit(const uint8_t* pby, uint32_t dwTaille, uint32_t* pdwLu) {
    Vide();
    if (dwTaille < TAILLE_MIN) return false;
    const uint32_t dwLongueur = _dw(pby);
    const uint32_t dwEntete = _dw(pby + 4);
    // The header holds at least the known fields; the section holds its
    // header and lies inside the bytes.
    if (dwEntete < TAILLE_ENTETE || dwLongueur > dwTaille - 4 || dwLongueur < 4 || dwEntete > dwLongueur - 4)
        return false;
    const uint8_t* p = pby + 8;
    m_dwType = _dw(p);
    const uint32_t dwNombre = _dw(p + 4);
    m_dwPackCode = _dw(p + 8);
    m_dwPremierOctetCode = _dw(p + 12);
    m_dwSourceDebut = _dw(p + 16);
    m_dwSourceFin = _dw(p + 20);
    m_dwCibleDebut = _dw(p + 24);
    m_dwCibleFin = _dw(p + 28);
    const uint32_t dwInsertion = _dw(p + 32);
    uint64_t qwReste = uint64_t(dwLongueur) - 4 - dwEntete;
    if (uint64_t(dwNombre) * 12 > qwReste) return false;
    qwReste -= uint64_t(dwNombre) * 12;
    if (dwInsertion > qwReste) return false;
    if (m_dwSourceDebut > m_dwSourceFin || m_dwCibleDebut > m_dwCibleFin) return false;
    const uint8_t* pInstructions = pby + 8 + dwEntete;
    m_tabInstructions.resize(dwNombre);
    if (dwNombre != 0) std::memcpy(m_tabInstructions.data(), pInstructions, 12 * size_t(dwNombre));
    for (const CDiffInstruction& st : m_tabInstructions) {
        if (st.eType != DIFF_COPIE && st.eType != DIFF_INSERTION) return false;
        if (st.dwPremier > st.dwSecond) return false;
        if (st.eType == DIFF_INSERTION && st.dwSecond > dwInsertion) return false;
    }
    const uint8_t* pInsertion = pInstructions + 12 * size_t(dwNombre);
    m_tabInsertion.assign(pInsertion, pInsertion + dwInsertion);
    *pdwLu = dwLongueur + 4;
    return true;
}

// ---------------------------------------------------------------- diff buffer

CDiffBufferSection& CDiffBuffer::clAjouteSection() {
    m_tabSections.push_back(std::make_unique<CDiffBufferSection>());
    return *m_tabSections.back();
}

bool CDiffBuffer::bEcrit(CQVBuffer& clSortie) const {
    clSortie.ClearAll();
    if (m_dwPackMethod > BUFFER_PACK_QVC40) return false;
    uint64_t qwCorps = 0;
    for (const auto& pcl : m_tabSections) qwCorps += pcl->qwGetTailleSerialisee();
    if (OFFSET_CORPS + qwCorps > 0xFFFFFFF0u) return false;
    // One allocation for the whole content.
    if (!clSortie.InitMemoire(static_cast<uint32_t>(OFFSET_CORPS + qwCorps), CQVBuffer::PAS_DEFAUT)) return false;
    if (!clSortie.SetPackMethod(static_cast<eBUFFER_PACKMETHOD>(m_dwPackMethod)) ||
        !clSortie.ChangeFirstCodedByte(OFFSET_CORPS))
        return false;
    const uint32_t adwEntete[9] = {MAGIC,         TAILLE_ENTETE, VERSION,        m_dwPackMethod, m_dwCrcSource,
                                   m_dwCrcCible,  m_dwTailleBloc, dwGetNbSection(), m_dwTailleCible};
    if (!clSortie.Set(adwEntete, sizeof adwEntete)) return false;
    for (const auto& pcl : m_tabSections)
        if (!pcl->bEcrit(clSortie)) return false;
    // Coded now, so that a failure to pack is known here.
    return clSortie.pbyGetCodedBuffer() != nullptr && clSortie.bEstCode();
}

bool CDiffBuffer::bLit(const uint8_t* pby, uint32_t dwTaille) {
    m_tabSections.clear();
    if (pby == nullptr || dwTaille < OFFSET_CORPS) return false;
    const uint32_t dwEntete = _dw(pby + 4);
    if (_dw(pby) != MAGIC || dwEntete < TAILLE_ENTETE || dwEntete > dwTaille - 8) return false;
    if (_dw(pby + 8) == 0) return false;
    m_dwPackMethod = _dw(pby + 12);
    if (m_dwPackMethod > BUFFER_PACK_QVC40) return false;
    m_dwCrcSource = _dw(pby + 16);
    m_dwCrcCible = _dw(pby + 20);
    m_dwTailleBloc = _dw(pby + 24);
    const uint32_t dwNombre = _dw(pby + 28);
    m_dwTailleCible = _dw(pby + 32);
    if (dwNombre == 0 || m_dwTailleCible > TAILLE_CIBLE_MAX) return false;

    // The body as the serialisation buffer uncodes it.
    const uint32_t dwDebutCorps = 8 + dwEntete;
    CQVBuffer clCorps(static_cast<eBUFFER_PACKMETHOD>(m_dwPackMethod), 0, CQVBuffer::PAS_DEFAUT);
    if (!clCorps.ChangeFirstCodedByte(dwDebutCorps) || !clCorps.SetCodedData(pby, dwTaille) || !clCorps.bDecode())
        return false;
    const uint32_t dwTotal = clCorps.dwGetSizeDirect();
    if (dwTotal < dwDebutCorps) return false;
    const uint8_t* p = clCorps.pbyGetUncodedBuffer() + dwDebutCorps;
    uint32_t dwReste = dwTotal - dwDebutCorps;
    if (dwNombre > dwReste / CDiffBufferSection::TAILLE_MIN) return false;
    m_tabSections.reserve(dwNombre);
    for (uint32_t i = 0; i < dwNombre; ++i) {
        CDiffBufferSection& cl = clAjouteSection();
        uint32_t dwLu = 0;
        if (!cl.bLit(p, dwReste, &dwLu)) {
            m_tabSections.clear();
            return false;
        }
        p += dwLu;
        dwReste -= dwLu;
    }
    return true;
}
