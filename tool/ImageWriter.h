// Writes a laid-out image through the sector sink, area by area, streaming
// every file from disk in large blocks (never holding a file whole).
#pragma once

#include "tool/ImageLayout.h"
#include "tool/InputRing.h"
#include "tool/IsoStructures.h"
#include "tool/SectorSink.h"

// With a ring, runs of small files whose descriptors the look-up kept are
// read together, a call for many files.
Status WriteImage(const ImagePlan& plan, const iso::VolumeInfo& volume,
                  const iso::ImageDates& dates, SectorSink& sink, InputRing* ring = nullptr);
