#include "player/engine/SpeakerMatrices.h"

#include "ScriptedRandom.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr float s = kSurroundShare;
using Rows = std::vector<std::array<float, 2>>;

// Rows past the mixer's channels are never touched.
constexpr float kUntouched = 9.0f;

TChannelMatrix Untouched()
{
    TChannelMatrix matrix;
    for (auto& row : matrix)
        row = {kUntouched, kUntouched};
    return matrix;
}

Rows FilledRows(const TChannelMatrix& matrix, int rows) { return Rows(matrix.begin(), matrix.begin() + rows); }

Rows Mirrored(Rows rows)
{
    for (auto& row : rows)
        std::swap(row[0], row[1]);
    return rows;
}

struct SurroundCase {
    int speakers;
    Rows kept;  // the clip as it is (k = 0)
};

TEST(SurroundMatrix, FillsTheRowsOfEverySpeakerCountKeptOrMirrored)
{
    const SurroundCase cases[] = {
        {1, {{0.5f, 0.5f}}},
        {2, {{1, 0}, {0, 1}}},
        {3, {{1, 0}, {0, 1}, {s, s}}},
        {4, {{1, 0}, {0, 1}, {1, 0}, {0, 1}}},
        {5, {{1, 0}, {0, 1}, {s, s}, {1, 0}, {0, 1}}},
        {6, {{1, 0}, {0, 1}, {s, s}, {s, s}, {1, 0}, {0, 1}}},
        {7, {{1, 0}, {0, 1}, {s, s}, {s, s}, {1, 0}, {0, 1}, {s, s}}},
        {8, {{1, 0}, {0, 1}, {s, s}, {s, s}, {1, 0}, {0, 1}, {1, 0}, {0, 1}}},
        {9, {{1, 0}, {0, 1}, {s, s}, {s, s}, {1, 0}, {0, 1}, {1, 0}, {0, 1}}},
    };
    for (const SurroundCase& c : cases) {
        for (int k : {0, 1}) {
            ScriptedRandom random({k});
            TChannelMatrix matrix = Untouched();
            SurroundMatrix(matrix, c.speakers);
            const int rows = MixerChannels(c.speakers);
            EXPECT_EQ(FilledRows(matrix, rows), k == 0 ? c.kept : Mirrored(c.kept))
                << c.speakers << " speakers, k " << k;
            for (int row = rows; row < kMatrixRows; ++row)
                EXPECT_EQ(matrix[row][0], kUntouched) << c.speakers << " speakers, row " << row;
            EXPECT_TRUE(random.Used());
        }
    }
}

TEST(SurroundMatrix, LeavesTheMatrixAloneWithoutSpeakers)
{
    ScriptedRandom random;  // no draw either
    TChannelMatrix matrix = Untouched();
    SurroundMatrix(matrix, 0);
    EXPECT_EQ(matrix, Untouched());
}

TEST(SurroundMatrix, ShareIsTheSinglePrecisionThreeTenths)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &kSurroundShare, sizeof bits);
    EXPECT_EQ(bits, 0x3E99999Au);
}

// Where each of the clip's channels went: the row holding its one 1.0.
struct Placed {
    int left = -1;
    int right = -1;
};

Placed PlacedChannels(const TChannelMatrix& matrix, int rows)
{
    Placed placed;
    for (int row = 0; row < rows; ++row) {
        for (int column : {0, 1}) {
            if (matrix[row][column] == 0.0f)
                continue;
            EXPECT_EQ(matrix[row][column], 1.0f);
            int& where = column == 0 ? placed.left : placed.right;
            EXPECT_EQ(where, -1) << "a channel on two speakers";
            where = row;
        }
    }
    return placed;
}

TEST(PickSpeakerMatrix, PutsEachChannelOnASpeakerOfItsOwnNeverTheCentreOrLfeFromFive)
{
    for (int speakers = 2; speakers <= 9; ++speakers) {
        RandSeed(static_cast<std::uint32_t>(speakers));
        const int rows = MixerChannels(speakers);
        std::vector<bool> used(rows, false);
        for (int flight = 0; flight < 200; ++flight) {
            TChannelMatrix matrix = Untouched();
            PickSpeakerMatrix(matrix, speakers);
            const Placed placed = PlacedChannels(matrix, rows);
            ASSERT_GE(placed.left, 0) << speakers;
            ASSERT_GE(placed.right, 0) << speakers;
            EXPECT_NE(placed.left, placed.right);
            for (int row : {placed.left, placed.right}) {
                used[row] = true;
                const bool allowed = speakers <= 3 ? row < 2 : speakers < 5 || (row != 2 && row != 3);
                EXPECT_TRUE(allowed) << speakers << " speakers, row " << row;
            }
            for (int row = rows; row < kMatrixRows; ++row)
                EXPECT_EQ(matrix[row][0], kUntouched);
        }
        int usedRows = 0;
        for (bool rowUsed : used)
            usedRows += rowUsed ? 1 : 0;
        EXPECT_EQ(usedRows, speakers <= 3 ? 2 : speakers == 4 ? 4 : rows - 2) << speakers << " speakers";
    }
}

TEST(PickSpeakerMatrix, OneSpeakerCarriesBothChannelsAtHalf)
{
    ScriptedRandom random;
    TChannelMatrix matrix = Untouched();
    PickSpeakerMatrix(matrix, 1);
    EXPECT_EQ(FilledRows(matrix, 1), (Rows{{0.5f, 0.5f}}));
    EXPECT_EQ(matrix[1][0], kUntouched);
}

TEST(PickSpeakerMatrix, DrawsAgainPastTheCentreTheLfeAndTheTakenSpeaker)
{
    // Right first; a: 2 and 3 refused, then 5; b: 3 and 5 refused, then 0.
    ScriptedRandom random({1, 2, 3, 5, 3, 5, 0});
    TChannelMatrix matrix = Untouched();
    PickSpeakerMatrix(matrix, 6);
    EXPECT_EQ(FilledRows(matrix, 6), (Rows{{1, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 1}}));
    EXPECT_TRUE(random.Used());
}

TEST(SourceMatrix, GivesEachSourceItsOwnColumnsAndAMonoOneTheSumOfBoth)
{
    ScriptedRandom random({0});
    TChannelMatrix matrix{};
    SurroundMatrix(matrix, 6);
    EXPECT_EQ(SourceMatrix(matrix, 6, 2), (std::vector<float>{1, 0, 0, 1, s, s, s, s, 1, 0, 0, 1}));
    EXPECT_EQ(SourceMatrix(matrix, 6, 1), (std::vector<float>{1, 1, 2 * s, 2 * s, 1, 1}));
    EXPECT_EQ(SourceMatrix(matrix, 2, 3), (std::vector<float>{1, 0, 0, 0, 1, 0}));
}

}  // namespace
