#include "untComm.h"
