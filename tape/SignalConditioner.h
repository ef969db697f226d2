// First stage of the tape decoder: band limits, DC removal and the detection threshold.
#pragma once

#include <span>

#include "tape/TapeReadSettings.h"

namespace tape {

enum class ConditionResult {
  kOk,
  kEmpty,        // no samples
  kBadSettings,  // a frequency or the threshold is not a usable number (see below)
};

// Filters `samples` in place with the enabled sections (each starting from rest and run
// once over the whole recording in time order), subtracts the mean and answers through
// `threshold` the detection level: thresholdPercent / 100 of the mean absolute deviation.
// The low-pass is skipped when sampleRateHz < 2 x its frequency. Refused: a non-finite
// threshold, a non-positive or non-finite frequency of an enabled filter, and a
// high-pass at or above half the sample rate (such a section is unstable and would
// only produce garbage). Runs on the caller's thread; allocates nothing.
ConditionResult ConditionSignal(std::span<double> samples, double sampleRateHz, const TapeReadSettings& settings,
                                double& threshold);

}  // namespace tape
