// Placeholder: filled in by its own change.
#include "content/StructureFile.h"
