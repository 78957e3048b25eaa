#include "untCommandMode.h"
