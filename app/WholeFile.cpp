// Placeholder: filled in by its own change.
#include "app/WholeFile.h"
