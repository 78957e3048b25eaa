#include "untAESCipher.h"
