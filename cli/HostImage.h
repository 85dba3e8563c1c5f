// Turns a file's interleaved pixels into the image a host holds: the colour samples stay interleaved, and the
// alpha channel becomes the layer's transparency plane.
#pragma once

#include "cli/InputImage.h"
#include "hostsim/HostSimulator.h"

// Takes the pixels over, so a large image is never held twice.
SimImage ToHostImage(InputImage&& image);
