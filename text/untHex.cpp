#include "untHex.h"
