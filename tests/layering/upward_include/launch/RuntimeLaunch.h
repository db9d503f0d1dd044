#include "bridge/Bridge.h"
#include "framework/Dialog.h"
