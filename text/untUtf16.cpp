#include "untUtf16.h"
