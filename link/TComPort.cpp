#include "TComPort.h"
