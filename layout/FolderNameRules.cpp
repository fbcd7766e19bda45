// Placeholder: filled in by its own change.
#include "layout/FolderNameRules.h"
