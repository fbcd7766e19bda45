// Placeholder: filled in by its own change.
#include "app/SettingsFile.h"
