// The serialisation buffer: construction, growth, positions, bounds on short
// and hostile content, ownership, nesting, files, and the lazy coding rule
// (with stand-in pack and crypt objects).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "buffer_doubles.h"
#include "codec/buffer.h"

namespace {

using Octets = std::vector<uint8_t>;

Octets Direct(CQVBuffer& cl) {
    // Raw content as it is now, coded or not.
    const uint8_t* p = cl.pbyGetCurrentBuffer() - cl.dwGetPos();
    return Octets(p, p + cl.dwGetSizeDirect());
}

Octets Plain(CQVBuffer& cl) {
    const uint8_t* p = cl.pbyGetUncodedBuffer();
    return Octets(p, p + cl.dwGetSizeDirect());
}

void Ecrit(CQVBuffer& cl, const Octets& ab) { ASSERT_TRUE(cl.Set(ab.data(), static_cast<uint32_t>(ab.size()))); }

// ---------------------------------------------------------------- construction and sizes

TEST(BufferConstruction, Defaults) {
    CQVBuffer cl;
    EXPECT_EQ(cl.dwGetSizeDirect(), 0u);
    EXPECT_EQ(cl.dwGetPos(), 0u);
    EXPECT_EQ(cl.eGetPackMethod(), BUFFER_PACK_AUCUN);
    EXPECT_EQ(cl.eGetCryptMethod(), BUFFER_CRYPT_AUCUN);
    EXPECT_EQ(cl.dwGetFirstCodedByte(), 0u);
    EXPECT_EQ(cl.dwSizeof(), 80u);
    EXPECT_TRUE(cl.bEndOfBuffer());
    EXPECT_EQ(cl.nGetErreur(), BUFFER_ERREUR_AUCUNE);
}

TEST(BufferConstruction, InitialSizeIsUsedUntilClear) {
    CQVBuffer cl(1000);
    EXPECT_EQ(cl.dwGetSizeDirect(), 1000u);
    EXPECT_EQ(cl.dwSizeof(), 1080u);
    EXPECT_EQ(Plain(cl), Octets(1000, 0));
    cl.Clear();
    EXPECT_EQ(cl.dwGetSizeDirect(), 0u);
    EXPECT_EQ(cl.dwSizeof(), 1080u);   // the block stays for reuse
}

TEST(BufferConstruction, CompressorTypeOfEachPackMethod) {
    struct {
        uint32_t m;
        int nType;
    } cas[] = {{0, 4}, {1, 4}, {2, 5}, {3, -1}, {0xFFFFFFFFu, -1}};
    for (const auto& c : cas) EXPECT_EQ(g_eGetCompresseurType(c.m), c.nType) << c.m;
}

TEST(BufferSize, SetSizeRules) {
    CQVBuffer cl(static_cast<eBUFFER_PACKMETHOD>(0), 0, 10);
    ASSERT_TRUE(cl.SetSize(50));
    EXPECT_EQ(cl.dwGetSizeDirect(), 50u);
    EXPECT_EQ(Plain(cl), Octets(50, 0));   // grown content is zeros
    uint32_t dwAlloue = cl.dwSizeof() - 80;
    EXPECT_GE(dwAlloue, 50u);
    // Within the allocation, slack below the grow step: the block stays.
    ASSERT_TRUE(cl.SetSize(dwAlloue - 5));
    EXPECT_EQ(cl.dwSizeof() - 80, dwAlloue);
    // Slack of at least the grow step: trimmed to the size.
    ASSERT_TRUE(cl.SetSize(20));
    EXPECT_EQ(cl.dwSizeof(), 100u);
    // Size 0 empties.
    ASSERT_TRUE(cl.SetSize(0));
    EXPECT_EQ(cl.dwGetSizeDirect(), 0u);
    EXPECT_EQ(cl.dwSizeof(), 80u);
}

TEST(BufferSize, ShrinkBelowPositionRewinds) {
    CQVBuffer cl;
    cl << 1 << 2 << 3;
    ASSERT_EQ(cl.dwGetPos(), 12u);
    ASSERT_TRUE(cl.SetSize(6));
    EXPECT_EQ(cl.dwGetPos(), 0u);
}

TEST(BufferSize, GrowthKeepsContentAcrossManyReallocations) {
    CQVBuffer cl;
    for (uint32_t i = 0; i < 100000; i++) cl << i;
    ASSERT_EQ(cl.dwGetSizeDirect(), 400000u);
    EXPECT_LE(cl.dwSizeof() - 80, 400000u * 2);
    cl.Seek(0, BUFFER_SEEK_DEBUT);
    for (uint32_t i = 0; i < 100000; i++) {
        uint32_t v = 0;
        cl >> v;
        ASSERT_EQ(v, i);
    }
    EXPECT_FALSE(cl.bEchecLecture());
}

TEST(BufferSize, InitMemoirePreallocatesAndEmpties) {
    CQVBuffer cl(10);
    ASSERT_TRUE(cl.InitMemoire(4096, 1));
    EXPECT_EQ(cl.dwGetSizeDirect(), 0u);
    EXPECT_EQ(cl.dwSizeof(), 80u + 4096u);
    cl << 5;
    EXPECT_EQ(cl.dwSizeof(), 80u + 4096u);
}

// A block the allocator cannot give leaves the buffer as it was.
class CBufferSansMemoire : public CQVBuffer {
public:
    bool bRefuse = false;

protected:
    bool __vReallocBuffer(uint32_t dwTaille) override {
        if (bRefuse) return false;
        return CQVBuffer::__vReallocBuffer(dwTaille);
    }
};

TEST(BufferSize, FailedReallocationKeepsTheOldBlock) {
    CBufferSansMemoire cl;
    cl << 1 << 2;
    cl.bRefuse = true;
    uint32_t dwAlloue = cl.dwSizeof();
    Octets abAvant = Plain(cl);
    EXPECT_FALSE(cl.SetSize(1u << 20));
    EXPECT_FALSE(cl.Set(Octets(1000, 7).data(), 1000));
    EXPECT_EQ(cl.dwGetSizeDirect(), 8u);
    EXPECT_EQ(cl.dwSizeof(), dwAlloue);
    EXPECT_EQ(Plain(cl), abAvant);
    cl.bRefuse = false;
    cl.Seek(0, BUFFER_SEEK_FIN);
    cl << 3;
    EXPECT_EQ(cl.dwGetSizeDirect(), 12u);
}

TEST(BufferSize, SizesBeyond32BitsAreRefused) {
    CQVBuffer cl;
    cl << 1;
    EXPECT_FALSE(cl.Seek(0x100000000LL, BUFFER_SEEK_DEBUT));
    EXPECT_EQ(cl.dwGetSizeDirect(), 4u);
    cl.Seek(0, BUFFER_SEEK_FIN);
    uint8_t by = 0;
    EXPECT_FALSE(cl.Set(&by, 0xFFFFFFFFu));
    EXPECT_EQ(cl.dwGetSizeDirect(), 4u);
}

// ---------------------------------------------------------------- positions

TEST(BufferSeek, FromEachOrigin) {
    struct {
        long long o;
        eBUFFER_SEEK e;
        bool bOk;
        uint32_t dwPos;
        uint32_t dwTaille;
    } cas[] = {
        {3, BUFFER_SEEK_DEBUT, true, 3, 8},   {-2, BUFFER_SEEK_COURANT, true, 2, 8},
        {-1, BUFFER_SEEK_FIN, true, 7, 8},    {10, BUFFER_SEEK_DEBUT, true, 10, 10},
        {2, BUFFER_SEEK_FIN, true, 10, 10},   {-5, BUFFER_SEEK_DEBUT, false, 4, 8},
        {-9, BUFFER_SEEK_FIN, false, 4, 8},   {0, BUFFER_SEEK_FIN, true, 8, 8},
    };
    for (const auto& c : cas) {
        CQVBuffer cl;
        cl << 1 << 2;
        cl.Seek(4, BUFFER_SEEK_DEBUT);
        EXPECT_EQ(cl.Seek(c.o, c.e), c.bOk) << c.o << " " << c.e;
        EXPECT_EQ(cl.dwGetPos(), c.dwPos) << c.o << " " << c.e;
        EXPECT_EQ(cl.dwGetSizeDirect(), c.dwTaille) << c.o << " " << c.e;
    }
}

TEST(BufferSeek, SeekOnEmptyBufferEnlargesButNoResizeClamps) {
    CQVBuffer cl;
    EXPECT_TRUE(cl.SeekNoResize(10, BUFFER_SEEK_DEBUT));
    EXPECT_EQ(cl.dwGetPos(), 0u);
    EXPECT_EQ(cl.dwGetSizeDirect(), 0u);
    EXPECT_TRUE(cl.Seek(10, BUFFER_SEEK_DEBUT));
    EXPECT_EQ(cl.dwGetPos(), 10u);
    EXPECT_EQ(cl.dwGetSizeDirect(), 10u);
    EXPECT_EQ(Plain(cl), Octets(10, 0));
    cl.SeekNoResize(-100, BUFFER_SEEK_COURANT);
    EXPECT_EQ(cl.dwGetPos(), 0u);
}

TEST(BufferSeek, EndOfBuffer) {
    CQVBuffer cl;
    cl << 1;
    cl.Seek(1, BUFFER_SEEK_DEBUT);
    EXPECT_FALSE(cl.bEndOfBuffer());
    EXPECT_FALSE(cl.bEndOfBuffer(3));
    EXPECT_TRUE(cl.bEndOfBuffer(4));
    EXPECT_TRUE(cl.bEndOfBuffer(0xFFFFFFFFu));
    cl.Seek(0, BUFFER_SEEK_FIN);
    EXPECT_TRUE(cl.bEndOfBuffer());
}

TEST(BufferWrite, OverwriteInsideKeepsSize) {
    CQVBuffer cl;
    cl << 0x11111111 << 0x22222222;
    cl.Seek(2, BUFFER_SEEK_DEBUT);
    cl << static_cast<short>(0x3344);
    EXPECT_EQ(cl.dwGetSizeDirect(), 8u);
    EXPECT_EQ(Plain(cl), (Octets{0x11, 0x11, 0x44, 0x33, 0x22, 0x22, 0x22, 0x22}));
    // Straddling the end grows by the part past it.
    cl.Seek(6, BUFFER_SEEK_DEBUT);
    cl << 0x55555555;
    EXPECT_EQ(cl.dwGetSizeDirect(), 10u);
}

TEST(BufferWrite, MoveDataOverlapsAndGrows) {
    CQVBuffer cl;
    Ecrit(cl, {1, 2, 3, 4, 5, 6});
    EXPECT_TRUE(cl.MoveData(2, 0, 4));
    EXPECT_EQ(Plain(cl), (Octets{1, 2, 1, 2, 3, 4}));
    EXPECT_EQ(cl.dwGetPos(), 0u);
    EXPECT_TRUE(cl.MoveData(0, 3, 3));
    EXPECT_EQ(Plain(cl), (Octets{2, 3, 4, 2, 3, 4}));
    EXPECT_TRUE(cl.MoveData(5, 0, 3));
    EXPECT_EQ(Plain(cl), (Octets{2, 3, 4, 2, 3, 2, 3, 4}));
    EXPECT_TRUE(cl.MoveData(100, 0, 0));
    EXPECT_EQ(cl.dwGetSizeDirect(), 8u);
}

TEST(BufferWrite, CopyFromAnotherBuffer) {
    CQVBuffer clSource;
    Ecrit(clSource, {1, 2, 3, 4, 5});
    clSource.Seek(1, BUFFER_SEEK_DEBUT);
    CQVBuffer cl;
    EXPECT_EQ(cl.Set(clSource, 3), 3u);
    EXPECT_EQ(Plain(cl), (Octets{2, 3, 4}));
    EXPECT_EQ(clSource.dwGetPos(), 4u);
    EXPECT_EQ(cl.dwGetPos(), 3u);
}

// ---------------------------------------------------------------- bounds

// Every kind of value read from content one byte too short.
TEST(BufferBounds, ShortReadOfEachKindCopiesNothing) {
    struct {
        const char* psz;
        uint32_t dwTaille;
        std::function<bool(CQVBuffer&)> bLit;   // true when the target kept its value
    } cas[] = {
        {"short", 2, [](CQVBuffer& cl) { short v = 99; cl >> v; return v == 99; }},
        {"int", 4, [](CQVBuffer& cl) { int v = 99; cl >> v; return v == 99; }},
        {"long", 4, [](CQVBuffer& cl) { long v = 99; cl >> v; return v == 99; }},
        {"unsigned long", 4, [](CQVBuffer& cl) { unsigned long v = 99; cl >> v; return v == 99; }},
        {"float", 4, [](CQVBuffer& cl) { float v = 9.f; cl >> v; return v == 9.f; }},
        {"double", 8, [](CQVBuffer& cl) { double v = 9; cl >> v; return v == 9; }},
        {"long long", 8, [](CQVBuffer& cl) { long long v = 99; cl >> v; return v == 99; }},
        {"rect", 16, [](CQVBuffer& cl) { tagRECT v{9, 9, 9, 9}; cl >> v; return v.left == 9 && v.bottom == 9; }},
        {"Get", 6, [](CQVBuffer& cl) { uint8_t ab[6] = {9, 9, 9, 9, 9, 9}; return !cl.Get(ab, 6) && ab[0] == 9; }},
    };
    for (const auto& c : cas) {
        for (uint32_t dwPresent = 0; dwPresent < c.dwTaille; dwPresent++) {
            CQVBuffer cl;
            Ecrit(cl, Octets(dwPresent + 1, 0xAB));
            cl.Seek(1, BUFFER_SEEK_DEBUT);
            EXPECT_TRUE(c.bLit(cl)) << c.psz << " with " << dwPresent;
            EXPECT_EQ(cl.dwGetPos(), 1u) << c.psz;
            EXPECT_TRUE(cl.bEchecLecture()) << c.psz;
            EXPECT_EQ(cl.dwGetSizeDirect(), dwPresent + 1) << c.psz;
        }
    }
}

TEST(BufferBounds, CharacterReadAtEnd) {
    CQVBuffer cl;
    EXPECT_EQ(cl.czGetXCHAR(), 0);
    EXPECT_TRUE(cl.bEchecLecture());
    cl.EffaceEchecLecture();
    EXPECT_FALSE(cl.bEchecLecture());
}

TEST(BufferBounds, PartialReadCopiesWhatIsLeft) {
    CQVBuffer cl;
    Ecrit(cl, {1, 2, 3});
    cl.Seek(1, BUFFER_SEEK_DEBUT);
    uint8_t ab[8] = {};
    EXPECT_EQ(cl.dwGet(ab, 8), 2u);
    EXPECT_EQ(ab[0], 2);
    EXPECT_EQ(ab[1], 3);
    EXPECT_EQ(ab[2], 0);
    EXPECT_TRUE(cl.bEndOfBuffer());
    EXPECT_EQ(cl.dwGet(ab, 8), 0u);
}

TEST(BufferBounds, TextWithoutEndInsideTheContent) {
    CQVBuffer cl;
    Ecrit(cl, {'a', 'b', 0, 'c', 'd'});
    cl.Seek(0, BUFFER_SEEK_DEBUT);
    EXPECT_STREQ(cl.pszGetString(), "ab");
    EXPECT_EQ(cl.dwGetPos(), 3u);
    // "cd" runs to the end of the used size: nothing is read, even though
    // the allocation behind it may hold a zero.
    EXPECT_EQ(cl.pszGetString(), nullptr);
    EXPECT_EQ(cl.dwGetPos(), 3u);
    CTString s("keep");
    EXPECT_FALSE(cl.bGetString(s));
    cl >> s;
    EXPECT_TRUE(s.bEstEgal("keep"));
    EXPECT_TRUE(cl.bEchecLecture());
    // At the very end there is nothing to read either.
    cl.Seek(0, BUFFER_SEEK_FIN);
    EXPECT_EQ(cl.pszGetString(), nullptr);
}

TEST(BufferBounds, TextEndingOnTheLastByte) {
    CQVBuffer cl;
    Ecrit(cl, {'x', 0});
    cl.Seek(0, BUFFER_SEEK_DEBUT);
    EXPECT_STREQ(cl.pszGetString(), "x");
    EXPECT_TRUE(cl.bEndOfBuffer());
    EXPECT_FALSE(cl.bEchecLecture());
}

TEST(BufferBounds, TextScanStopsAtUsedSizeAfterShrink) {
    CQVBuffer cl;
    Ecrit(cl, {'a', 'b', 'c', 0});
    cl.SetSize(3);   // the zero is still in the block, no longer in the content
    cl.Seek(0, BUFFER_SEEK_DEBUT);
    EXPECT_EQ(cl.pszGetString(), nullptr);
}

TEST(BufferBounds, CopyFromShortSourceCopiesNothing) {
    CQVBuffer clSource;
    Ecrit(clSource, {1, 2, 3});
    clSource.Seek(1, BUFFER_SEEK_DEBUT);
    CQVBuffer cl;
    EXPECT_EQ(cl.Set(clSource, 3), 0u);
    EXPECT_EQ(cl.dwGetSizeDirect(), 0u);
    EXPECT_EQ(clSource.dwGetPos(), 1u);
    EXPECT_TRUE(clSource.bEchecLecture());
}

TEST(BufferBounds, MoveDataFromPastTheEndIsRefused) {
    CQVBuffer cl;
    Ecrit(cl, {1, 2, 3, 4});
    EXPECT_FALSE(cl.MoveData(0, 2, 3));
    EXPECT_FALSE(cl.MoveData(0, 0xFFFFFFFFu, 2));
    EXPECT_FALSE(cl.MoveData(0xFFFFFFFFu, 0, 2));
    EXPECT_EQ(Plain(cl), (Octets{1, 2, 3, 4}));
}

TEST(BufferBounds, SlotsOutsideTheContentAreRefused) {
    CQVBuffer cl;
    Ecrit(cl, {0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(cl.SetNombreElement(3, 1));
    EXPECT_FALSE(cl.SetNombreElement(0xFFFFFFFEu, 1));
    EXPECT_TRUE(cl.SetNombreElement(2, 0x01020304));
    EXPECT_EQ(Plain(cl), (Octets{0, 0, 4, 3, 2, 1}));
    cl.Seek(3, BUFFER_SEEK_DEBUT);
    EXPECT_FALSE(cl.SetTaillePartie(0));   // the slot is not behind the position
    EXPECT_FALSE(cl.SetTaillePartie(0xFFFFFFFFu));
}

// ---------------------------------------------------------------- nesting

TEST(BufferNesting, RoundTrip) {
    CQVBuffer clInterne;
    clInterne << CTString("inner") << 42 << 2.5;
    CQVBuffer clExterne;
    clExterne << 7;
    ASSERT_TRUE(g_SerialiseBuffer(clInterne, clExterne));
    clExterne << 8;
    clExterne.Seek(0, BUFFER_SEEK_DEBUT);
    int n = 0;
    clExterne >> n;
    EXPECT_EQ(n, 7);
    CQVBuffer clRelu;
    clRelu << 123;   // emptied first
    ASSERT_TRUE(clExterne.DeserialiseBuffer(clRelu));
    EXPECT_EQ(Plain(clRelu), Plain(clInterne));
    EXPECT_EQ(clRelu.dwGetPos(), 0u);
    CTString s;
    double d = 0;
    clRelu >> s >> n >> d;
    EXPECT_TRUE(s.bEstEgal("inner"));
    EXPECT_EQ(n, 42);
    EXPECT_EQ(d, 2.5);
    clExterne >> n;
    EXPECT_EQ(n, 8);
}

TEST(BufferNesting, EmptyInnerBuffer) {
    CQVBuffer clInterne;
    CQVBuffer clExterne;
    ASSERT_TRUE(g_SerialiseBuffer(clInterne, clExterne));
    EXPECT_EQ(Plain(clExterne), Octets(4, 0));
    clExterne.Seek(0, BUFFER_SEEK_DEBUT);
    CQVBuffer clRelu;
    EXPECT_TRUE(g_DeserialiseBuffer(clExterne, clRelu));
    EXPECT_EQ(clRelu.dwGetSizeDirect(), 0u);
}

TEST(BufferNesting, HostileCountsAreCheckedAgainstWhatIsLeft) {
    struct {
        const char* psz;
        Octets ab;
    } cas[] = {
        {"count past the end", {5, 0, 0, 0, 1, 2, 3, 4}},
        {"huge count", {0xFF, 0xFF, 0xFF, 0xFF, 1}},
        {"count itself cut", {1, 0, 0}},
        {"nothing", {}},
    };
    for (const auto& c : cas) {
        CQVBuffer clSource;
        clSource.Set(c.ab.data(), static_cast<uint32_t>(c.ab.size()));
        clSource.Seek(0, BUFFER_SEEK_DEBUT);
        CQVBuffer clRelu;
        clRelu << 1;
        EXPECT_FALSE(g_DeserialiseBuffer(clSource, clRelu)) << c.psz;
        EXPECT_EQ(clRelu.dwGetSizeDirect(), 0u) << c.psz;
        EXPECT_EQ(clSource.dwGetPos(), 0u) << c.psz;
    }
}

// ---------------------------------------------------------------- copies and ownership

TEST(BufferCopies, CopyConstructorAssignmentAndGetAll) {
    CQVBuffer clSource(static_cast<eBUFFER_PACKMETHOD>(0), 0, 7);
    clSource << CTString("copy") << 3;
    clSource.Seek(2, BUFFER_SEEK_DEBUT);
    CQVBuffer clCopie(clSource);
    EXPECT_EQ(Plain(clCopie), Plain(clSource));
    EXPECT_EQ(clCopie.dwGetPos(), 0u);
    EXPECT_EQ(clSource.dwGetPos(), 0u);
    CQVBuffer clAutre;
    clAutre << 1.5;
    clAutre = clSource;
    EXPECT_EQ(Plain(clAutre), Plain(clSource));
    CQVBuffer& clMeme = clAutre;
    clAutre = clMeme;
    EXPECT_EQ(Plain(clAutre), Plain(clSource));
    CQVBuffer clCible;
    clCible << 99 << 98;
    ASSERT_TRUE(clSource.GetAll(clCible));
    EXPECT_EQ(Plain(clCible), Plain(clSource));
    ASSERT_TRUE(clCible.SetAll(clCible));
    EXPECT_EQ(Plain(clCible), Plain(clSource));
}

TEST(BufferCopies, TransfertMovesEverything) {
    CQVBuffer clSource;
    clSource << 1 << 2;
    clSource.ChangeFirstCodedByte(4);
    CQVBuffer cl;
    cl << 3.0;
    cl.Transfert(clSource);
    EXPECT_EQ(Plain(cl), (Octets{1, 0, 0, 0, 2, 0, 0, 0}));
    EXPECT_EQ(cl.dwGetPos(), 8u);
    EXPECT_EQ(cl.dwGetFirstCodedByte(), 4u);
    EXPECT_EQ(clSource.dwGetSizeDirect(), 0u);
    EXPECT_EQ(clSource.dwSizeof(), 80u);
    clSource << 5;   // still usable
    EXPECT_EQ(Plain(clSource), (Octets{5, 0, 0, 0}));
    cl.Transfert(cl);
    EXPECT_EQ(cl.dwGetSizeDirect(), 8u);
}

TEST(BufferCopies, OwnershipBothWays) {
    CQVBuffer cl;
    for (int i = 0; i < 50; i++) cl << i;
    void* p = nullptr;
    uint32_t dw = 0;
    ASSERT_TRUE(cl.GetOwnershipMemory(&p, &dw));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(dw, 200u);
    EXPECT_EQ(static_cast<int*>(p)[49], 49);
    EXPECT_EQ(cl.dwGetSizeDirect(), 0u);
    cl << 7;   // usable again
    EXPECT_EQ(cl.dwGetSizeDirect(), 4u);
    cl.GiveOwnershipMemory(p, dw);
    EXPECT_EQ(cl.dwGetSizeDirect(), 200u);
    EXPECT_EQ(cl.dwGetPos(), 0u);
    int n = -1;
    cl.Seek(196, BUFFER_SEEK_DEBUT);
    cl >> n;
    EXPECT_EQ(n, 49);
    cl << 50;   // the adopted block grows like any other
    EXPECT_EQ(cl.dwGetSizeDirect(), 204u);
}

TEST(BufferCopies, ClearKeepsMethodsClearAllDropsThem) {
    CBufferDoublure cl(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_ZLW, 2);
    cl << 1 << 2;
    cl.dwGetCodedSize();
    ASSERT_TRUE(cl.bEstCode());
    cl.Clear();
    EXPECT_FALSE(cl.bEstCode());
    EXPECT_EQ(cl.dwGetSizeDirect(), 0u);
    EXPECT_EQ(cl.eGetPackMethod(), BUFFER_PACK_ZLW);
    EXPECT_EQ(cl.eGetCryptMethod(), BUFFER_CRYPT_HOMEMADE);
    EXPECT_EQ(cl.dwGetFirstCodedByte(), 2u);
    cl.ClearAll();
    EXPECT_EQ(cl.eGetPackMethod(), BUFFER_PACK_AUCUN);
    EXPECT_EQ(cl.eGetCryptMethod(), BUFFER_CRYPT_AUCUN);
}

TEST(BufferCopies, FootprintCountsSideBufferAndObjects) {
    CBufferDoublure cl(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_ZLW, 0);
    ASSERT_TRUE(cl.InitMemoire(1000, 100));
    EXPECT_EQ(cl.dwSizeof(), 80u + 2 * 1000u + 28u + 24u);
    cl.SetCryptMethod(BUFFER_CRYPT_AUCUN);
    EXPECT_EQ(cl.dwSizeof(), 80u + 2 * 1000u + 28u);
    cl.ClearAll();
    EXPECT_EQ(cl.dwSizeof(), 80u + 1000u);
}

// ---------------------------------------------------------------- coding with stand-ins

TEST(BufferCoding, PackedSizeIsPrefixPlusStoredBlock) {
    CBufferDoublure cl(BUFFER_CRYPT_AUCUN, BUFFER_PACK_ZLW, 3);
    Ecrit(cl, {'p', 'r', 'e', 0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(cl.dwGetCodedSize(), 3u + 15u);
    EXPECT_EQ(cl.dwGetPos(), 0u);
    EXPECT_TRUE(cl.bEstCode());
    EXPECT_TRUE(cl.bEstPacke());
    EXPECT_EQ(Direct(cl), (Octets{'p', 'r', 'e', 0, 10, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(cl.dwGetUncodedSize(), 13u);
    EXPECT_FALSE(cl.bEstCode());
    EXPECT_EQ(Direct(cl), (Octets{'p', 'r', 'e', 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(cl.st.byDernierType, 4);
}

TEST(BufferCoding, WritesIntoThePrefixDoNotUncodeReadsPastItDo) {
    CBufferDoublure cl(BUFFER_CRYPT_AUCUN, BUFFER_PACK_ZLW, 5);
    Ecrit(cl, {0, 0, 0, 0, 0, 10, 11, 12, 13});
    cl.pbyGetCodedBuffer();
    ASSERT_TRUE(cl.bEstCode());
    cl.Seek(0, BUFFER_SEEK_DEBUT);
    Ecrit(cl, {1, 2, 3, 4, 5});
    EXPECT_TRUE(cl.bEstCode());
    EXPECT_EQ(cl.st.nDecompressions, 0);
    cl.Seek(0, BUFFER_SEEK_DEBUT);
    uint8_t ab[5];
    ASSERT_TRUE(cl.Get(ab, 5));
    EXPECT_TRUE(cl.bEstCode());
    uint8_t by = 0;
    cl >> by;   // the sixth byte
    EXPECT_FALSE(cl.bEstCode());
    EXPECT_EQ(by, 10);
    EXPECT_EQ(cl.st.nDecompressions, 1);
    EXPECT_EQ(Direct(cl), (Octets{1, 2, 3, 4, 5, 10, 11, 12, 13}));
}

TEST(BufferCoding, PackThenCryptAndBackInReverse) {
    CBufferDoublure cl(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_ZLW, 2);
    Octets abPlain{9, 8, 7, 6, 5, 4, 3};
    Ecrit(cl, abPlain);
    uint32_t dw = cl.dwGetCodedSize();
    EXPECT_EQ(dw, 2u + 5u + 5u);
    Octets abCode = Direct(cl);
    // The prefix is plain; the block behind it is encrypted.
    EXPECT_EQ(abCode[0], 9);
    EXPECT_EQ(abCode[1], 8);
    EXPECT_TRUE(cl.bEstCrypte());
    EXPECT_EQ(cl.st.nCompressions, 1);
    EXPECT_EQ(cl.st.nCryptages, 1);
    // Undoing the cipher by hand gives the stored block.
    Octets abBloc(abCode.begin() + 2, abCode.end());
    cl.pclCrypt()->Uncrypt(abBloc.data(), static_cast<unsigned>(abBloc.size()),
                           reinterpret_cast<const unsigned char (*)[16]>(cl.pGetCryptKey()));
    EXPECT_EQ(abBloc, (Octets{0, 5, 0, 0, 0, 7, 6, 5, 4, 3}));
    EXPECT_EQ(Plain(cl), abPlain);
    EXPECT_EQ(cl.st.nDecryptages, 2);   // one by hand, one by the buffer
}

TEST(BufferCoding, CodedBytesSurviveAFileAndComeBack) {
    CBufferDoublure cl(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_ZLW, 0);
    cl.SetPassword("secret");
    cl << CTString("hello") << 12345 << 6.25;
    Octets abPlain = Plain(cl);
    CFluxMemoire clFichier;
    unsigned int dwEcrit = 0;
    ASSERT_TRUE(cl.bToFile(&clFichier, &dwEcrit));
    EXPECT_EQ(dwEcrit, abPlain.size() + 5);
    EXPECT_EQ(clFichier.m_ab.size(), abPlain.size() + 5);

    CBufferDoublure clRelu(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_ZLW, 0);
    clRelu.SetPassword("secret");
    clFichier.m_oPosition = 0;
    unsigned int dwLu = 0;
    ASSERT_TRUE(clRelu.bSetAllFromFile(&clFichier, static_cast<uint32_t>(clFichier.m_ab.size()), &dwLu));
    EXPECT_EQ(dwLu, clFichier.m_ab.size());
    EXPECT_TRUE(clRelu.bEstCode());
    CTString s;
    int n = 0;
    double d = 0;
    clRelu >> s >> n >> d;
    EXPECT_TRUE(s.bEstEgal("hello"));
    EXPECT_EQ(n, 12345);
    EXPECT_EQ(d, 6.25);

    // A wrong key does not give the content back.
    CBufferDoublure clFaux(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_ZLW, 0);
    clFaux.SetPassword("other");
    ASSERT_TRUE(clFaux.bSetAllFromFile(&clFichier, 0LL, static_cast<uint32_t>(clFichier.m_ab.size()), &dwLu));
    EXPECT_FALSE(clFaux.bDecode());
    EXPECT_TRUE(clFaux.bEstCode());
    EXPECT_EQ(clFaux.nGetErreur(), BUFFER_ERREUR_COMPRESSION);
    // ...and the coded bytes it holds are still those of the file.
    EXPECT_EQ(Direct(clFaux), clFichier.m_ab);
}

TEST(BufferCoding, WriteAtAnOffsetOfTheFile) {
    CQVBuffer cl;
    Ecrit(cl, {1, 2, 3});
    CFluxMemoire clFichier;
    clFichier.m_ab = {9, 9, 9, 9, 9, 9};
    unsigned int dw = 0;
    ASSERT_TRUE(cl.bToFile(&clFichier, 2LL, &dw));
    EXPECT_EQ(clFichier.m_ab, (Octets{9, 9, 1, 2, 3, 9}));
    clFichier.bEchoue = true;
    EXPECT_FALSE(cl.bToFile(&clFichier, &dw));
    EXPECT_EQ(dw, 0u);
}

TEST(BufferCoding, AppendingCodedBytesFromAFile) {
    CBufferDoublure clSource(BUFFER_CRYPT_AUCUN, BUFFER_PACK_ZLW, 4);
    clSource << 77 << 1 << 2 << 3;
    CFluxMemoire clFichier;
    unsigned int dw = 0;
    ASSERT_TRUE(clSource.bToFile(&clFichier, &dw));

    // Prefix written plain, then the coded part appended straight from the file.
    CBufferDoublure cl(BUFFER_CRYPT_AUCUN, BUFFER_PACK_ZLW, 4);
    cl << 77;
    ASSERT_TRUE(cl.bSetFromFile(&clFichier, 4LL, static_cast<uint32_t>(clFichier.m_ab.size() - 4), &dw));
    EXPECT_EQ(dw, clFichier.m_ab.size() - 4);
    EXPECT_TRUE(cl.bEstCode());
    EXPECT_EQ(Plain(cl), Plain(clSource));

    // A read that delivers less than asked only keeps what arrived.
    CBufferDoublure clCourt(BUFFER_CRYPT_AUCUN, BUFFER_PACK_AUCUN, 0);
    Ecrit(clCourt, {5, 5});
    clFichier.m_oPosition = static_cast<long long>(clFichier.m_ab.size()) - 3;
    ASSERT_TRUE(clCourt.bSetFromFile(&clFichier, 10, &dw));
    EXPECT_EQ(dw, 3u);
    EXPECT_EQ(clCourt.dwGetSizeDirect(), 5u);
    EXPECT_EQ(clCourt.dwGetPos(), 5u);
}

TEST(BufferCoding, ShortFileRead) {
    CFluxMemoire clFichier;
    clFichier.m_ab = {1, 2, 3};
    CQVBuffer cl;
    unsigned int dw = 0;
    ASSERT_TRUE(cl.bSetAllFromFile(&clFichier, 100, &dw));
    EXPECT_EQ(dw, 3u);
    EXPECT_EQ(cl.dwGetSizeDirect(), 3u);
    EXPECT_EQ(Plain(cl), (Octets{1, 2, 3}));
    clFichier.bEchoue = true;
    EXPECT_FALSE(cl.bSetAllFromFile(&clFichier, 8, &dw));
    EXPECT_EQ(cl.dwGetSizeDirect(), 8u);
    EXPECT_EQ(Plain(cl), Octets(8, 0));
}

TEST(BufferCoding, SetCodedDataCodesThePlainPartFirst) {
    CBufferDoublure cl(BUFFER_CRYPT_AUCUN, BUFFER_PACK_ZLW, 0);
    Octets abBloc{0, 3, 0, 0, 0, 'a', 'b', 'c'};
    ASSERT_TRUE(cl.SetCodedData(abBloc.data(), static_cast<uint32_t>(abBloc.size())));
    EXPECT_TRUE(cl.bEstCode());
    // The empty plain content coded to nothing; the block is the content.
    EXPECT_EQ(Plain(cl), (Octets{'a', 'b', 'c'}));
}

TEST(BufferCoding, SetCodedSizeDeclaresTheContentCoded) {
    CBufferDoublure cl(BUFFER_CRYPT_AUCUN, BUFFER_PACK_QVC40, 0);
    ASSERT_TRUE(cl.SetCodedSize(7));
    EXPECT_TRUE(cl.bEstCode());
    EXPECT_TRUE(cl.bEstPacke());
    EXPECT_FALSE(cl.bEstCrypte());
    Octets ab{0, 2, 0, 0, 0, 'o', 'k'};
    std::memcpy(cl.pbyGetCurrentBuffer(), ab.data(), ab.size());
    EXPECT_EQ(Plain(cl), (Octets{'o', 'k'}));
    EXPECT_EQ(cl.st.byDernierType, 5);
    ASSERT_TRUE(cl.SetCodedSize(0));
    EXPECT_EQ(cl.dwGetSizeDirect(), 0u);
}

TEST(BufferCoding, ChangeOperationsOnlyRelabel) {
    CBufferDoublure clSource(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_ZLW, 0);
    clSource.SetPassword("pw");
    clSource << 314159;
    Octets abCode(clSource.pbyGetCodedBuffer(), clSource.pbyGetCodedBuffer() + clSource.dwGetSizeDirect());

    CBufferDoublure cl(BUFFER_CRYPT_AUCUN, BUFFER_PACK_AUCUN, 0);
    Ecrit(cl, abCode);
    ASSERT_TRUE(cl.ChangePackMethod(BUFFER_PACK_ZLW, true));
    ASSERT_TRUE(cl.ChangeCryptMethod(BUFFER_CRYPT_HOMEMADE, true));
    ASSERT_TRUE(cl.ChangePassword("pw"));
    EXPECT_EQ(Direct(cl), abCode);   // untouched so far
    cl.Seek(0, BUFFER_SEEK_DEBUT);
    int n = 0;
    cl >> n;
    EXPECT_EQ(n, 314159);
}

TEST(BufferCoding, ChangeCryptKeyRelabelsSetCryptKeyUncodesOnlyWhenDifferent) {
    CBufferDoublure cl(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_AUCUN, 0);
    unsigned char abyCle[16];
    std::memcpy(abyCle, cl.pGetCryptKey(), 16);
    cl << 5;
    cl.pbyGetCodedBuffer();
    ASSERT_TRUE(cl.bEstCode());
    EXPECT_TRUE(cl.SetCryptKey(&abyCle));   // the key in use: nothing happens
    EXPECT_TRUE(cl.bEstCode());
    abyCle[0] ^= 1;
    EXPECT_TRUE(cl.SetCryptKey(&abyCle));
    EXPECT_FALSE(cl.bEstCode());
    EXPECT_EQ(Plain(cl), (Octets{5, 0, 0, 0}));
    EXPECT_EQ(std::memcmp(cl.pGetCryptKey(), abyCle, 16), 0);
    abyCle[1] ^= 1;
    cl.pbyGetCodedBuffer();
    EXPECT_TRUE(cl.ChangeCryptKey(&abyCle));
    EXPECT_TRUE(cl.bEstCode());
}

TEST(BufferCoding, DefaultKeyComesFromThePassPhrase) {
    CBufferDoublure cl(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_AUCUN, 0);
    unsigned char abyAttendu[16];
    CCryptDecalage clCrypt(&cl.st);
    clCrypt.BuildCryptKey(&abyAttendu, "Archive index rebuild finished at once.");
    EXPECT_EQ(std::memcmp(cl.pGetCryptKey(), abyAttendu, 16), 0);
    cl.SetPassword("x");
    clCrypt.BuildCryptKey(&abyAttendu, "x");
    EXPECT_EQ(std::memcmp(cl.pGetCryptKey(), abyAttendu, 16), 0);
}

TEST(BufferCoding, SetOperationsUncodeFirst) {
    struct {
        const char* psz;
        std::function<bool(CBufferDoublure&)> Change;
    } cas[] = {
        {"pack method", [](CBufferDoublure& cl) { return cl.SetPackMethod(BUFFER_PACK_QVC40); }},
        {"crypt method", [](CBufferDoublure& cl) { return cl.SetCryptMethod(BUFFER_CRYPT_AUCUN); }},
        {"password", [](CBufferDoublure& cl) { return cl.SetPassword("new"); }},
        {"first coded byte", [](CBufferDoublure& cl) { return cl.ChangeFirstCodedByte(1); }},
    };
    for (const auto& c : cas) {
        CBufferDoublure cl(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_ZLW, 0);
        cl << 1 << 2 << 3;
        Octets abPlain = Plain(cl);
        cl.dwGetCodedSize();
        ASSERT_TRUE(cl.bEstCode());
        EXPECT_TRUE(c.Change(cl)) << c.psz;
        EXPECT_FALSE(cl.bEstCode()) << c.psz;
        EXPECT_EQ(Direct(cl), abPlain) << c.psz;
    }
}

TEST(BufferCoding, ForceCodeMakesCodedBytesPlainContent) {
    CBufferDoublure cl(BUFFER_CRYPT_AUCUN, BUFFER_PACK_ZLW, 1);
    Ecrit(cl, {7, 1, 2});
    ASSERT_TRUE(cl.ForceCode());
    EXPECT_FALSE(cl.bEstCode());
    EXPECT_EQ(cl.eGetPackMethod(), BUFFER_PACK_AUCUN);
    EXPECT_EQ(cl.dwGetFirstCodedByte(), 0u);
    EXPECT_EQ(Plain(cl), (Octets{7, 0, 2, 0, 0, 0, 1, 2}));
    EXPECT_EQ(cl.st.nDecompressions, 0);
    // No side buffer and no pack object are left.
    ASSERT_TRUE(cl.SetSize(0));
    EXPECT_EQ(cl.dwSizeof(), 80u);
}

TEST(BufferCoding, TextReadInsideThePrefixOfACodedBuffer) {
    CBufferDoublure cl(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_ZLW, 3);
    cl << "ab" << "cd";
    cl.dwGetCodedSize();
    EXPECT_STREQ(cl.pszGetString(), "ab");
    EXPECT_TRUE(cl.bEstCode());
    EXPECT_STREQ(cl.pszGetString(), "cd");
    EXPECT_FALSE(cl.bEstCode());
}

TEST(BufferCoding, CopiesAndNestingUncodeTheSource) {
    CBufferDoublure cl(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_ZLW, 0);
    cl << 11 << 22;
    cl.dwGetCodedSize();
    CQVBuffer clCopie;
    ASSERT_TRUE(clCopie.SetAll(cl));
    EXPECT_EQ(Plain(clCopie), (Octets{11, 0, 0, 0, 22, 0, 0, 0}));
    cl.dwGetCodedSize();
    CQVBuffer clExterne;
    ASSERT_TRUE(g_SerialiseBuffer(cl, clExterne));
    EXPECT_EQ(Plain(clExterne), (Octets{8, 0, 0, 0, 11, 0, 0, 0, 22, 0, 0, 0}));
    cl.dwGetCodedSize();
    void* p = nullptr;
    uint32_t dw = 0;
    ASSERT_TRUE(cl.GetOwnershipMemory(&p, &dw));
    EXPECT_EQ(dw, 8u);
    EXPECT_EQ(static_cast<int*>(p)[1], 22);
    std::free(p);
}

TEST(BufferCoding, UncodingBelowThePositionRewindsBeforeTheRead) {
    CBufferDoublure cl(BUFFER_CRYPT_AUCUN, BUFFER_PACK_AUCUN, 2);
    Octets ab{'a', 0, 0, 1, 0, 0, 0, 'b', 0, 0, 0, 0};
    Ecrit(cl, ab);
    ASSERT_TRUE(cl.ChangePackMethod(BUFFER_PACK_ZLW, true));
    ASSERT_TRUE(cl.Seek(10, BUFFER_SEEK_DEBUT));
    // Unpacked, the content is 'a', 0, 'b': position 10 is gone.
    EXPECT_STREQ(cl.pszGetString(), "a");
    EXPECT_EQ(cl.dwGetSizeDirect(), 3u);
    EXPECT_EQ(cl.dwGetPos(), 2u);
    cl.ChangePackMethod(BUFFER_PACK_AUCUN, false);
    cl.Seek(0, BUFFER_SEEK_FIN);
    Ecrit(cl, {0, 0, 0, 0, 0, 0, 0, 0});
    cl.ChangeFirstCodedByte(0);
    ASSERT_TRUE(cl.ChangePackMethod(BUFFER_PACK_ZLW, true));
    cl.Seek(9, BUFFER_SEEK_DEBUT);
    // The block is 'a', 0, 'b' read as a stored block: unusable; nothing moves.
    int n = 7;
    cl >> n;
    EXPECT_EQ(n, 7);
    EXPECT_EQ(cl.dwGetPos(), 9u);
}

// ---------------------------------------------------------------- failures while coding

TEST(BufferCodingFailures, UnusableBlocksLeaveTheContentCoded) {
    struct {
        const char* psz;
        Octets ab;
        eBUFFER_ERREUR eAttendue;
    } cas[] = {
        {"unknown method byte", {3, 1, 0, 0, 0, 'x'}, BUFFER_ERREUR_COMPRESSION},
        // A known method whose block is cut is damaged data, not a bad method.
        {"block longer than the content", {0, 9, 0, 0, 0, 'x', 'y'}, BUFFER_ERREUR_BLOC_ENDOMMAGE},
        {"header cut", {0, 1, 0}, BUFFER_ERREUR_BLOC_ENDOMMAGE},
        {"count near 4 GB", {0, 0xFF, 0xFF, 0xFF, 0xFF, 'x'}, BUFFER_ERREUR_BLOC_ENDOMMAGE},
    };
    for (const auto& c : cas) {
        CBufferDoublure cl(BUFFER_CRYPT_AUCUN, BUFFER_PACK_ZLW, 2);
        Ecrit(cl, {'p', 'q'});
        ASSERT_TRUE(cl.SetCodedData(c.ab.data(), static_cast<uint32_t>(c.ab.size())));
        ASSERT_TRUE(cl.bEstCode());
        Octets abAvant = Direct(cl);
        EXPECT_FALSE(cl.bDecode()) << c.psz;
        EXPECT_TRUE(cl.bEstCode()) << c.psz;
        EXPECT_EQ(cl.nGetErreur(), c.eAttendue) << c.psz;
        EXPECT_EQ(Direct(cl), abAvant) << c.psz;
        // Reads past the prefix fail; writes there are refused.
        cl.Seek(0, BUFFER_SEEK_DEBUT);
        int n = 5;
        cl >> n;
        EXPECT_EQ(n, 5) << c.psz;
        EXPECT_TRUE(cl.bEchecLecture()) << c.psz;
        cl.Seek(1, BUFFER_SEEK_DEBUT);
        EXPECT_FALSE(cl.Set("zz", 2)) << c.psz;
        EXPECT_EQ(Direct(cl), abAvant) << c.psz;
        // The prefix itself is still served.
        cl.Seek(0, BUFFER_SEEK_DEBUT);
        EXPECT_EQ(cl.czGetXCHAR(), 'p') << c.psz;
        EXPECT_FALSE(cl.SetPackMethod(BUFFER_PACK_AUCUN)) << c.psz;
        EXPECT_EQ(cl.eGetPackMethod(), BUFFER_PACK_ZLW) << c.psz;
    }
}

// Whatever the pack object says went wrong is what the buffer reports, and
// the content stays coded.
TEST(BufferCodingFailures, EachCauseOfTheUnpackerIsReported) {
    struct {
        ePACK_ECHEC eEchec;
        eBUFFER_ERREUR eAttendue;
    } cas[] = {
        {PACK_ECHEC_METHODE, BUFFER_ERREUR_COMPRESSION},
        {PACK_ECHEC_ENDOMMAGE, BUFFER_ERREUR_BLOC_ENDOMMAGE},
        {PACK_ECHEC_TAILLE, BUFFER_ERREUR_BLOC_TAILLE},
        {PACK_ECHEC_MEMOIRE, BUFFER_ERREUR_MEMOIRE},
        // The buffer gives room for the announced size: a coder still short
        // of room was given a block that lies.
        {PACK_ECHEC_PLACE, BUFFER_ERREUR_BLOC_ENDOMMAGE},
    };
    for (const auto& c : cas) {
        CBufferDoublure cl(BUFFER_CRYPT_AUCUN, BUFFER_PACK_ZLW, 0);
        Ecrit(cl, {1, 2, 3});
        cl.dwGetCodedSize();
        Octets abCode = Direct(cl);
        cl.pclPack()->eEchecDecompression = c.eEchec;
        EXPECT_FALSE(cl.bDecode()) << c.eEchec;
        EXPECT_EQ(cl.nGetErreur(), c.eAttendue) << c.eEchec;
        EXPECT_TRUE(cl.bEstCode()) << c.eEchec;
        EXPECT_EQ(Direct(cl), abCode) << c.eEchec;
    }
}

TEST(BufferCodingFailures, UnusableBlockUnderACipherStaysEncrypted) {
    CBufferDoublure cl(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_ZLW, 0);
    Octets ab{5, 1, 2, 3};
    Ecrit(cl, ab);
    ASSERT_TRUE(cl.SetCodedSize(4));
    Octets abAvant = Direct(cl);
    EXPECT_FALSE(cl.bDecode());
    EXPECT_TRUE(cl.bEstCrypte());
    EXPECT_EQ(Direct(cl), abAvant);
}

TEST(BufferCodingFailures, PackerFailureKeepsThePlainContent) {
    CBufferDoublure cl(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_ZLW, 0);
    cl << 1 << 2;
    Octets abAvant = Direct(cl);
    cl.pclPack()->bEchoueCompression = true;
    EXPECT_EQ(cl.dwGetCodedSize(), 8u);
    EXPECT_FALSE(cl.bEstCode());
    EXPECT_EQ(cl.nGetErreur(), BUFFER_ERREUR_COMPRESSION);
    EXPECT_EQ(Direct(cl), abAvant);
    EXPECT_EQ(cl.st.nCryptages, 0);
    CFluxMemoire clFichier;
    unsigned int dw = 9;
    EXPECT_FALSE(cl.bToFile(&clFichier, &dw));
    EXPECT_EQ(dw, 0u);
    EXPECT_TRUE(clFichier.m_ab.empty());
    EXPECT_FALSE(cl.ForceCode());
    EXPECT_EQ(cl.eGetPackMethod(), BUFFER_PACK_ZLW);
}

TEST(BufferCodingFailures, ExceptionWhileEncryptingUndoesThePacking) {
    CBufferDoublure cl(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_ZLW, 1);
    Ecrit(cl, {1, 2, 3, 4});
    cl.pclCrypt()->bLanceCryptage = true;
    EXPECT_THROW(cl.dwGetCodedSize(), std::runtime_error);
    EXPECT_FALSE(cl.bEstCode());
    EXPECT_FALSE(cl.bEstPacke());
    EXPECT_EQ(Direct(cl), (Octets{1, 2, 3, 4}));
}

TEST(BufferCodingFailures, ExceptionWhileUnpackingRecodes) {
    CBufferDoublure cl(BUFFER_CRYPT_HOMEMADE, BUFFER_PACK_ZLW, 0);
    Ecrit(cl, {1, 2, 3, 4});
    cl.dwGetCodedSize();
    Octets abCode = Direct(cl);
    cl.pclPack()->bLanceDecompression = true;
    EXPECT_THROW(cl.bDecode(), std::runtime_error);
    EXPECT_TRUE(cl.bEstCode());
    EXPECT_TRUE(cl.bEstCrypte());
    EXPECT_EQ(Direct(cl), abCode);
    cl.pclPack()->bLanceDecompression = false;
    EXPECT_EQ(Plain(cl), (Octets{1, 2, 3, 4}));
}

// No cipher is built into this library yet: a buffer asked for one says so
// and keeps everything. (The compressors are in: their buffer cases are in
// compress_test.cpp.)
TEST(BufferCodingFailures, MethodsWithoutAnObjectAreReportedAndLoseNothing) {
    // Only method 1 has a cipher in a buffer.
    CQVBuffer clCrypt(static_cast<eBUFFER_CRYPTMETHOD>(2), BUFFER_PACK_AUCUN, 0, 100, "pw");
    EXPECT_EQ(clCrypt.nGetErreur(), BUFFER_ERREUR_CRYPTAGE);
    clCrypt << 3;
    EXPECT_EQ(clCrypt.pbyGetCodedBuffer()[0], 3);
    EXPECT_FALSE(clCrypt.bEstCode());

    clCrypt.EffaceErreur();
    EXPECT_EQ(clCrypt.nGetErreur(), BUFFER_ERREUR_AUCUNE);
}

// The cipher slot: the fast cipher encrypts the coded region in place after
// packing, with the key of the password, of the fixed phrase, or as given.
TEST(BufferCipher, CodesAndUncodesWithTheFastCipher) {
    struct STCas {
        const char* psz;
        eBUFFER_PACKMETHOD ePack;
        const char* pszMotDePasse;   // null: the fixed phrase
        uint32_t dwPrefixe;
    };
    const STCas tabCas[] = {
        {"password", BUFFER_PACK_AUCUN, "pw", 0},
        {"fixed phrase", BUFFER_PACK_AUCUN, nullptr, 0},
        {"packed then encrypted", BUFFER_PACK_ZLW, "pw", 0},
        {"plain prefix kept", BUFFER_PACK_AUCUN, "pw", 5},
        {"text coder then encrypted", BUFFER_PACK_QVC40, "pw", 0},
    };
    std::string sContenu;
    for (int i = 0; i < 200; ++i) sContenu += "abc" + std::to_string(i % 7);
    for (const auto& st : tabCas) {
        CQVBuffer cl(BUFFER_CRYPT_HOMEMADE, st.ePack, 0, 100, st.pszMotDePasse);
        ASSERT_EQ(cl.nGetErreur(), BUFFER_ERREUR_AUCUNE) << st.psz;
        ASSERT_TRUE(cl.ChangeFirstCodedByte(st.dwPrefixe)) << st.psz;
        if (st.ePack == BUFFER_PACK_QVC40) cl << static_cast<uint32_t>(sContenu.size());
        cl.Set(sContenu.data(), static_cast<uint32_t>(sContenu.size()));
        const uint32_t dwPlain = cl.dwGetUncodedSize();
        std::string sPlain(reinterpret_cast<const char*>(cl.pbyGetUncodedBuffer()), dwPlain);
        const uint32_t dwCode = cl.dwGetCodedSize();
        ASSERT_TRUE(cl.bEstCrypte()) << st.psz;
        std::string sCode(reinterpret_cast<const char*>(cl.pbyGetCodedBuffer()), dwCode);
        EXPECT_EQ(sCode.substr(0, st.dwPrefixe), sPlain.substr(0, st.dwPrefixe)) << st.psz;
        EXPECT_NE(sCode.substr(st.dwPrefixe), sPlain.substr(st.dwPrefixe, dwCode - st.dwPrefixe)) << st.psz;
        // The coded bytes decrypt with the cipher of the same password.
        CCryptHomeMade clCipher;
        unsigned char abyCle[16];
        clCipher.BuildCryptKey(&abyCle, st.pszMotDePasse != nullptr ? st.pszMotDePasse
                                                                    : "Archive index rebuild finished at once.");
        EXPECT_EQ(std::memcmp(abyCle, cl.pGetCryptKey(), 16), 0) << st.psz;
        if (st.ePack == BUFFER_PACK_AUCUN) {
            std::string s = sCode.substr(st.dwPrefixe);
            clCipher.Uncrypt(reinterpret_cast<unsigned char*>(s.data()), static_cast<unsigned>(s.size()), &abyCle);
            EXPECT_EQ(s, sPlain.substr(st.dwPrefixe)) << st.psz;
        }
        // Loaded elsewhere as coded data, it uncodes to the content.
        CQVBuffer clLu(BUFFER_CRYPT_HOMEMADE, st.ePack, 0, 100, st.pszMotDePasse);
        ASSERT_TRUE(clLu.ChangeFirstCodedByte(st.dwPrefixe));
        clLu.Set(sCode.data(), static_cast<uint32_t>(sCode.size()));
        clLu.SetCodedSize(static_cast<uint32_t>(sCode.size()));
        ASSERT_TRUE(clLu.bDecode()) << st.psz;
        // The text coder gives back the bytes without their length.
        const std::string sAttendu = st.ePack == BUFFER_PACK_QVC40 ? sPlain.substr(4) : sPlain;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(clLu.pbyGetUncodedBuffer()), clLu.dwGetUncodedSize()),
                  sAttendu)
            << st.psz;
    }
}

}  // namespace
