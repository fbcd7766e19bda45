// Writes a laid-out image through the sector sink, area by area, streaming
// every file from disk in large blocks (never holding a file whole).
#pragma once

#include "tool/ImageLayout.h"
#include "tool/IsoStructures.h"
#include "tool/SectorSink.h"

Status WriteImage(const ImagePlan& plan, const iso::VolumeInfo& volume,
                  const iso::ImageDates& dates, SectorSink& sink);
