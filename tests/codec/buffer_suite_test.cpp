// Runs of writes and reads on the serialisation buffer: the same bytes as
// value-by-value writes, the room and the content as their bounds, coded
// content made plain first, the position and size following the run.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "codec/buffer.h"
#include "codec/buffer_suite.h"

namespace {

using Octets = std::vector<uint8_t>;

Octets Contenu(CQVBuffer& cl) {
    const uint8_t* p = cl.pbyGetUncodedBuffer();
    return Octets(p, p + cl.dwGetSizeDirect());
}

// One record of every kind the runs take, as the buffer's own operators
// write it, then as a run writes it.
constexpr uint32_t TAILLE_ENREGISTREMENT = 1 + 2 + 4 + 4 + 4 + 8 + 4 + 8 + 6 + 1;

void EcritValeurs(CQVBuffer& cl, int i) {
    cl << static_cast<char>(i) << static_cast<short>(-i) << i << static_cast<long>(i * 3)
       << static_cast<unsigned long>(i * 5) << static_cast<long long>(i) * 1000000007LL << static_cast<float>(i) / 4
       << static_cast<double>(i) / 3 << "texte" << static_cast<const char*>(nullptr);
}

bool bEcritSuite(CQVBuffer& cl, int i, uint32_t dwPlace) {
    CQVBufferEcriture cl2(cl, dwPlace);
    cl2 << static_cast<char>(i) << static_cast<short>(-i) << i << static_cast<long>(i * 3)
        << static_cast<unsigned long>(i * 5) << static_cast<long long>(i) * 1000000007LL << static_cast<float>(i) / 4
        << static_cast<double>(i) / 3 << "texte" << static_cast<const char*>(nullptr);
    return cl2.bOk();
}

TEST(BufferSuite, SameBytesAsTheBufferOperatorsAndReadBack) {
    CQVBuffer clValeurs, clSuites;
    for (int i = 0; i < 300; ++i) {
        EcritValeurs(clValeurs, i);
        ASSERT_TRUE(bEcritSuite(clSuites, i, TAILLE_ENREGISTREMENT)) << i;
    }
    EXPECT_EQ(Contenu(clSuites), Contenu(clValeurs));
    EXPECT_EQ(clSuites.dwGetPos(), 300 * TAILLE_ENREGISTREMENT);

    clSuites.Seek(0, BUFFER_SEEK_DEBUT);
    CQVBufferLecture clLu(clSuites);
    for (int i = 0; i < 300; ++i) {
        char c = 0;
        short s = 0;
        int n = 0;
        long l = 0;
        unsigned long ul = 0;
        long long ll = 0;
        float f = 0;
        double d = 0;
        clLu >> c >> s >> n >> l >> ul >> ll >> f >> d;
        const char* psz = clLu.pszTexte();
        const char* pszVide = clLu.pszTexte();
        ASSERT_TRUE(clLu.bOk()) << i;
        EXPECT_EQ(c, static_cast<char>(i));
        EXPECT_EQ(s, -i);
        EXPECT_EQ(n, i);
        EXPECT_EQ(l, i * 3);
        EXPECT_EQ(ul, static_cast<unsigned long>(i * 5));
        EXPECT_EQ(ll, i * 1000000007LL);
        EXPECT_FLOAT_EQ(f, static_cast<float>(i) / 4);
        EXPECT_DOUBLE_EQ(d, static_cast<double>(i) / 3);
        EXPECT_STREQ(psz, "texte");
        EXPECT_STREQ(pszVide, "");
    }
}

TEST(BufferSuite, TheRoomAndTheContentBoundTheRuns) {
    struct STCas {
        const char* pszCas;
        uint32_t dwPlace;       // room asked for the run
        uint32_t dwDepart;      // position in a 10-byte content
        bool bOk;
        uint32_t dwTaille;      // used size after the run
        uint32_t dwPosition;    // position after the run
    } tabCas[] = {
        // The run writes an int, a double, then "ab".
        {"room for all, appended", 15, 10, true, 25, 25},
        {"room for all, inside", 15, 2, true, 17, 17},
        {"room for all, inside the content", 15, 0, true, 15, 15},
        {"the double does not fit, nor what follows", 7, 10, false, 14, 14},
        {"no room", 0, 10, false, 10, 10},
        {"the text's end does not fit", 14, 10, false, 22, 22},
    };
    for (const STCas& c : tabCas) {
        CQVBuffer cl;
        cl.Set("0123456789", 10);
        cl.Seek(c.dwDepart, BUFFER_SEEK_DEBUT);
        bool bOk;
        {
            CQVBufferEcriture clSuite(cl, c.dwPlace);
            clSuite << 7 << 2.5 << "ab";
            bOk = clSuite.bOk();
        }
        EXPECT_EQ(bOk, c.bOk) << c.pszCas;
        EXPECT_EQ(cl.dwGetSizeDirect(), c.dwTaille) << c.pszCas;
        EXPECT_EQ(cl.dwGetPos(), c.dwPosition) << c.pszCas;
        // What was written is there; what did not fit is not.
        cl.Seek(c.dwDepart, BUFFER_SEEK_DEBUT);
        int n = 0;
        cl >> n;
        if (c.dwPosition > c.dwDepart) {
            EXPECT_EQ(n, 7) << c.pszCas;
        }
    }

    // Past 32 bits of size, no room is made.
    CQVBuffer cl;
    cl.Set("x", 1);
    CQVBufferEcriture clSuite(cl, 0xFFFFFFFFu);
    clSuite << 1;
    EXPECT_FALSE(clSuite.bOk());
}

TEST(BufferSuite, ShortReadsReadNothingAndRaiseTheFlag) {
    CQVBuffer cl;
    cl << 5 << static_cast<short>(6);
    cl.Set("sans fin", 8);
    cl.Seek(0, BUFFER_SEEK_DEBUT);
    {
        CQVBufferLecture clLu(cl);
        int n = 0;
        short s = 0;
        clLu >> n >> s;
        EXPECT_EQ(n, 5);
        EXPECT_EQ(s, 6);
        EXPECT_TRUE(clLu.bOk());
        EXPECT_EQ(clLu.pszTexte(), nullptr);   // no NUL before the end
        long long ll = 42;
        clLu >> ll;                            // 8 bytes are left, but the run has failed
        EXPECT_EQ(ll, 42);
        EXPECT_FALSE(clLu.bOk());
        EXPECT_FALSE(cl.bEchecLecture());      // raised when the run ends
    }
    EXPECT_TRUE(cl.bEchecLecture());
    EXPECT_EQ(cl.dwGetPos(), 6u);   // where the failed text began
}

// A coded buffer is uncoded by a run as by the buffer's own operators: the
// same operations on two buffers leave the same content and position.
TEST(BufferSuite, CodedContentIsUncodedAsByTheOperators) {
    for (const eBUFFER_PACKMETHOD eMethode : {BUFFER_PACK_ZLW, BUFFER_PACK_QVC40}) {
        CQVBuffer clValeurs(eMethode, 0, 100), clSuites(eMethode, 0, 100);
        for (int i = 0; i < 200; ++i) {
            EcritValeurs(clValeurs, i);
            ASSERT_TRUE(bEcritSuite(clSuites, i, TAILLE_ENREGISTREMENT));
        }
        for (CQVBuffer* pcl : {&clValeurs, &clSuites}) {
            ASSERT_GT(pcl->dwGetCodedSize(), 0u);
            ASSERT_TRUE(pcl->bEstCode());
            pcl->Seek(0, BUFFER_SEEK_FIN);
        }
        EcritValeurs(clValeurs, 200);
        ASSERT_TRUE(bEcritSuite(clSuites, 200, TAILLE_ENREGISTREMENT));
        EXPECT_FALSE(clSuites.bEstCode());
        EXPECT_EQ(clSuites.dwGetPos(), clValeurs.dwGetPos());
        EXPECT_EQ(Contenu(clSuites), Contenu(clValeurs));

        // Coded again (when coding gains), then read from the start.
        for (CQVBuffer* pcl : {&clValeurs, &clSuites}) {
            ASSERT_GT(pcl->dwGetCodedSize(), 0u);
            pcl->Seek(0, BUFFER_SEEK_DEBUT);
        }
        char c = 1, c2 = 2;
        short s = 1, s2 = 2;
        int n = 1, n2 = 2;
        clValeurs >> c2 >> s2 >> n2;
        CQVBufferLecture clLu(clSuites);
        clLu >> c >> s >> n;
        EXPECT_TRUE(clLu.bOk());
        EXPECT_EQ(c, c2);
        EXPECT_EQ(s, s2);
        EXPECT_EQ(n, n2);
    }
}

}  // namespace
