#include "untPublishedPorts.h"
