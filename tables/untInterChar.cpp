#include "untInterChar.h"
