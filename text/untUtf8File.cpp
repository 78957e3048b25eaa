#include "untUtf8File.h"
