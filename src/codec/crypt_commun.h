// What the encryption routines share: the user errors they raise and the
// owners of the objects they make (ciphers are released, encoders deleted,
// malloc blocks freed).
#pragma once
#include <cstdlib>
#include <memory>

#include "codec/crypt.h"
#include "codec/encode.h"

namespace crypt_commun {

constexpr int ERREUR_MEMOIRE = 80041;
constexpr int ERREUR_METHODE_CRYPTAGE = 80280;
constexpr int ERREUR_MOT_DE_PASSE_REFUSE = 80281;
constexpr int ERREUR_MOT_DE_PASSE_VIDE = 80282;
constexpr int ERREUR_METHODE_COMPRESSION = 80550;

struct STRelache {
    void operator()(CCrypt* p) const { p->Release(); }
};
struct STDetruit {
    void operator()(CEncodeBase* p) const { delete p; }
};
struct STLibere {
    void operator()(void* p) const { std::free(p); }
};

using Cipher = std::unique_ptr<CCrypt, STRelache>;
using Encodeur = std::unique_ptr<CEncodeBase, STDetruit>;
template <class T>
using Bloc = std::unique_ptr<T, STLibere>;

}  // namespace crypt_commun
