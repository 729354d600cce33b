// A fresh temporary directory for a test's scope, removed with everything in
// it when the scope ends: depth first, links never followed, no shell.
#pragma once
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

class CRepTemporaire {
public:
    explicit CRepTemporaire(const char* pszPrefixe = "qvtest") {
        std::string sModele = std::string("/tmp/") + pszPrefixe + "_XXXXXX";
        if (mkdtemp(sModele.data()) != nullptr) m_sRep = sModele;
    }
    ~CRepTemporaire() {
        // The 64-bit walk also sees files past 2 GB on i386; directories made
        // unreadable by a test are opened up again first.
        if (!m_sRep.empty()) nftw64(m_sRep.c_str(), _nEfface, 16, FTW_DEPTH | FTW_PHYS);
    }
    CRepTemporaire(const CRepTemporaire&) = delete;
    CRepTemporaire& operator=(const CRepTemporaire&) = delete;

    bool bOk() const { return !m_sRep.empty(); }
    const std::string& sRep() const { return m_sRep; }
    std::string sChemin(const std::string& sNom) const { return m_sRep + "/" + sNom; }

private:
    static int _nEfface(const char* pszChemin, const struct stat64* pst, int, struct FTW*) {
        if (pst != nullptr && S_ISDIR(pst->st_mode)) chmod(pszChemin, 0700);
        return std::remove(pszChemin);
    }
    std::string m_sRep;
};
