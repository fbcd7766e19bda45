#include "app/LayoutApp.h"

wxIMPLEMENT_APP(LayoutApp);
