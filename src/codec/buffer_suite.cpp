// The slow start of a run of writes (see buffer_suite.h): content to
// uncode, or room to make.
#include "codec/buffer_suite.h"

void CQVBufferEcriture::_Prepare(uint32_t dwTaille) {
    if (!m_cl._bPrepareEcriture(dwTaille)) return;
    m_p = m_cl.m_pbyDonnees + m_cl.m_dwPosition;
    m_pFin = m_p + dwTaille;
    m_bOk = true;
}
