// The wrapped system calls (see plan_fautes.h). The real functions are
// reached through the linker's __real_ names; the plan is process-wide and
// the tests run on one thread.
#include "plan_fautes.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

extern "C" {
ssize_t __real_write(int nFd, const void* p, size_t n);
ssize_t __real_pwrite64(int nFd, const void* p, size_t n, off64_t o);
ssize_t __real_copy_file_range(int nDe, loff_t* poDe, int nVers, loff_t* poVers, size_t n, unsigned nDrapeaux);
int __real_fsync(int nFd);
int __real_rename(const char* pszAncien, const char* pszNouveau);
int __real_renameat2(int nDirAncien, const char* pszAncien, int nDirNouveau, const char* pszNouveau,
                     unsigned nDrapeaux);
}

namespace fautes {

namespace {

struct STPlan {
    bool bArme = false;
    eFAUTE eFaute = eFAUTE::EIO_;
    int nCible = 0;
    std::string sPrefixeAilleurs;
    STBilan stBilan;
};
STPlan s_stPlan;

// What the call must do.
enum class eSORT { PASSE, ECHEC, COURTE };

// Counts the call when the planned fault can hit it, and says whether it
// is the one. A write of one byte cannot be cut short.
eSORT _eDecide(ePOINT ePoint, size_t nTaille, int nFd) {
    if (!s_stPlan.bArme || s_stPlan.stBilan.bTouche) return eSORT::PASSE;
    const eFAUTE e = s_stPlan.eFaute;
    const bool bEcriture = ePoint == ePOINT::ECRITURE;
    if ((e == eFAUTE::EINTR_ && !bEcriture) || (e == eFAUTE::COURTE && (!bEcriture || nTaille < 2)))
        return eSORT::PASSE;
    if (++s_stPlan.stBilan.nEligibles != s_stPlan.nCible) return eSORT::PASSE;
    s_stPlan.stBilan.bTouche = true;
    s_stPlan.stBilan.ePoint = ePoint;
    struct stat64 st;
    s_stPlan.stBilan.bRepertoire = nFd >= 0 && fstat64(nFd, &st) == 0 && S_ISDIR(st.st_mode);
    switch (e) {
        case eFAUTE::ENOSPC_: errno = ENOSPC; return eSORT::ECHEC;
        case eFAUTE::EIO_: errno = EIO; return eSORT::ECHEC;
        case eFAUTE::EINTR_: errno = EINTR; return eSORT::ECHEC;
        case eFAUTE::COURTE: return eSORT::COURTE;
    }
    return eSORT::PASSE;
}

void _CompteSynchro(int nFd, int nRes) {
    struct stat64 st;
    if (s_stPlan.bArme && nRes == 0 && fstat64(nFd, &st) == 0 && S_ISREG(st.st_mode))
        ++s_stPlan.stBilan.nSynchrosFichier;
}

bool _bAilleurs(const char* pszAncien) {
    return s_stPlan.bArme && !s_stPlan.sPrefixeAilleurs.empty() && pszAncien != nullptr &&
           strncmp(pszAncien, s_stPlan.sPrefixeAilleurs.c_str(), s_stPlan.sPrefixeAilleurs.size()) == 0;
}

}  // namespace

const char* pszNom(eFAUTE e) {
    switch (e) {
        case eFAUTE::ENOSPC_: return "ENOSPC";
        case eFAUTE::EIO_: return "EIO";
        case eFAUTE::EINTR_: return "EINTR";
        case eFAUTE::COURTE: return "short write";
    }
    return "?";
}

void Arme(eFAUTE e, int nCible, const std::string& sPrefixeAilleurs) {
    s_stPlan = STPlan{};
    s_stPlan.eFaute = e;
    s_stPlan.nCible = nCible;
    s_stPlan.sPrefixeAilleurs = sPrefixeAilleurs;
    s_stPlan.bArme = true;
}

STBilan Desarme() {
    s_stPlan.bArme = false;
    return s_stPlan.stBilan;
}

}  // namespace fautes

using fautes::ePOINT;

extern "C" {

ssize_t __wrap_write(int nFd, const void* p, size_t n) {
    switch (fautes::_eDecide(ePOINT::ECRITURE, n, nFd)) {
        case fautes::eSORT::ECHEC: return -1;
        case fautes::eSORT::COURTE: return __real_write(nFd, p, n / 2);
        case fautes::eSORT::PASSE: break;
    }
    return __real_write(nFd, p, n);
}

ssize_t __wrap_pwrite64(int nFd, const void* p, size_t n, off64_t o) {
    switch (fautes::_eDecide(ePOINT::ECRITURE, n, nFd)) {
        case fautes::eSORT::ECHEC: return -1;
        case fautes::eSORT::COURTE: return __real_pwrite64(nFd, p, n / 2, o);
        case fautes::eSORT::PASSE: break;
    }
    return __real_pwrite64(nFd, p, n, o);
}

// The kernel's copy is cut to one byte: what remains is the caller's to ask
// for again.
ssize_t __wrap_copy_file_range(int nDe, loff_t* poDe, int nVers, loff_t* poVers, size_t n, unsigned nDrapeaux) {
    switch (fautes::_eDecide(ePOINT::ECRITURE, n, nVers)) {
        case fautes::eSORT::ECHEC: return -1;
        case fautes::eSORT::COURTE: return __real_copy_file_range(nDe, poDe, nVers, poVers, 1, nDrapeaux);
        case fautes::eSORT::PASSE: break;
    }
    return __real_copy_file_range(nDe, poDe, nVers, poVers, n, nDrapeaux);
}

int __wrap_fsync(int nFd) {
    if (fautes::_eDecide(ePOINT::SYNCHRO, 0, nFd) == fautes::eSORT::ECHEC) return -1;
    const int nRes = __real_fsync(nFd);
    fautes::_CompteSynchro(nFd, nRes);
    return nRes;
}

int __wrap_rename(const char* pszAncien, const char* pszNouveau) {
    if (fautes::_bAilleurs(pszAncien)) {
        errno = EXDEV;
        return -1;
    }
    if (fautes::_eDecide(ePOINT::RENOMME, 0, -1) == fautes::eSORT::ECHEC) return -1;
    return __real_rename(pszAncien, pszNouveau);
}

int __wrap_renameat2(int nDirAncien, const char* pszAncien, int nDirNouveau, const char* pszNouveau,
                     unsigned nDrapeaux) {
    if (fautes::_bAilleurs(pszAncien)) {
        errno = EXDEV;
        return -1;
    }
    if (fautes::_eDecide(ePOINT::RENOMME, 0, -1) == fautes::eSORT::ECHEC) return -1;
    return __real_renameat2(nDirAncien, pszAncien, nDirNouveau, pszNouveau, nDrapeaux);
}

}  // extern "C"
