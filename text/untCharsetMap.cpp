#include "untCharsetMap.h"
