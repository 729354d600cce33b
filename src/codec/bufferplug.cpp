// Where the serialisation buffer gets its pack and crypt objects. The
// compressors and ciphers come into the build here: until they do, the
// buffer reports the method as unavailable and keeps its content as it is.
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

IPackObject* pclCreePackObject(int nType) {
    (void)nType;
    return nullptr;
}

CCrypt* pclCreeCryptObject(uint32_t eCryptMethod) {
    (void)eCryptMethod;
    return nullptr;
}
