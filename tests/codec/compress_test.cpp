// The compressors on their own and through the serialisation buffer: exact
// block layouts, round trips of every coder over varied data, and hostile
// blocks that must be refused without reading or writing out of bounds.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "blocs.h"
#include "codec/buffer.h"
#include "codec/compress.h"

namespace {

using Octets = std::vector<uint8_t>;

Octets De(const std::string& s) { return Octets(s.begin(), s.end()); }

using blocs::Compresse;

// Unpacks with room for what the block announces; empty on refusal.
bool bDecompresse(int nType, Octets abBloc, Octets& abSortie) {
    CCompresseur cl(nType);
    cl.ChangeSource(abBloc.data(), static_cast<uint32_t>(abBloc.size()));
    uint32_t dwTaille = cl.dwTailleDecompression();
    if (dwTaille == PACK_TAILLE_INVALIDE) return false;
    if (dwTaille > (1u << 26)) return false;
    abSortie.assign(dwTaille + 1, 0xCC);
    cl.ChangeDestination(abSortie.data(), dwTaille);
    uint32_t dw = cl.dwDecompression(static_cast<uint8_t>(nType));
    abSortie.resize(dw);
    return dw != 0 || dwTaille == 0;
}

// Text-coder source: a 32-bit length, then the bytes.
Octets SourceTexte(const Octets& ab) {
    Octets abSource(ab.size() + 4);
    uint32_t n = static_cast<uint32_t>(ab.size());
    std::memcpy(abSource.data(), &n, 4);
    if (n != 0) std::memcpy(abSource.data() + 4, ab.data(), n);
    return abSource;
}

uint32_t Lit32(const Octets& ab, size_t i) {
    uint32_t dw;
    std::memcpy(&dw, ab.data() + i, 4);
    return dw;
}

// Deterministic pseudo-random bytes (no clock, no seed from outside).
Octets Aleatoire(size_t n, uint32_t dwGraine, int nAlphabet) {
    Octets ab(n);
    uint32_t x = dwGraine;
    for (auto& by : ab) {
        x = x * 1103515245u + 12345u;
        by = static_cast<uint8_t>((x >> 16) % static_cast<uint32_t>(nAlphabet));
    }
    return ab;
}

using blocs::Texte;
using blocs::BlocZLW;

TEST(Compresseur, ShortSourcesAreStored) {
    Octets ab = De("abc");
    Octets abBloc = Compresse(4, ab);
    EXPECT_EQ(abBloc, (Octets{0, 3, 0, 0, 0, 'a', 'b', 'c'}));
    Octets ab19(19, 'x');
    abBloc = Compresse(4, ab19);
    ASSERT_EQ(abBloc.size(), 24u);   // 19 bytes or less are never coded
    EXPECT_EQ(abBloc[0], 0);
    Octets ab20(20, 'x');
    abBloc = Compresse(4, ab20);
    EXPECT_EQ(abBloc[0], 4);
    EXPECT_LT(abBloc.size(), 20u);
    EXPECT_EQ(Lit32(abBloc, 1), abBloc.size() - 11);
    EXPECT_EQ(Lit32(abBloc, 5), 20u);
    EXPECT_EQ(abBloc[9], 0);
    EXPECT_EQ(abBloc[10], 0);
}

TEST(Compresseur, IncompressibleSourcesAreStored) {
    for (int nType : {4, 2}) {
        Octets ab = Aleatoire(3000, 99, 256);
        Octets abBloc = Compresse(nType, ab);
        ASSERT_EQ(abBloc.size(), ab.size() + 5) << nType;
        EXPECT_EQ(abBloc[0], 0) << nType;
        Octets abSortie;
        ASSERT_TRUE(bDecompresse(nType, abBloc, abSortie));
        EXPECT_EQ(abSortie, ab);
    }
}

TEST(Compresseur, RoundTripsOfTheBlockCoders) {
    struct STCas {
        const char* psz;
        Octets ab;
    };
    std::vector<STCas> tabCas = {
        {"empty", {}},
        {"one byte", {0x42}},
        {"twenty equal bytes", Octets(20, 0)},
        {"repeated pair (the code defined by the step itself)", De(std::string(5000, 'a') + "ab" + std::string(300, 'b'))},
        {"text", Texte(10000)},
        {"widening past 512 codes", Aleatoire(4000, 3, 4)},
        {"small alphabet, full dictionary", Aleatoire(600000, 5, 3)},
        {"skewed alphabet, full dictionary", Aleatoire(400000, 11, 16)},
        {"long text", Texte(300000)},
        {"all byte values", Aleatoire(70000, 17, 256)},
        {"long runs", De(std::string(100000, 'z') + std::string(50000, 'y'))},
    };
    for (int nType : {4, 2}) {
        for (const auto& st : tabCas) {
            Octets abBloc = Compresse(nType, st.ab);
            Octets abSortie;
            ASSERT_TRUE(bDecompresse(nType, abBloc, abSortie)) << nType << " " << st.psz;
            EXPECT_EQ(abSortie, st.ab) << nType << " " << st.psz;
            EXPECT_LE(abBloc.size(), st.ab.size() + 5) << nType << " " << st.psz;
            // The front object picks the decoder from the block, whatever its type.
            Octets abAutre;
            ASSERT_TRUE(bDecompresse(nType == 4 ? 2 : 4, abBloc, abAutre)) << st.psz;
            EXPECT_EQ(abAutre, st.ab) << st.psz;
        }
    }
    // Compressible data is coded, with the method of its coder.
    EXPECT_EQ(Compresse(4, Texte(10000))[0], 4);
    EXPECT_EQ(Compresse(2, Texte(10000))[0], 2);
    EXPECT_LT(Compresse(4, Texte(10000)).size(), 5000u);
}

// Noise fills the dictionary (65536 codes); the text after it is coded with
// the full dictionary kept or cleared by the gain rule, and the block is
// still coded as a whole.
TEST(Compresseur, FullDictionaryThenCompressibleData) {
    Octets ab = Aleatoire(250000, 5, 256);
    Octets abTexte = Texte(600000);
    ab.insert(ab.end(), abTexte.begin(), abTexte.end());
    Octets abBloc = Compresse(4, ab);
    ASSERT_EQ(abBloc[0], 4);
    EXPECT_LT(abBloc.size(), ab.size() / 2);
    Octets abSortie;
    ASSERT_TRUE(bDecompresse(4, abBloc, abSortie));
    EXPECT_TRUE(abSortie == ab);
}

TEST(Compresseur, HandMadeStreamWithTheCodeOfItsOwnStep) {
    // a, b, "ab", then 260 before it exists: "ab" + "a".
    Octets abBloc = BlocZLW({98, 99, 258, 260, 257}, 9, 7);
    Octets abSortie;
    ASSERT_TRUE(bDecompresse(4, abBloc, abSortie));
    EXPECT_EQ(abSortie, De("abababa"));
    // A clear code restarts the dictionary; the code after it is a single byte.
    abBloc = BlocZLW({98, 99, 0, 100, 101, 258, 257}, 9, 6);
    ASSERT_TRUE(bDecompresse(4, abBloc, abSortie));
    EXPECT_EQ(abSortie, De("abcdcd"));
}

TEST(Compresseur, HostileBlocksAreRefused) {
    struct STCas {
        const char* psz;
        Octets ab;
    };
    Octets abBon = Compresse(4, Texte(2000));
    Octets abTronque(abBon.begin(), abBon.begin() + static_cast<long>(abBon.size() / 2));
    Octets abMenteur = abBon;
    uint32_t dwPlus = Lit32(abBon, 5) + 10;
    std::memcpy(abMenteur.data() + 5, &dwPlus, 4);
    Octets abVieux = Compresse(2, Texte(2000));
    Octets abVieuxTronque(abVieux.begin(), abVieux.begin() + static_cast<long>(abVieux.size() / 2));
    const STCas tabCas[] = {
        {"unknown method", {7, 1, 0, 0, 0, 'x'}},
        {"stored count past the block", {0, 9, 0, 0, 0, 'x'}},
        {"header cut", {4, 1, 0, 0}},
        {"coded header cut", {4, 1, 0, 0, 0, 3, 0}},
        {"code not yet defined", BlocZLW({98, 300, 257}, 9, 4)},
        {"first code learned", BlocZLW({300, 257}, 9, 4)},
        {"end before the announced length", BlocZLW({98, 99, 257}, 9, 5)},
        {"string past the announced length", BlocZLW({98, 99, 258, 257}, 9, 3)},
        {"payload cut", abTronque},
        {"announced length too long", abMenteur},
        {"old coder payload cut", abVieuxTronque},
    };
    for (const auto& st : tabCas) {
        for (int nType : {4, 2}) {
            CCompresseur cl(nType);
            Octets ab = st.ab;
            cl.ChangeSource(ab.data(), static_cast<uint32_t>(ab.size()));
            Octets abSortie(4096 + 16, 0xCC);
            cl.ChangeDestination(abSortie.data(), 4096);
            EXPECT_EQ(cl.dwDecompression(static_cast<uint8_t>(nType)), 0u) << st.psz;
            for (size_t i = 4096; i < abSortie.size(); i++) ASSERT_EQ(abSortie[i], 0xCC) << st.psz;
        }
    }
    // A stored block longer than the destination gives nothing.
    CCompresseur cl(4);
    Octets ab{0, 4, 0, 0, 0, 1, 2, 3, 4};
    cl.ChangeSource(ab.data(), 9);
    uint8_t aby[3];
    cl.ChangeDestination(aby, 3);
    EXPECT_EQ(cl.dwDecompression(4), 0u);
}

TEST(Compresseur, SizeQueries) {
    struct STCas {
        Octets ab;
        uint32_t dwEntree, dwSortie;
    };
    const STCas tabCas[] = {
        {{0, 3, 0, 0, 0, 'a', 'b', 'c'}, 8, 3},
        {{4, 20, 0, 0, 0, 100, 0, 0, 0, 0, 0}, 31, 100},
        {{2, 1, 0, 0, 0, 9, 0, 0, 0, 0, 0}, 12, 9},
        {{5, 0, 0, 0, 0, 0}, PACK_TAILLE_INVALIDE, PACK_TAILLE_INVALIDE},
        {{0, 3, 0}, PACK_TAILLE_INVALIDE, PACK_TAILLE_INVALIDE},
        {{4, 3, 0, 0, 0, 9}, PACK_TAILLE_INVALIDE, PACK_TAILLE_INVALIDE},
        {{0, 0xFF, 0xFF, 0xFF, 0xFF}, PACK_TAILLE_INVALIDE, 0xFFFFFFFFu},
    };
    for (const auto& st : tabCas) {
        CCompresseur cl(4);
        Octets ab = st.ab;
        cl.ChangeSource(ab.data(), static_cast<uint32_t>(ab.size()));
        EXPECT_EQ(cl.dwTailleEntree(), st.dwEntree);
        EXPECT_EQ(cl.dwTailleDecompression(), st.dwSortie);
    }
    CCompresseur cl(4);
    EXPECT_EQ(cl.dwTailleBufferCompression(10), 17u);
    cl.ChangeMethodeCompression(5);
    EXPECT_EQ(cl.dwTailleBufferCompression(10), 21u);
    Octets ab{'a', 'b', 0, 'c'};
    cl.ChangeSource(ab.data(), 4);
    EXPECT_EQ(cl.dwTailleEntree(), 3u);
    EXPECT_EQ(cl.dwTailleDecompression(), 8u);   // trunc(1.5 * 4) + 2
}

TEST(Compresseur, TypeChanges) {
    struct STCas {
        int nDepart, nDemande;
        uint8_t byAttendu;
    };
    const STCas tabCas[] = {
        {4, 4, 4}, {4, 2, 2}, {4, 5, 5}, {2, 0, 2}, {5, 0, 5}, {4, 9, 4}, {2, 9, 4}, {0, 4, 4}, {5, 2, 2},
    };
    for (const auto& st : tabCas) {
        CCompresseur cl(st.nDepart);
        cl.ChangeMethodeCompression(st.nDemande);
        EXPECT_EQ(cl.byGetType(), st.byAttendu) << st.nDepart << " " << st.nDemande;
    }
    EXPECT_EQ(CCompresseur(9).byGetType(), 4);
    EXPECT_EQ(CCompresseur(0).byGetType(), 0);
    // Decompression switches to the block's coder and back.
    CCompresseur cl(5);
    Octets ab = Compresse(2, Texte(500));
    cl.ChangeSource(ab.data(), static_cast<uint32_t>(ab.size()));
    Octets abSortie(500);
    cl.ChangeDestination(abSortie.data(), 500);
    EXPECT_EQ(cl.dwDecompression(4), 500u);
    EXPECT_EQ(abSortie, Texte(500));
    EXPECT_EQ(cl.byGetType(), 5);
}

TEST(TextCoder, KnownForms) {
    struct STCas {
        const char* psz;
        Octets ab;
        Octets abCode;
    };
    const STCas tabCas[] = {
        {"two capitals in one pair", De("AB"), {91, 55, 0}},
        {"one capital", De("A"), {15, 0}},
        {"empty", {}, {0}},
        // Latch 7 to set 3, one raw byte (38), padding 39: n = 11200 + 1520 + 39.
        {"raw byte", {0x01}, {static_cast<uint8_t>(12759 / 255 + 1), static_cast<uint8_t>(12759 % 255 + 1), 0x01, 0}},
        // The last two bytes of set 3 are never coded there, shifted or
        // latched: their values are the raw-byte markers.
        {"0xFE raw", {0xFE}, {static_cast<uint8_t>(12759 / 255 + 1), static_cast<uint8_t>(12759 % 255 + 1), 0xFE, 0}},
        {"0xFF raw", {0xFF}, {static_cast<uint8_t>(12759 / 255 + 1), static_cast<uint8_t>(12759 % 255 + 1), 0xFF, 0}},
    };
    for (const auto& st : tabCas) {
        Octets abSortie(st.ab.size() * 2 + 8, 0xCC);
        uint32_t dw = 0;
        ASSERT_TRUE(CDataCompressor::bCompresse(st.ab.data(), static_cast<uint32_t>(st.ab.size()), abSortie.data(),
                                                static_cast<uint32_t>(abSortie.size()), &dw))
            << st.psz;
        abSortie.resize(dw);
        EXPECT_EQ(abSortie, st.abCode) << st.psz;
    }
}

TEST(TextCoder, RoundTrips) {
    std::vector<Octets> tabCas = {
        De("Bonjour, le monde."),
        De("Hello World!"),
        De("\x01\x02\x03 abc \x7F\x80\x81 XYZ"),
        De("#$&*+-/:;=@[\\]^_{|}~"),
        De("\xFE\xFF\xFE a\xFE\xFF"),
        De("prix: 100% (TTC) <ok> ?"),
        De("\xE0 \xE8\xE9\xEA \xA0\xB0\xE2\xE7\xEB\xEE\xEF\xF4\xF9\xFB"),
        De("aB1#xY2$zZ9@"),
        De("Tab\there\r\nLF\nEnd."),
        Octets(60, 0xFF),                        // not codable once set 3 is latched
        De("\xFF\xDF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF!"),
        Aleatoire(1000, 1, 255),
        Texte(3000),
    };
    for (auto& ab : tabCas)
        for (auto& by : ab)
            if (by == 0) by = 1;
    for (uint32_t i = 1; i < 256; i++) tabCas.push_back(Octets(i % 7 + 1, static_cast<uint8_t>(i)));
    for (const auto& ab : tabCas) {
        Octets abSource = SourceTexte(ab);
        Octets abBloc = Compresse(5, abSource);
        ASSERT_FALSE(abBloc.empty());
        for (uint8_t by : abBloc) ASSERT_NE(by, 0);
        abBloc.push_back(0);
        CCompresseur cl(5);
        cl.ChangeSource(abBloc.data(), static_cast<uint32_t>(abBloc.size()));
        uint32_t dwTaille = cl.dwTailleDecompression();
        Octets abSortie(dwTaille, 0xCC);
        cl.ChangeDestination(abSortie.data(), dwTaille);
        uint32_t dw = cl.dwDecompression(5);
        ASSERT_EQ(dw, ab.size());
        abSortie.resize(dw);
        EXPECT_EQ(abSortie, ab);
    }
}

TEST(TextCoder, RefusalsAndOverflow) {
    // A NUL cannot survive the coded form: refused rather than lost.
    Octets ab{'a', 0, 'b'};
    Octets abSortie(16);
    uint32_t dw = 0;
    EXPECT_FALSE(CDataCompressor::bCompresse(ab.data(), 3, abSortie.data(), 16, &dw));
    // Too small a destination.
    Octets abLong = Texte(100);
    EXPECT_FALSE(CDataCompressor::bCompresse(abLong.data(), 100, abSortie.data(), 16, &dw));
    // A source whose length field passes its bytes.
    Octets abFaux{50, 0, 0, 0, 'a'};
    EXPECT_TRUE(Compresse(5, abFaux).empty());
    // Output that does not fit: code 2 and the last byte of the room zeroed.
    Octets abCode = Compresse(5, SourceTexte(De("ABCDEFGHIJ")));
    abCode.push_back(0);
    Octets abPetit(5, 0xCC);
    EXPECT_EQ(CDataCompressor::nDecompresse(abCode.data(), static_cast<uint32_t>(abCode.size()), abPetit.data(), 4, &dw),
              2);
    EXPECT_EQ(abPetit[3], 0);
    EXPECT_EQ(abPetit[4], 0xCC);
    // Malformed forms: a value above 39, a raw run past the end.
    struct STCas {
        Octets ab;
    };
    const STCas tabFaux[] = {{{252, 1, 0}}, {{200, 0}}, {{static_cast<uint8_t>(12799 / 255 + 1), static_cast<uint8_t>(12799 % 255 + 1), 9, 'a'}}};
    for (const auto& st : tabFaux) {
        Octets abS(64, 0xCC);
        EXPECT_EQ(CDataCompressor::nDecompresse(st.ab.data(), static_cast<uint32_t>(st.ab.size()), abS.data(), 60, &dw),
                  3);
    }
}

// ---------------------------------------------------------------- buffer

TEST(CompresseurDansLeBuffer, PackedRegionIsOneBlock) {
    CQVBuffer cl(BUFFER_PACK_ZLW, 0, 100);
    EXPECT_EQ(cl.nGetErreur(), BUFFER_ERREUR_AUCUNE);
    cl << 1;
    cl << static_cast<char>(9);
    ASSERT_TRUE(cl.ChangeFirstCodedByte(5));
    for (int i = 0; i < 10; i++) cl << static_cast<char>('a' + i);
    EXPECT_EQ(cl.dwGetCodedSize(), 5u + 15u);
    const uint8_t* pby = cl.pbyGetCodedBuffer();
    EXPECT_EQ(pby[5], 0);
    EXPECT_EQ(pby[6], 10);
    EXPECT_EQ(cl.dwGetUncodedSize(), 15u);
    EXPECT_EQ(std::memcmp(cl.pbyGetUncodedBuffer() + 5, "abcdefghij", 10), 0);
}

TEST(CompresseurDansLeBuffer, RoundTripsForBothPackMethods) {
    struct STCas {
        eBUFFER_PACKMETHOD e;
        Octets ab;
    };
    Octets abTexte = Texte(5000);
    const STCas tabCas[] = {
        {BUFFER_PACK_ZLW, abTexte},
        {BUFFER_PACK_ZLW, Aleatoire(5000, 8, 256)},
        {BUFFER_PACK_ZLW, Octets(30, 0)},
        {BUFFER_PACK_QVC40, De("Chaine courte, 12 mots.")},
        {BUFFER_PACK_QVC40, abTexte},
    };
    for (const auto& st : tabCas) {
        CQVBuffer cl(st.e, 0, 100);
        cl << static_cast<uint32_t>(st.ab.size());
        cl.Set(st.ab.data(), static_cast<uint32_t>(st.ab.size()));
        uint32_t dwCode = cl.dwGetCodedSize();
        ASSERT_NE(dwCode, 0u);
        ASSERT_TRUE(cl.bEstCode());
        Octets abCode(cl.pbyGetCodedBuffer(), cl.pbyGetCodedBuffer() + dwCode);
        CQVBuffer clRelu;
        clRelu.Set(abCode.data(), dwCode);
        ASSERT_TRUE(clRelu.ChangePackMethod(st.e, true));
        ASSERT_TRUE(clRelu.bDecode()) << st.e;
        Octets abPlain(clRelu.pbyGetUncodedBuffer(), clRelu.pbyGetUncodedBuffer() + clRelu.dwGetUncodedSize());
        if (st.e == BUFFER_PACK_QVC40) {
            EXPECT_EQ(abPlain, st.ab);   // the text coder gives back the bytes alone
        } else {
            EXPECT_EQ(abPlain, SourceTexte(st.ab));
        }
    }
}

TEST(CompresseurDansLeBuffer, UnusableCodedContentStaysAsItCame) {
    CQVBuffer cl;
    Octets ab{9, 1, 0, 0, 0, 'z'};
    cl.Set(ab.data(), 6);
    EXPECT_TRUE(cl.ChangePackMethod(BUFFER_PACK_ZLW, true));
    EXPECT_FALSE(cl.bDecode());
    EXPECT_EQ(cl.nGetErreur(), BUFFER_ERREUR_COMPRESSION);
    EXPECT_EQ(Octets(cl.pbyGetCodedBuffer(), cl.pbyGetCodedBuffer() + cl.dwGetSizeDirect()), ab);
}

}  // namespace
