// The one include against the layers: util may include only util.
#include "launch/RuntimeLaunch.h"
