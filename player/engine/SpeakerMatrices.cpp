#include "player/engine/SpeakerMatrices.h"

#include "support/Random.h"

#include <algorithm>

namespace {

constexpr float kFull = 1.0f;
constexpr float kHalf = 0.5f;
constexpr int kCentre = 2;
constexpr int kLfe = 3;

void ClearRows(TChannelMatrix& matrix, int rows)
{
    for (int row = 0; row < rows; ++row)
        matrix[row] = {0.0f, 0.0f};
}

// A pair of speakers that repeats the fronts' assignment.
void SetPair(TChannelMatrix& matrix, int firstRow, int kept, int mirrored)
{
    matrix[firstRow][kept] = kFull;
    matrix[firstRow + 1][mirrored] = kFull;
}

void SetShare(TChannelMatrix& matrix, int row) { matrix[row] = {kSurroundShare, kSurroundShare}; }

bool CentreOrLfe(int row) { return row == kCentre || row == kLfe; }

// A random speaker of the first rows; draws again while refused says so.
template <typename Refused>
int DrawSpeaker(int rows, Refused refused)
{
    int row = 0;
    do {
        row = Random(rows);
    } while (refused(row));
    return row;
}

}  // namespace

int MixerChannels(int speakerCount) { return std::min(speakerCount, kMatrixRows); }

void SurroundMatrix(TChannelMatrix& matrix, int speakerCount)
{
    if (speakerCount <= 0)
        return;
    ClearRows(matrix, MixerChannels(speakerCount));
    const int k = Random(2);
    const int j = 1 - k;
    if (speakerCount >= 2)
        SetPair(matrix, 0, k, j);
    switch (std::min(speakerCount, kMatrixRows)) {
        case 1:
            matrix[0] = {kHalf, kHalf};
            break;
        case 2:
            break;
        case 3:
            SetShare(matrix, kCentre);
            break;
        case 4:
            SetPair(matrix, 2, k, j);
            break;
        case 5:
            SetShare(matrix, kCentre);
            SetPair(matrix, 3, k, j);
            break;
        case 6:
            SetShare(matrix, kCentre);
            SetShare(matrix, kLfe);
            SetPair(matrix, 4, k, j);
            break;
        case 7:
            SetShare(matrix, kCentre);
            SetShare(matrix, kLfe);
            SetPair(matrix, 4, k, j);
            SetShare(matrix, 6);
            break;
        default:
            SetShare(matrix, kCentre);
            SetShare(matrix, kLfe);
            SetPair(matrix, 4, k, j);
            SetPair(matrix, 6, k, j);
            break;
    }
}

void PickSpeakerMatrix(TChannelMatrix& matrix, int speakerCount)
{
    if (speakerCount <= 0)
        return;
    const int rows = MixerChannels(speakerCount);
    ClearRows(matrix, rows);
    if (rows == 1) {
        matrix[0] = {kHalf, kHalf};
        return;
    }
    const int first = Random(2);
    const int other = 1 - first;
    int a = 0;
    int b = 1;
    if (rows == 4) {
        a = Random(4);
        b = DrawSpeaker(4, [a](int row) { return row == a; });
    } else if (rows >= 5) {
        a = DrawSpeaker(rows, CentreOrLfe);
        b = DrawSpeaker(rows, [a](int row) { return CentreOrLfe(row) || row == a; });
    }
    matrix[a][first] = kFull;
    matrix[b][other] = kFull;
}

std::vector<float> SourceMatrix(const TChannelMatrix& matrix, int mixerChannels, int sourceChannels)
{
    const int rows = std::clamp(mixerChannels, 0, kMatrixRows);
    const int columns = std::max(sourceChannels, 0);
    std::vector<float> gains(static_cast<std::size_t>(rows) * columns, 0.0f);
    for (int row = 0; row < rows; ++row) {
        float* out = &gains[static_cast<std::size_t>(row) * columns];
        if (columns == 1) {
            out[0] = matrix[row][0] + matrix[row][1];
            continue;
        }
        for (int column = 0; column < std::min(columns, kMatrixColumns); ++column)
            out[column] = matrix[row][column];
    }
    return gains;
}
