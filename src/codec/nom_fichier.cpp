// Names of file-function arguments (nom_fichier.h).
#include "codec/nom_fichier.h"

#include <cstring>
#include <cwchar>

#include "platform/charset.h"

namespace codec {

bool bNomFichier(const STManipAUB* pst, std::string* ps) {
    ps->clear();
    if (pst == nullptr || pst->bEstVide()) return true;
    if (pst->bEstUNICODE()) {
        const int nCaracteres = static_cast<int>(pst->nGetLongueur() / sizeof(wchar_t));
        if (nCaracteres == 0) return true;
        const wchar_t* pwsz = pst->pszGetStringW();
        if (wcsnlen(pwsz, static_cast<size_t>(nCaracteres)) != static_cast<size_t>(nCaracteres)) return false;
        const int n = WideCharToMultiByte(CP_UTF8, 0, pwsz, nCaracteres, nullptr, 0, nullptr, nullptr);
        if (n <= 0) return false;
        ps->resize(static_cast<size_t>(n));
        return WideCharToMultiByte(CP_UTF8, 0, pwsz, nCaracteres, ps->data(), n, nullptr, nullptr) == n;
    }
    const size_t n = pst->nGetLongueur();
    const char* psz = pst->pszGetString();
    if (strnlen(psz, n) != n) return false;
    ps->assign(psz, n);
    return true;
}

}  // namespace codec
