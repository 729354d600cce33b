#include "core/tstring.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/charset.h"
#include "platform/chartab.h"

namespace {

inline bool _bBlanc(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
inline unsigned char _u(char c) { return static_cast<unsigned char>(c); }

bool _bEgauxSansCasse(const char* pA, const char* pB, size_t n) {
    const _stCHARTAB* pst = STR_pstGetCharTabLocal();
    for (size_t i = 0; i < n; ++i)
        if (pst->pToUpper[_u(pA[i])] != pst->pToUpper[_u(pB[i])]) return false;
    return true;
}

// File names: backslashes become slashes before the system sees them.
std::string _NomFichier(const char* pszFichier) {
    std::string s(pszFichier ? pszFichier : "");
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

}  // namespace

CTString& CTString::operator=(CTString&& clAutre) noexcept {
    if (this != &clAutre) {
        std::free(m_psz);
        m_psz = clAutre.m_psz;
        clAutre.m_psz = nullptr;
    }
    return *this;
}

int CTString::nTaille() const { return m_psz ? int(std::strlen(m_psz)) : 0; }

void CTString::Vide() {
    std::free(m_psz);
    m_psz = nullptr;
}

bool CTString::Set(const char* pszTexte) { return Set(pszTexte, -1); }

bool CTString::Set(const char* pszTexte, int nLongueur) {
    if (pszTexte == nullptr || *pszTexte == 0 || nLongueur == 0) {
        if (pszTexte != m_psz || m_psz == nullptr || nLongueur == 0) Vide();
        return true;
    }
    size_t n = nLongueur < 0 ? std::strlen(pszTexte) : strnlen(pszTexte, size_t(nLongueur));
    if (pszTexte == m_psz && n == std::strlen(m_psz)) return true;
    size_t nActuelle = m_psz ? std::strlen(m_psz) : 0;
    bool bInterne = m_psz && pszTexte >= m_psz && pszTexte <= m_psz + nActuelle;
    if (m_psz && n == nActuelle) {
        std::memmove(m_psz, pszTexte, n);
        return true;
    }
    if (bInterne) {
        // A part of our own text: copied before the old memory goes.
        char* p = static_cast<char*>(std::malloc(n + 1));
        if (p == nullptr) return false;
        std::memcpy(p, pszTexte, n);
        p[n] = 0;
        std::free(m_psz);
        m_psz = p;
        return true;
    }
    char* p = static_cast<char*>(std::realloc(m_psz, n + 1));
    if (p == nullptr) return false;
    m_psz = p;
    std::memcpy(m_psz, pszTexte, n);
    m_psz[n] = 0;
    return true;
}

bool CTString::SetWide(const wchar_t* pszTexte, int nLongueur) {
    if (pszTexte == nullptr || nLongueur == 0 || *pszTexte == 0) {
        Vide();
        return true;
    }
    int n = nLongueur < 0 ? int(std::wcslen(pszTexte)) : int(wcsnlen(pszTexte, size_t(nLongueur)));
    std::string s;
    s.reserve(size_t(n));
    int nNecessaire = STR_WCharToChar_CurrentCharset(pszTexte, n, nullptr, 0);
    if (nNecessaire > 0) {
        s.resize(size_t(nNecessaire));
        nNecessaire = STR_WCharToChar_CurrentCharset(pszTexte, n, s.data(), nNecessaire);
        s.resize(size_t(std::max(nNecessaire, 0)));
    } else {
        for (int i = 0; i < n; ++i) {
            char sz[16];
            int k = STR_WCharToChar_CurrentCharset(pszTexte + i, 1, sz, int(sizeof sz));
            if (k > 0)
                s.append(sz, size_t(k));
            else
                s.push_back('?');
        }
    }
    return Set(s.c_str(), int(s.size()));
}

bool CTString::SetUTF8(const char* pszTexte, int nLongueur) {
    if (pszTexte == nullptr || nLongueur == 0 || *pszTexte == 0) {
        Vide();
        return true;
    }
    char* p = STR_pszCreateFromXUTF8(pszTexte, nLongueur);
    if (p == nullptr) return false;
    Vide();
    SetBuffer(p);
    return true;
}

bool CTString::SetXUTF8(const char* pszTexte, int nLongueur) {
    if (pszTexte == nullptr || nLongueur == 0 || *pszTexte == 0) {
        Vide();
        return true;
    }
    char* p = STR_pszCreateToXUTF8(pszTexte, nLongueur);
    if (p == nullptr) return false;
    Vide();
    SetBuffer(p);
    return true;
}

bool CTString::SetFromBinary(const void* pDonnees, int nTaille) {
    if (pDonnees == nullptr || nTaille <= 0) {
        Vide();
        return true;
    }
    return Set(static_cast<const char*>(pDonnees), nTaille);
}

void CTString::SetBuffer(char* pszTexte) {
    if (pszTexte == m_psz) return;
    std::free(m_psz);
    m_psz = pszTexte;
}

bool CTString::SetI4(int32_t nValeur) {
    char sz[16];
    std::snprintf(sz, sizeof sz, "%d", nValeur);
    return Set(sz);
}

bool CTString::SetChar(int nPosition, char c) {
    if (nPosition < 0 || nPosition >= nTaille() || c == 0) return false;
    m_psz[nPosition] = c;
    return true;
}

bool CTString::Add(const char* pszTexte) { return Add(pszTexte, -1); }

bool CTString::Add(const char* pszTexte, int nLongueur) {
    if (pszTexte == nullptr || nLongueur == 0) return true;
    size_t n = nLongueur < 0 ? std::strlen(pszTexte) : strnlen(pszTexte, size_t(nLongueur));
    if (n == 0) return true;
    size_t nActuelle = size_t(nTaille());
    size_t nDecalage = 0;
    bool bInterne = m_psz && pszTexte >= m_psz && pszTexte <= m_psz + nActuelle;
    if (bInterne) nDecalage = size_t(pszTexte - m_psz);
    char* p = static_cast<char*>(std::realloc(m_psz, nActuelle + n + 1));
    if (p == nullptr) return false;
    m_psz = p;
    std::memmove(m_psz + nActuelle, bInterne ? m_psz + nDecalage : pszTexte, n);
    m_psz[nActuelle + n] = 0;
    return true;
}

bool CTString::Insert(int nPosition, const char* pszTexte) {
    int n = nTaille();
    if (nPosition < 0) nPosition = 0;
    if (nPosition > n) nPosition = n;
    std::string s(pszGet());
    s.insert(size_t(nPosition), pszTexte ? pszTexte : "");
    return Set(s.c_str());
}

void CTString::Trim() {
    if (m_psz == nullptr) return;
    size_t n = std::strlen(m_psz);
    while (n > 0 && _bBlanc(m_psz[n - 1])) --n;
    m_psz[n] = 0;
}

void CTString::LTrim() {
    if (m_psz == nullptr) return;
    size_t i = 0;
    while (_bBlanc(m_psz[i])) ++i;
    if (i) std::memmove(m_psz, m_psz + i, std::strlen(m_psz + i) + 1);
}

void CTString::SansEspace() {
    Trim();
    LTrim();
}

void CTString::MapStringEx(uint32_t dwFlags, int bMajuscule) {
    if (bEstVide()) return;
    int n = nTaille();
    char* p = static_cast<char*>(std::malloc(size_t(n) + 1));
    if (p == nullptr) return;
    int nEcrits = STR_nMapStringEx(dwFlags, p, n + 1, m_psz, n, bMajuscule);
    p[std::clamp(nEcrits, 0, n)] = 0;
    SetBuffer(p);
}

void CTString::SansAccent() { MapStringEx(MAP_ACCENT | MAP_LOCAL, 1); }
void CTString::Majuscule() { MapStringEx(MAP_CASSE | MAP_LOCAL, 1); }
void CTString::Minuscule() { MapStringEx(MAP_CASSE | MAP_LOCAL, 0); }

void CTString::Coupe(char c) {
    if (m_psz == nullptr) return;
    char* p = std::strchr(m_psz, c);
    if (p && c) *p = 0;
}

void CTString::Tronque(int nLongueur) {
    if (m_psz == nullptr || nLongueur < 0 || nLongueur > nTaille()) return;
    m_psz[nLongueur] = 0;
}

void CTString::TronqueDebut(int nNombre) {
    int n = nTaille();
    if (nNombre <= 0) return;
    if (nNombre >= n) {
        Vide();
        return;
    }
    std::memmove(m_psz, m_psz + nNombre, size_t(n - nNombre) + 1);
}

bool CTString::Complete(int nLongueur, char c) {
    int n = nTaille();
    if (nLongueur <= n || c == 0) return true;
    char* p = static_cast<char*>(std::realloc(m_psz, size_t(nLongueur) + 1));
    if (p == nullptr) return false;
    if (m_psz == nullptr) p[0] = 0;
    m_psz = p;
    std::memset(m_psz + n, c, size_t(nLongueur - n));
    m_psz[nLongueur] = 0;
    return true;
}

void CTString::Renverse() {
    if (m_psz) std::reverse(m_psz, m_psz + std::strlen(m_psz));
}

void CTString::Insecable() {
    if (m_psz == nullptr) return;
    for (char* p = m_psz; *p; ++p)
        if (*p == ' ') *p = char(0xA0);
}

CTString CTString::clMilieu(int nDebut, int nLongueur) const {
    int n = nTaille();
    if (nDebut < 0) nDebut = 0;
    if (nDebut >= n || nLongueur == 0) return CTString();
    if (nLongueur < 0 || nLongueur > n - nDebut) nLongueur = n - nDebut;
    return CTString(m_psz + nDebut, nLongueur);
}

CTString CTString::clDroite(int nLongueur) const {
    int n = nTaille();
    if (nLongueur <= 0) return CTString();
    if (nLongueur > n) nLongueur = n;
    return clMilieu(n - nLongueur, nLongueur);
}

CTString CTString::clGauche(int nLongueur) const { return nLongueur <= 0 ? CTString() : clMilieu(0, nLongueur); }

CTString CTString::clContientUniquement(const char* pszCaracteres) const {
    std::string s;
    for (const char* p = pszGet(); *p; ++p)
        if (pszCaracteres && std::strchr(pszCaracteres, *p)) s.push_back(*p);
    return CTString(s.c_str());
}

CTString CTString::clExclu(const char* pszCaracteres) const {
    std::string s;
    for (const char* p = pszGet(); *p; ++p)
        if (!pszCaracteres || !std::strchr(pszCaracteres, *p)) s.push_back(*p);
    return CTString(s.c_str());
}

int CTString::nPos(const char* pszTexte, int nDebut) const {
    int n = nTaille();
    if (pszTexte == nullptr || nDebut < 0 || nDebut > n) return -1;
    size_t p = std::string_view(pszGet(), size_t(n)).find(pszTexte, size_t(nDebut));
    return p == std::string_view::npos ? -1 : int(p);
}

int CTString::nRPos(const char* pszTexte) const {
    if (pszTexte == nullptr) return -1;
    size_t p = std::string_view(pszGet()).rfind(pszTexte);
    return p == std::string_view::npos ? -1 : int(p);
}

int CTString::nUpPos(const char* pszTexte, int nDebut) const {
    int n = nTaille();
    if (pszTexte == nullptr || nDebut < 0 || nDebut > n) return -1;
    size_t nT = std::strlen(pszTexte);
    for (size_t i = size_t(nDebut); i + nT <= size_t(n); ++i)
        if (_bEgauxSansCasse(m_psz + i, pszTexte, nT)) return int(i);
    return -1;
}

int CTString::nPosParmi(const char* pszCaracteres, int nDebut) const {
    int n = nTaille();
    if (pszCaracteres == nullptr || nDebut < 0 || nDebut > n) return -1;
    size_t p = std::string_view(pszGet(), size_t(n)).find_first_of(pszCaracteres, size_t(nDebut));
    return p == std::string_view::npos ? -1 : int(p);
}

int CTString::nNbOcc(const char* pszTexte) const {
    if (pszTexte == nullptr || *pszTexte == 0) return 0;
    std::string_view sv(pszGet()), svT(pszTexte);
    int n = 0;
    for (size_t p = sv.find(svT); p != std::string_view::npos; p = sv.find(svT, p + svT.size())) ++n;
    return n;
}

char CTString::cGetChar(int nPosition) const {
    return (nPosition >= 0 && nPosition < nTaille()) ? m_psz[nPosition] : 0;
}

bool CTString::_bRemplace(const char* pszAncien, const char* pszNouveau, bool bSansCasse, int* pnNombre) {
    *pnNombre = 0;
    if (pszAncien == nullptr || *pszAncien == 0 || bEstVide()) return true;
    size_t nA = std::strlen(pszAncien);
    std::string s;
    const char* p = m_psz;
    size_t n = std::strlen(p);
    size_t i = 0;
    while (i < n) {
        bool bTrouve = i + nA <= n && (bSansCasse ? _bEgauxSansCasse(p + i, pszAncien, nA)
                                                   : std::memcmp(p + i, pszAncien, nA) == 0);
        if (bTrouve) {
            s.append(pszNouveau ? pszNouveau : "");
            i += nA;
            ++*pnNombre;
        } else {
            s.push_back(p[i++]);
        }
    }
    return *pnNombre == 0 || Set(s.c_str());
}

int CTString::Remplace(const char* pszAncien, const char* pszNouveau) {
    int n;
    _bRemplace(pszAncien, pszNouveau, false, &n);
    return n;
}

int CTString::RemplaceI(const char* pszAncien, const char* pszNouveau) {
    int n;
    _bRemplace(pszAncien, pszNouveau, true, &n);
    return n;
}

bool CTString::bEstEgal(const char* pszTexte) const { return std::strcmp(pszGet(), pszTexte ? pszTexte : "") == 0; }

bool CTString::bEstEgalI(const char* pszTexte) const {
    const char* p = pszTexte ? pszTexte : "";
    size_t n = std::strlen(p);
    return size_t(nTaille()) == n && _bEgauxSansCasse(pszGet(), p, n);
}

bool CTString::bCommencePar(const char* pszTexte) const {
    const char* p = pszTexte ? pszTexte : "";
    return std::strncmp(pszGet(), p, std::strlen(p)) == 0;
}

bool CTString::bCommenceParI(const char* pszTexte) const {
    const char* p = pszTexte ? pszTexte : "";
    size_t n = std::strlen(p);
    return size_t(nTaille()) >= n && _bEgauxSansCasse(pszGet(), p, n);
}

bool CTString::bTerminePar(const char* pszTexte) const {
    const char* p = pszTexte ? pszTexte : "";
    size_t n = std::strlen(p), nT = size_t(nTaille());
    return nT >= n && std::memcmp(pszGet() + nT - n, p, n) == 0;
}

bool CTString::bTermineParI(const char* pszTexte) const {
    const char* p = pszTexte ? pszTexte : "";
    size_t n = std::strlen(p), nT = size_t(nTaille());
    return nT >= n && _bEgauxSansCasse(pszGet() + nT - n, p, n);
}

bool CTString::bExtraitChainePos(int* pnPos, const char* pszSeparateur, CTString* pclResultat) const {
    int n = nTaille();
    if (pnPos == nullptr || *pnPos < 0 || *pnPos > n) {
        if (pclResultat) pclResultat->Vide();
        return false;
    }
    int nDebut = *pnPos;
    size_t nSep = pszSeparateur ? std::strlen(pszSeparateur) : 0;
    int nFin = nSep ? nPos(pszSeparateur, nDebut) : -1;
    if (nFin < 0) {
        nFin = n;
        *pnPos = n + 1;
    } else {
        *pnPos = nFin + int(nSep);
    }
    if (pclResultat) *pclResultat = clMilieu(nDebut, nFin - nDebut);
    return true;
}

bool CTString::bExtraitChaine(int nRang, const char* pszSeparateur, CTString* pclResultat) const {
    if (nRang < 1) {
        if (pclResultat) pclResultat->Vide();
        return false;
    }
    int nPosition = 0;
    for (int i = 1; i < nRang; ++i)
        if (!bExtraitChainePos(&nPosition, pszSeparateur, nullptr)) {
            if (pclResultat) pclResultat->Vide();
            return false;
        }
    return bExtraitChainePos(&nPosition, pszSeparateur, pclResultat);
}

bool CTString::FormatV(const char* pszFormat, va_list args) {
    if (pszFormat == nullptr) {
        Vide();
        return true;
    }
    va_list copie;
    va_copy(copie, args);
    int n = std::vsnprintf(nullptr, 0, pszFormat, copie);
    va_end(copie);
    if (n < 0) return false;
    // Formatted apart: the arguments may be our own text.
    char* p = static_cast<char*>(std::malloc(size_t(n) + 1));
    if (p == nullptr) return false;
    va_copy(copie, args);
    std::vsnprintf(p, size_t(n) + 1, pszFormat, copie);
    va_end(copie);
    if (n == 0) {
        std::free(p);
        Vide();
        return true;
    }
    SetBuffer(p);
    return true;
}

bool CTString::printf(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    bool b = FormatV(pszFormat, args);
    va_end(args);
    return b;
}

bool CTString::AddPrintf(const char* pszFormat, ...) {
    CTString cl;
    va_list args;
    va_start(args, pszFormat);
    bool b = cl.FormatV(pszFormat, args);
    va_end(args);
    return b && Add(cl.pszGet());
}

int CTString::nVal() const { return int(std::strtol(pszGet(), nullptr, 10)); }

bool CTString::bGetWide(wchar_t** ppszResultat) const {
    if (ppszResultat == nullptr) return false;
    *ppszResultat = nullptr;
    int n = nTaille();
    wchar_t* p = static_cast<wchar_t*>(std::malloc((size_t(n) + 1) * sizeof(wchar_t)));
    if (p == nullptr) return false;
    int k = n ? STR_CharToWChar_CurrentCharset(pszGet(), n, p, n) : 0;
    if (n && k <= 0) {
        // Bytes the code page does not define keep their value.
        for (int i = 0; i < n; ++i) {
            wchar_t w = 0;
            p[i] = STR_CharToWChar_CurrentCharset(pszGet() + i, 1, &w, 1) == 1 ? w : wchar_t(_u(m_psz[i]));
        }
        k = n;
    }
    p[k] = 0;
    *ppszResultat = p;
    return true;
}

bool CTString::bCharge(const char* pszFichier) {
    std::FILE* f = std::fopen(_NomFichier(pszFichier).c_str(), "rbe");
    if (f == nullptr) return false;
    std::string s;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    bool bOk = !std::ferror(f);
    std::fclose(f);
    if (!bOk) return false;
    return Set(s.c_str(), int(s.size()));
}

bool CTString::bSauve(const char* pszFichier) const {
    std::FILE* f = std::fopen(_NomFichier(pszFichier).c_str(), "wbe");
    if (f == nullptr) return false;
    size_t n = size_t(nTaille());
    bool bOk = std::fwrite(pszGet(), 1, n, f) == n;
    return std::fclose(f) == 0 && bOk;
}
