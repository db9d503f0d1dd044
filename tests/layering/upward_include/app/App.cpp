#include "loader_window/LoaderWindow.h"
#include "util/Paths.h"
