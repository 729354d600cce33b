// Bytes of language values (valeur_octets.h).
#include "codec/valeur_octets.h"

namespace codec {

bool bOctetsValeur(const CAny& clValeur, std::string* ps) {
    ps->clear();
    const int nType = clValeur.nGetType();
    if (nType == ANY_VIDE) return true;
    auto prend = [ps](const CAny& cl) {
        uint32_t n = 0;
        void* p = nullptr;
        cl.nGetUtilDataSize(&n);
        const_cast<CAny&>(cl).nGetDataAdr(&p);
        if (p != nullptr && n != 0) ps->assign(static_cast<const char*>(p), n);
        return true;
    };
    if (nType == ANY_BIN || nType == ANY_DSTR || nType == ANY_CSTR) return prend(clValeur);
    CAny cl;
    if (cl.nCopy(clValeur) != 0 || cl.nCastTo(ANY_CSTR) > 99 || cl.nGetType() != ANY_CSTR) return false;
    return prend(cl);
}

}  // namespace codec
