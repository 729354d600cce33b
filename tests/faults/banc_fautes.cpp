// The bench of banc_fautes.h.
#include "banc_fautes.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "common/temp_dir.h"

namespace fautes {

namespace {

void _Lit(const std::string& sRep, const std::string& sRelatif, Arbre& arbre) {
    DIR* pDir = opendir(sRep.c_str());
    if (pDir == nullptr) return;
    while (const dirent* pst = readdir(pDir)) {
        const std::string sNom = pst->d_name;
        if (sNom == "." || sNom == "..") continue;
        const std::string sChemin = sRep + "/" + sNom, sCle = sRelatif + sNom;
        struct stat64 st;
        if (lstat64(sChemin.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            arbre[sCle] = "<dir>";
            _Lit(sChemin, sCle + "/", arbre);
        } else if (S_ISLNK(st.st_mode)) {
            char sz[4096];
            const ssize_t n = readlink(sChemin.c_str(), sz, sizeof sz);
            arbre[sCle] = "-> " + std::string(sz, n > 0 ? size_t(n) : 0);
        } else {
            std::string s;
            const int nFd = open(sChemin.c_str(), O_RDONLY | O_CLOEXEC);
            char aby[65536];
            ssize_t n;
            while (nFd >= 0 && (n = read(nFd, aby, sizeof aby)) > 0) s.append(aby, size_t(n));
            if (nFd >= 0) close(nFd);
            arbre[sCle] = s;
        }
    }
    closedir(pDir);
}

// A short account of a difference between two folders.
std::string _Ecart(const Arbre& a, const Arbre& b) {
    std::string s;
    for (const auto& [k, v] : a) {
        auto it = b.find(k);
        if (it == b.end())
            s += " [" + k + " missing]";
        else if (it->second != v)
            s += " [" + k + ": " + std::to_string(it->second.size()) + " bytes, not " + std::to_string(v.size()) + "]";
    }
    for (const auto& [k, v] : b)
        if (a.find(k) == a.end()) s += " [" + k + " left over]";
    return s;
}

const std::string* _p(const Arbre& a, const std::string& k) {
    auto it = a.find(k);
    return it == a.end() ? nullptr : &it->second;
}

bool _bMeme(const std::string* p1, const std::string* p2) { return p1 == nullptr ? p2 == nullptr : p2 && *p1 == *p2; }

// What a failure left, by the writer's rule; "" when it holds.
std::string _Faute(const STEcrivain& st, const Arbre& avant, const Arbre& attendu, const Arbre& apres) {
    std::string s;
    switch (st.eRegle) {
        case eREGLE::ATOMIQUE:
            if (apres != avant) s = _Ecart(avant, apres);
            break;
        case eREGLE::PAR_FICHIER: {
            Arbre tous = avant;
            tous.insert(attendu.begin(), attendu.end());
            tous.insert(apres.begin(), apres.end());
            for (const auto& [k, v] : tous) {
                const std::string *pAvant = _p(avant, k), *pAttendu = _p(attendu, k), *pApres = _p(apres, k);
                const bool bSource = !st.sSourceIntacte.empty() && k.compare(0, st.sSourceIntacte.size(), st.sSourceIntacte) == 0;
                if (!_bMeme(pApres, pAvant) && (bSource || !_bMeme(pApres, pAttendu)))
                    s += " [" + k + (pApres == nullptr ? " missing" : " neither old nor new") + "]";
            }
            break;
        }
        case eREGLE::FLUX: {
            Arbre a = avant, b = apres;
            const std::string* pAvant = _p(avant, st.sCible);
            const std::string* pAttendu = _p(attendu, st.sCible);
            const std::string* pApres = _p(apres, st.sCible);
            if (pAvant == nullptr || pAttendu == nullptr || pApres == nullptr || pApres->size() < pAvant->size() ||
                pAttendu->compare(0, pApres->size(), *pApres) != 0 || pApres->compare(0, pAvant->size(), *pAvant) != 0)
                s = " [" + st.sCible + " is not the old bytes and a prefix of the new ones]";
            a.erase(st.sCible);
            b.erase(st.sCible);
            if (a != b) s += _Ecart(a, b);
            break;
        }
    }
    return s;
}

}  // namespace

CNoms::~CNoms() {
    for (auto* p : m_tabManips) delete p;
    for (auto* p : m_tabTextes) delete p;
}

const STManipAUB* CNoms::Nom(const std::string& s) {
    m_tabTextes.push_back(new CZNDSTR);
    m_tabTextes.back()->nAssign(s.data(), int(s.size()));
    m_tabManips.push_back(new STManipAUB{m_tabTextes.back()->pGetMemoire(), 0});
    return m_tabManips.back();
}

Arbre ArbreDe(const std::string& sRep) {
    Arbre arbre;
    _Lit(sRep, "", arbre);
    return arbre;
}

void EcritFichier(const std::string& sChemin, const std::string& sOctets) {
    const int nFd = open(sChemin.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(nFd, 0) << sChemin;
    size_t nFait = 0;
    while (nFait < sOctets.size()) {
        const ssize_t n = write(nFd, sOctets.data() + nFait, sOctets.size() - nFait);
        ASSERT_GT(n, 0) << sChemin;
        nFait += size_t(n);
    }
    close(nFd);
}

std::string Bruit(size_t n, uint32_t x) {
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 16);
    return s;
}

std::map<eFAUTE, int> Eprouve(const STEcrivain& st) {
    std::map<eFAUTE, int> tabInjectees;
    Arbre sansFaute;
    if (!st.fnAttendu) {
        CRepTemporaire clRep("qvfautes");
        st.fnPrepare(clRep.sRep());
        const STResultat stR = st.fnAppel(clRep.sRep());
        EXPECT_TRUE(stR.bSucces) << st.sNom << " without faults: error " << stR.nErreur;
        sansFaute = ArbreDe(clRep.sRep());
    }
    // Far more than any writer here makes: a bound against a writer that
    // would call for ever.
    constexpr int k_nMaxAppels = 2000;
    for (eFAUTE e : {eFAUTE::ENOSPC_, eFAUTE::EIO_, eFAUTE::EINTR_, eFAUTE::COURTE}) {
        int& nInjectees = tabInjectees[e];
        for (int n = 1; n <= k_nMaxAppels; ++n) {
            CRepTemporaire clRep("qvfautes");
            if (!clRep.bOk()) {
                ADD_FAILURE() << "no temporary folder";
                return tabInjectees;
            }
            const std::string& sRep = clRep.sRep();
            st.fnPrepare(sRep);
            const Arbre avant = ArbreDe(sRep);
            Arbre attendu = avant;
            if (st.fnAttendu)
                st.fnAttendu(sRep, attendu);
            else
                attendu = sansFaute;
            Arme(e, n, st.sAilleurs.empty() ? std::string() : sRep + "/" + st.sAilleurs);
            const STResultat stR = st.fnAppel(sRep);
            const STBilan stB = Desarme();
            const Arbre apres = ArbreDe(sRep);
            const std::string sOu = st.sNom + ", " + pszNom(e) + " at call " + std::to_string(n);
            if (!stB.bTouche) {
                // Every call passed: the plain run.
                EXPECT_TRUE(stR.bSucces) << sOu << " (no fault): error " << stR.nErreur;
                EXPECT_TRUE(apres == attendu) << sOu << " (no fault):" << _Ecart(attendu, apres);
                if (st.bSynchronise) {
                    EXPECT_GT(stB.nSynchrosFichier, 0) << sOu << ": the new file replaced the old one unflushed";
                }
                break;
            }
            ++nInjectees;
            const bool bTransparente = e == eFAUTE::EINTR_ || e == eFAUTE::COURTE;
            if (bTransparente) {
                EXPECT_TRUE(stR.bSucces) << sOu << ": not retried, error " << stR.nErreur;
                EXPECT_TRUE(apres == attendu) << sOu << ":" << _Ecart(attendu, apres);
                continue;
            }
            if (stR.bSucces) {
                EXPECT_TRUE(stB.ePoint == ePOINT::SYNCHRO && stB.bRepertoire)
                    << sOu << ": the failed call was reported as a success";
                EXPECT_TRUE(apres == attendu) << sOu << " (reported success):" << _Ecart(attendu, apres);
                continue;
            }
            bool bConnue = false;
            for (int nErreur : st.tabErreurs) bConnue = bConnue || nErreur == stR.nErreur;
            EXPECT_TRUE(bConnue) << sOu << ": error " << stR.nErreur;
            const std::string sFaute = _Faute(st, avant, attendu, apres);
            EXPECT_TRUE(sFaute.empty()) << sOu << " (reported failure):" << sFaute;
        }
    }
    // A writer whose calls the plan never saw is not tested at all.
    EXPECT_GT(tabInjectees[eFAUTE::ENOSPC_], 0) << st.sNom;
    int nTotal = 0;
    std::string s;
    for (const auto& [e, n] : tabInjectees) {
        s += std::string(s.empty() ? "" : ", ") + pszNom(e) + " " + std::to_string(n);
        nTotal += n;
    }
    std::printf("[ faults   ] %s: %d injected (%s)\n", st.sNom.c_str(), nTotal, s.c_str());
    return tabInjectees;
}

}  // namespace fautes
