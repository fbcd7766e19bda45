// Placeholder: filled in by its own change.
#include "image/CommandLine.h"
