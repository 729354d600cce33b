// Reads arbitrary file contents line by line through the file handles, as
// ANSI and as Unicode files and through the pattern form (the stream's
// read-ahead): every line must come back within the file's bytes, every
// read must move forward, and the end of the file must always be reached.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "component/compo.h"
#include "files/fh_commun.h"
#include "files/fh_table.h"
#include "files/functions.h"
#include "qvstd/manipaub.h"

namespace {

// The pattern form: each call ends at the end of the file or moves on.
void LitAvecMotif(CComposanteStandard* pclLib, const STManipAUB* pstNom, size_t nTaille) {
    CZNDSTR sMotif("(.*)");
    STManipAUB stMotif{sMotif.pGetMemoire(), 0};
    const int h = files::fOuvre(*pclLib, pstNom, 1);
    if (h < 2) abort();
    long long oAvant = 0;
    for (size_t i = 0; i <= nTaille + 1; ++i) {
        files::fLitLigne(*pclLib, h, &stMotif);
        const long long o = files::fPositionne(*pclLib, h, 0, 1);
        if (o > static_cast<long long>(nTaille)) abort();
        if (o >= static_cast<long long>(nTaille)) break;
        if (o <= oAvant) abort();
        oAvant = o;
    }
    if (files::fPositionne(*pclLib, h, 0, 1) != static_cast<long long>(nTaille) && nTaille > 0) abort();
    if (files::fFerme(*pclLib, h) != 0) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nTaille) {
    static CComposanteStandard* s_pclLib = new CComposanteStandard();
    // TMPDIR lets a long run keep its file in memory.
    static const char* s_pszDossier = std::getenv("TMPDIR");
    static const std::string s_sNom =
        std::string(s_pszDossier != nullptr && *s_pszDossier ? s_pszDossier : "/tmp") + "/fh_fuzz_" +
        std::to_string(getpid());
    // The file goes when the run ends.
    static const struct STEfface {
        ~STEfface() { unlink(s_sNom.c_str()); }
    } s_efface;
    int fd = open(s_sNom.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) return 0;
    if (nTaille > 0 && write(fd, pData, nTaille) != static_cast<ssize_t>(nTaille)) abort();
    close(fd);

    CZNDSTR sNom(s_sNom.c_str());
    STManipAUB stNom{sNom.pGetMemoire(), 0};
    for (int nMode : {1, 1 + 4096}) {
        int h = files::fOuvre(*s_pclLib, &stNom, nMode);
        if (h < 2) abort();
        size_t nTotal = 0;
        bool bFin = false;
        for (size_t i = 0; i <= nTaille + 1; ++i) {
            CZNDSTR s = files::FIC_sLitLigne(*s_pclLib, h);
            const int nUnite = nMode & 4096 ? int(sizeof(wchar_t)) : 1;
            if (s.nGetLongueur() == nUnite &&
                (nUnite == 1 ? s.pszGet()[0] == 4 : s.pwszGet()[0] == 4) &&
                files::fPositionne(*s_pclLib, h, 0, 1) >= static_cast<long long>(nTaille)) {
                bFin = true;
                break;
            }
            nTotal += size_t(s.nGetLongueur() / nUnite);
            if (nTotal > nTaille) abort();
        }
        if (!bFin) abort();
        if (files::fFerme(*s_pclLib, h) != 0) abort();
    }
    LitAvecMotif(s_pclLib, &stNom, nTaille);
    if (FIC_nOuverts() != 0) abort();
    return 0;
}
