// Shared pieces of the memory-zone tests: the engine started and ended
// around each test with its spill files in a fresh temporary directory,
// keys and values of each stored type, and a count of open descriptors.
#pragma once
#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "memzone/memzone.h"

namespace mztest {

// A key or value that owns its bytes. Texts carry their terminating zero,
// as the language functions store them.
struct STDonnee {
    uint8_t cType = MEMT_BINAIRE;
    std::string sOctets;
    STMemDonnee st() const { return STMemDonnee{cType, sOctets.data(), uint32_t(sOctets.size())}; }
};

inline STDonnee Txt(const std::string& s) { return STDonnee{MEMT_BINAIRE, s + std::string(1, '\0')}; }
inline STDonnee Ent(int32_t n) { return STDonnee{MEMT_ENTIER, std::string(reinterpret_cast<const char*>(&n), 4)}; }
inline STDonnee Reel(double r) { return STDonnee{MEMT_REEL, std::string(reinterpret_cast<const char*>(&r), 8)}; }
inline STDonnee Court(int16_t n) { return STDonnee{MEMT_COURT, std::string(reinterpret_cast<const char*>(&n), 2)}; }
inline STDonnee Reel4(float r) { return STDonnee{MEMT_REEL4, std::string(reinterpret_cast<const char*>(&r), 4)}; }

inline STDonnee Lu(const CMemLecture& cl) {
    return STDonnee{cl.cGetType(), std::string(reinterpret_cast<const char*>(cl.pGetOctets()), cl.nGetLongueur())};
}
inline bool operator==(const STDonnee& a, const STDonnee& b) { return a.cType == b.cType && a.sOctets == b.sOctets; }
inline std::ostream& operator<<(std::ostream& os, const STDonnee& st) {
    os << char(st.cType) << ":";
    for (unsigned char c : st.sOctets) os << (c >= 32 && c < 127 ? std::string(1, char(c)) : "\\" + std::to_string(c));
    return os;
}

inline int nDescripteursOuverts() {
    int n = 0;
    DIR* pDir = opendir("/proc/self/fd");
    if (pDir == nullptr) return -1;
    while (dirent* p = readdir(pDir))
        if (p->d_name[0] != '.') ++n;
    closedir(pDir);
    return n - 1;   // the directory's own descriptor
}

inline int nEntreesRepertoire(const std::string& sRep) {
    int n = 0;
    DIR* pDir = opendir(sRep.c_str());
    if (pDir == nullptr) return -1;
    while (dirent* p = readdir(pDir))
        if (strcmp(p->d_name, ".") != 0 && strcmp(p->d_name, "..") != 0) ++n;
    closedir(pDir);
    return n;
}

// Limits small enough for a few hundred records to grow areas, spill and
// fill several index blocks.
inline STMemLimites LimitesReduites(uint32_t nArea, uint32_t nParZone, uint32_t nTotal, uint32_t nBloc,
                                    bool bSansProjection = false) {
    STMemLimites st;
    st.nTailleArea = nArea;
    st.nExtensionsZone = nParZone;
    st.nExtensionsTotal = nTotal;
    st.nEntreesBloc = nBloc;
    st.bSansProjection = bSansProjection;
    return st;
}

// The engine around each test, spill files in a directory of the test's
// own that must be empty again at the end.
class MemTest : public ::testing::Test {
protected:
    void SetUp() override {
        char szModele[] = "/tmp/qvmemtest_XXXXXX";
        ASSERT_NE(mkdtemp(szModele), nullptr);
        m_sRep = szModele;
        m_nDescripteurs = nDescripteursOuverts();
        ASSERT_TRUE(MEM_InitModule());
        Limites(STMemLimites{});
    }
    void TearDown() override {
        MEM_FinModule();
        EXPECT_EQ(nDescripteursOuverts(), m_nDescripteurs) << "a spill file stayed open";
        EXPECT_EQ(nEntreesRepertoire(m_sRep), 0) << "a spill file stayed behind";
        EXPECT_EQ(rmdir(m_sRep.c_str()), 0);
    }
    // Limits with the test's directory for spill files.
    void Limites(STMemLimites st) {
        st.pszRepertoireTemp = m_sRep.c_str();
        MEM_SetLimites(st);
    }

    std::string m_sRep;
    int m_nDescripteurs = 0;
};

}  // namespace mztest
