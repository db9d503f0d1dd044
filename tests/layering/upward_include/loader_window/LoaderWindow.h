#include "launch/RuntimeLaunch.h"
