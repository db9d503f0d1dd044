#include "util/Paths.h"
