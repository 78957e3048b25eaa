#include "untCmd_RV310.h"
