// Turns a file's interleaved pixels into the planes a host delivers: colour planes, then the alpha
// channel as the layer's transparency plane.
#pragma once

#include "cli/InputImage.h"
#include "hostsim/HostSimulator.h"

SimImage ToHostImage(const InputImage& image);
