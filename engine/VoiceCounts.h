// How many notes and voices each "Voices" setting (0..7) gives in each key-assign mode.
#pragma once

constexpr int kPolyPolyphony[8] = {1, 2, 6, 8, 16, 24, 32, 64};
constexpr int kChordPolyphony[8] = {1, 1, 1, 2, 6, 12, 16, 32};
constexpr int kUnisonVoicesPerNote[8] = {8, 8, 6, 6, 4, 4, 2, 2};
constexpr int kUnisonPolyphony[8] = {1, 8, 1, 10, 1, 16, 1, 32};
