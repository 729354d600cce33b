// Archives of the older LZW format: the decoder over memory beside an
// encoder of the test's own that follows the format's rules (growing
// widths, a full dictionary, clears, the code that names the entry being
// made), hostile codes, and the files: into a destination, over the
// archive itself without one, and what failures leave on disk.
#include <dirent.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "codec/compact.h"
#include "codec/compact_flux.h"
#include "codec/lzw_vieux.h"
#include "files/files_test_util.h"

namespace {

using Octets = std::vector<uint8_t>;

// ---------------------------------------------------------------- the test's encoder

class CBitsMsb {
public:
    void Met(uint32_t nLargeur, uint32_t dwCode) {
        for (int i = static_cast<int>(nLargeur) - 1; i >= 0; --i) {
            m_by = static_cast<uint8_t>((m_by << 1) | ((dwCode >> i) & 1u));
            if (++m_n == 8) {
                m_ab.push_back(m_by);
                m_n = 0;
            }
        }
    }
    Octets Fin() const {
        Octets ab = m_ab;
        if (m_n != 0) ab.push_back(static_cast<uint8_t>(m_by << (8 - m_n)));
        return ab;
    }

private:
    Octets m_ab;
    uint8_t m_by = 0;
    int m_n = 0;
};

// Codes with the widths the decoder will read them at: it adds an entry for
// every code but the first after a clear, and widens when its next code
// reaches the limit. nEffaceTous: a clear after that many codes (0: never).
Octets EncodeLzw(const Octets& ab, uint32_t nEffaceTous = 0) {
    CBitsMsb cl;
    uint32_t nLargeur = 9, nSuivantDecodeur = 257, nLimite = 512, nSuivant = 257, nCodes = 0;
    bool bPremier = true;
    std::map<std::pair<uint32_t, uint8_t>, uint32_t> tabDico;
    auto fnEmet = [&](uint32_t c) {
        cl.Met(nLargeur, c);
        ++nCodes;
        if (!bPremier && nSuivantDecodeur < 16384) {
            ++nSuivantDecodeur;
            if (nSuivantDecodeur == nLimite && nLargeur < 14) {
                ++nLargeur;
                nLimite <<= 1;
            }
        }
        bPremier = false;
    };
    if (ab.empty()) return {};
    uint32_t w = ab[0];
    for (size_t i = 1; i < ab.size(); ++i) {
        const auto it = tabDico.find({w, ab[i]});
        if (it != tabDico.end()) {
            w = it->second;
            continue;
        }
        fnEmet(w);
        if (nSuivant < 16384) tabDico[{w, ab[i]}] = nSuivant++;
        w = ab[i];
        if (nEffaceTous != 0 && nCodes % nEffaceTous == 0) {
            cl.Met(nLargeur, 256);
            tabDico.clear();
            nLargeur = 9;
            nSuivantDecodeur = nSuivant = 257;
            nLimite = 512;
            bPremier = true;
        }
    }
    fnEmet(w);
    return cl.Fin();
}

std::string Entete(uint32_t dwTaille, uint32_t dwPlace) {
    std::string s(lzw_vieux::SIGNATURE);
    for (uint32_t dw : {dwTaille, dwPlace})
        for (int k = 3; k >= 0; --k) s.push_back(static_cast<char>(dw >> (8 * k)));
    return s;
}

Octets Genere(const std::string& sGenre, size_t n, uint32_t nGraine = 1) {
    std::mt19937 gen(nGraine);
    Octets ab;
    if (sGenre == "aleatoire") {
        while (ab.size() < n) ab.push_back(static_cast<uint8_t>(gen()));
    } else if (sGenre == "meme") {
        ab.assign(n, 'a');
    } else {
        static const char* k_apsz[] = {"ancien ", "format ", "des ", "archives ", "lu ", "encore\r\n"};
        while (ab.size() < n) {
            const char* psz = k_apsz[gen() % 6];
            ab.insert(ab.end(), psz, psz + std::strlen(psz));
        }
        ab.resize(n);
    }
    return ab;
}

class CSource final : public ISourceCompact {
public:
    explicit CSource(const Octets& ab) : m_ab(ab) {}
    int32_t nLit(uint8_t* pby, uint32_t n) override {
        n = std::min<uint32_t>(std::min<uint32_t>(n, 777), static_cast<uint32_t>(m_ab.size() - m_nPos));
        if (n != 0) std::memcpy(pby, m_ab.data() + m_nPos, n);
        m_nPos += n;
        return static_cast<int32_t>(n);
    }

private:
    const Octets& m_ab;
    size_t m_nPos = 0;
};

class CPuits final : public IPuitsCompact {
public:
    int32_t nEcrit(const uint8_t* pby, uint32_t n) override {
        m_ab.insert(m_ab.end(), pby, pby + n);
        return 0;
    }
    Octets m_ab;
};

eCODAGE Decode(const Octets& abCodes, size_t nTaille, Octets* pab) {
    CSource clSource(abCodes);
    CPuits clPuits;
    const eCODAGE e = lzw_vieux::decode(clSource, clPuits, nTaille);
    EXPECT_LE(clPuits.m_ab.size(), nTaille);
    *pab = clPuits.m_ab;
    return e;
}

// ---------------------------------------------------------------- the decoder

TEST(CompactVieux, DecodesWhatTheFormatsRulesProduce) {
    struct STCas {
        const char* pszGenre;
        size_t nTaille;
        uint32_t nEffaceTous;
    } const astCas[] = {
        {"texte", 0, 0},
        {"texte", 1, 0},
        {"meme", 10000, 0},        // each code the entry being made
        {"texte", 5000, 0},
        {"texte", 400000, 0},      // widths up to 14, then a full dictionary
        {"aleatoire", 300000, 0},  // a full dictionary soon
        {"texte", 200000, 1000},   // clears on the way
        {"aleatoire", 50000, 1},   // a clear after every code
    };
    for (const STCas& st : astCas) {
        const Octets ab = Genere(st.pszGenre, st.nTaille);
        Octets abRetour;
        EXPECT_EQ(Decode(EncodeLzw(ab, st.nEffaceTous), ab.size(), &abRetour), eCODAGE::OK)
            << st.pszGenre << " " << st.nTaille;
        EXPECT_TRUE(abRetour == ab) << st.pszGenre << " " << st.nTaille;
    }
}

TEST(CompactVieux, CodesThatNameNothingAreRefused) {
    auto fnCodes = [](std::vector<std::pair<uint32_t, uint32_t>> tab) {
        CBitsMsb cl;
        for (auto [n, c] : tab) cl.Met(n, c);
        return cl.Fin();
    };
    struct STCas {
        const char* pszNom;
        Octets abCodes;
        size_t nTaille;
        eCODAGE e;
        std::string sSortie;
    } const astCas[] = {
        {"a byte, then the entry being made", fnCodes({{9, 'a'}, {9, 257}}), 3, eCODAGE::OK, "aaa"},
        {"first code not a byte", fnCodes({{9, 300}}), 1, eCODAGE::DONNEES, ""},
        {"first code the clear, then a byte", fnCodes({{9, 256}, {9, 'z'}}), 1, eCODAGE::OK, "z"},
        {"code after a clear not a byte", fnCodes({{9, 'a'}, {9, 256}, {9, 257}}), 2, eCODAGE::DONNEES, ""},
        {"code beyond the next entry", fnCodes({{9, 'a'}, {9, 'b'}, {9, 259}}), 5, eCODAGE::DONNEES, ""},
        {"codes ending before the size", fnCodes({{9, 'a'}, {9, 'b'}}), 3, eCODAGE::DONNEES, ""},
        {"no codes at all", {}, 1, eCODAGE::DONNEES, ""},
        {"a string past the size is cut", fnCodes({{9, 'a'}, {9, 'b'}, {9, 257}}), 3, eCODAGE::OK, "aba"},
    };
    for (const STCas& st : astCas) {
        Octets ab;
        EXPECT_EQ(Decode(st.abCodes, st.nTaille, &ab), st.e) << st.pszNom;
        if (st.e == eCODAGE::OK) {
            EXPECT_EQ(std::string(ab.begin(), ab.end()), st.sSortie) << st.pszNom;
        }
    }
}

TEST(CompactVieux, EveryCutAndEveryFlippedBitEndsCleanly) {
    const Octets ab = Genere("texte", 4000, 3);
    const Octets abCodes = EncodeLzw(ab, 300);
    for (size_t n = 0; n < abCodes.size(); ++n) {
        Octets abSortie;
        ASSERT_EQ(Decode(Octets(abCodes.begin(), abCodes.begin() + static_cast<std::ptrdiff_t>(n)), ab.size(), &abSortie),
                  eCODAGE::DONNEES)
            << n;
    }
    for (size_t i = 0; i < abCodes.size() * 8; i += 3) {
        Octets abFaux = abCodes, abSortie;
        abFaux[i / 8] ^= static_cast<uint8_t>(0x80u >> (i % 8));
        const eCODAGE e = Decode(abFaux, ab.size(), &abSortie);
        ASSERT_TRUE(e == eCODAGE::OK || e == eCODAGE::DONNEES) << i;
    }
}

// ---------------------------------------------------------------- the files

class CompactVieuxFichiers : public filestest::TempDirTest {
protected:
    // An old archive of these bytes (room asked: the size).
    void EcritArchive(const std::string& sNom, const Octets& ab, uint32_t nEffaceTous = 0) {
        const Octets abCodes = EncodeLzw(ab, nEffaceTous);
        WriteFile(Path(sNom), Entete(static_cast<uint32_t>(ab.size()), static_cast<uint32_t>(ab.size())) +
                                  std::string(abCodes.begin(), abCodes.end()));
    }
    std::vector<std::string> Entrees() const {
        std::vector<std::string> tab;
        if (DIR* p = opendir(m_sDir.c_str())) {
            while (dirent* pst = readdir(p))
                if (pst->d_name[0] != '.' && std::strcmp(pst->d_name, "home") != 0) tab.push_back(pst->d_name);
            closedir(p);
        }
        std::sort(tab.begin(), tab.end());
        return tab;
    }
};

TEST_F(CompactVieuxFichiers, DecodesIntoTheDestination) {
    const Octets ab = Genere("texte", 300000);
    EcritArchive("v.old", ab, 5000);
    STCompactBilan st;
    ASSERT_EQ(nfDecompacte(Path("v.old").c_str(), Path("v.txt").c_str(), true, &st), 0);
    EXPECT_TRUE(st.bVieuxFormat);
    EXPECT_EQ(ReadFile(Path("v.txt")), std::string(ab.begin(), ab.end()));
    // The sizes it records, by both size functions.
    EXPECT_EQ(lfTailleCompacte(Path("v.old").c_str()), 300000);
    EXPECT_EQ(lfTailleDecompacte(Path("v.old").c_str()), 300000);
    EXPECT_EQ(Entrees(), (std::vector<std::string>{"v.old", "v.txt"}));
}

TEST_F(CompactVieuxFichiers, WithoutDestinationTheArchiveBecomesItsContents) {
    const Octets ab = Genere("texte", 100000);
    EcritArchive("v.old", ab);
    // A ".$$$" file already there is none of the archive's business.
    WriteFile(Path("v.$$$"), "someone else's");
    ASSERT_EQ(nfDecompacte(Path("v.old").c_str(), nullptr), 0);
    EXPECT_EQ(ReadFile(Path("v.old")), std::string(ab.begin(), ab.end()));
    EXPECT_EQ(ReadFile(Path("v.$$$")), "someone else's");
    EXPECT_EQ(Entrees(), (std::vector<std::string>{"v.$$$", "v.old"}));
}

TEST_F(CompactVieuxFichiers, FailuresLeaveTheArchiveAsItWas) {
    const Octets ab = Genere("texte", 60000);
    const Octets abCodes = EncodeLzw(ab);
    const std::string sCodes(abCodes.begin(), abCodes.end());
    struct STCas {
        const char* pszNom;
        std::string sArchive;
        bool bDestination;
        int nCode;
    } const astCas[] = {
        {"codes cut short", Entete(60000, 60000) + sCodes.substr(0, sCodes.size() / 2), false, COMPACT_ABIMEE},
        {"size beyond the codes", Entete(70000, 60000) + sCodes, true, COMPACT_ABIMEE},
        {"signature off by one letter", "MTALVORALZCT@" + Entete(60000, 60000).substr(13) + sCodes, false,
         COMPACT_PAS_ARCHIVE},
        {"header alone, of nothing", Entete(0, 0), false, COMPACT_OK},
    };
    for (const STCas& st : astCas) {
        WriteFile(Path("v.old"), st.sArchive);
        WriteFile(Path("dest"), "before");
        EXPECT_EQ(nfDecompacte(Path("v.old").c_str(), st.bDestination ? Path("dest").c_str() : nullptr), st.nCode)
            << st.pszNom;
        EXPECT_EQ(ReadFile(Path("v.old")), st.nCode == COMPACT_OK ? std::string() : st.sArchive) << st.pszNom;
        EXPECT_EQ(ReadFile(Path("dest")), "before") << st.pszNom;
        EXPECT_EQ(Entrees(), (std::vector<std::string>{"dest", "v.old"})) << st.pszNom;
    }
}

}  // namespace
