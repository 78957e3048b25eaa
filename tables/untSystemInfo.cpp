#include "untSystemInfo.h"
