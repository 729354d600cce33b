// Where the serialisation buffer gets its pack and crypt objects. A method
// whose object is not in the build is reported unavailable by the buffer,
// which then keeps its content as it is.
#include "codec/compress.h"
#include "codec/crypt.h"
#include "codec/packobject.h"

int g_eGetCompresseurType(uint32_t ePackMethod) {
    switch (ePackMethod) {
        case 0:
        case 1: return 4;
        case 2: return 5;
        default: return -1;
    }
}

IPackObject* pclCreePackObject(int nType) { return new CCompresseur(nType); }

CCrypt* pclCreeCryptObject(uint32_t eCryptMethod) {
    return eCryptMethod == CRYPT_RAPIDE ? pclCreeCipher(CRYPT_RAPIDE) : nullptr;
}
