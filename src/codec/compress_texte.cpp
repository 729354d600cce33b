// Type 5: the text coder for short strings. Values 0-3 shift to a set for
// one character, 4-7 latch a set, 8-39 are characters of the set in force;
// while set 3 is latched, 38 and 39 announce one raw byte or a counted run.
// Triples of values become two bytes n / 255 + 1 and n % 255 + 1, never 0.
#include <algorithm>
#include <cstring>

#include "codec/compress.h"

namespace {

constexpr int AUCUN = -1;
constexpr int RUN_MAX = 255;

const uint8_t k_tabJeux[4][32] = {
    {9, 10, 13, ' ', ',', '.', 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J',
     'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z'},
    {' ', ',', 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n',
     'o', 'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z', 0xE0, 0xE8, 0xE9, 0xEA},
    {' ', '!', '"', '%', '\'', '(', ')', ',', '.', '0', '1', '2', '3', '4', '5', '6',
     '7', '8', '9', '<', '>', '?', 'X', 'c', 'd', 'f', 'g', 'l', 'p', 's', 'u', 'x'},
    {'#', '$', '&', '*', '+', '-', '/', ':', ';', '=', '@', '[', '\\', ']', '^', '_',
     '{', '|', '}', '~', 0xA0, 0xB0, 0xE2, 0xE7, 0xEB, 0xEE, 0xEF, 0xF4, 0xF9, 0xFB, 0xFE, 0xFF},
};

int _nIndex(int nJeu, uint8_t by) {
    const uint8_t* p = k_tabJeux[nJeu];
    const uint8_t* q = std::lower_bound(p, p + 32, by);
    return q != p + 32 && *q == by ? static_cast<int>(q - p) : AUCUN;
}

bool _bDansJeu(int nJeu, uint8_t by) { return _nIndex(nJeu, by) != AUCUN; }

bool _bDansUnJeu(uint8_t by) {
    for (int s = 0; s < 4; s++)
        if (_bDansJeu(s, by)) return true;
    return false;
}

// A byte that a raw run may stop for: codable once set 3 is latched, which
// leaves out the two bytes whose values announce raw bytes there.
bool _bCodableApresRun(uint8_t by) { return by < 0xFE && _bDansUnJeu(by); }

// Index usable as a character of the latched set: in set 3 the last two
// values announce raw bytes instead.
int _nIndexCourant(int nJeu, uint8_t by) {
    int n = _nIndex(nJeu, by);
    return nJeu == 3 && n >= 30 ? AUCUN : n;
}

struct CSortie {
    uint8_t* pby;
    uint32_t dwCapacite;
    uint32_t dwPos = 0;
    bool bDeborde = false;
    void Octet(uint8_t by) {
        if (dwPos < dwCapacite)
            pby[dwPos++] = by;
        else
            bDeborde = true;
    }
};

}  // namespace

bool CDataCompressor::bCompresse(const uint8_t* pbySource, uint32_t dwSource, uint8_t* pbyDestination,
                                 uint32_t dwCapacite, uint32_t* pdwEcrit) {
    *pdwEcrit = 0;
    if (pbyDestination == nullptr || dwCapacite == 0) return false;
    if (dwSource != 0 && (pbySource == nullptr || std::memchr(pbySource, 0, dwSource) != nullptr)) return false;
    CSortie clSortie{pbyDestination, dwCapacite};
    std::vector<int> tabValeurs;
    int nCourant = 0;
    auto fnTriples = [&]() {
        size_t k = 0;
        for (; k + 3 <= tabValeurs.size(); k += 3) {
            int n = 1600 * tabValeurs[k] + 40 * tabValeurs[k + 1] + tabValeurs[k + 2];
            clSortie.Octet(static_cast<uint8_t>(n / 255 + 1));
            clSortie.Octet(static_cast<uint8_t>(n % 255 + 1));
        }
        tabValeurs.erase(tabValeurs.begin(), tabValeurs.begin() + static_cast<long>(k));
    };
    // Bytes of the raw run starting at i: the first byte always, then bytes
    // in no set, with the set bytes between them.
    auto fnRun = [&](uint32_t i) -> uint32_t {
        uint32_t dwRun = 1, dwAttente = 0;
        uint32_t j = i + 1;
        for (; j < dwSource && dwRun + dwAttente < RUN_MAX; j++) {
            if (!_bCodableApresRun(pbySource[j])) {
                dwRun += dwAttente + 1;
                dwAttente = 0;
            } else {
                dwAttente++;
                if ((dwRun == 1 && dwAttente == 3) || dwAttente == 9) break;
            }
        }
        if (j >= dwSource && dwAttente <= 2) dwRun += dwAttente;
        return std::min<uint32_t>(dwRun, RUN_MAX);
    };

    uint32_t i = 0;
    while (i < dwSource) {
        uint8_t by = pbySource[i];
        int nIndex = _nIndexCourant(nCourant, by);
        if (nIndex != AUCUN) {
            tabValeurs.push_back(nIndex + 8);
            i++;
        } else {
            int nDecalage = 8;
            // 0xFE and 0xFF are never coded in set 3, shifted or latched: the
            // decoder reads their values there as raw-byte markers.
            for (int s = 0; s < 4 && nDecalage == 8; s++)
                if (s != nCourant && _nIndexCourant(s, by) != AUCUN) nDecalage = s;
            int nChoix = nDecalage;
            if (i + 1 < dwSource) {
                // Race between the sets over the rest of the input.
                int anCout[4];
                bool abCourse[4] = {true, true, true, true};
                for (int s = 0; s < 4; s++) anCout[s] = (s == nCourant ? 0 : 1) + (_bDansJeu(s, by) ? 1 : 2);
                int nGagnant = AUCUN;
                for (uint32_t j = i + 1; j < dwSource && nGagnant == AUCUN; j++) {
                    int nMin = 1 << 30;
                    for (int s = 0; s < 4; s++) {
                        if (!abCourse[s]) continue;
                        anCout[s] += _bDansJeu(s, pbySource[j]) ? 1 : 2;
                        nMin = std::min(nMin, anCout[s]);
                    }
                    for (int s = 0; s < 4 && nGagnant == AUCUN; s++) {
                        if (!abCourse[s]) continue;
                        bool bSeul = true;
                        for (int t = 0; t < 4; t++)
                            if (t != s && abCourse[t] && anCout[t] <= anCout[s]) bSeul = false;
                        if (bSeul) nGagnant = s;
                    }
                    for (int s = 0; s < 4; s++)
                        if (anCout[s] > nMin) abCourse[s] = false;
                }
                if (nGagnant == AUCUN)
                    for (int s = 0; s < 4 && nGagnant == AUCUN; s++)
                        if (abCourse[s]) nGagnant = s;
                if (nGagnant != AUCUN && nGagnant != nCourant && _nIndexCourant(nGagnant, by) != AUCUN)
                    nChoix = 4 + nGagnant;
            }
            if (nChoix < 4) {
                tabValeurs.push_back(nChoix);
                tabValeurs.push_back(_nIndex(nChoix, by) + 8);
                i++;
            } else if (nChoix < 8) {
                nCourant = nChoix - 4;
                tabValeurs.push_back(nChoix);
                tabValeurs.push_back(_nIndex(nCourant, by) + 8);
                i++;
            } else {
                if (nCourant != 3) {
                    tabValeurs.push_back(7);
                    nCourant = 3;
                }
                uint32_t dwRun = fnRun(i);
                tabValeurs.push_back(dwRun == 1 ? 38 : 39);
                while (tabValeurs.size() % 3 != 0) tabValeurs.push_back(39);
                fnTriples();
                if (dwRun > 1) clSortie.Octet(static_cast<uint8_t>(dwRun));
                for (uint32_t k = 0; k < dwRun; k++) clSortie.Octet(pbySource[i + k]);
                i += dwRun;
            }
        }
        fnTriples();
    }
    if (tabValeurs.size() == 1) {
        clSortie.Octet(static_cast<uint8_t>(tabValeurs[0] + 1));
    } else if (tabValeurs.size() == 2) {
        tabValeurs.push_back(4 + nCourant);
        fnTriples();
    }
    clSortie.Octet(0);
    if (clSortie.bDeborde) return false;
    *pdwEcrit = clSortie.dwPos;
    return true;
}

int CDataCompressor::nDecompresse(const uint8_t* pbySource, uint32_t dwSource, uint8_t* pbyDestination,
                                  uint32_t dwCapacite, uint32_t* pdwEcrit) {
    *pdwEcrit = 0;
    if (pbyDestination == nullptr || dwCapacite == 0) return 2;
    if (pbySource == nullptr) dwSource = 0;
    uint32_t dwLimite = dwCapacite - 1;
    uint32_t dwSortie = 0;
    bool bDeborde = false;
    int nCourant = 0;
    int nDecalage = AUCUN;
    auto fnOctet = [&](uint8_t by) {
        if (dwSortie < dwLimite)
            pbyDestination[dwSortie++] = by;
        else
            bDeborde = true;
    };
    // False for a malformed value.
    auto fnValeur = [&](int v) -> bool {
        if (v < 4) {
            nDecalage = v;
        } else if (v < 8) {
            nCourant = v - 4;
            nDecalage = AUCUN;
        } else {
            int nJeu = nDecalage != AUCUN ? nDecalage : nCourant;
            fnOctet(k_tabJeux[nJeu][v - 8]);
            nDecalage = AUCUN;
        }
        return true;
    };
    uint32_t p = 0;
    int nResultat = 0;
    while (p < dwSource && pbySource[p] != 0) {
        if (p + 1 >= dwSource || pbySource[p + 1] == 0) {
            int v = pbySource[p] - 1;
            if (v >= 40) nResultat = 3;
            else fnValeur(v);
            break;
        }
        int n = (pbySource[p] - 1) * 255 + (pbySource[p + 1] - 1);
        p += 2;
        if (n >= 64000) {
            nResultat = 3;
            break;
        }
        const int anValeurs[3] = {n / 1600, (n / 40) % 40, n % 40};
        for (int v : anValeurs) {
            if ((v == 38 || v == 39) && nCourant == 3 && nDecalage == AUCUN) {
                uint32_t dwRun = 1;
                if (v == 39) {
                    if (p >= dwSource) {
                        nResultat = 3;
                        break;
                    }
                    dwRun = pbySource[p++];
                }
                if (dwRun > dwSource - p) {
                    nResultat = 3;
                    break;
                }
                for (uint32_t k = 0; k < dwRun; k++) fnOctet(pbySource[p + k]);
                p += dwRun;
                break;   // the rest of the triple is padding
            }
            fnValeur(v);
        }
        if (nResultat != 0) break;
    }
    if (bDeborde) {
        pbyDestination[dwCapacite - 1] = 0;
        return 2;
    }
    pbyDestination[dwSortie] = 0;
    *pdwEcrit = dwSortie;
    return nResultat;
}

ePACK_ECHEC CCompresseurQVC40::eVerifieBloc(const uint8_t* pbyBloc, uint32_t dwTaille) {
    return pbyBloc != nullptr && dwTaille != 0 ? PACK_OK : PACK_ECHEC_ENDOMMAGE;
}

uint32_t CCompresseurQVC40::dwTailleEntree(const uint8_t* pbyBloc, uint32_t dwTaille) {
    if (pbyBloc == nullptr) return PACK_TAILLE_INVALIDE;
    const void* pNul = std::memchr(pbyBloc, 0, dwTaille);
    uint32_t dwLongueur = pNul != nullptr ? static_cast<uint32_t>(static_cast<const uint8_t*>(pNul) - pbyBloc) : dwTaille;
    return dwLongueur == PACK_TAILLE_INVALIDE ? PACK_TAILLE_INVALIDE : dwLongueur + 1;
}

uint32_t CCompresseurQVC40::dwTailleDecompression(const uint8_t* pbyBloc, uint32_t dwTaille) {
    (void)pbyBloc;
    uint64_t qw = uint64_t{dwTaille} * 3 / 2 + 2;
    return qw >= PACK_TAILLE_INVALIDE ? PACK_TAILLE_INVALIDE : static_cast<uint32_t>(qw);
}

uint32_t CCompresseurQVC40::dwTailleBufferCompression(uint32_t dwTaille) {
    uint64_t qw = uint64_t{dwTaille} * 2 + 1;
    return qw >= PACK_TAILLE_INVALIDE ? PACK_TAILLE_INVALIDE : static_cast<uint32_t>(qw);
}

uint32_t CCompresseurQVC40::_dwCompression() {
    if (m_dwSource < 4) return _dwEchec(PACK_ECHEC_ENDOMMAGE);
    uint32_t dwLongueur;
    std::memcpy(&dwLongueur, m_pbySource, 4);
    if (dwLongueur > m_dwSource - 4) return _dwEchec(PACK_ECHEC_ENDOMMAGE);
    uint32_t dwEcrit = 0;
    if (!CDataCompressor::bCompresse(m_pbySource + 4, dwLongueur, m_pbyDestination, m_dwDestination, &dwEcrit)) {
        // A NUL cannot be coded; otherwise the room was short.
        bool bNul = dwLongueur != 0 && std::memchr(m_pbySource + 4, 0, dwLongueur) != nullptr;
        return _dwEchec(bNul ? PACK_ECHEC_METHODE : PACK_ECHEC_PLACE);
    }
    // The count leaves the NUL out, except for an empty text, whose coded
    // form is the NUL alone (0 would read as a failure).
    return dwEcrit > 1 ? dwEcrit - 1 : dwEcrit;
}

uint32_t CCompresseurQVC40::_dwDecompression() {
    uint32_t dwEcrit = 0;
    switch (CDataCompressor::nDecompresse(m_pbySource, m_dwSource, m_pbyDestination, m_dwDestination, &dwEcrit)) {
        case 0: return dwEcrit;
        case 2: return _dwEchec(PACK_ECHEC_PLACE);
        default: return _dwEchec(PACK_ECHEC_ENDOMMAGE);
    }
}
