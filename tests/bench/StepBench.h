#pragma once
// The single operations a frame is made of, each timed on its own on scratch
// objects: where the time of a frame as written goes.
#include "bench/BenchStats.h"

#include <string>
#include <vector>

struct StepCost {
    std::string name;
    Summary cost;
};

std::vector<StepCost> MeasureSteps(int count);
