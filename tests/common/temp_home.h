// A fresh home directory for a test's scope, with an optional per-user
// settings file; HOME comes back as it was.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// A fresh home directory for the scope, with an optional per-user file.
class CHomeTemporaire {
public:
    CHomeTemporaire() {
        const char* psz = std::getenv("HOME");
        m_bAvait = psz != nullptr;
        if (m_bAvait) m_sAvant = psz;
        char szModele[] = "/tmp/qvhomeXXXXXX";
        const char* pszRep = mkdtemp(szModele);
        if (pszRep != nullptr) m_sRep = pszRep;
        setenv("HOME", m_sRep.c_str(), 1);
    }
    ~CHomeTemporaire() {
        unlink((m_sRep + "/.TVR.conf").c_str());
        rmdir(m_sRep.c_str());
        if (m_bAvait)
            setenv("HOME", m_sAvant.c_str(), 1);
        else
            unsetenv("HOME");
    }
    CHomeTemporaire(const CHomeTemporaire&) = delete;
    CHomeTemporaire& operator=(const CHomeTemporaire&) = delete;

    bool bEcritConf(const std::string& sTexte) const {
        FILE* pf = std::fopen((m_sRep + "/.TVR.conf").c_str(), "wb");
        if (pf == nullptr) return false;
        const bool bOk = std::fwrite(sTexte.data(), 1, sTexte.size(), pf) == sTexte.size();
        return std::fclose(pf) == 0 && bOk;
    }
    const std::string& sRep() const { return m_sRep; }

private:
    std::string m_sRep;
    std::string m_sAvant;
    bool m_bAvait = false;
};
