// Placeholder: filled in by its own change.
#include "layout/DiskEntry.h"
