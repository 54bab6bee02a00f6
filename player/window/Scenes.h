#pragma once
// The board's scenes, in the order of its scene list.

constexpr int kDayScene = 0;
constexpr int kNightScene = 1;
