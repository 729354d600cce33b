// Colours: packing and unpacking, hue, saturation and lightness of a colour,
// and colours from hue, saturation and lightness, at the edges of each rule.
#include <gtest/gtest.h>

#include <cstdlib>

#include "runtime/znlibrary.h"
#include "misc/couleur.h"
#include "misc/functions.h"

namespace {

constexpr int32_t Couleur(int r, int g, int b) { return r | g << 8 | b << 16; }

TEST(Couleurs, PackingAndItsReaders) {
    CZNLibrary lib;
    const struct {
        int32_t r, g, b;
        int32_t nCouleur;
    } tabRVB[] = {
        {255, 0, 0, 255},
        {0, 0, 255, 16711680},
        {1, 2, 3, 197121},
        {255, 255, 255, 16777215},
        {256, 0, 0, 256},                    // no masking: carries into green
        {-1, 0, 0, -1},
        {0, 0, 256, 16777216},
        {0, 0, 0x8000, INT32_MIN},           // wraps in 32 bits
    };
    for (const auto& st : tabRVB) EXPECT_EQ(misc::RVB(lib, st.r, st.g, st.b), st.nCouleur) << st.r << "," << st.g << "," << st.b;

    const struct {
        int32_t nCouleur;
        int32_t r, g, b;
    } tabLecture[] = {
        {197121, 1, 2, 3},
        {0x123456, 0x56, 0x34, 0x12},
        {-1, 255, 255, 255},
        {0x7F000000, 0, 0, 0},               // the top byte is no component
    };
    for (const auto& st : tabLecture) {
        EXPECT_EQ(misc::RVBRouge(lib, st.nCouleur), st.r) << st.nCouleur;
        EXPECT_EQ(misc::RVBVert(lib, st.nCouleur), st.g) << st.nCouleur;
        EXPECT_EQ(misc::RVBBleu(lib, st.nCouleur), st.b) << st.nCouleur;
    }
    EXPECT_EQ(misc::RVBVert(lib, misc::RVB(lib, 1, 2, 3)), 2);
}

TEST(Couleurs, HueSaturationLightnessOfAColour) {
    CZNLibrary lib;
    const struct {
        int32_t nCouleur;
        int32_t nTeinte, nSaturation, nLuminosite;
    } tabCas[] = {
        {Couleur(255, 0, 0), 0, 100, 50},
        {Couleur(0, 255, 0), 120, 100, 50},
        {Couleur(0, 0, 255), 240, 100, 50},
        {Couleur(255, 255, 0), 60, 100, 50},
        {Couleur(0, 255, 255), 180, 100, 50},
        {Couleur(255, 0, 255), 300, 100, 50},
        // Greys: no hue, no saturation.
        {Couleur(0, 0, 0), 0, 0, 0},
        {Couleur(255, 255, 255), 0, 0, 100},
        {Couleur(128, 128, 128), 0, 0, 50},
        {Couleur(1, 1, 1), 0, 0, 0},
        // Dark and light: saturation over the lower and the upper half.
        {Couleur(128, 0, 0), 0, 100, 25},
        {Couleur(255, 128, 128), 0, 100, 75},
        {Couleur(192, 64, 64), 0, 50, 50},
        // A hue that rounds to 360 is 0.
        {Couleur(255, 0, 2), 0, 100, 50},
        {Couleur(255, 0, 3), 359, 100, 50},
        // The top byte is ignored.
        {int32_t(0xFF0000FF), 0, 100, 50},
    };
    for (const auto& st : tabCas) {
        EXPECT_EQ(misc::CouleurTeinte(lib, st.nCouleur), st.nTeinte) << std::hex << st.nCouleur;
        EXPECT_EQ(misc::CouleurSaturation(lib, st.nCouleur), st.nSaturation) << std::hex << st.nCouleur;
        EXPECT_EQ(misc::CouleurLuminosite(lib, st.nCouleur), st.nLuminosite) << std::hex << st.nCouleur;
    }
    EXPECT_FALSE(lib.pclGetError()->bIsError());
}

TEST(Couleurs, ColourOfHueSaturationLightness) {
    const struct {
        int32_t h, s, l;
        int32_t nCouleur;
        int nErreur;
    } tabCas[] = {
        {0, 100, 50, Couleur(255, 0, 0), 0},
        {120, 100, 50, Couleur(0, 255, 0), 0},
        {240, 100, 50, Couleur(0, 0, 255), 0},
        {60, 100, 50, Couleur(255, 255, 0), 0},
        {30, 100, 50, Couleur(255, 127, 0), 0},    // 127.5 is truncated
        {0, 50, 50, Couleur(191, 63, 63), 0},
        {360, 50, 50, Couleur(191, 63, 63), 0},    // 360 is 0 again
        {200, 0, 100, Couleur(255, 255, 255), 0},  // no saturation: a grey of the lightness
        {200, 0, 50, Couleur(127, 127, 127), 0},
        {0, 0, 0, 0, 0},
        {0, 100, 100, Couleur(255, 255, 255), 0},
        {0, 100, 25, Couleur(127, 0, 0), 0},
        {0, 100, 75, Couleur(255, 127, 127), 0},
        // Ranges, checked unsigned and in this order: hue, saturation, lightness.
        {361, 50, 50, 0, 80202},
        {-1, 50, 50, 0, 80202},
        {0, 101, 50, 0, 80204},
        {0, -1, 50, 0, 80204},
        {0, 50, 101, 0, 80203},
        {0, 50, -1, 0, 80203},
        {361, 101, 101, 0, 80202},
        {0, 101, 101, 0, 80204},
    };
    for (const auto& st : tabCas) {
        CZNLibrary lib;
        EXPECT_EQ(misc::TSL(lib, st.h, st.s, st.l), st.nCouleur) << st.h << "," << st.s << "," << st.l;
        EXPECT_EQ(lib.pclGetError()->nGetUserError(), st.nErreur) << st.h << "," << st.s << "," << st.l;
        EXPECT_EQ(lib.pclGetError()->bIsError(), st.nErreur != 0);
    }
}

// Back and forth over a grid of colours: whole degrees and percents lose a
// little, never more than a few units a component.
TEST(Couleurs, BackAndForthStaysClose) {
    CZNLibrary lib;
    int nEcartMax = 0;
    for (int r = 0; r < 256; r += 17)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 17) {
                const int32_t c = Couleur(r, g, b);
                const int32_t c2 = misc::TSL(lib, misc::CouleurTeinte(lib, c), misc::CouleurSaturation(lib, c),
                                             misc::CouleurLuminosite(lib, c));
                for (int k = 0; k < 24; k += 8) {
                    const int nEcart = std::abs(((c >> k) & 0xFF) - ((c2 >> k) & 0xFF));
                    if (nEcart > nEcartMax) nEcartMax = nEcart;
                    ASSERT_LE(nEcart, 6) << r << "," << g << "," << b << " -> " << std::hex << c2;
                }
            }
    EXPECT_GT(nEcartMax, 0);   // the grid does meet the rounding
}

TEST(Couleurs, RoundingHalvesAwayFromZero) {
    const struct {
        double x;
        int n;
    } tabCas[] = {{0.5, 1}, {0.49, 0}, {-0.5, -1}, {-0.49, 0}, {2.5, 3}, {-2.5, -3}, {359.6, 360}};
    for (const auto& st : tabCas) EXPECT_EQ(nRound(st.x), st.n) << st.x;
}

}  // namespace
