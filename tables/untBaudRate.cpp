#include "untBaudRate.h"
