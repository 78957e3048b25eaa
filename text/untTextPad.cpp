#include "untTextPad.h"
