// Under Wine the launcher (windows/wine-run.sh) has given the test program an
// X display of its own already, and Windows has no display to choose.
#include "support/virtual_display.h"

VirtualDisplay::VirtualDisplay() : name_("the launcher's") {}

VirtualDisplay::~VirtualDisplay() = default;
