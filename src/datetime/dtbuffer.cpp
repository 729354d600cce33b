#include "datetime/dtbuffer.h"

#include <cstring>

CQVBuffer& operator<<(CQVBuffer& clBuffer, const CDateTimeBase& clDate) {
    return clBuffer << static_cast<unsigned int>(clDate.dwGetDate())
                    << static_cast<unsigned int>(clDate.dwGetMillisecondes());
}

CQVBuffer& operator>>(CQVBuffer& clBuffer, CDateTimeBase& clDate) {
    uint32_t adw[2];
    if (clBuffer.Get(adw, sizeof adw)) {
        clDate.SetDate(adw[0]);
        clDate.SetMillisecondes(adw[1]);
    }
    return clBuffer;
}
