#pragma once

#include "word_automation.h"

#include <memory>

// A thin layer over the office layer that forwards every call unchanged and marks on the current
// Timeline when the run's stages begin and end.
std::unique_ptr<word::Application> timedApplication(std::unique_ptr<word::Application> inner);
