#include "untVersion.h"
